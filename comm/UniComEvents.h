// The contract between a driver's worker thread and the GUI thread: the thread messages the
// GUI posts to the worker, and the EVT_UNICOM event codes the worker posts to its owner.
#pragma once

#include <wx/event.h>

// Thread messages, GUI -> worker.
enum UniComMessage : unsigned {
    UNICOM_TXDATA = 1034,  // wParam: ByteBuffer* to write; the worker deletes it
    UNICOM_EXIT = 1035,    // leave the loop, close, end the thread
    UNICOM_SELECT = 1036,  // wParam: chosen remote node index, -1 for none (proxy driver only)
};

// Event codes carried in the int of an EVT_UNICOM wxCommandEvent, worker -> owner.
// The event id is the worker's thread id.
enum UniComEventCode : int {
    UNICOM_EV_OPENED = 1,
    UNICOM_EV_OPEN_FAILED = 2,  // proxy driver: string = reason, when known
    UNICOM_EV_IDLE = 3,         // 1500 ms without device event or message
    UNICOM_EV_INFO = 4,         // string
    UNICOM_EV_WARNING = 5,      // string
    UNICOM_EV_ERROR = 6,        // string
    UNICOM_EV_LINE = 10,        // client data: ByteBuffer* with the line and its LF; receiver deletes
    UNICOM_EV_STOPPED = 11,     // the worker left its loop because of an error
    UNICOM_EV_PEER_CLOSED = 12, // proxy driver: the proxy closed the connection
    UNICOM_EV_NODE_LIST = 13,   // proxy driver: extra long = count, client data = char** node texts
};

wxDECLARE_EVENT(EVT_UNICOM, wxCommandEvent);
