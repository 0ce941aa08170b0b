#include "widgets/WaitWindow.h"

#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "resources/Resources.h"

WaitWindow::WaitWindow(wxWindow* parent, const wxString& messageText, const wxString& title, long style,
                       wxWindowID id)
    : wxDialog(parent, id, title, wxDefaultPosition, wxDefaultSize, style, wxASCII_STR("dialog")),
      parent(parent) {
    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    auto* icon = new wxStaticBitmap(this, wxID_ANY, LoadIconResource(wxASCII_STR("ICO_COM"), 32), wxDefaultPosition,
                                    wxSize(32, 32), 0, wxASCII_STR("staticBitmap"));
    sizer->Add(icon, 0, wxALL, 10);
    message = new wxStaticText(this, wxID_ANY, messageText, wxDefaultPosition, wxDefaultSize, 0,
                               wxASCII_STR("staticText"));
    sizer->Add(message, 1, wxEXPAND | wxALL, 15);
    SetSizer(sizer);
    sizer->Fit(this);

    if (parent && parent->IsEnabled()) {
        parent->Enable(false);
        reenableParent = true;
    }
    Centre(wxBOTH);
    Show();
}

WaitWindow::~WaitWindow() {
    // A parent that is itself being destroyed (it takes its child windows with it) is left alone.
    if (reenableParent && parent && !parent->IsBeingDeleted()) parent->Enable(true);
}

void WaitWindow::SetMessage(const wxString& text) {
    message->SetLabel(text);
    // Lay the text out again inside the current size instead of growing the window.
    Layout();
}
