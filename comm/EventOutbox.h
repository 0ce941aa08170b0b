// The way a worker's events reach their owner on the GUI thread. Events wait here, in order,
// until the GUI thread moves them all to the owner's queue at once. A burst of lines read in one
// go then wakes the GUI thread once, instead of once per line with both threads taking turns at
// the toolkit's event queue, which costs more than handling the lines.
#pragma once

#include <wx/event.h>

#include <mutex>
#include <vector>

class EventOutbox : public wxEvtHandler {
public:
    explicit EventOutbox(wxEvtHandler* owner);
    // Whatever still waits goes on to the owner, as if the GUI thread had moved it.
    ~EventOutbox() override;

    // Any thread: takes the event; the owner gets it after those posted before it.
    void Post(wxEvent* event);
    // Events posted between these two wait for Release, which wakes the GUI thread once for all.
    void Hold();
    void Release();

private:
    void OnWake(wxCommandEvent& event);
    void HandOn();
    bool NeedsWake();  // with the lock held: whether this post must wake the GUI thread
    void Wake();

    wxEvtHandler* owner;
    std::mutex lock;
    std::vector<wxEvent*> waiting;
    bool holding = false;
    bool wakeQueued = false;  // a wake event is on its way and will take what waits
};
