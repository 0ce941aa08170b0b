#include "widgets/OkCancelButtons.h"

#include <wx/button.h>
#include <wx/sizer.h>

namespace {
wxButton* CancelButton(wxWindow* dialog) { return new wxButton(dialog, wxID_CANCEL, wxString::FromUTF8("Anuluj")); }
}  // namespace

wxStdDialogButtonSizer* CreateOkCancelButtons(wxWindow* dialog, bool withCancel) {
    auto* buttons = new wxStdDialogButtonSizer;
    auto* ok = new wxButton(dialog, wxID_OK, wxASCII_STR("OK"));
    ok->SetDefault();
    buttons->AddButton(ok);
    if (withCancel) buttons->AddButton(CancelButton(dialog));
    buttons->Realize();
    return buttons;
}

wxStdDialogButtonSizer* CreateCancelButtonRow(wxWindow* dialog) {
    auto* buttons = new wxStdDialogButtonSizer;
    buttons->AddButton(CancelButton(dialog));
    buttons->Realize();
    return buttons;
}
