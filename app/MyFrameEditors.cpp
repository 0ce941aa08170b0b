// The live editors: logic gates, relay outputs and analog outputs.
#include "app/MyFrame.h"

// Not built yet: the commands do nothing.
void MyFrame::OnLogicConf(wxCommandEvent&) {}
void MyFrame::OnRelayConf(wxCommandEvent&) {}
void MyFrame::OnAnalogOut(wxCommandEvent&) {}
