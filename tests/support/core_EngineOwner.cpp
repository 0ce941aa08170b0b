#include "support/core_EngineOwner.h"

#include "comm/ByteBuffer.h"
#include "comm/UniComEvents.h"

EngineOwner::EngineOwner() { Bind(EVT_UNICOM, &EngineOwner::OnUniCom, this); }

EngineOwner::~EngineOwner() { DeliverQueued(); }

void EngineOwner::DeliverQueued() {
    while (m_pendingEvents && !m_pendingEvents->IsEmpty()) ProcessPendingEvents();
}

void EngineOwner::OnUniCom(wxCommandEvent& event) {
    switch (event.GetInt()) {
    case UNICOM_EV_OPENED:
        opened = true;
        break;
    case UNICOM_EV_LINE: {
        std::unique_ptr<ByteBuffer> line(static_cast<ByteBuffer*>(event.GetClientData()));
        ++linesSeen;
        if (engine) {
            if (ReplyRecord* report = engine->OnLine(line.get())) {
                reports.emplace_back(report);
                if (onReport) onReport(*report);
            }
        }
        break;
    }
    case UNICOM_EV_STOPPED:
        stopped = true;
        if (engine) engine->Abort();
        break;
    default:
        break;
    }
}
