// Stands in for the main window as the owner of a driver and a PanelProtocol engine: every
// received line goes to the engine, the records of lines the panel sent on its own (reports)
// are kept, and a lost driver (UNICOM_EV_STOPPED) aborts the engine.
//
//     EngineOwner owner;
//     FdDriver driver(&owner, fd);
//     PanelProtocol engine(&owner, &driver);
//     owner.engine = &engine;      // set it back to nullptr before the engine goes
//
// The destructor delivers the events still queued, which frees the line buffers they carry.
#pragma once

#include <wx/event.h>

#include <functional>
#include <memory>
#include <vector>

#include "comm/PanelProtocol.h"
#include "comm/ReplyRecord.h"

class EngineOwner : public wxEvtHandler {
public:
    EngineOwner();
    ~EngineOwner() override;

    // Handles every event still queued for this owner.
    void DeliverQueued();

    PanelProtocol* engine = nullptr;
    std::vector<std::unique_ptr<ReplyRecord>> reports;
    // Optional: called with each report as it is kept, inside the event handler.
    std::function<void(const ReplyRecord&)> onReport;
    int linesSeen = 0;  // every UNICOM_EV_LINE, with or without an engine
    bool opened = false;
    bool stopped = false;

private:
    void OnUniCom(wxCommandEvent& event);
};
