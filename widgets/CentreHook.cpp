#include "widgets/CentreHook.h"

#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/modalhook.h>
#include <wx/toplevel.h>
#include <wx/window.h>

namespace {

class CentreHook : public wxModalDialogHook {
protected:
    int Enter(wxDialog* dialog) override {
        // Some dialogs pass through here twice, first before their window exists (the generic
        // message box builds itself inside ShowModal); the GTK message box never has a window
        // that wx can move. Both are left alone until there is a window to place.
        if (dialog->GetHandle() == nullptr) return wxID_NONE;
        // A dialog is owned by the top-level window of whatever it was created on (often a
        // panel), and is centred over that.
        if (wxWindow* owner = wxGetTopLevelParent(dialog->GetParent())) CentreWindowOver(dialog, owner);
        return wxID_NONE;
    }
};

CentreHook* hook = nullptr;
int installCount = 0;

wxRect DisplayAreaFor(const wxWindow* window) {
    int index = window ? wxDisplay::GetFromWindow(window) : wxNOT_FOUND;
    if (index == wxNOT_FOUND) index = 0;
    return wxDisplay(static_cast<unsigned>(index)).GetGeometry();
}

int ClampInto(int position, int size, int areaStart, int areaSize) {
    int last = areaStart + areaSize - size;
    if (position > last) position = last;
    if (position < areaStart) position = areaStart;
    return position;
}

}  // namespace

void InstallCentreHook() {
    if (installCount++ > 0) return;
    hook = new CentreHook;
    hook->Register();
}

void RemoveCentreHook() {
    if (installCount == 0) return;
    if (--installCount > 0) return;
    delete hook;  // unregisters
    hook = nullptr;
}

bool IsCentreHookInstalled() { return hook != nullptr; }

void CentreWindowOver(wxWindow* window, wxWindow* other) {
    if (window == nullptr) return;
    if (other == nullptr) other = window->GetParent();

    const wxRect own = window->GetScreenRect();
    const wxRect display = DisplayAreaFor(other ? other : window);
    const wxRect reference = other ? other->GetScreenRect() : display;

    int x = reference.x + (reference.width - own.width) / 2;
    int y = reference.y + (reference.height - own.height) / 2;
    x = ClampInto(x, own.width, display.x, display.width);
    y = ClampInto(y, own.height, display.y, display.height);

    wxPoint target(x, y);
    // Child windows are placed in their parent's client coordinates.
    if (!window->IsTopLevel() && window->GetParent()) target = window->GetParent()->ScreenToClient(target);
    window->Move(target);
}
