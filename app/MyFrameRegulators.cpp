// Regulator selection, the hosted regulator view and the regulator types command.
#include "app/MyFrame.h"

// Not built yet: the commands do nothing.
void MyFrame::OnRegType(wxCommandEvent&) {}
void MyFrame::OnRegRadio(wxCommandEvent&) {}
void MyFrame::OnRegPanelLayout(wxCommandEvent&) {}
