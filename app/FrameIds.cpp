#include "app/FrameIds.h"

wxDEFINE_EVENT(EVT_CONNECT_STEP, wxCommandEvent);
wxDEFINE_EVENT(EVT_ASSIST_CANCEL, wxCommandEvent);
