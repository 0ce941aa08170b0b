// The event through which PanelClient hands the frame each line that the panel sends on its
// own account: a wxCommandEvent with id -1, int PANEL_EV_REPORT and the ReplyRecord as client
// data, which the receiver deletes.
#pragma once

#include <wx/event.h>

constexpr int PANEL_EV_REPORT = 3;

wxDECLARE_EVENT(EVT_PANEL_DATA, wxCommandEvent);
