// A dialog that asks for a password twice and accepts it only when both entries agree and it
// has an allowed length and allowed characters; otherwise it tells the user why and asks again.
#pragma once

#include <wx/dialog.h>

class wxTextCtrl;

class PasswordBox : public wxDialog {
public:
    enum Flags {
        kTrim = 1,         // trim blanks at both ends of both entries
        kDigitsOnly = 2,   // only 0-9
        kLettersOnly = 4,  // only A-Z, a-z
        kAllowSpace = 8,   // a space is allowed besides the other characters
    };

    // maximumLength below 0 means no limit.
    PasswordBox(wxWindow* parent, const wxString& entryTitle, const wxString& dialogTitle, int flags,
                int minimumLength, int maximumLength, long style = wxDEFAULT_DIALOG_STYLE, wxWindowID id = wxID_ANY);
    ~PasswordBox() override;

    // Runs until an acceptable entry or a cancel: wxID_OK with GetPassword() set, else the
    // dialog's other result.
    int ShowModal() override;
    const wxString& GetPassword() const { return accepted; }

    wxTextCtrl* GetEntry() const { return entry; }
    wxTextCtrl* GetRepeat() const { return repeat; }

    // Checks one pair of entries, returning the empty string when accepted, else the message
    // to show. The accepted text is the (trimmed) entry.
    wxString Check(wxString first, wxString second, wxString* acceptedText) const;

private:
    wxTextCtrl* entry;
    wxTextCtrl* repeat;
    int flags;
    int minimumLength;
    int maximumLength;
    wxString accepted;
};
