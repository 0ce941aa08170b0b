#include <gtest/gtest.h>
#include <wx/log.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <string>
#include <vector>

#include "comm/jwxUniCom.h"
#include "platform/ThreadCreation.h"
#include "support/core_EventWait.h"
#include "support/core_UniComEventLog.h"

namespace {

using Clock = std::chrono::steady_clock;

// Collects what the GUI thread logs while it is installed.
class LogCapture : public wxLog {
public:
    LogCapture() { previous = wxLog::SetActiveTarget(this); }
    ~LogCapture() override { wxLog::SetActiveTarget(previous); }

    bool Has(wxLogLevel level, const std::string& text) const {
        for (const auto& record : records)
            if (record.first == level && record.second == text) return true;
        return false;
    }

    std::vector<std::pair<wxLogLevel, std::string>> records;

protected:
    void DoLogRecord(wxLogLevel level, const wxString& message, const wxLogRecordInfo&) override {
        records.emplace_back(level, std::string(message.utf8_str()));
    }

private:
    wxLog* previous;
};

// A worker that starts like every driver and then obeys simple orders, leaving UNICOM_TXDATA
// queued: kEndOnOwn ends the worker on its own, kPostSamples posts sample events, UNICOM_EXIT exits.
constexpr unsigned kEndOnOwn = UNICOM_EXIT + 1;
constexpr unsigned kPostSamples = UNICOM_EXIT + 2;

class OrderedWorker : public jwxUniCom {
public:
    explicit OrderedWorker(wxEvtHandler* owner) : jwxUniCom(owner) {}
    ~OrderedWorker() override { Stop(); }

    std::atomic<int> starts{0};

protected:
    int ThreadMain() override {
        ++starts;
        BeginWorker();
        for (;;) {
            platform::ThreadMessage message;
            platform::GetThreadMessage(&message, UNICOM_EXIT, kPostSamples);
            if (message.message != kPostSamples) return 0;
            PostCode(UNICOM_EV_OPENED);
            errno = EIO;
            PostLastError(wxASCII_STR("ReadFile()"));
            static const uint8_t line[] = {'0', '2', '\r', '\n'};
            PostLine(line, 4);
        }
    }
};

bool WorkerEnded(jwxUniCom& driver) {
    return RunLoopUntil([&] { return driver.GetThread() && !driver.GetThread()->IsAlive(); }, 3000);
}

TEST(UniCom, StartTwiceWarnsAndStartsNothing) {
    UniComEventLog owner;
    OrderedWorker driver(&owner);
    driver.Start();
    ASSERT_TRUE(driver.IsRunning());
    const platform::ThreadId first = driver.GetThreadId();
    {
        LogCapture log;
        driver.Start();
        EXPECT_TRUE(log.Has(wxLOG_Warning, "Thread already started"));
    }
    EXPECT_EQ(driver.GetThreadId(), first);
    driver.Stop();
    EXPECT_FALSE(driver.IsRunning());
    EXPECT_EQ(driver.starts.load(), 1);
}

// A thread the system refuses ends the start like a device that does not open: the owner gets
// the open failure with the driver's id, nothing runs, and a later start works again.
TEST(UniCom, RefusedThreadPostsOpenFailedAndStartsNothing) {
    UniComEventLog owner;
    OrderedWorker driver(&owner);
    platform::FailThreadCreations(1);
    {
        LogCapture log;
        driver.Start();
        EXPECT_TRUE(log.Has(wxLOG_Error, "Cannot create the communication thread"));
    }
    EXPECT_FALSE(driver.IsRunning());
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_OPEN_FAILED));
    EXPECT_EQ(owner.CodesWithoutInfo(), std::vector<int>{UNICOM_EV_OPEN_FAILED});
    EXPECT_EQ(owner.entries.front().id, driver.GetEventId());
    EXPECT_EQ(driver.starts.load(), 0);
    driver.Stop();  // nothing to stop: returns at once

    driver.Start();  // the refusal was for one creation only
    EXPECT_TRUE(driver.IsRunning());
    EXPECT_EQ(driver.starts.load(), 1);
}

TEST(UniCom, SendWithoutWorkerLogsAndFreesTheBuffer) {
    UniComEventLog owner;
    jwxUniCom driver(&owner);
    LogCapture log;
    driver.Send(new ByteBuffer(16));  // LeakSanitizer reports it if it is not freed
    EXPECT_TRUE(log.Has(wxLOG_Error, "Send request for non-existing communication thread"));
}

TEST(UniCom, WorkerThatEndsAtOnceStillReleasesStartAndIsJoinedByStop) {
    UniComEventLog owner;
    jwxUniCom driver(&owner);  // the base worker returns at once, before its start steps
    driver.Start();            // would block for ever if the start were never released
    ASSERT_TRUE(WorkerEnded(driver));
    EXPECT_TRUE(driver.IsRunning()) << "stays set until the owner stops the driver";
    {
        LogCapture log;
        driver.Send(new ByteBuffer(8));
        EXPECT_TRUE(log.Has(wxLOG_Error, "PostThreadMessage UNICOM_TXDATA"));
    }
    Clock::time_point start = Clock::now();
    driver.Stop();
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(), 500);
    EXPECT_FALSE(driver.IsRunning());
}

TEST(UniCom, BuffersStillQueuedWhenTheWorkerEndsAreFreed) {
    UniComEventLog owner;
    OrderedWorker driver(&owner);
    driver.Start();
    for (int i = 0; i < 3; ++i) driver.Send(new ByteBuffer(32));
    ASSERT_TRUE(driver.PostToThread(kEndOnOwn, 0, 0));  // the worker ends with the three still queued
    ASSERT_TRUE(WorkerEnded(driver));
    driver.Stop();
}

TEST(UniCom, EventsCarryTheWorkerIdAndTheirPayload) {
    UniComEventLog owner;
    OrderedWorker driver(&owner);
    driver.Start();
    ASSERT_TRUE(driver.PostToThread(kPostSamples, 0, 0));
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_LINE));
    driver.Stop();

    ASSERT_EQ(owner.entries.size(), 3u);
    for (const auto& entry : owner.entries) EXPECT_EQ(entry.id, driver.GetEventId());
    EXPECT_EQ(owner.CodesWithoutInfo(), (std::vector<int>{UNICOM_EV_OPENED, UNICOM_EV_ERROR, UNICOM_EV_LINE}));
    EXPECT_EQ(owner.entries[1].text, "ReadFile(): LastError: 5");
    EXPECT_EQ(owner.entries[2].text, "02\r\n");
}

// Drivers made one after another (each started and stopped before the next) carry ids of
// their own, so that the owner can tell events of a stopped driver from those of its successor.
TEST(UniCom, EveryDriverHasAnEventIdOfItsOwn) {
    UniComEventLog owner;
    std::vector<int> ids;
    for (int i = 0; i < 4; ++i) {
        OrderedWorker driver(&owner);
        driver.Start();
        ASSERT_TRUE(driver.PostToThread(kPostSamples, 0, 0));
        ASSERT_TRUE(owner.WaitFor(UNICOM_EV_LINE, i + 1));
        driver.Stop();
        EXPECT_EQ(owner.entries.back().id, driver.GetEventId());
        ids.push_back(driver.GetEventId());
    }
    for (size_t i = 0; i < ids.size(); ++i)
        for (size_t j = i + 1; j < ids.size(); ++j) EXPECT_NE(ids[i], ids[j]) << i << " and " << j;
}

}  // namespace
