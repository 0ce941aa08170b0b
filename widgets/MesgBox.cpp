#include "widgets/MesgBox.h"

#include "widgets/CentreHook.h"

MesgBox::MesgBox(wxWindow* parent, const wxString& message, const wxString& caption, long style,
                 const wxPoint& position)
    : wxGenericMessageDialog(parent, message, caption, style, position), owner(parent) {
    // The toolkit's stock labels follow the system language; the program speaks Polish.
    SetYesNoCancelLabels(wxString::FromUTF8("&Tak"), wxString::FromUTF8("&Nie"), wxString::FromUTF8("&Anuluj"));
    SetOKCancelLabels(wxString::FromUTF8("OK"), wxString::FromUTF8("&Anuluj"));
    // A question without Cancel ends only through one of its two buttons: Escape answers "Nie",
    // the answer that changes nothing.
    if ((style & wxYES_NO) && !(style & wxCANCEL)) SetEscapeId(wxID_NO);
    InstallCentreHook();
    result = ShowModal();
    RemoveCentreHook();
}

MesgBox::~MesgBox() = default;
