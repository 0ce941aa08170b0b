#include "comm/EventOutbox.h"

namespace {
// A command event, like the events it brings, so that any wait that lets the owner's events
// through lets this one through too.
wxDEFINE_EVENT(EVT_OUTBOX_WAKE, wxCommandEvent);
}  // namespace

EventOutbox::EventOutbox(wxEvtHandler* owner) : owner(owner) {
    Bind(EVT_OUTBOX_WAKE, &EventOutbox::OnWake, this);
}

EventOutbox::~EventOutbox() { HandOn(); }

void EventOutbox::Post(wxEvent* event) {
    bool wake = false;
    {
        std::lock_guard<std::mutex> guard(lock);
        waiting.push_back(event);
        wake = !holding && NeedsWake();
    }
    if (wake) Wake();
}

void EventOutbox::Hold() {
    std::lock_guard<std::mutex> guard(lock);
    holding = true;
}

void EventOutbox::Release() {
    bool wake = false;
    {
        std::lock_guard<std::mutex> guard(lock);
        holding = false;
        wake = !waiting.empty() && NeedsWake();
    }
    if (wake) Wake();
}

// One wake event at a time: the events posted before it is handled ride with it.
bool EventOutbox::NeedsWake() {
    if (wakeQueued) return false;
    wakeQueued = true;
    return true;
}

// Outside the lock: the GUI thread, woken, takes the lock at once to hand the events on.
void EventOutbox::Wake() { QueueEvent(new wxCommandEvent(EVT_OUTBOX_WAKE)); }

void EventOutbox::OnWake(wxCommandEvent&) { HandOn(); }

void EventOutbox::HandOn() {
    std::vector<wxEvent*> batch;
    {
        std::lock_guard<std::mutex> guard(lock);
        batch.swap(waiting);
        wakeQueued = false;
    }
    // Queued, not handled here: a handler that opens a dialog or waits for a reply runs a nested
    // loop, which must still see the events behind its own.
    for (wxEvent* event : batch) owner->QueueEvent(event);
}
