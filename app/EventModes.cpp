#include "app/EventModes.h"

#include <wx/event.h>

void SetProgramEventModes() {
    wxIdleEvent::SetMode(wxIDLE_PROCESS_SPECIFIED);
    wxUpdateUIEvent::SetMode(wxUPDATE_UI_PROCESS_SPECIFIED);
}
