#include "comm/PanelEvents.h"

wxDEFINE_EVENT(EVT_PANEL_DATA, wxCommandEvent);
