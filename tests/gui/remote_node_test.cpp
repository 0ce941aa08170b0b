// The IP road of the connection sequence: the proxy password, the choice among the proxy's
// remote panels and the connection through the proxy to a simulated panel. The proxy is a
// scripted one on 127.0.0.1 that relays to the simulator over a socket pair.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>
#include <wx/choicdlg.h>
#include <wx/listbox.h>
#include <wx/menu.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textdlg.h>

#include <memory>
#include <string>
#include <vector>

#include "app/FrameIds.h"
#include "app/ProxyHost.h"
#include "comm/PanelClient.h"
#include "regulators/Reg2.h"
#include "regulators/Reg3.h"
#include "sim/PanelSimulator.h"
#include "sim/SimReports.h"
#include "support/core_EventWait.h"
#include "support/core_TestProxy.h"
#include "support/gui_FrameFixture.h"
#include "support/gui_ModalAnswer.h"

namespace {

std::vector<std::string> ListItems(wxDialog* dialog) {
    std::vector<std::string> items;
    for (wxWindow* child : dialog->GetChildren()) {
        if (auto* list = dynamic_cast<wxListBox*>(child)) {
            for (unsigned i = 0; i < list->GetCount(); ++i) items.push_back(list->GetString(i).utf8_string());
        }
    }
    return items;
}

// The labels of the dialog's static texts, joined by '|'.
std::string StaticTexts(wxWindow* window) {
    std::string texts;
    for (wxWindow* child : window->GetChildren()) {
        if (auto* text = dynamic_cast<wxStaticText*>(child)) {
            if (!texts.empty()) texts += "|";
            texts += text->GetLabel().utf8_string();
        }
    }
    return texts;
}

// Types the password into the password dialog and confirms it.
ModalAnswer::Handler TypePassword(const char* utf8) {
    return [utf8](wxDialog* dialog) {
        auto* entry = dynamic_cast<wxPasswordEntryDialog*>(dialog);
        EXPECT_NE(entry, nullptr);
        if (entry) entry->SetValue(wxString::FromUTF8(utf8));
        return static_cast<int>(wxID_OK);
    };
}

class RemoteNodeTest : public FrameFixture {
protected:
    void SetUp() override {
        FrameFixture::SetUp();
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
        ASSERT_TRUE(remotePanel.Start(pair[0], true));
        StoreSetting("/com/type", "IP");
    }
    void TearDown() override {
        FrameFixture::TearDown();
        proxy.reset();
        remotePanel.Stop();
        close(pair[1]);
        SetProxyHostOverride(std::string());
    }
    void StartProxy(const std::string& password) {
        TestProxy::Script script;
        script.password = password;
        script.nodes = {"A7F3;1001;Kotłownia;3.05", "B200;1002;Hala 2;3.09", "C9;1003"};
        script.relayFd = pair[1];
        proxy.reset(new TestProxy(script));
        SetProxyHostOverride(proxy->HostText());
    }

    int pair[2] = {-1, -1};
    sim::PanelSimulator remotePanel;  // the panel at the other site
    std::unique_ptr<TestProxy> proxy;
};

TEST_F(RemoteNodeTest, ChosenNodeConnectsThroughTheProxy) {
    // Characters above 127 reach the proxy as '_'.
    StartProxy("has_o");
    ModalAnswer answer;
    std::vector<std::string> offered;
    std::string caption;
    std::string message;
    answer.Expect(TypePassword("hasło")).Expect([&](wxDialog* dialog) {
        offered = ListItems(dialog);
        caption = dialog->GetTitle().utf8_string();
        message = StaticTexts(dialog);
        if (auto* choice = dynamic_cast<wxSingleChoiceDialog*>(dialog)) choice->SetSelection(1);
        return static_cast<int>(wxID_OK);
    });
    CreateFrame();
    ASSERT_TRUE(WaitConnected());

    ASSERT_EQ(answer.Records().size(), 2u);
    EXPECT_EQ(answer.Records()[0].title.utf8_string(), "Hasło");
    EXPECT_EQ(offered, (std::vector<std::string>{"Kotłownia / nr=1001 / fv=3.05", "Hala 2 / nr=1002 / fv=3.09",
                                                 " / nr=1003 / fv="}));
    EXPECT_EQ(caption, "Połączenie TCP");
    EXPECT_EQ(message, "Wybierz zdalne urządzenia:");
    EXPECT_TRUE(proxy->ResponseAccepted());
    EXPECT_EQ(proxy->OperatorLine(), "+OPERATOR=B200;1002");
    EXPECT_EQ(StatusText(), "Panel QM-352, ver. 3.5, nr 1234");
    EXPECT_EQ(remotePanel.RequestTexts().size(), 10u);
    EXPECT_TRUE(panel.RequestTexts().empty());  // the local pty is not used
}

TEST_F(RemoteNodeTest, CancelledChoiceEndsTheConnectionAndAsksForAPort) {
    StartProxy("");
    ModalAnswer answer;
    // An empty password is sent as such; then cancel the choice, the failure, the port dialog.
    answer.Expect(wxID_OK).Expect(wxID_CANCEL).Expect(wxID_OK).Expect(wxID_OK).Expect(wxID_CANCEL);
    CreateFrame();
    ASSERT_TRUE(WaitFrameGone(8000));
    ASSERT_EQ(answer.Records().size(), 5u);
    EXPECT_EQ(answer.Records()[1].title.utf8_string(), "Połączenie TCP");
    EXPECT_EQ(answer.Records()[2].message.utf8_string(), "Nie wybrano zdalnego urzadzenia");
    EXPECT_EQ(answer.Records()[3].message.utf8_string(), "Błąd otwierania portu");
    EXPECT_EQ(answer.Records()[4].title.utf8_string(), "Port komunikacyjny");
    EXPECT_TRUE(proxy->ResponseAccepted());
    EXPECT_TRUE(proxy->WaitConnectionEnded(3000));
    EXPECT_TRUE(proxy->OperatorLine().empty());
    EXPECT_EQ(StoredSetting("/com/type"), "IP");
}

// The proxy ends the link while the panel is connected: after the message the window shows that
// no panel is connected, nothing waits for the link any more, and "Port szeregowy..." connects
// again through the proxy.
TEST_F(RemoteNodeTest, ProxyClosingTheLinkLeavesTheWindowNotConnected) {
    StartProxy("");
    ModalAnswer answer;
    answer.Expect(wxID_OK).Expect(wxID_OK);  // password, node choice
    CreateFrame();
    ASSERT_TRUE(WaitConnected());
    ASSERT_TRUE(remotePanel.PushReport(sim::RelayReport(0x01)));
    ASSERT_TRUE(RunLoopUntil([this] { return ReadoutText(MyFrame::kRelayReadout) == "X"; }, 3000));
    auto* r2 = wxDynamicCast(frame->FindWindow(ID_REG_1 + 1), wxRadioButton);
    ASSERT_NE(r2, nullptr);
    r2->SetValue(true);
    wxCommandEvent click(wxEVT_RADIOBUTTON, ID_REG_1 + 1);
    click.SetEventObject(r2);
    r2->GetEventHandler()->ProcessEvent(click);
    ASSERT_NE(dynamic_cast<Reg2*>(frame->GetRegulatorView()), nullptr);

    answer.Expect(wxID_OK);
    proxy->CloseConnection();
    // The notice is answered, then the view of the panel that is gone is removed at idle time.
    ASSERT_TRUE(RunLoopUntil(
        [&] {
            return !FrameAlive() || (answer.Records().size() == 3 && answer.Records()[2].result != wxID_NONE &&
                                     frame->GetRegulatorView() == nullptr);
        },
        5000))
        << "no answered notice and no view removed within 5 s";
    EXPECT_EQ(answer.Records()[2].message.utf8_string(), "Połączenie zostało zamknięte przez proxy");
    ASSERT_TRUE(FrameAlive());
    EXPECT_FALSE(frame->IsConnected());
    EXPECT_EQ(frame->GetDriver(), nullptr);
    EXPECT_EQ(frame->GetClient()->GetState(), CLIENT_IDLE);
    EXPECT_EQ(StatusText(), "Brak połączenia z panelem");
    EXPECT_EQ(ReadoutText(MyFrame::kRelayReadout), "");
    wxMenuBar* bar = frame->GetMenuBar();
    EXPECT_TRUE(bar->IsEnabledTop(0));   // "Program"
    EXPECT_FALSE(bar->IsEnabledTop(1));  // "Ustawienia"
    EXPECT_TRUE(bar->IsEnabled(ID_PORT));
    EXPECT_FALSE(bar->IsEnabled(ID_REMOTE_ASSIST));
    // The view of the panel that is gone goes too; its channel stays checked.
    EXPECT_EQ(frame->GetRegulatorView(), nullptr);
    EXPECT_TRUE(r2->GetValue());

    // The panel reached next holds another type on that channel: its view is built for it.
    auto type = remotePanel.Param(212);
    ASSERT_TRUE(type.has_value());
    type->value = 3;
    remotePanel.SetParam(*type);
    // Port dialog, password, node choice: connected again, with every menu.
    answer.Expect(wxID_OK).Expect(wxID_OK).Expect(wxID_OK);
    wxQueueEvent(frame, new wxCommandEvent(wxEVT_MENU, ID_PORT));
    ASSERT_TRUE(RunLoopUntil([&] { return answer.Records().size() == 6 && frame->IsConnected(); }, 8000));
    EXPECT_EQ(proxy->Connections(), 2);
    EXPECT_EQ(StatusText(), "Panel QM-352, ver. 3.5, nr 1234");
    EXPECT_TRUE(bar->IsEnabledTop(1));
    EXPECT_TRUE(bar->IsEnabled(ID_REMOTE_ASSIST));
    ASSERT_TRUE(RunLoopUntil([&] { return frame->GetRegulatorView() != nullptr; }, 3000));
    EXPECT_NE(dynamic_cast<Reg3*>(frame->GetRegulatorView()), nullptr);
    EXPECT_EQ(frame->GetSelectedRegulator(), 1);
}

TEST_F(RemoteNodeTest, ProxyThatCannotBeReachedShowsItsReason) {
    StartProxy("");
    const std::string unreachable = "127.0.0.1:" + std::to_string(proxy->Port());
    proxy.reset();  // nothing listens there any more
    SetProxyHostOverride(unreachable);
    ModalAnswer answer;
    answer.Expect(wxID_OK).Expect(wxID_OK).Expect(wxID_OK).Expect(wxID_CANCEL);
    CreateFrame();
    ASSERT_TRUE(WaitFrameGone(8000));
    ASSERT_EQ(answer.Records().size(), 4u);
    EXPECT_EQ(answer.Records()[1].message.utf8_string(), "Nie udalo sie otworzyc polaczenia do proxy");
    EXPECT_EQ(answer.Records()[2].message.utf8_string(), "Błąd otwierania portu");
}

}  // namespace
