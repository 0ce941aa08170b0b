// The remote-assistance monitor: a small modeless window that shows the state of the proxy
// connection and the bytes relayed each way, with a Cancel button that asks its owner (the
// main window) to end the assistance. While it exists its owner is disabled.
#pragma once

#include <wx/dialog.h>

class wxStaticText;

class AssistMon : public wxDialog {
public:
    static constexpr int kLineCount = 3;  // 0 status, 1 bytes from the proxy, 2 bytes from the device

    // Builds and shows the window at once. The text is not shown.
    AssistMon(wxWindow* owner, const wxString& text, const wxString& title, long style, wxWindowID id);
    // Enables the owner again when this window was the one that disabled it.
    ~AssistMon() override;

    // Sets the value text of line n (0..2); other lines are ignored.
    void SetStatusLine(int n, const wxString& text);
    wxString GetStatusLine(int n) const;

private:
    // Any button: queues EVT_ASSIST_CANCEL (id 0) to the owner, which deletes this window.
    void OnCancel(wxCommandEvent& event);

    wxWindow* owner;
    wxStaticText* values[kLineCount] = {};
    bool reenableOwner = false;
};
