// Configuration commands of the "Ustawienia" menu: read an area, edit it in its dialog, write it back.
#include "app/MyFrame.h"

// Not built yet: the commands do nothing.
void MyFrame::OnPanelInfo(wxCommandEvent&) {}
void MyFrame::OnDispConf(wxCommandEvent&) {}
void MyFrame::OnDispLEDs(wxCommandEvent&) {}
void MyFrame::OnT500Format(wxCommandEvent&) {}
void MyFrame::OnUserCalib(wxCommandEvent&) {}
void MyFrame::OnNZoneInp(wxCommandEvent&) {}
void MyFrame::OnNZoneRng(wxCommandEvent&) {}
void MyFrame::OnAnalogInp(wxCommandEvent&) {}
void MyFrame::OnAnalogConst(wxCommandEvent&) {}
void MyFrame::OnI420Calib(wxCommandEvent&) {}
void MyFrame::OnUserVar(wxCommandEvent&) {}
void MyFrame::OnBinConst(wxCommandEvent&) {}
