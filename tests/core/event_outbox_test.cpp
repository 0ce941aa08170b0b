// The way a worker's events reach their owner: in order, all of them, once per batch.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/event.h>

#include <thread>
#include <vector>

#include "comm/EventOutbox.h"
#include "support/core_EventWait.h"

namespace {

wxDEFINE_EVENT(EVT_NUMBERED, wxCommandEvent);

class NumberLog : public wxEvtHandler {
public:
    NumberLog() {
        Bind(EVT_NUMBERED, [this](wxCommandEvent& event) { seen.push_back(event.GetInt()); });
    }
    std::vector<int> seen;
};

wxCommandEvent* Numbered(int n) {
    auto* event = new wxCommandEvent(EVT_NUMBERED);
    event->SetInt(n);
    return event;
}

// The outbox wakes the GUI thread with an event of its own, which is all it ever handles: each
// event it handles is one wake-up.
class CountingOutbox : public EventOutbox {
public:
    using EventOutbox::EventOutbox;
    int wakeUps = 0;

protected:
    bool TryBefore(wxEvent& event) override {
        ++wakeUps;
        return EventOutbox::TryBefore(event);
    }
};

std::vector<int> OneTo(int n) {
    std::vector<int> numbers;
    for (int i = 1; i <= n; ++i) numbers.push_back(i);
    return numbers;
}

}  // namespace

TEST(EventOutbox, EventsFromAWorkerArriveAllAndInOrder) {
    NumberLog owner;
    EventOutbox outbox(&owner);
    std::thread worker([&] {
        for (int i = 1; i <= 2000; ++i) {
            // Batches of every size, and single events between them.
            if (i % 7 == 0) outbox.Hold();
            outbox.Post(Numbered(i));
            if (i % 7 == 3 || i == 2000) outbox.Release();
        }
    });
    ASSERT_TRUE(RunLoopUntil([&] { return owner.seen.size() == 2000; }, 10000));
    worker.join();
    EXPECT_EQ(owner.seen, OneTo(2000));
}

// Events held for a batch reach the owner only after the release, all of them with one
// wake-up; so do events posted while a wake-up is already on its way.
TEST(EventOutbox, HeldEventsWaitForTheReleaseAndComeWithOneWakeUp) {
    struct Case {
        const char* name;
        bool held;
    } cases[] = {{"held batch", true}, {"posts before the GUI thread runs", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NumberLog owner;
        CountingOutbox outbox(&owner);
        if (c.held) {
            outbox.Hold();
            for (int i = 1; i <= 5; ++i) outbox.Post(Numbered(i));
            RunLoopFor(50);
            EXPECT_TRUE(owner.seen.empty());
            EXPECT_EQ(outbox.wakeUps, 0);
            outbox.Release();
        } else {
            for (int i = 1; i <= 5; ++i) outbox.Post(Numbered(i));
        }
        ASSERT_TRUE(RunLoopUntil([&] { return owner.seen.size() == 5; }, 2000));
        EXPECT_EQ(owner.seen, OneTo(5));
        EXPECT_EQ(outbox.wakeUps, 1);
        // The next post, with nothing on its way, wakes the GUI thread again.
        outbox.Post(Numbered(6));
        ASSERT_TRUE(RunLoopUntil([&] { return owner.seen.size() == 6; }, 2000));
        EXPECT_EQ(outbox.wakeUps, 2);
    }
}

TEST(EventOutbox, WhatStillWaitsGoesOnToTheOwnerAtTheEnd) {
    NumberLog owner;
    {
        EventOutbox outbox(&owner);
        outbox.Hold();
        for (int i = 1; i <= 3; ++i) outbox.Post(Numbered(i));
    }
    wxAppConsole::GetInstance()->ProcessPendingEvents();
    EXPECT_EQ(owner.seen, OneTo(3));
}
