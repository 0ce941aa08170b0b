// The program's message box. Constructing one shows it modally, centred over its parent, and
// returns after the user closed it; make it on the stack and read GetResult() when the answer
// matters.
//
// Built on the generic message dialog: the GTK native one cannot be moved or measured from wx
// (its window exists only inside its own modal run), so it could not be centred or kept on
// the screen.
#pragma once

#include <wx/msgdlg.h>  // declares the base of the generic dialog first
#include <wx/generic/msgdlgg.h>

class MesgBox : public wxGenericMessageDialog {
public:
    // Styles in use: wxOK | wxICON_EXCLAMATION (errors and notices), wxICON_HAND
    // (identification and data errors, one OK button), wxOK | wxICON_INFORMATION (about box),
    // wxYES_NO | wxCANCEL | wxICON_QUESTION (unsaved changes), wxYES_NO | wxNO_DEFAULT |
    // wxICON_QUESTION (a backup file with skipped lines; Escape answers "Nie").
    MesgBox(wxWindow* parent, const wxString& message, const wxString& caption, long style = wxOK | wxICON_EXCLAMATION,
            const wxPoint& position = wxDefaultPosition);
    ~MesgBox() override;

    // wxID_OK, wxID_YES, wxID_NO or wxID_CANCEL.
    int GetResult() const { return result; }
    wxWindow* GetOwnerWindow() const { return owner; }

private:
    wxWindow* owner;
    int result = wxID_CANCEL;
};
