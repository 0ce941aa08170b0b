// Menu command ids and selector ids of the main window, and its frame-internal event types.
// (The regulator views' layout event is theirs: regulators/RegX.h.)
#pragma once

#include <wx/event.h>

enum MenuId {
    ID_QUIT = 1,
    ID_ABOUT = 2,
    ID_PORT = 3,
    ID_REMOTE_ASSIST = 4,
    ID_PROXY_SOCKET = 5,  // the remote-assistance socket's event id
    ID_PANEL_INFO = 6,
    ID_DISP_CONF = 7,
    ID_T500_FORMAT = 8,
    ID_NZONE_INP = 9,
    ID_NZONE_RNG = 10,
    ID_USER_CALIB = 11,
    ID_ANALOG_INP = 12,
    ID_LOGIC_CONF = 13,
    ID_RELAY_CONF = 14,
    ID_ANALOG_OUT = 15,
    ID_ANALOG_CONST = 16,
    ID_REG_TYPE = 17,
    ID_I420_CALIB = 18,
    ID_DISP_LEDS = 19,
    ID_USER_VAR = 20,
    ID_BIN_CONST = 21,
    ID_SAVE_CONFIG = 22,
    ID_LOAD_CONFIG = 23,
};

enum RegulatorSelectorId {
    ID_REG_NONE = 100,  // "-"
    ID_REG_1 = 101,     // "R1" .. "R4" are 101..104
};

// Connection steps: the event id of an EVT_CONNECT_STEP event.
enum ConnectStep {
    CONNECT_STEP_CONNECT = 0,
    CONNECT_STEP_OPENED = 1,
    CONNECT_STEP_FAILED = 2,
    CONNECT_STEP_CHOOSE_PORT = 3,
    CONNECT_STEP_RECONNECT = 4,
};

wxDECLARE_EVENT(EVT_CONNECT_STEP, wxCommandEvent);
wxDECLARE_EVENT(EVT_ASSIST_CANCEL, wxCommandEvent);
