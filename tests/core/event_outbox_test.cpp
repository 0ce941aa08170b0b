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

TEST(EventOutbox, HeldEventsWaitForTheReleaseAndComeTogether) {
    NumberLog owner;
    EventOutbox outbox(&owner);
    outbox.Hold();
    for (int i = 1; i <= 5; ++i) outbox.Post(Numbered(i));
    RunLoopFor(50);
    EXPECT_TRUE(owner.seen.empty());
    outbox.Release();
    ASSERT_TRUE(RunLoopUntil([&] { return owner.seen.size() == 5; }, 2000));
    EXPECT_EQ(owner.seen, OneTo(5));
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
