#include "comm/UniComEvents.h"

wxDEFINE_EVENT(EVT_UNICOM, wxCommandEvent);
