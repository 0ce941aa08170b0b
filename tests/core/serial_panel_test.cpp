// The panel protocol end to end over the serial driver: the simulated panel serves the master
// side of a pseudo-terminal, jwxSerial opens the slave by its path, and the request engine runs
// on this (GUI-side) thread exactly as the panel client drives it.
#include <gtest/gtest.h>
#include <unistd.h>
#include <wx/app.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "comm/ByteBuffer.h"
#include "comm/PanelProtocol.h"
#include "comm/ReplyRecord.h"
#include "comm/UniComEvents.h"
#include "comm/jwxSerial.h"
#include "sim/PanelSimulator.h"
#include "support/core_EngineOwner.h"
#include "support/core_EventWait.h"
#include "support/core_Pty.h"

namespace {

class SerialPanelTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Open());
        ASSERT_TRUE(panel.Start(pty.TakeMaster(), true));
        driver.reset(new jwxSerial(&router, wxString::FromUTF8(pty.slavePath)));
        engine.reset(new PanelProtocol(&router, driver.get()));
        engine->SetReplyTimeoutMs(400);
        router.engine = engine.get();
        driver->Start();
        ASSERT_TRUE(RunLoopUntil([this] { return router.opened || router.stopped; }, 3000));
        ASSERT_TRUE(router.opened);
    }
    void TearDown() override {
        driver->Stop();
        driver.reset();
        router.DeliverQueued();
        router.engine = nullptr;
        engine.reset();
        panel.Stop();
        pty.CloseSlave();
    }

    std::unique_ptr<ReplyRecord> Ask(const char* request) {
        return std::unique_ptr<ReplyRecord>(engine->Transact(request));
    }

    sim::PanelSimulator panel;
    RawPty pty;  // our own hold on the slave, so a hang-up is the panel's alone
    EngineOwner router;
    std::unique_ptr<jwxSerial> driver;
    std::unique_ptr<PanelProtocol> engine;
};

TEST_F(SerialPanelTest, IdentifyReadAndWriteEachKind) {
    sim::SimIdentity identity;
    identity.version = 0x000309;
    identity.serial = 0x4321;
    panel.SetIdentity(identity);

    auto ident = Ask("020a00");
    ASSERT_NE(ident, nullptr);
    EXPECT_EQ(ident->GetKind(), 0x02);
    EXPECT_EQ(ident->GetCode(), 0x0a);
    ASSERT_GE(ident->GetFieldCount(), 5);
    EXPECT_EQ(ident->GetUnsigned(0), 0x352u);
    EXPECT_EQ(ident->GetUnsigned(1), 0x309u);
    EXPECT_EQ(ident->GetUnsigned(4), 0x4321u);

    // Input configuration parameter 204: the default panel has a thermometer board.
    auto read = Ask("02860000cc");
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->GetFieldCount(), 4);
    EXPECT_EQ(read->GetUnsigned(0), 204u);
    EXPECT_EQ(read->GetUnsigned(2) & 7u, 1u);
    EXPECT_EQ(read->GetUnsigned(3), 1u);

    // Each write command stores its width; the value reads back.
    panel.SetParam({0x0300, sim::KIND_U16, 0, 0});
    panel.SetParam({0x0301, sim::KIND_U32, 0, 0});
    panel.SetParam({0x0302, sim::KIND_DECIMAL, 0, 0});
    const struct {
        const char* write;
        const char* read;
        uint16_t code;
        uint32_t value;
    } cases[] = {
        {"029a0000cc02", "02860000cc", 204, 0x02},
        {"029b000300beef", "0286000300", 0x0300, 0xbeef},
        {"029c000301deadbeef", "0286000301", 0x0301, 0xdeadbeef},
        {"029d000302ff3802", "0286000302", 0x0302, 0xff3802},  // -2.00
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.write);
        auto written = Ask(c.write);
        ASSERT_NE(written, nullptr);
        ASSERT_EQ(written->GetFieldCount(), 2);
        EXPECT_EQ(written->GetUnsigned(0), c.code);
        EXPECT_EQ(written->GetUnsigned(1), 0u);  // stored
        ASSERT_TRUE(panel.Param(c.code).has_value());
        EXPECT_EQ(panel.Param(c.code)->value, c.value);
        auto back = Ask(c.read);
        ASSERT_NE(back, nullptr);
        ASSERT_EQ(back->GetFieldCount(), 4);
        EXPECT_EQ(back->GetUnsigned(3), c.value);
    }

    // One request line is one write with a fresh sequence number and a valid checksum: the panel
    // saw every request exactly once and no bad line.
    EXPECT_EQ(panel.Requests().size(), 2u + 2 * 4);
    EXPECT_EQ(panel.BadChecksumCount(), 0);
    EXPECT_EQ(panel.MalformedCount(), 0);
}

// At the wire's own pace (960 bytes per second, one byte at a time) the lines arrive in pieces
// and the pushed reports interleave with the replies; each request still gets its own reply and
// every report comes out whole and in order.
TEST_F(SerialPanelTest, PushedReportsInterleaveWithRepliesAtLineSpeed) {
    panel.SetPacing(true);
    auto started = Ask("023000ffff");
    ASSERT_NE(started, nullptr);
    EXPECT_EQ(panel.ModeWord(), 0xffff);

    std::vector<unsigned> pushed;
    for (unsigned mask = 1; mask <= 8; ++mask) {
        ASSERT_TRUE(panel.PushReport(sim::RelayReport(mask)));
        pushed.push_back(mask);
        auto reply = Ask("02860000cc");
        ASSERT_NE(reply, nullptr) << "request " << mask;
        EXPECT_EQ(reply->GetUnsigned(0), 204u);
    }
    ASSERT_TRUE(RunLoopUntil([&] { return router.reports.size() >= pushed.size(); }, 3000));
    std::vector<unsigned> seen;
    for (const auto& report : router.reports) {
        EXPECT_EQ(report->GetSequence(), 0);
        EXPECT_EQ(report->GetCode(), 0x97);
        seen.push_back(report->GetUnsigned(0));
    }
    EXPECT_EQ(seen, pushed);

    // Mode 0 stops them.
    auto stoppedReports = Ask("0230000000");
    ASSERT_NE(stoppedReports, nullptr);
    EXPECT_FALSE(panel.PushReport(sim::RelayReport(0x7f)));
    EXPECT_EQ(panel.BadChecksumCount(), 0);
}

// A reply that never comes makes the engine try three times with new sequence numbers; a reply
// with a broken checksum counts as none.
TEST_F(SerialPanelTest, UnansweredAndCorruptRepliesAreRetriedThenGivenUp) {
    panel.SetCorruptReplyChecksums(true);
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_EQ(Ask("020a00"), nullptr);
    const auto took = std::chrono::steady_clock::now() - begin;
    EXPECT_GE(took, std::chrono::milliseconds(3 * 400 - 50));
    std::vector<sim::SimRequest> requests = panel.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_NE(requests[0].sequence, requests[1].sequence);
    EXPECT_NE(requests[1].sequence, requests[2].sequence);
    for (const auto& request : requests) EXPECT_NE(request.sequence, 0);

    // The next request, answered properly, is not confused by the late corrupt lines.
    panel.SetCorruptReplyChecksums(false);
    auto ident = Ask("020a00");
    ASSERT_NE(ident, nullptr);
    EXPECT_EQ(ident->GetUnsigned(0), 0x352u);
}

// The panel hangs up while a request waits: the driver reports the loss, the engine is aborted
// from the handler nested inside the wait, and the request returns at once instead of retrying.
TEST_F(SerialPanelTest, HangUpDuringARequestEndsItAtOnce) {
    panel.SetHangUpAfterRequests(0);
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_EQ(Ask("02860000cc"), nullptr);
    const auto took = std::chrono::steady_clock::now() - begin;
    EXPECT_TRUE(router.stopped);
    EXPECT_TRUE(engine->IsAborted());
    EXPECT_LT(took, std::chrono::milliseconds(2 * 400));
    EXPECT_EQ(panel.Requests().size(), 1u);
    EXPECT_TRUE(panel.HasHungUp());
    // The worker has ended after the error; stopping it again is harmless.
    EXPECT_TRUE(RunLoopUntil([this] { return driver->GetThread() && !driver->GetThread()->IsAlive(); }, 3000));
}

}  // namespace
