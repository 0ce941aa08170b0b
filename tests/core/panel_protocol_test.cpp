// The request engine against a scripted panel on the other end of a socketpair (or a pty),
// reached through a real driver worker, with the wait running in the real event loop.
#include <gtest/gtest.h>
#include <wx/evtloop.h>
#include <wx/log.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include "comm/PanelProtocol.h"
#include "comm/UniComEvents.h"
#include "sim/SimLine.h"
#include "support/core_EngineOwner.h"
#include "support/core_FdDriver.h"
#include "support/core_Pty.h"

namespace {

using Clock = std::chrono::steady_clock;

long MillisSince(Clock::time_point start) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

using sim::HexValue;
using sim::PairSum;

// A reply line as the panel writes it: fields, ':' and the checksum, CR LF. Built by the
// simulator's line code, apart from the engine's own checksum, so that fixtures do not depend
// on the code under test.
std::string Reply(const std::string& body) { return sim::FinishFieldLine(body); }

int SequenceOf(const std::string& line) { return HexValue(line[4]) * 16 + HexValue(line[5]); }

// The head of a request line with the given sequence, e.g. Head("020a", 3) = "020a03".
std::string Head(const std::string& kindAndCode, int sequence) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02x", sequence);
    return kindAndCode + digits;
}

const char kClose[] = "<close>";  // responder answer: the peer closes its end

// The panel side: reads request lines and writes what the responder returns for each.
// Owns its descriptor and closes it when the other end goes away or on kClose.
class LinePeer {
public:
    using Responder = std::function<std::vector<std::string>(const std::string& request, int index)>;

    LinePeer(int fd, Responder responder) : fd(fd), responder(std::move(responder)), thread([this] { Run(); }) {}
    ~LinePeer() { Join(); }
    // Returns once the other end has gone away (or the peer closed its own end).
    void Join() {
        if (thread.joinable()) thread.join();
    }

    std::vector<std::string> Requests() const {
        std::lock_guard<std::mutex> guard(lock);
        return requests;
    }
    std::vector<Clock::time_point> ArrivalTimes() const {
        std::lock_guard<std::mutex> guard(lock);
        return arrivals;
    }
    // From the test thread, while the peer thread only reads.
    void Write(const std::string& bytes) const {
        for (size_t done = 0; done < bytes.size();) {
            ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
            if (n <= 0) return;
            done += static_cast<size_t>(n);
        }
    }

private:
    void Run() {
        std::string pending;
        char chunk[256];
        for (;;) {
            ssize_t got = read(fd, chunk, sizeof chunk);
            if (got <= 0) break;
            pending.append(chunk, static_cast<size_t>(got));
            size_t end;
            while ((end = pending.find('\n')) != std::string::npos) {
                std::string line = pending.substr(0, end + 1);
                pending.erase(0, end + 1);
                int index;
                {
                    std::lock_guard<std::mutex> guard(lock);
                    index = static_cast<int>(requests.size());
                    requests.push_back(line);
                    arrivals.push_back(Clock::now());
                }
                for (const std::string& answer : responder(line, index)) {
                    if (answer == kClose) {
                        close(fd);
                        return;
                    }
                    Write(answer);
                }
            }
        }
        close(fd);
    }

    int fd;
    Responder responder;
    mutable std::mutex lock;
    std::vector<std::string> requests;
    std::vector<Clock::time_point> arrivals;
    std::thread thread;
};

void PumpUntil(const std::function<bool()>& done, long timeoutMs = 2000) {
    const Clock::time_point start = Clock::now();
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    while (!done() && MillisSince(start) < timeoutMs) {
        loop->Yield(false);
        if (!done()) loop->DispatchTimeout(20);
    }
}

double ThreadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

class TransactTest : public ::testing::Test {
protected:
    void Connect(LinePeer::Responder responder, bool overPty = false) {
        owner = std::make_unique<EngineOwner>();
        int peerFd = -1;
        if (overPty) {
            RawPty pty;
            ASSERT_TRUE(pty.Open(RawPty::Mode::RawOnly));
            peerFd = pty.TakeMaster();
            driverFd = pty.TakeSlave();
        } else {
            int ends[2];
            ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
            driverFd = ends[0];
            peerFd = ends[1];
        }
        peer = std::make_unique<LinePeer>(peerFd, std::move(responder));
        driver = std::make_unique<FdDriver>(owner.get(), driverFd);
        driver->Start();
        engine = std::make_unique<PanelProtocol>(owner.get(), driver.get());
        owner->engine = engine.get();
        PumpUntil([this] { return owner->opened; });
        ASSERT_TRUE(owner->opened);
    }

    // Stops the worker, takes the events it left, lets the peer see the end and waits for it;
    // returns every line the peer received.
    std::vector<std::string> Disconnect() {
        if (driver) driver->Stop();
        wxEventLoopBase::GetActive()->Yield(false);
        if (owner) owner->engine = nullptr;
        if (driverFd >= 0) close(driverFd);
        driverFd = -1;
        if (!peer) return {};
        peer->Join();
        return peer->Requests();
    }

    void TearDown() override {
        Disconnect();
        peer.reset();
        driver.reset();
        engine.reset();
        owner.reset();
    }

    std::unique_ptr<EngineOwner> owner;
    int driverFd = -1;
    std::unique_ptr<LinePeer> peer;
    std::unique_ptr<FdDriver> driver;
    std::unique_ptr<PanelProtocol> engine;
};

TEST(ChecksumTest, SumsHexPairsAndRejectsLoneDigits) {
    struct Case {
        const char* text;
        int expected;
    } cases[] = {
        {"", 0},
        {"020a00", 0x0c},
        {"020A00", 0x0c},    // either case
        {"02:0a:ff", 0x0b},  // ':' is skipped alone
        {"02zz0a", 0x0c},    // so is any other non-hex character
        {"ffff", 0xfe},      // 8-bit sum
        {"020a0", -1},       // lone digit at the end
        {"02:a:00", -1},     // lone digit before ':'
        {"0:20a00", -1},
    };
    for (const Case& c : cases) EXPECT_EQ(PanelProtocol::Checksum(c.text), c.expected) << '"' << c.text << '"';
    // The explicit-length form never reads past its length: the digit after it is no partner.
    EXPECT_EQ(PanelProtocol::Checksum("020a0f", 5), -1);
    EXPECT_EQ(PanelProtocol::Checksum("020a0f", 4), 0x0c);
}

TEST(OnLineTest, OnlyValidLinesWithSequenceZeroGiveRecords) {
    std::string withNul = Reply("029700:12");
    withNul[6] = '\0';  // NUL is skipped by the checksum, so the pairs still sum to 0
    std::string upperLfOnly = Reply("030000:0001E240");
    upperLfOnly.erase(upperLfOnly.size() - 2, 1);
    struct Case {
        const char* name;
        std::string bytes;
        bool record;
    } cases[] = {
        {"report", Reply("029700:0012:ff"), true},
        {"report, upper case, LF only", upperLfOnly, true},
        {"bad checksum", "029700:12:00\r\n", false},
        {"lone hex digit", "029700:1:ff\r\n", false},
        {"three characters", ":fe\r\n", false},
        {"fewer than 6 characters after the checksum", Reply("0200"), false},
        {"NUL inside", withNul, false},
        {"sequence without a waiting request", Reply("02970a:12"), false},
        {"no line end at all", Reply("029700:12").substr(0, 12), true},
    };
    for (auto& c : cases) {
        PanelProtocol engine(nullptr, nullptr);
        ByteBuffer line(static_cast<int32_t>(c.bytes.size()));
        line.CopyIn(c.bytes.data(), line.GetLength());
        std::unique_ptr<ReplyRecord> record(engine.OnLine(&line));
        EXPECT_EQ(record != nullptr, c.record) << c.name;
    }

    PanelProtocol engine(nullptr, nullptr);
    ByteBuffer line(static_cast<int32_t>(upperLfOnly.size()));
    line.CopyIn(upperLfOnly.data(), line.GetLength());
    std::unique_ptr<ReplyRecord> report(engine.OnLine(&line));
    ASSERT_TRUE(report);
    EXPECT_EQ(report->GetKind(), 3);
    EXPECT_EQ(report->GetCode(), 0);
    ASSERT_EQ(report->GetFieldCount(), 1);  // the checksum is no field
    EXPECT_EQ(report->GetUnsigned(0), 123456u);

    engine.Abort();
    EXPECT_EQ(engine.OnLine(&line), nullptr);
}

// Every received line reaches the log as "RX:" and its bytes, line end cut off: control bytes
// as '.', every other byte as the character of that value, so nothing of a garbled line hides.
TEST(OnLineTest, LogsEveryLineWithControlBytesAsDots) {
    struct Capture : wxLog {
        std::vector<wxString> texts;
        void DoLogRecord(wxLogLevel, const wxString& text, const wxLogRecordInfo&) override { texts.push_back(text); }
    };
    auto* capture = new Capture;
    std::unique_ptr<wxLog> previous(wxLog::SetActiveTarget(capture));
    const bool wasVerbose = wxLog::GetVerbose();
    wxLog::SetVerbose(true);
    const std::string lines[] = {Reply("029700:0012:ff"), std::string("02\x01" "97\x7f\xe9\t:zz\r\n")};
    for (const std::string& bytes : lines) {
        PanelProtocol engine(nullptr, nullptr);
        ByteBuffer line(static_cast<int32_t>(bytes.size()));
        line.CopyIn(bytes.data(), line.GetLength());
        delete engine.OnLine(&line);
    }
    wxLog::SetVerbose(wasVerbose);
    wxLog::SetActiveTarget(previous.release());
    ASSERT_EQ(capture->texts.size(), 2u);
    EXPECT_EQ(capture->texts[0], wxString(wxASCII_STR("RX:")) + wxString::FromAscii(Reply("029700:0012:ff").c_str()).BeforeFirst('\r'));
    EXPECT_EQ(capture->texts[1], wxString(L"RX:02.97.\u00e9.:zz"));
    delete capture;
}

TEST_F(TransactTest, SendsNumberedCheckedLineAndTakesMatchingReply) {
    Connect([](const std::string& request, int) {
        // A report (sequence 00) first, then the answer in upper case: its head "02AD01" differs
        // from the request's "02ad01" in letter case only.
        return std::vector<std::string>{Reply("02a400:05"), Reply("02AD" + request.substr(4, 2) + ":00CC:2A")};
    });
    std::unique_ptr<ReplyRecord> reply(engine->Transact("02ad0000cc"));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->GetSequence(), 1);
    ASSERT_EQ(reply->GetFieldCount(), 2);
    EXPECT_EQ(reply->GetUnsigned(0), 0xccu);
    EXPECT_EQ(reply->GetUnsigned(1), 0x2au);
    ASSERT_EQ(owner->reports.size(), 1u);
    EXPECT_EQ(owner->reports[0]->GetCode(), 0xa4);

    std::vector<std::string> sent = peer->Requests();
    ASSERT_EQ(sent.size(), 1u);
    const std::string& line = sent[0];
    ASSERT_GE(line.size(), 4u);
    EXPECT_EQ(line.substr(line.size() - 2), "\r\n");
    EXPECT_EQ(line.substr(0, 10), "02ad0100cc");
    EXPECT_EQ(line.size(), 14u);
    EXPECT_EQ(PairSum(line), 0) << line;
    EXPECT_EQ(line.find_first_of("ABCDEF"), std::string::npos) << line;
}

TEST_F(TransactTest, SequenceRunsFrom1To255ThenStartsAt1) {
    Connect([](const std::string& request, int) {
        return std::vector<std::string>{Reply(request.substr(0, 6) + ":01")};
    });
    for (int i = 0; i < 256; ++i) {
        std::unique_ptr<ReplyRecord> reply(engine->Transact("020a00"));
        ASSERT_TRUE(reply) << "request " << i;
        EXPECT_EQ(reply->GetSequence(), i < 255 ? i + 1 : 1);
    }
    std::vector<std::string> sent = peer->Requests();
    ASSERT_EQ(sent.size(), 256u);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(SequenceOf(sent[i]), i < 255 ? i + 1 : 1);
}

TEST_F(TransactTest, BadChecksumReplyIsDroppedAndRequestRepeatedAfterTimeout) {
    Connect([](const std::string& request, int index) {
        std::string good = Reply(request.substr(0, 6) + ":07");
        if (index == 0) good[good.size() - 3] ^= 1;  // spoil the checksum
        return std::vector<std::string>{good};
    });
    const Clock::time_point start = Clock::now();
    const double cpuBefore = ThreadCpuSeconds();
    std::unique_ptr<ReplyRecord> reply(engine->Transact("020a00"));
    const double cpuUsed = ThreadCpuSeconds() - cpuBefore;
    const long elapsed = MillisSince(start);

    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->GetUnsigned(0), 7u);
    std::vector<std::string> sent = peer->Requests();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(SequenceOf(sent[0]), 1);
    EXPECT_EQ(SequenceOf(sent[1]), 2);
    std::vector<Clock::time_point> arrivals = peer->ArrivalTimes();
    long gap = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(arrivals[1] - arrivals[0]).count());
    EXPECT_GE(gap, 1450);
    EXPECT_LT(gap, 2500);
    EXPECT_GE(elapsed, 1500);
    // The wait sleeps in the event loop instead of spinning.
    EXPECT_LT(cpuUsed, 0.3) << "GUI thread CPU seconds during a 1.5 s wait";
}

TEST_F(TransactTest, LateReplyToEarlierTryIsNotTaken) {
    Connect([](const std::string& request, int index) {
        if (index == 0) return std::vector<std::string>{};
        // The answer to the first try arrives late, just before the one to the second.
        return std::vector<std::string>{Reply(Head("020a", 1) + ":01"), Reply(request.substr(0, 6) + ":02")};
    });
    engine->SetReplyTimeoutMs(200);
    std::unique_ptr<ReplyRecord> reply(engine->Transact("020a00"));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->GetSequence(), 2);
    EXPECT_EQ(reply->GetUnsigned(0), 2u);
}

TEST_F(TransactTest, ReplyAfterGivingUpIsNotTakenByNextRequest) {
    Connect([](const std::string&, int) { return std::vector<std::string>{}; });
    engine->SetReplyTimeoutMs(100);
    EXPECT_EQ(engine->Transact("020a00"), nullptr);
    ASSERT_EQ(peer->Requests().size(), 3u);
    EXPECT_EQ(SequenceOf(peer->Requests()[2]), 3);

    // The answer to the last try comes once the request has given up.
    peer->Write(Reply(Head("020a", 3) + ":09"));
    PumpUntil([this] { return owner->linesSeen == 1; });
    ASSERT_EQ(owner->linesSeen, 1);

    EXPECT_EQ(engine->Transact("020a00"), nullptr);
    EXPECT_EQ(peer->Requests().size(), 6u);
}

TEST_F(TransactTest, AbortDuringWaitEndsItAtOnceAndSendsNothingMore) {
    struct Case {
        const char* name;
        std::vector<std::string> answer;  // to the first request
        bool driverLost;
    } cases[] = {
        {"aborted from an event handler", {Reply("02ee00:01")}, false},
        {"driver lost", {kClose}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Connect([&c](const std::string&, int index) {
            return index == 0 ? c.answer : std::vector<std::string>{};
        });
        owner->onReport = [this](const ReplyRecord& report) {
            if (report.GetCode() == 0xee) engine->Abort();
        };
        const Clock::time_point start = Clock::now();
        EXPECT_EQ(engine->Transact("020a00"), nullptr);
        EXPECT_LT(MillisSince(start), 500);
        EXPECT_TRUE(engine->IsAborted());
        EXPECT_EQ(owner->stopped, c.driverLost);

        const Clock::time_point again = Clock::now();
        EXPECT_EQ(engine->Transact("020a00"), nullptr);
        EXPECT_LT(MillisSince(again), 50);
        EXPECT_EQ(Disconnect().size(), 1u);
        TearDown();
    }
}

TEST_F(TransactTest, RefusedRequestsSendNothing) {
    Connect([](const std::string& request, int) {
        return std::vector<std::string>{Reply(request.substr(0, 6))};
    });
    for (const char* request : {"", "02a0", "02a00", "020a001", "020a00:3"}) {
        const Clock::time_point start = Clock::now();
        EXPECT_EQ(engine->Transact(request), nullptr) << '"' << request << '"';
        EXPECT_LT(MillisSince(start), 50) << '"' << request << '"';
    }
    engine->Abort();
    EXPECT_EQ(engine->Transact("020a00"), nullptr);
    EXPECT_TRUE(Disconnect().empty());
}

TEST_F(TransactTest, RequestFromEventHandlerWaitsNestedAndRefusesASecondOne) {
    Connect([](const std::string& request, int) {
        return std::vector<std::string>{Reply("02ee00:01"), Reply(request.substr(0, 6) + ":05")};
    });
    bool nestedTried = false;
    ReplyRecord* nested = nullptr;
    owner->onReport = [&](const ReplyRecord&) {
        nestedTried = true;
        nested = engine->Transact("020b00");
    };
    std::unique_ptr<ReplyRecord> reply;
    bool done = false;
    // As a menu command would: the request runs inside a handler dispatched by the loop.
    owner->CallAfter([&] {
        reply.reset(engine->Transact("020a00"));
        done = true;
    });
    PumpUntil([&] { return done; }, 3000);
    ASSERT_TRUE(done);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->GetUnsigned(0), 5u);
    EXPECT_TRUE(nestedTried);
    EXPECT_EQ(nested, nullptr);
    EXPECT_EQ(Disconnect().size(), 1u);
}

TEST_F(TransactTest, WorksOverPtyAndDriverStopsOnHangUp) {
    Connect(
        [](const std::string& request, int index) {
            if (index == 0) return std::vector<std::string>{Reply(request.substr(0, 6) + ":0a")};
            return std::vector<std::string>{kClose};
        },
        true);
    std::unique_ptr<ReplyRecord> reply(engine->Transact("020a00"));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->GetUnsigned(0), 10u);

    // The peer hangs up on the second request: the worker must stop, not spin on the dead pty.
    EXPECT_EQ(engine->Transact("020a00"), nullptr);
    EXPECT_TRUE(owner->stopped);
}

}  // namespace
