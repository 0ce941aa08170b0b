// A small modeless "please wait" window with an icon and one line of text. While it exists its
// parent is disabled, so the user cannot start a second exchange with the panel from the frame
// while a request waits inside the event loop.
#pragma once

#include <wx/dialog.h>

class wxStaticText;

class WaitWindow : public wxDialog {
public:
    // Builds and shows the window at once; the constructor returns with it on screen.
    WaitWindow(wxWindow* parent, const wxString& message, const wxString& title,
               long style = wxRESIZE_BORDER, wxWindowID id = wxID_ANY);
    // Enables the parent again when this window was the one that disabled it.
    ~WaitWindow() override;

    // Replaces the text; the window keeps its size.
    void SetMessage(const wxString& text);

private:
    wxWindow* parent;
    wxStaticText* message;
    // Wait windows nest (the connection sequence shows one around requests that show their
    // own): only the window that found the parent enabled gives it back enabled, so closing an
    // inner one does not unlock the frame while the outer one still covers it.
    bool reenableParent = false;
};
