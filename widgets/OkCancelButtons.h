// The standard OK / Cancel button row with Polish labels in place of the toolkit's stock ones
// (which follow the system language). OK is the default button: Enter confirms, Escape cancels.
// Without the Cancel button (withCancel false) the row holds OK alone.
#pragma once

class wxStdDialogButtonSizer;
class wxWindow;

wxStdDialogButtonSizer* CreateOkCancelButtons(wxWindow* dialog, bool withCancel = true);

// The row with the Polish Cancel button alone, for windows whose only answer is to stop.
wxStdDialogButtonSizer* CreateCancelButtonRow(wxWindow* dialog);
