#include "widgets/OkCancelButtons.h"

#include <wx/button.h>
#include <wx/sizer.h>

wxStdDialogButtonSizer* CreateOkCancelButtons(wxWindow* dialog, bool withCancel) {
    auto* buttons = new wxStdDialogButtonSizer;
    auto* ok = new wxButton(dialog, wxID_OK, wxASCII_STR("OK"));
    ok->SetDefault();
    buttons->AddButton(ok);
    if (withCancel) buttons->AddButton(new wxButton(dialog, wxID_CANCEL, wxString::FromUTF8("Anuluj")));
    buttons->Realize();
    return buttons;
}
