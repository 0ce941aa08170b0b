// What the user is told when the proxy ends the link under a configuration command or a
// regulator view: the link's own message, then the failed read or write of the command, once.
// The real main window connects through a scripted proxy that relays to the simulated panel's
// line, so the panel's requests can be looked at as in the serial tests.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <wx/timer.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ProxyHost.h"
#include "comm/PanelClient.h"
#include "support/core_EventWait.h"
#include "support/core_TestProxy.h"
#include "support/gui_RegulatorFixture.h"

namespace {

const char* const kLinkClosed = "Połączenie zostało zamknięte przez proxy";

using Codes = std::vector<uint16_t>;

// The codes read, a request that was tried again counted once.
Codes Distinct(const Codes& reads) {
    Codes distinct;
    for (uint16_t code : reads)
        if (distinct.empty() || distinct.back() != code) distinct.push_back(code);
    return distinct;
}

class ProxyLinkLostTest : public RegulatorFixture {
protected:
    void TearDown() override {
        RegulatorFixture::TearDown();
        proxy.reset();
        if (relay >= 0) close(relay);
        SetProxyHostOverride(std::string());
    }

    // Connects as a remote operator through a proxy whose one node is the simulated panel.
    void ConnectThroughProxy() {
        relay = open(PortPath().c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(relay, 0);
        TestProxy::Script script;
        script.nodes = {"A7F3;1234;Kotłownia;3.05"};
        script.relayFd = relay;
        proxy = std::make_unique<TestProxy>(script);
        SetProxyHostOverride(proxy->HostText());
        StoreSetting("/com/type", "IP");
        ModalAnswer answer;
        answer.Expect(wxID_OK).Expect(wxID_OK);  // password, node choice
        CreateFrame();
        ASSERT_TRUE(WaitConnected());
        panel.ClearRequests();
    }

    // Ends the link from the proxy's side and runs the loop until the program has let the link
    // go and the user has answered its message (the test's ModalAnswer answers it).
    bool CloseLinkAndWait(const ModalAnswer& answer) {
        proxy->CloseConnection();
        return RunLoopUntil(
            [&] {
                for (const ModalDialogRecord& record : answer.Records())
                    if (Utf8(record.message) == kLinkClosed && record.result != wxID_NONE)
                        return frame->GetDriver() == nullptr;
                return false;
            },
            5000);
    }

    std::unique_ptr<TestProxy> proxy;
    int relay = -1;  // the proxy's end of the panel's line
};

// A configuration dialog is open when the link goes; its OK sends nothing and says the write
// failed, after the link's message. The window stays, not connected.
TEST_F(ProxyLinkLostTest, OkOnADialogAfterTheLinkWentTellsTheWriteFailed) {
    ASSERT_NO_FATAL_FAILURE(ConnectThroughProxy());
    ModalAnswer answer;
    answer.Expect([&](wxDialog*) {
        EXPECT_TRUE(CloseLinkAndWait(answer));
        return wxID_OK;
    });
    answer.Expect(wxID_OK);  // the link's message, over the dialog
    answer.Expect(wxID_OK);  // the failed write
    RunMenu(ID_DISP_LEDS);
    EXPECT_EQ(Messages(answer.Records()), (std::vector<std::string>{kLinkClosed, "Błąd zapisu"}));
    ASSERT_EQ(answer.Records().size(), 3u);
    EXPECT_EQ(Utf8(answer.Records()[2].title), "Błąd");
    EXPECT_EQ(answer.Records()[2].style & (wxOK | wxICON_MASK), wxOK | wxICON_EXCLAMATION);
    EXPECT_EQ(Reads(), (Codes{230, 231}));
    EXPECT_TRUE(Writes().empty());
    ASSERT_TRUE(FrameAlive());
    EXPECT_FALSE(frame->IsConnected());
}

// A read the link cannot serve is told as one failed read, whether the link went before the
// read was asked for or while it waited; a view whose header read failed that way reads no
// values (no second message) and goes with the panel it belonged to.
TEST_F(ProxyLinkLostTest, AReadAfterTheLinkWentIsToldOnce) {
    struct Case {
        const char* name;
        bool closeFirst;  // else the link goes while the channel's header read waits
        Codes reads;
    };
    const Case cases[] = {
        {"channel chosen after the link went", true, {}},
        {"link gone during the view's header read", false, {211, 0x200}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(ConnectThroughProxy());
        ModalAnswer answer;
        answer.Expect(wxID_OK).Expect(wxID_OK);  // the link's message, the failed read
        wxTimer closer;
        bool closed = false;
        if (c.closeFirst) {
            ASSERT_TRUE(CloseLinkAndWait(answer));
            closed = true;
        } else {
            panel.SetUnansweredRequest(0x86, 0x200);
            closer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
                // Fires inside the read's wait for a reply that never comes.
                if (closed || Distinct(Reads()) != c.reads) return;
                closed = true;
                proxy->CloseConnection();
            });
            closer.Start(5);
        }
        Select(ID_REG_1);
        closer.Stop();
        EXPECT_TRUE(closed);
        EXPECT_EQ(Messages(answer.Records()), (std::vector<std::string>{kLinkClosed, "Błąd odczytu"}));
        EXPECT_EQ(Distinct(Reads()), c.reads);
        EXPECT_TRUE(RunLoopUntil([&] { return View() == nullptr; }, 3000));
        CloseFrame();
        panel.ClearUnansweredRequests();
        proxy.reset();
        close(relay);
        relay = -1;
    }
}

// A regulator edit whose dialog is open when the link goes: OK tells the failed write and reads
// nothing back (no read could be sent, and a second message would tell nothing new).
TEST_F(ProxyLinkLostTest, ARegulatorEditAfterTheLinkWentTellsTheWriteOnly) {
    ASSERT_NO_FATAL_FAILURE(ConnectThroughProxy());
    Select(ID_REG_1);
    ASSERT_NE(View(), nullptr);
    panel.ClearRequests();
    ModalAnswer answer;
    answer.Expect([&](wxDialog* dialog) {
        EXPECT_TRUE(CloseLinkAndWait(answer));
        ModalAnswer::Click(dialog, wxID_OK);
        return static_cast<int>(wxID_NONE);
    });
    answer.Expect(wxID_OK).Expect(wxID_OK);  // the link's message, the failed write
    ClickViewButton(202);
    EXPECT_EQ(Messages(answer.Records()), (std::vector<std::string>{kLinkClosed, "Błąd zapisu"}));
    EXPECT_EQ(Reads(), (Codes{0x205, 0x20B, 0x206, 0x20C, 0x203}));
    EXPECT_TRUE(Writes().empty());
    // The view of the panel that is gone goes once the edit has returned.
    EXPECT_TRUE(RunLoopUntil([&] { return View() == nullptr; }, 3000));
    EXPECT_TRUE(FrameAlive());
}

}  // namespace
