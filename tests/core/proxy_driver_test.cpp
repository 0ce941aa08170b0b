#include <gtest/gtest.h>
#include <wx/event.h>

#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <thread>
#include <memory>
#include <string>
#include <vector>

#include "comm/ProxyHandshake.h"
#include "comm/ProxySettings.h"
#include "comm/jwxTCP.h"
#include "support/core_EventWait.h"
#include "support/core_LineFlood.h"
#include "support/core_TestProxy.h"
#include "support/test_support.h"

namespace {

using Stage = TestProxy::Stage;

// The frame's stand-in: records the driver's events and answers the node list as the frame
// does, by posting UNICOM_SELECT from its handler (or runs onNodeList instead).
class ProxyOwner : public wxEvtHandler {
public:
    struct Entry {
        int code;
        std::string text;  // the string, or the line's bytes
    };

    ProxyOwner() { Bind(EVT_UNICOM, &ProxyOwner::OnUniCom, this); }

    int Count(int code) const {
        int n = 0;
        for (const Entry& entry : entries) n += entry.code == code;
        return n;
    }
    std::vector<std::string> Texts(int code) const {
        std::vector<std::string> texts;
        for (const Entry& entry : entries)
            if (entry.code == code) texts.push_back(entry.text);
        return texts;
    }
    int IndexOf(int code, const std::string& text) const {
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].code == code && entries[i].text == text) return static_cast<int>(i);
        return -1;
    }
    // On a time-out the result lists the events that did arrive.
    testing::AssertionResult WaitFor(int code, int count = 1, int timeoutMs = 5000) {
        if (RunLoopUntil([&] { return Count(code) >= count; }, timeoutMs)) return testing::AssertionSuccess();
        testing::AssertionResult failure = testing::AssertionFailure();
        failure << "no " << count << " event(s) " << code << " within " << timeoutMs << " ms; arrived:";
        for (const Entry& entry : entries) failure << " [" << entry.code << " " << entry.text << "]";
        return failure;
    }
    void Select(long index) {
        driver->PostToThread(UNICOM_SELECT, static_cast<uintptr_t>(static_cast<intptr_t>(index)), 0);
    }

    // Events queued for this owner and not yet handled.
    size_t Queued() const { return m_pendingEvents ? m_pendingEvents->GetCount() : 0; }

    jwxTCP* driver = nullptr;
    long choice = 0;
    std::function<void()> onNodeList;
    std::vector<std::string> offered;
    std::vector<Entry> entries;

private:
    void OnUniCom(wxCommandEvent& event) {
        Entry entry{event.GetInt(), std::string(event.GetString().utf8_str())};
        if (entry.code == UNICOM_EV_LINE) {
            auto* line = static_cast<ByteBuffer*>(event.GetClientData());
            entry.text.assign(reinterpret_cast<const char*>(line->data), static_cast<size_t>(line->GetLength()));
            delete line;
        }
        entries.push_back(entry);
        if (entry.code == UNICOM_EV_NODE_LIST) {
            char** texts = static_cast<char**>(event.GetClientData());
            offered.assign(texts, texts + event.GetExtraLong());
            if (onNodeList) onNodeList();
            else Select(choice);
        }
    }
};

ByteBuffer* Line(const std::string& text) {
    auto* buffer = new ByteBuffer(static_cast<int32_t>(text.size()));
    buffer->CopyIn(text.data(), static_cast<int32_t>(text.size()));
    return buffer;
}

// Reads from fd until `expected` bytes have come or timeoutMs passed.
std::string ReadExactly(int fd, size_t expected, int timeoutMs = 3000) {
    std::string got;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (got.size() < expected && std::chrono::steady_clock::now() < deadline) {
        pollfd watch = {fd, POLLIN, 0};
        if (poll(&watch, 1, 50) <= 0) continue;
        char chunk[256];
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n <= 0) break;
        got.append(chunk, static_cast<size_t>(n));
    }
    return got;
}

// A socketpair whose first end the proxy relays to; the test speaks as the panel on the other.
struct PanelLink {
    int proxyEnd = -1;
    int panelEnd = -1;
    PanelLink() {
        int fds[2];
        EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds), 0);
        proxyEnd = fds[0];
        panelEnd = fds[1];
    }
    ~PanelLink() {
        close(proxyEnd);
        close(panelEnd);
    }
};

// A started driver for the owner; stopped and deleted at the end of the scope.
struct RunningDriver {
    std::unique_ptr<jwxTCP> driver;
    RunningDriver(ProxyOwner& owner, const std::string& host, const char* password, int stepTimeoutMs = 0) {
        driver.reset(new jwxTCP(&owner, host.c_str(), kProxyDefaultPort, password));
        if (stepTimeoutMs > 0) driver->SetStepTimeoutMs(stepTimeoutMs);
        owner.driver = driver.get();
        driver->Start();
    }
    ~RunningDriver() { driver->Stop(); }
    jwxTCP* operator->() { return driver.get(); }
};

TEST(ProxyDriver, HostTextAndPort) {
    struct Case {
        const char* host;
        int defaultPort;
        const char* expectHost;
        int expectPort;
    } cases[] = {
        {"proxy.example", 24400, "proxy.example", 24400},
        {"proxy.example:24401", 24400, "proxy.example", 24401},  // the port in the text wins
        {"127.0.0.1:9", 1, "127.0.0.1", 9},
        {"proxy.example:", 24400, "proxy.example", 0},  // no usable port: nothing to connect to
        {"proxy.example:x1", 24400, "proxy.example", 0},
        {"proxy.example:70000", 24400, "proxy.example", 0},
    };
    ProxyOwner owner;
    for (const Case& c : cases) {
        jwxTCP driver(&owner, c.host, c.defaultPort, "");
        EXPECT_EQ(driver.GetHost(), c.expectHost) << c.host;
        EXPECT_EQ(driver.GetPort(), c.expectPort) << c.host;
    }
}

TEST(ProxyDriver, FullSessionThroughTheProxy) {
    PanelLink panel;
    TestProxy::Script script;
    script.password = "tajne";
    script.nodes = {"site;1234;QM-352A;3.2", "other;55;QM-352A;3.1"};
    script.relayFd = panel.proxyEnd;
    TestProxy proxy(script);

    ProxyOwner owner;
    // A line handed over while the choice is pending waits for the announcement.
    owner.onNodeList = [&] {
        owner.driver->Send(Line("EARLY\n"));
        owner.Select(0);
    };
    // The default port is never used: the port in the host text overrides it.
    RunningDriver driver(owner, proxy.HostText(), "tajne");

    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_OPENED));
    EXPECT_EQ(owner.offered, script.nodes);
    EXPECT_TRUE(proxy.ResponseAccepted());
    ASSERT_TRUE(proxy.WaitForOperator(3000));
    EXPECT_EQ(proxy.OperatorLine(), "+OPERATOR=site;1234");
    const std::vector<std::string> handshake = proxy.ReceivedLines();
    ASSERT_EQ(handshake.size(), 4u);
    EXPECT_EQ(handshake[0], "+AUTH");
    EXPECT_EQ(handshake[1].rfind("+RESP=", 0), 0u);  // its value is what ResponseAccepted checked
    EXPECT_EQ(handshake[2], "+LIST");
    // The proxy relays only after the announcement, so this also shows the order.
    EXPECT_EQ(ReadExactly(panel.panelEnd, 6), "EARLY\n");

    // Panel lines reach the owner one by one, partial lines wait for their end.
    const std::string fromPanel = "A1\r\nB2\nC3";
    ASSERT_EQ(write(panel.panelEnd, fromPanel.data(), fromPanel.size()), static_cast<ssize_t>(fromPanel.size()));
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_LINE, 2));
    ASSERT_EQ(write(panel.panelEnd, "\n", 1), 1);
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_LINE, 3));
    EXPECT_EQ(owner.Texts(UNICOM_EV_LINE), (std::vector<std::string>{"A1\r\n", "B2\n", "C3\n"}));

    driver->Send(Line("REQ\n"));
    EXPECT_EQ(ReadExactly(panel.panelEnd, 4), "REQ\n");

    // Other messages during relaying are reported, the choice included.
    driver->PostToThread(UNICOM_SELECT, 0, 0);
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_WARNING));
    EXPECT_EQ(owner.Texts(UNICOM_EV_WARNING), (std::vector<std::string>{"Unknown message 1036"}));

    // The proxy closes: reported once, later requests are dropped (and freed).
    proxy.CloseConnection();
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_PEER_CLOSED));
    for (int i = 0; i < 3; ++i) driver->Send(Line("LATE\n"));
    RunLoopFor(100);
    EXPECT_EQ(owner.Count(UNICOM_EV_PEER_CLOSED), 1);  // the closed socket is not read again
    driver->Stop();
    RunLoopUntil([&] { return owner.IndexOf(UNICOM_EV_INFO, "UniCom TCP/IP thread exiting") >= 0; }, 3000);
    EXPECT_GE(owner.IndexOf(UNICOM_EV_INFO, "UniCom TCP/IP thread exiting"), 0);
    EXPECT_EQ(owner.Count(UNICOM_EV_PEER_CLOSED), 1);
    EXPECT_EQ(owner.Count(UNICOM_EV_STOPPED), 0);
    EXPECT_EQ(owner.Count(UNICOM_EV_OPEN_FAILED), 0);
    EXPECT_EQ(proxy.BytesFromOperator(), 10u);  // EARLY and REQ, nothing after the close
}

// Each hostile or failing proxy ends the opening with code 2 and the step's reason, in
// bounded time.
TEST(ProxyDriver, OpeningFailuresGiveTheStepsReason) {
    struct Case {
        const char* name;
        std::function<void(TestProxy::Script&)> setup;
        long choice;
        const char* reason;
    } cases[] = {
        {"wrong first answer", [](TestProxy::Script& s) { s.challengeLine = "+HELLO\n"; }, 0,
         ProxyHandshake::kReasonBadChallenge},
        {"megabyte first answer", [](TestProxy::Script& s) { s.challengeLine = std::string(1 << 20, 'x'); }, 0,
         ProxyHandshake::kReasonBadChallenge},
        {"closed on accept", [](TestProxy::Script& s) { s.closeAt = Stage::Accepted; }, 0,
         ProxyHandshake::kReasonChallengeLost},
        {"closed after +AUTH", [](TestProxy::Script& s) { s.closeAt = Stage::AuthRead; }, 0,
         ProxyHandshake::kReasonChallengeLost},
        {"silent after +AUTH", [](TestProxy::Script& s) { s.silentAt = Stage::AuthRead; }, 0,
         ProxyHandshake::kReasonChallengeLost},
        {"closed after the challenge", [](TestProxy::Script& s) { s.closeAt = Stage::ChallengeSent; }, 0,
         ProxyHandshake::kReasonListLost},
        {"closed after the response", [](TestProxy::Script& s) { s.closeAt = Stage::ResponseRead; }, 0,
         ProxyHandshake::kReasonListLost},
        {"silent after the response", [](TestProxy::Script& s) { s.silentAt = Stage::ResponseRead; }, 0,
         ProxyHandshake::kReasonListLost},
        {"wrong password", [](TestProxy::Script& s) { s.password = "other"; }, 0, ProxyHandshake::kReasonListLost},
        {"no nodes", [](TestProxy::Script& s) { s.nodes.clear(); }, 0, ProxyHandshake::kReasonNoNodes},
        {"only an empty node", [](TestProxy::Script& s) { s.nodes = {""}; }, 0, ProxyHandshake::kReasonNoNodes},
        {"choice cancelled", [](TestProxy::Script&) {}, -1, ProxyHandshake::kReasonNoChoice},
        {"choice out of range", [](TestProxy::Script&) {}, 1, ProxyHandshake::kReasonNoChoice},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestProxy::Script script;
        script.password = "pw";
        script.nodes = {"only;1;QM-352A;3.0"};
        c.setup(script);
        TestProxy proxy(script);
        ProxyOwner owner;
        owner.choice = c.choice;
        const auto started = std::chrono::steady_clock::now();
        RunningDriver driver(owner, proxy.HostText(), "pw", 300);
        ASSERT_TRUE(owner.WaitFor(UNICOM_EV_OPEN_FAILED));
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
        ASSERT_TRUE(RunLoopUntil([&] { return owner.Count(UNICOM_EV_INFO) > 0; }, 3000));
        EXPECT_EQ(owner.Texts(UNICOM_EV_OPEN_FAILED), (std::vector<std::string>{c.reason}));
        EXPECT_EQ(owner.Texts(UNICOM_EV_INFO), (std::vector<std::string>{"UniCom thread exiting, cannot open socket"}));
        EXPECT_EQ(owner.Count(UNICOM_EV_OPENED), 0);
        if (c.reason == ProxyHandshake::kReasonBadChallenge) {
            ASSERT_TRUE(proxy.WaitConnectionEnded(3000));
            EXPECT_EQ(proxy.ReceivedLines(), (std::vector<std::string>{"+AUTH"}));  // no +RESP
        }
        if (script.password == "other") {
            EXPECT_FALSE(proxy.ResponseAccepted());
        }
    }
}

TEST(ProxyDriver, HostThatDoesNotResolveOrListen) {
    // A port nobody listens on: bound once, then released.
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address;
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const std::string closedPort = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    close(probe);

    struct Case {
        std::string host;
        const char* reason;
    } cases[] = {
        {closedPort, jwxTCP::kReasonConnect},
        {"127.0.0.1:0", jwxTCP::kReasonConnect},
        {"no-such-host.invalid", jwxTCP::kReasonResolve},
    };
    for (const Case& c : cases) {
        ProxyOwner owner;
        RunningDriver driver(owner, c.host, "");
        ASSERT_TRUE(owner.WaitFor(UNICOM_EV_OPEN_FAILED)) << c.host;
        EXPECT_EQ(owner.Texts(UNICOM_EV_OPEN_FAILED), (std::vector<std::string>{c.reason})) << c.host;
    }
}

TEST(ProxyDriver, OffersAtMost32NodesAndAnnouncesTwoFields) {
    struct Case {
        const char* name;
        std::string listPrefix;
        int nodeCount;
    } cases[] = {
        {"33 nodes", "", 33},
        {"megabyte line and a flood of nodes", std::string(1 << 20, 'x') + "\n", 3000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestProxy::Script script;
        script.listPrefix = c.listPrefix;
        for (int i = 0; i < c.nodeCount; ++i)
            script.nodes.push_back("node" + std::to_string(i) + ";" + std::to_string(1000 + i) + ";QM-352A;3.2");
        TestProxy proxy(script);
        ProxyOwner owner;
        owner.choice = 31;
        RunningDriver driver(owner, proxy.HostText(), "");
        ASSERT_TRUE(owner.WaitFor(UNICOM_EV_OPENED));
        EXPECT_EQ(owner.offered, std::vector<std::string>(script.nodes.begin(), script.nodes.begin() + 32));
        ASSERT_TRUE(proxy.WaitForOperator(3000));
        EXPECT_EQ(proxy.OperatorLine(), "+OPERATOR=node31;1031");
    }
}

TEST(ProxyDriver, ProxyClosingRightAfterItsListEndsAsPeerClosed) {
    TestProxy::Script script;
    script.nodes = {"a;1;QM-352A;3.2"};
    script.closeAt = Stage::ListSent;
    TestProxy proxy(script);
    ProxyOwner owner;
    RunningDriver driver(owner, proxy.HostText(), "");
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_PEER_CLOSED));
    EXPECT_EQ(owner.Count(UNICOM_EV_OPENED), 1);
    EXPECT_EQ(owner.Count(UNICOM_EV_STOPPED), 0);
}

TEST(ProxyDriver, BrokenConnectionStopsWithTextBeforeCode) {
    TestProxy::Script script;
    script.nodes = {"a;1;QM-352A;3.2"};
    TestProxy proxy(script);
    ProxyOwner owner;
    RunningDriver driver(owner, proxy.HostText(), "");
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_OPENED));
    ASSERT_TRUE(proxy.WaitForOperator(3000));
    proxy.CloseConnection(true);  // an RST: the next receive fails
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_STOPPED));
    const int warning = owner.IndexOf(UNICOM_EV_WARNING, "Connection broken");
    const int text = owner.IndexOf(UNICOM_EV_INFO, "UniCom thread exiting due to an error");
    const int stopped = owner.IndexOf(UNICOM_EV_STOPPED, "");
    ASSERT_GE(warning, 0);
    EXPECT_LT(warning, text);
    EXPECT_LT(text, stopped);
    EXPECT_EQ(owner.Count(UNICOM_EV_PEER_CLOSED), 0);
}

// Stop must return promptly whatever the proxy does: here it accepts and never answers, or
// the owner has not chosen a node yet.
TEST(ProxyDriver, StopDuringTheHandshakeReturnsPromptly) {
    for (Stage silentAt : {Stage::AuthRead, Stage::ResponseRead, Stage::Never}) {
        SCOPED_TRACE(static_cast<int>(silentAt));
        TestProxy::Script script;
        script.nodes = {"a;1;QM-352A;3.2"};
        script.silentAt = silentAt;
        TestProxy proxy(script);
        ProxyOwner owner;
        owner.onNodeList = [] {};  // no answer
        RunningDriver driver(owner, proxy.HostText(), "");  // the full 10 s step time-out
        const size_t linesBeforeWait = silentAt == Stage::AuthRead ? 1 : 3;
        ASSERT_TRUE(RunLoopUntil([&] { return proxy.ReceivedLines().size() >= linesBeforeWait; }, 3000));
        if (silentAt == Stage::Never) {
            ASSERT_TRUE(owner.WaitFor(UNICOM_EV_NODE_LIST));
        }
        driver->Send(Line("QUEUED\n"));  // freed by the worker on its way out

        const auto before = std::chrono::steady_clock::now();
        driver->Stop();
        EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(500));
        ASSERT_TRUE(RunLoopUntil([&] { return owner.Count(UNICOM_EV_INFO) > 0; }, 3000));
        EXPECT_EQ(owner.Texts(UNICOM_EV_INFO), (std::vector<std::string>{"UniCom TCP/IP thread exiting"}));
        EXPECT_EQ(owner.Count(UNICOM_EV_OPEN_FAILED), 0);  // stopped on request, not failed
    }
}

// A name service that answers only after 3 s (and then that the name is unknown).
int SlowLookup(const char*, const char*, const addrinfo*, addrinfo**) {
    std::this_thread::sleep_for(std::chrono::seconds(3));
    return EAI_NONAME;
}

// A lookup that hangs cannot hold up Stop, nor the connection step beyond its bound.
TEST(ProxyDriver, SlowNameLookupGivesWayToStopAndToTheStepBound) {
    {
        ProxyOwner owner;
        std::unique_ptr<jwxTCP> driver(new jwxTCP(&owner, "proxy.example", kProxyDefaultPort, ""));
        driver->SetResolver(&SlowLookup);
        driver->Start();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const auto before = std::chrono::steady_clock::now();
        driver->Stop();
        EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(300));
        ASSERT_TRUE(RunLoopUntil([&] { return owner.Count(UNICOM_EV_INFO) > 0; }, 3000));
        EXPECT_EQ(owner.Count(UNICOM_EV_OPEN_FAILED), 0);  // stopped on request, not failed
    }
    {
        ProxyOwner owner;
        std::unique_ptr<jwxTCP> driver(new jwxTCP(&owner, "proxy.example", kProxyDefaultPort, ""));
        driver->SetResolver(&SlowLookup);
        driver->SetStepTimeoutMs(300);
        const auto before = std::chrono::steady_clock::now();
        driver->Start();
        ASSERT_TRUE(owner.WaitFor(UNICOM_EV_OPEN_FAILED, 1, 5000));
        EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(1000));
        EXPECT_EQ(owner.Texts(UNICOM_EV_OPEN_FAILED), std::vector<std::string>{jwxTCP::kReasonResolve});
        driver->Stop();
    }
}

// A proxy that floods the line while the GUI thread is busy elsewhere: Stop and requests are
// not held back by the traffic, and what the worker posts that the owner has not taken stays
// bounded (the worker stops reading until the owner catches up).
TEST(ProxyDriver, FloodingProxyNeitherDelaysStopNorPilesUpEvents) {
    PanelLink panel;
    TestProxy::Script script;
    script.nodes = {"a;1;QM-352A;3.2"};
    script.relayFd = panel.proxyEnd;
    TestProxy proxy(script);
    ProxyOwner owner;
    RunningDriver driver(owner, proxy.HostText(), "");
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_OPENED));
    ASSERT_TRUE(proxy.WaitForOperator(3000));

    // The panel end floods for at most 4 s (a driver that never gives way is still stopped).
    LineFlood flood(panel.panelEnd, 512);
    // The owner is busy for a while and takes nothing.
    const long rssBefore = ResidentKiB();
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    // Lines made and not yet handled, wherever they wait on their way to the owner.
    const size_t queued = static_cast<size_t>(driver->GetLinesInFlight());
    std::printf("after 0.8 s of flood: %zu line events waiting, resident memory grew by %ld KiB\n", queued,
                ResidentKiB() - rssBefore);
    EXPECT_GT(queued, 0u);
    // One receive may complete a burst of lines beyond the bound.
    EXPECT_LE(queued, static_cast<size_t>(2 * jwxUniCom::kMaxLinesInFlight));
    driver->Send(Line("REQUEST\n"));  // taken (and freed) by the worker, flood or not

    const auto before = std::chrono::steady_clock::now();
    driver->Stop();
    const auto took = std::chrono::steady_clock::now() - before;
    flood.Stop();
    std::printf("Stop took %lld ms\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
    EXPECT_LT(took, std::chrono::milliseconds(300));
    // The owner takes what is queued, freeing the lines.
    EXPECT_TRUE(RunLoopUntil([&] { return driver->GetLinesInFlight() == 0; }, 3000));
    EXPECT_EQ(owner.Queued(), 0u);
}

}  // namespace
