#include "widgets/MesgBox.h"

#include "widgets/CentreHook.h"

MesgBox::MesgBox(wxWindow* parent, const wxString& message, const wxString& caption, long style,
                 const wxPoint& position)
    : wxGenericMessageDialog(parent, message, caption, style, position), owner(parent) {
    InstallCentreHook();
    result = ShowModal();
    RemoveCentreHook();
}

MesgBox::~MesgBox() = default;
