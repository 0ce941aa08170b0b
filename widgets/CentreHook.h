// Centring of dialogs over their owner. While the hook is installed, every modal dialog that the
// GUI thread shows is placed centred over the window that owns it and kept on the owner's
// display, before it appears.
#pragma once

class wxWindow;

// Installs the hook. Calls nest: the hook stays until the last matching RemoveCentreHook.
void InstallCentreHook();
// Undoes one InstallCentreHook; does nothing when the hook is not installed.
void RemoveCentreHook();
bool IsCentreHookInstalled();

// Centres window over other (window's parent when other is null; the whole display when there
// is neither), then moves it back inside the display where it would stick out: a dialog over an
// owner at the screen's edge stays fully visible. A window larger than the display keeps its
// left and top edges on it.
void CentreWindowOver(wxWindow* window, wxWindow* other = nullptr);
