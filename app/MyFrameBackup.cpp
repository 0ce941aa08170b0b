// Saving the panel's whole parameter set to a file and loading it back.
#include "app/MyFrame.h"

// Not built yet: the commands do nothing.
void MyFrame::OnSaveConfig(wxCommandEvent&) {}
void MyFrame::OnLoadConfig(wxCommandEvent&) {}
