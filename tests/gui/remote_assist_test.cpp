// Remote assistance from the panel's side, end to end: the real main window connected to the
// simulated panel over a pty hands its panel to a test proxy on 127.0.0.1.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <wx/button.h>
#include <wx/socket.h>
#include <wx/stattext.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/AssistMon.h"
#include "app/FrameIds.h"
#include "app/ProxyHost.h"
#include "regulators/Reg2.h"
#include "regulators/Reg3.h"
#include "sim/SimLine.h"
#include "sim/SimReports.h"
#include "support/core_AssistProxy.h"
#include "support/core_EventWait.h"
#include "support/gui_GeometryCheck.h"
#include "support/gui_ModalAnswer.h"
#include "support/gui_RegulatorFixture.h"
#include "support/gui_ScreenWait.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::string kGreeting = "+PROTO=1\n+DEV=QM-352A\n+FV=3.5\n+SN=1234\n+START\n";

// An identify request with the given sequence, as an operator would send it (10 bytes).
std::string IdentifyRequest(int sequence) { return sim::FinishRequestLine("020a" + sim::Hex(sequence, 2)); }

// A listener on 127.0.0.1 whose accept queue is full, so a further connect neither completes
// nor fails: it stays pending until the caller gives up.
class StalledListener {
public:
    StalledListener() {
        listenFd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address;
        std::memset(&address, 0, sizeof address);
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        bind(listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(listenFd, 0);
        getsockname(listenFd, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        filler = socket(AF_INET, SOCK_STREAM, 0);
        connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    ~StalledListener() {
        close(filler);
        close(listenFd);
    }
    std::string HostText() const { return "127.0.0.1:" + std::to_string(port); }

private:
    int listenFd = -1;
    int filler = -1;
    int port = 0;
};

class RemoteAssistTest : public RegulatorFixture {
protected:
    void TearDown() override {
        FrameFixture::TearDown();
        proxy.reset();
        SetProxyHostOverride(std::string());
    }

    // A connected window whose proxy host is the test proxy.
    void Connect(AssistProxy::Script script = AssistProxy::Script()) {
        proxy.reset(new AssistProxy(script));
        SetProxyHostOverride(proxy->HostText());
        StoreSerialPort();
        CreateFrame();
        ASSERT_TRUE(WaitConnected());
    }
    void StartAssist() {
        wxCommandEvent command(wxEVT_MENU, ID_REMOTE_ASSIST);
        frame->ProcessWindowEvent(command);
    }
    bool WaitGreeted() {
        return RunLoopUntil([this] { return frame->GetAssistState() == 1 && proxy->Received().size() >= kGreeting.size(); }, 5000);
    }
    bool WaitProxyReceived(const std::string& text) {
        return RunLoopUntil([&] { return proxy->Received().find(text) != std::string::npos; }, 5000);
    }
    std::string Line(int n) const {
        return frame->GetAssistMon() ? frame->GetAssistMon()->GetStatusLine(n).utf8_string() : "<none>";
    }
    void PressCancel() {
        ASSERT_NE(frame->GetAssistMon(), nullptr);
        ASSERT_TRUE(ModalAnswer::Click(frame->GetAssistMon(), wxID_CANCEL));
    }
    // The remote operator switches the pushed reports off, and the panel leaves the request that
    // switches them on again unanswered (it takes effect all the same, as if the reply were lost).
    void ReportsOffAndNotAnsweredBackOn() {
        proxy->Send(sim::FinishRequestLine("02307d0000"));
        ASSERT_TRUE(RunLoopUntil([this] { return panel.ModeWord() == 0; }, 3000));
        panel.SetUnansweredRequest(0x30, 0xFFFF);
    }
    // The shown regulator view's values that the pushed reports keep up to date: PV, Strefa, SP,
    // AL, AH, outputs A and B, and the open "Algorytm" box's (PID internals and servo status
    // lines, or the timed status letters).
    std::vector<std::string> LiveViewTexts() const {
        RegX* view = View();
        if (!view) return {"<no view>"};
        std::vector<const jwxNVUDisp*> readouts = {view->PvReadout(),    view->ZoneReadout(),     view->SpReadout(),
                                                   view->AlReadout(),    view->AhReadout(),       view->OutputReadout(0),
                                                   view->OutputReadout(1)};
        if (auto* pid = dynamic_cast<Reg2*>(view); pid && pid->GetAlgorithmBox()) {
            for (int i = 0; i < Reg2::kInternalCount; ++i) readouts.push_back(pid->InternalReadout(i));
            for (int line = 0; line < 2; ++line) readouts.push_back(pid->StatusLine(line));
        }
        if (auto* timed = dynamic_cast<Reg3*>(view); timed && timed->GetAlgorithmBox()) {
            for (int i = 0; i < Reg3::kModeReadouts; ++i) readouts.push_back(timed->ModeReadout(i));
        }
        std::vector<std::string> texts;
        for (const jwxNVUDisp* readout : readouts) texts.push_back(Value(readout));
        return texts;
    }

    std::unique_ptr<AssistProxy> proxy;
};

TEST_F(RemoteAssistTest, GreetsRelaysBothWaysAndCancels) {
    Connect();
    StartAssist();
    ASSERT_NE(frame->GetAssistMon(), nullptr);
    EXPECT_FALSE(frame->IsEnabled());
    EXPECT_EQ(frame->GetAssistMon()->GetTitle().utf8_string(), "Asysta");
    auto* cancel = dynamic_cast<wxButton*>(frame->GetAssistMon()->FindWindow(wxID_CANCEL));
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->GetLabel().utf8_string(), "Anuluj");
    ASSERT_TRUE(WaitGreeted());
    EXPECT_EQ(proxy->Received(), kGreeting);
    EXPECT_EQ(Line(0), "Połączony z proxy");

    // The operator's request reaches the panel unchanged and its reply comes back.
    const std::string request = IdentifyRequest(0x7e);
    panel.ClearRequests();
    proxy->Send(request);
    ASSERT_TRUE(WaitProxyReceived("020a7e:0352:"));
    ASSERT_EQ(panel.RequestTexts().size(), 1u);
    EXPECT_EQ(panel.RequestTexts()[0], "020a");
    // So do the panel's pushed reports.
    ASSERT_TRUE(panel.PushReport(sim::RelayReport(0x15)));
    const std::string report = sim::BuildFieldLine(2, 0x97, 0, {"15"});
    ASSERT_TRUE(WaitProxyReceived(report));
    // The local read-outs still see every panel line.
    ASSERT_TRUE(RunLoopUntil([this] { return ReadoutText(MyFrame::kRelayReadout) == "X"; }, 3000));

    const std::string relayed = proxy->Received().substr(kGreeting.size());
    EXPECT_EQ(Line(1), std::to_string(request.size()));
    ASSERT_TRUE(RunLoopUntil([&] { return Line(2) == std::to_string(proxy->Received().size() - kGreeting.size()); }, 3000));
    EXPECT_NE(relayed.find("\r\n"), std::string::npos);  // lines go out whole, line feeds included

    ModalAnswer none;  // no message on cancel
    PressCancel();
    ASSERT_TRUE(RunLoopUntil([this] { return !frame->IsAssisting() && proxy->PeerClosed(); }, 3000));
    EXPECT_TRUE(frame->IsEnabled());
    EXPECT_TRUE(none.Records().empty());
}

// The remote operator switches the panel's pushed reports off (its program does so when it
// closes); once the assistance ends, by Cancel or by the proxy, they are switched on again and
// the local read-outs resume.
TEST_F(RemoteAssistTest, EndOfAssistanceSwitchesTheReportsOnAgain) {
    const struct {
        const char* name;
        bool proxyCloses;
    } cases[] = {{"cancel", false}, {"proxy closes", true}};
    Connect();
    unsigned turn = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartAssist();
        ASSERT_TRUE(WaitGreeted());
        proxy->Send(sim::FinishRequestLine("02307d0000"));
        ASSERT_TRUE(RunLoopUntil([this] { return panel.ModeWord() == 0; }, 3000));

        ModalAnswer answer;
        if (c.proxyCloses) {
            answer.Expect(wxID_OK);
            proxy->CloseConnection();
        } else {
            PressCancel();
        }
        ASSERT_TRUE(RunLoopUntil([this] { return !frame->IsAssisting() && panel.ModeWord() == 0xFFFF; }, 5000));
        const unsigned mask = ++turn % 2 ? 0x7F : 0x00;
        ASSERT_TRUE(PushAndWait(sim::RelayReport(mask), MyFrame::kRelayReadout, mask ? "X" : "-"));
        if (c.proxyCloses) {
            ASSERT_TRUE(RunLoopUntil([&] { return !answer.Records().empty(); }, 3000));
            EXPECT_EQ(answer.Records()[0].message.utf8_string(), "Połączenie zamknięte przez proxy");
        }
    }
}

// The reports may not come back on (here the panel does not answer the mode request): the user
// is told once the assistance has ended, and the read-outs blank instead of standing still.
TEST_F(RemoteAssistTest, ReportsNotSwitchedOnAgainAreToldAndTheReadoutsBlank) {
    const std::string notResumed = "Nie udało się ponownie włączyć odczytów z urządzenia";
    const struct {
        const char* name;
        bool proxyCloses;
        std::vector<std::string> messages;
    } cases[] = {{"cancel", false, {notResumed}},
                 {"proxy closes", true, {"Połączenie zamknięte przez proxy", notResumed}}};
    Connect();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(PushAndWait(sim::RelayReport(0x7F), MyFrame::kRelayReadout, "X"));
        StartAssist();
        ASSERT_TRUE(WaitGreeted());
        ASSERT_NO_FATAL_FAILURE(ReportsOffAndNotAnsweredBackOn());
        panel.ClearRequests();

        ModalAnswer answer;
        if (c.proxyCloses) answer.Expect(wxID_OK);
        std::string readoutWhileTold = "<not told>";
        answer.Expect([&](wxDialog* dialog) {
            readoutWhileTold = ReadoutText(MyFrame::kRelayReadout);
            SettleWindows();
            SaveWindowShot(dialog, std::string("reports not resumed, ") + c.name);
            EXPECT_TRUE(LayoutIsSound(dialog));
            return static_cast<int>(wxID_OK);
        });
        if (c.proxyCloses) {
            proxy->CloseConnection();
        } else {
            PressCancel();
        }
        ASSERT_TRUE(RunLoopUntil([&] { return answer.Records().size() == c.messages.size(); }, 5000));
        std::vector<std::string> messages;
        for (const ModalDialogRecord& record : answer.Records()) messages.push_back(record.message.utf8_string());
        EXPECT_EQ(messages, c.messages);
        EXPECT_EQ(answer.Records().back().title.utf8_string(), "Zdalna asysta");
        EXPECT_EQ(answer.Records().back().style & (wxOK | wxICON_EXCLAMATION), wxOK | wxICON_EXCLAMATION);
        EXPECT_EQ(readoutWhileTold, "");
        EXPECT_EQ(ReadoutText(MyFrame::kRelayReadout), "");
        // The mode word was asked for; the panel stays connected.
        ASSERT_FALSE(panel.RequestTexts().empty());
        EXPECT_EQ(panel.RequestTexts().front(), "0230ffff");
        EXPECT_FALSE(frame->IsAssisting());
        EXPECT_TRUE(frame->IsConnected());
        panel.ClearUnansweredRequests();
    }
}

// The shown regulator view blanks with them: PV, zone, the zone's SP, AL and AH, the outputs and
// an open "Algorytm" box stand empty until reports arrive again, which fill them all (SP, AL and
// AH too, though the zone reported is the one the view remembers).
TEST_F(RemoteAssistTest, ReportsNotSwitchedOnAgainBlankTheRegulatorView) {
    const uint32_t pv = sim::FloatBits(12.5f);
    std::vector<uint32_t> pidStatus = {0, 0, pv};
    std::vector<std::string> pidShown = {"12.50", "1", "22.50", "15.00", "30.00", "-", "X"};
    for (int i = 0; i < Reg2::kInternalCount; ++i) {
        pidStatus.push_back(sim::FloatBits(0.25f));
        pidShown.push_back(i == 3 ? "250" : "0.25000");  // dt in thousandths
    }
    pidShown.insert(pidShown.end(), {"c  12.3/ -?- ", "n  13.0/ -?- "});
    struct Case {
        const char* name;
        int channel;
        bool algorithmBox;
        std::vector<sim::SimReport> reports;
        std::vector<std::string> shown;  // LiveViewTexts once the reports were handled
    };
    const Case cases[] = {
        {"threshold",
         0,
         false,
         {sim::RegulatorStatusReport(0xA4, 0, {0, 0, pv}), sim::RegulatorStatusReport(0xA7, 0, {1})},
         {"12.50", "1", "21.50", "15.00", "30.00", "X", "-"}},
        {"PID with its box",
         1,
         true,
         {sim::RegulatorStatusReport(0xA5, 1, pidStatus), sim::RegulatorStatusReport(0xA7, 1, {2}),
          sim::RegulatorStatusReport(0xA9, 1, {0, 1, 123, 0}), sim::RegulatorStatusReport(0xA9, 1, {0, 2, 130, 0})},
         pidShown},
        {"timed with its box",
         2,
         true,
         {sim::RegulatorStatusReport(0xA6, 2, {0, 0, pv}), sim::RegulatorStatusReport(0xA7, 2, {3}),
          sim::RegulatorStatusReport(0xAB, 2, {2, 0, 0x43})},
         {"12.50", "1", "23.50", "15.00", "30.00", "X", "X", "", "s", "I", "G", "E", " "}},
    };
    Connect();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Select(ID_REG_1 + c.channel);
        ASSERT_NE(View(), nullptr);
        if (c.algorithmBox) ClickViewButton(RegX::ID_ALGORITHM);
        auto pushReports = [&] {
            for (const sim::SimReport& report : c.reports)
                if (!PushAndSettle(report)) return false;
            return true;
        };
        ASSERT_TRUE(pushReports());
        ASSERT_EQ(LiveViewTexts(), c.shown);

        StartAssist();
        ASSERT_TRUE(WaitGreeted());
        ASSERT_NO_FATAL_FAILURE(ReportsOffAndNotAnsweredBackOn());
        ModalAnswer answer;
        std::vector<std::string> whileTold;
        answer.Expect([&](wxDialog*) {
            whileTold = LiveViewTexts();
            return static_cast<int>(wxID_OK);
        });
        PressCancel();
        ASSERT_TRUE(RunLoopUntil([&] { return !answer.Records().empty(); }, 5000));
        EXPECT_EQ(answer.Records()[0].message.utf8_string(), "Nie udało się ponownie włączyć odczytów z urządzenia");
        const std::vector<std::string> blank(c.shown.size(), "");
        EXPECT_EQ(whileTold, blank);
        EXPECT_EQ(LiveViewTexts(), blank);
        ASSERT_TRUE(WaitUntilPainted(frame));
        SaveWindowShot(frame, std::string("regulator view blank, ") + c.name);
        EXPECT_TRUE(LayoutIsSound(frame));

        panel.ClearUnansweredRequests();
        ASSERT_TRUE(pushReports());
        EXPECT_EQ(LiveViewTexts(), c.shown);
    }
}

// A link lost on the mode request is told on its own road alone.
TEST_F(RemoteAssistTest, LinkLostWhileSwitchingTheReportsOnIsToldOnce) {
    Connect();
    StartAssist();
    ASSERT_TRUE(WaitGreeted());
    panel.SetHangUpAfterRequests(0);
    ModalAnswer answer;
    answer.Expect(wxID_OK);
    PressCancel();
    ASSERT_TRUE(WaitFrameGone());
    RunLoopFor(100);
    ASSERT_EQ(answer.Records().size(), 1u);
    EXPECT_EQ(answer.Records()[0].message.utf8_string(), "Błąd w driverze obsługującym komunikację");
}

TEST_F(RemoteAssistTest, BytesSentBeforeTheGreetingAreRelayedAfterIt) {
    // Seven requests in one 70-byte burst, sent the moment the proxy accepts: the program reads
    // nothing before its greeting and must not stall afterwards.
    AssistProxy::Script script;
    script.sendBeforeConnected = true;
    for (int i = 0; i < 7; ++i) script.early += IdentifyRequest(0x60 + i);
    ASSERT_EQ(script.early.size(), 70u);
    Connect(script);
    panel.ClearRequests();
    StartAssist();
    ASSERT_TRUE(RunLoopUntil([this] { return frame->GetProxySocket() != nullptr; }, 2000));
    // The window is busy while the connection completes and the burst arrives, so both are
    // reported together; the input is handled first and left unread.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(WaitGreeted());
    EXPECT_EQ(proxy->Received().substr(0, kGreeting.size()), kGreeting);
    ASSERT_TRUE(WaitProxyReceived("020a66:0352:"));
    EXPECT_EQ(Line(1), "70");
    EXPECT_EQ(panel.RequestTexts().size(), 7u);
    EXPECT_EQ(panel.BadChecksumCount(), 0);
}

TEST_F(RemoteAssistTest, LinesTheSocketCannotTakeYetFollowInOrder) {
    AssistProxy::Script script;
    script.smallReceiveBuffer = true;
    Connect(script);
    StartAssist();
    ASSERT_TRUE(WaitGreeted());
    // Small fixed socket buffers on both sides, so that the writes soon come up short.
    const int sendBuffer = 4096;
    ASSERT_TRUE(frame->GetProxySocket()->SetOption(SOL_SOCKET, SO_SNDBUF, &sendBuffer, sizeof sendBuffer));
    proxy->SetReading(false);
    // Numbered lines of a kind the window does not show, far more than the sockets hold.
    std::string expected = kGreeting;
    for (int i = 0; i < 6000; ++i) {
        const std::string text = "02ee00:" + sim::Hex(static_cast<uint32_t>(i), 8) + ":" + std::string(64, 'a');
        panel.PushRawLine(text);
        expected += sim::FinishFieldLine(text);
    }
    ASSERT_TRUE(RunLoopUntil([this] { return frame->GetToProxyBacklog() > 0; }, 10000)) << Line(2);
    proxy->SetReading(true);
    ASSERT_TRUE(RunLoopUntil([&] { return proxy->Received().size() >= expected.size(); }, 20000));
    EXPECT_TRUE(proxy->Received() == expected);
    EXPECT_EQ(Line(2), std::to_string(expected.size() - kGreeting.size()));
}

TEST_F(RemoteAssistTest, FailuresShowTheirMessageAndEnableTheWindow) {
    struct Case {
        const char* name;
        bool closeAfterGreeting;
        bool refused;
        const char* message;
        const char* caption;
    };
    const Case cases[] = {
        {"refused", false, true, "Nie udało się nawiązac połączenia z proxy", "Brak połączenia z proxy"},
        {"closed after greeting", true, false, "Połączenie zamknięte przez proxy", "Brak połączenia z proxy"},
    };
    AssistProxy::Script script;
    Connect(script);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AssistProxy::Script caseScript;
        caseScript.closeAfterGreeting = c.closeAfterGreeting;
        proxy.reset(new AssistProxy(caseScript));
        SetProxyHostOverride(proxy->HostText());
        if (c.refused) proxy.reset();  // nothing listens there any more
        ModalAnswer answer;
        answer.Expect(wxID_OK);
        StartAssist();
        ASSERT_TRUE(RunLoopUntil([&] { return !answer.Records().empty(); }, 5000));
        EXPECT_EQ(answer.Records()[0].message.utf8_string(), c.message);
        EXPECT_EQ(answer.Records()[0].title.utf8_string(), c.caption);
        EXPECT_EQ(answer.Records()[0].style & (wxOK | wxICON_EXCLAMATION), wxOK | wxICON_EXCLAMATION);
        EXPECT_FALSE(frame->IsAssisting());
        EXPECT_TRUE(frame->IsEnabled());
        RunLoopFor(100);
    }
}

TEST_F(RemoteAssistTest, UnknownProxyAddressIsReported) {
    const struct {
        const char* host;
        const char* message;
    } cases[] = {
        {"no-such-host.invalid", "Nieznany adres proxy (no-such-host.invalid:24400)"},
        {"127.0.0.1:99999", "Nieznany adres proxy (127.0.0.1:24400)"},
    };
    Connect();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.host);
        SetProxyHostOverride(c.host);
        ModalAnswer answer;
        answer.Expect(wxID_OK);
        StartAssist();
        ASSERT_TRUE(RunLoopUntil([&] { return !answer.Records().empty(); }, 12000));
        EXPECT_EQ(answer.Records()[0].message.utf8_string(), c.message);
        EXPECT_EQ(answer.Records()[0].title.utf8_string(), "Zdalna asysta");
        EXPECT_FALSE(frame->IsAssisting());
        EXPECT_TRUE(frame->IsEnabled());
    }
}

TEST_F(RemoteAssistTest, ConnectingIsBoundedAndTheWindowKeepsAnswering) {
    Connect();
    StalledListener stalled;
    SetProxyHostOverride(stalled.HostText());
    frame->SetAssistStepTimeoutMs(600);
    ModalAnswer answer;
    answer.Expect(wxID_OK);
    const Clock::time_point start = Clock::now();
    StartAssist();
    // The event loop runs while the connection is pending: a call queued now is served at once.
    bool served = false;
    frame->CallAfter([&] { served = true; });
    ASSERT_TRUE(RunLoopUntil([&] { return served; }, 200));
    EXPECT_EQ(Line(0), "Oczekiwanie na proxy");
    ASSERT_TRUE(RunLoopUntil([&] { return !answer.Records().empty(); }, 5000));
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(600));
    EXPECT_EQ(answer.Records()[0].message.utf8_string(), "Nie udało się nawiązac połączenia z proxy");
    EXPECT_TRUE(frame->IsEnabled());
}

TEST_F(RemoteAssistTest, CancelWhileConnectingIsSilentAndStaleEventsAreIgnored) {
    Connect();
    StalledListener stalled;
    SetProxyHostOverride(stalled.HostText());
    ModalAnswer none;
    StartAssist();
    ASSERT_TRUE(RunLoopUntil([this] { return frame->GetProxySocket() != nullptr; }, 2000));
    ASSERT_EQ(frame->GetAssistState(), 0);
    wxSocketBase* oldSocket = frame->GetProxySocket();
    void* oldIdentity = oldSocket->GetClientData();
    PressCancel();
    ASSERT_TRUE(RunLoopUntil([this] { return !frame->IsAssisting(); }, 2000));
    EXPECT_TRUE(frame->IsEnabled());
    EXPECT_EQ(frame->GetProxySocket(), nullptr);

    // A new assistance runs; loss events of the cancelled socket arrive late, one of them
    // naming the new socket's address as a reused allocation would.
    proxy.reset(new AssistProxy());
    SetProxyHostOverride(proxy->HostText());
    StartAssist();
    ASSERT_TRUE(WaitGreeted());
    for (wxSocketBase* source : {oldSocket, static_cast<wxSocketBase*>(frame->GetProxySocket())}) {
        wxSocketEvent stale(ID_PROXY_SOCKET);
        stale.m_event = wxSOCKET_LOST;
        stale.m_clientData = oldIdentity;
        stale.SetEventObject(source);
        frame->GetEventHandler()->ProcessEvent(stale);
    }
    RunLoopFor(100);
    EXPECT_TRUE(frame->IsAssisting());
    EXPECT_EQ(frame->GetAssistState(), 1);
    EXPECT_TRUE(none.Records().empty());
    PressCancel();
    ASSERT_TRUE(RunLoopUntil([this] { return !frame->IsAssisting(); }, 2000));
}

TEST_F(RemoteAssistTest, FloodingProxyKeepsMemoryBoundedAndTheWindowAnswering) {
    Connect();
    panel.SetInputPacing(true);  // the panel takes 960 bytes a second
    StartAssist();
    ASSERT_TRUE(WaitGreeted());
    proxy->StartFlood();
    long maxBacklog = 0;
    Clock::duration worstGap(0);
    Clock::time_point last = Clock::now();
    const Clock::time_point end = last + std::chrono::milliseconds(1500);
    // A call queued on each turn shows how long the window takes to answer.
    bool served = true;
    while (Clock::now() < end) {
        if (served) {
            served = false;
            last = Clock::now();
            frame->CallAfter([&] {
                served = true;
                worstGap = std::max(worstGap, Clock::now() - last);
            });
        }
        RunLoopFor(5);
        maxBacklog = std::max(maxBacklog, frame->GetToPanelBacklog());
    }
    proxy->StopFlood();
    const size_t flooded = proxy->FloodBytesSent();
    EXPECT_LE(maxBacklog, 4096 + 32);
    // What the proxy could push is what sits in the sockets' buffers plus the bound, not the
    // gigabytes a loopback connection carries in a second and a half.
    EXPECT_LT(flooded, 16u * 1024 * 1024);
    EXPECT_LT(worstGap, std::chrono::milliseconds(250));
    // The panel takes the backlog at once, so the reports come back on after Cancel: behind
    // seconds of paced bytes the mode request would fail and be told.
    panel.SetInputPacing(false);
    panel.ClearRequests();
    ModalAnswer none;
    PressCancel();
    ASSERT_TRUE(RunLoopUntil([this] { return !frame->IsAssisting(); }, 2000));
    EXPECT_EQ(panel.RequestTexts(), std::vector<std::string>{"0230ffff"});
    EXPECT_TRUE(none.Records().empty());
}

TEST(AssistMonTest, GivesBackOnlyTheEnabledStateItTook) {
    for (bool ownerEnabled : {true, false}) {
        SCOPED_TRACE(ownerEnabled);
        wxFrame owner(nullptr, wxID_ANY, wxASCII_STR("owner"));
        owner.Enable(ownerEnabled);
        int cancels = 0;
        owner.Bind(EVT_ASSIST_CANCEL, [&](wxCommandEvent& event) {
            EXPECT_EQ(event.GetId(), 0);
            ++cancels;
        });
        auto* monitor = new AssistMon(&owner, wxString::FromUTF8("Zdalna asysta"), wxASCII_STR("Asysta"),
                                      wxCAPTION | wxRESIZE_BORDER, wxID_ANY);
        EXPECT_FALSE(owner.IsEnabled());
        // A status longer than the window was first made for is shown whole.
        monitor->SetStatusLine(0, wxString::FromUTF8("Oczekiwanie na proxy"));
        wxWindow* status = nullptr;
        for (wxWindow* child : monitor->GetChildren()) {
            auto* text = dynamic_cast<wxStaticText*>(child);
            if (text && text->GetLabel() == wxString::FromUTF8("Oczekiwanie na proxy")) status = text;
        }
        ASSERT_NE(status, nullptr);
        EXPECT_GE(status->GetSize().GetWidth(), status->GetBestSize().GetWidth());
        EXPECT_LE(status->GetRect().GetRight(), monitor->GetClientSize().GetWidth());
        monitor->SetStatusLine(2, wxASCII_STR("12"));
        monitor->SetStatusLine(3, wxASCII_STR("ignored"));
        EXPECT_EQ(monitor->GetStatusLine(2).utf8_string(), "12");
        ASSERT_TRUE(ModalAnswer::Click(monitor, wxID_CANCEL));
        ASSERT_TRUE(RunLoopUntil([&] { return cancels == 1; }, 1000));
        delete monitor;
        EXPECT_EQ(owner.IsEnabled(), ownerEnabled);
    }
}

}  // namespace
