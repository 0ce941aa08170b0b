// The main window itself: what a first start shows, the stored geometry, the fit rule, the menu
// bar, the about box, and closing in every state (connected, after a lost driver, with the
// menus disabled, during a connection check that is waiting for the panel).
#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/app.h>
#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/statusbr.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/FrameIds.h"
#include "comm/PanelClient.h"
#include "sim/PanelSimulator.h"
#include "support/core_EventWait.h"
#include "support/gui_FrameFixture.h"
#include "support/gui_ModalAnswer.h"
#include "support/gui_ScreenWait.h"

namespace {

std::string Utf8(const wxString& text) { return text.utf8_string(); }

bool AnyTopMenuEnabled(MyFrame* frame) {
    wxMenuBar* bar = frame->GetMenuBar();
    for (size_t i = 0; i < bar->GetMenuCount(); ++i)
        if (bar->IsEnabledTop(i)) return true;
    return false;
}

wxSize FittingSize(MyFrame* frame) { return frame->GetMainPanel()->GetSizer()->ComputeFittingWindowSize(frame); }

void SendMenu(MyFrame* frame, int id) {
    wxCommandEvent command(wxEVT_MENU, id);
    command.SetEventObject(frame);
    frame->GetEventHandler()->ProcessEvent(command);
}

class MainWindowTest : public FrameFixture {
protected:
    void StoreGeometry(long x, long y, long width, long height) {
        StoreSetting("/main/x", std::to_string(x));
        StoreSetting("/main/y", std::to_string(y));
        StoreSetting("/main/wi", std::to_string(width));
        StoreSetting("/main/he", std::to_string(height));
    }
    // The geometry keys as the store file holds them.
    wxRect StoredGeometry() const {
        auto value = [this](const char* key) { return HasStoredSetting(key) ? std::stoi(StoredSetting(key)) : -999; };
        return wxRect(value("/main/x"), value("/main/y"), value("/main/wi"), value("/main/he"));
    }
    void Connect() {
        StoreSerialPort();
        CreateFrame();
        ASSERT_TRUE(WaitConnected());
    }
};

// An empty store: the window opens where the application puts it, sized to its content rather
// than the 450 x 340 it was made with, with every menu disabled; the first connection step then
// finds no port and asks for one, and Cancel there closes the window.
TEST_F(MainWindowTest, FirstStartFitsTheContentAndAsksForAPort) {
    if (wxGetDisplayInfo().type != wxDisplayX11)
        GTEST_SKIP() << "needs an X server: on Wayland a window is not placed where the program puts it";
    ModalAnswer answer;
    wxRect atDialog;
    bool menusAtDialog = true;
    answer.Expect([&](wxDialog*) {
        atDialog = frame->GetRect();
        menusAtDialog = AnyTopMenuEnabled(frame);
        return static_cast<int>(wxID_CANCEL);
    });
    MyFrame* made = CreateFrame();
    EXPECT_EQ(frame->GetPosition(), wxPoint(50, 50));
    const wxSize fitting = FittingSize(frame);
    EXPECT_EQ(frame->GetSize(), fitting);
    EXPECT_EQ(frame->GetMinSize(), fitting);
    EXPECT_NE(frame->GetSize(), wxSize(450, 340));
    EXPECT_FALSE(AnyTopMenuEnabled(frame));
    EXPECT_EQ(frame->GetStatusBar()->GetFieldsCount(), 1);
    EXPECT_FALSE(frame->IsConnected());
    EXPECT_EQ(frame->GetDriver(), nullptr);

    ASSERT_TRUE(WaitFrameGone());
    ASSERT_EQ(answer.Records().size(), 1u);
    EXPECT_EQ(Utf8(answer.Records()[0].title), "Port komunikacyjny");
    EXPECT_EQ(answer.Records()[0].owner, static_cast<wxWindow*>(made));
    EXPECT_EQ(atDialog, wxRect(wxPoint(50, 50), fitting));
    EXPECT_FALSE(menusAtDialog);
    // Closing saved where the window was.
    EXPECT_EQ(StoredGeometry(), wxRect(wxPoint(50, 50), fitting));
}

// A stored coordinate of -1 keeps the layout's value; the other three are restored.
TEST_F(MainWindowTest, StoredGeometryWithOneCoordinateMissing) {
    StoreSerialPort();
    CreateFrame();
    const wxSize fitting = FittingSize(frame);
    CloseFrame();
    const int wide = fitting.GetWidth() + 120;
    const int tall = fitting.GetHeight() + 90;
    const struct {
        long x, y, width, height;
        wxRect expected;
    } cases[] = {
        {210, 130, wide, tall, wxRect(210, 130, wide, tall)},
        {-1, 130, wide, tall, wxRect(50, 130, wide, tall)},
        {210, -1, wide, tall, wxRect(210, 50, wide, tall)},
        {210, 130, -1, tall, wxRect(210, 130, fitting.GetWidth(), tall)},
        {210, 130, wide, -1, wxRect(210, 130, wide, fitting.GetHeight())},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.width << "x" << c.height);
        StoreGeometry(c.x, c.y, c.width, c.height);
        CreateFrame();
        EXPECT_EQ(frame->GetRect(), c.expected);
        CloseFrame();
        EXPECT_EQ(StoredGeometry(), c.expected);
    }
}

// The read-outs built at the first connection change the content: the window takes the
// content's width (not the wider one the user gave it), keeps the extra height the user gave
// it, and cannot be made smaller than the content.
TEST_F(MainWindowTest, FitKeepsTheUsersHeightAndFollowsTheContentWidth) {
    sim::SimIdentity identity;
    identity.flags = 1;  // no serial number: a status text narrower than the content
    panel.SetIdentity(identity);
    StoreSerialPort();
    CreateFrame();
    const wxSize before = frame->GetSize();
    const int userHeight = before.GetHeight() + 400;
    frame->SetSize(before.GetWidth() + 300, userHeight);
    ASSERT_TRUE(WaitConnected());
    ASSERT_TRUE(frame->AreReadoutsBuilt());

    const wxSize fitting = FittingSize(frame);
    EXPECT_EQ(frame->GetSize(), wxSize(fitting.GetWidth(), std::max(fitting.GetHeight(), userHeight)));
    EXPECT_EQ(frame->GetMinSize(), fitting);

    // Narrower and shorter than the content: both come back to the content's size.
    frame->SetMinSize(wxDefaultSize);
    frame->SetSize(fitting.GetWidth() / 2, fitting.GetHeight() / 2);
    frame->FitToPanel();
    EXPECT_EQ(frame->GetSize(), fitting);
}

// The identification in the status bar is shown whole, with the largest serial number too,
// even where it is wider than the content.
TEST_F(MainWindowTest, StatusTextIsNotCut) {
    sim::SimIdentity identity;
    identity.serial = 65535;
    panel.SetIdentity(identity);
    Connect();
    wxStatusBar* status = frame->GetStatusBar();
    EXPECT_EQ(Utf8(status->GetStatusText(0)), "Panel QM-352, ver. 3.5, nr 65535");
    ASSERT_TRUE(WaitUntilPainted(status));  // the bar decides about shortening its text when it paints
    EXPECT_FALSE(status->GetField(0).IsEllipsized());
    EXPECT_GT(frame->GetMinSize().GetWidth(), FittingSize(frame).GetWidth());
}

// A rejected panel (firmware with a version letter) leaves its identification in the status
// bar; the read-outs are never built, and the text must still be shown whole.
TEST_F(MainWindowTest, StatusTextOfARejectedPanelIsNotCut) {
    sim::SimIdentity identity;
    identity.version = 0x010305;  // A.3.5
    identity.serial = 65535;
    panel.SetIdentity(identity);
    StoreSerialPort();
    ModalAnswer answer;
    bool cut = true;
    std::string shown;
    answer.Expect([&](wxDialog*) {
        wxStatusBar* status = frame->GetStatusBar();
        shown = Utf8(status->GetStatusText(0));
        EXPECT_TRUE(WaitUntilPainted(status));  // the bar decides about shortening its text when it paints
        cut = status->GetField(0).IsEllipsized();
        return static_cast<int>(wxID_OK);
    });
    answer.Expect(wxID_OK);      // "Komunikacja nie została nawiązana"
    answer.Expect(wxID_OK);      // "Błąd otwierania portu"
    answer.Expect(wxID_CANCEL);  // the port dialog: the window closes
    CreateFrame();
    ASSERT_TRUE(WaitFrameGone());
    EXPECT_EQ(shown, "Panel QM-352, ver. A.3.5, nr 65535");
    EXPECT_FALSE(cut);
}

TEST_F(MainWindowTest, MenuBarStructure) {
    StoreSerialPort();
    CreateFrame();
    wxMenuBar* bar = frame->GetMenuBar();
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->GetMenuCount(), 2u);
    EXPECT_EQ(Utf8(bar->GetMenuLabel(0)), "&Program");
    EXPECT_EQ(Utf8(bar->GetMenuLabel(1)), "&Ustawienia");

    // One line per entry: "id text", "-" for a separator, "> text" for a submenu whose entries
    // follow indented.
    std::function<void(wxMenu*, const std::string&, std::vector<std::string>&)> describe;
    describe = [&](wxMenu* menu, const std::string& indent, std::vector<std::string>& out) {
        for (wxMenuItem* item : menu->GetMenuItems()) {
            if (item->IsSeparator()) {
                out.push_back(indent + "-");
            } else if (item->IsSubMenu()) {
                out.push_back(indent + "> " + Utf8(item->GetItemLabel()));
                describe(item->GetSubMenu(), indent + "  ", out);
            } else {
                EXPECT_EQ(item->GetKind(), wxITEM_NORMAL) << Utf8(item->GetItemLabel());
                EXPECT_TRUE(item->GetHelp().empty()) << Utf8(item->GetItemLabel());
                out.push_back(indent + std::to_string(item->GetId()) + " " + Utf8(item->GetItemLabel()));
            }
        }
    };
    std::vector<std::string> program;
    describe(bar->GetMenu(0), "", program);
    EXPECT_EQ(program, (std::vector<std::string>{"3 Port &szeregowy...", "4 Zdalna asysta...", "2 O &programie...",
                                                 "-", "1 W&yjście"}));
    std::vector<std::string> settings;
    describe(bar->GetMenu(1), "", settings);
    EXPECT_EQ(settings, (std::vector<std::string>{
                            "> W&ejścia analogowe",
                            "  12 &Rodzaj we analogowych...",
                            "  18 Kalibracja &we 4-20mA...",
                            "  20 &Zmienne użytkownika...",
                            "  11 &Kalibracja użytkownika...",
                            "> W&yjścia",
                            "  14 Wyjścia &przekaźnikowe...",
                            "  15 Wyjścia &analogowe...",
                            "> Funkcje logiczne",
                            "  13 Bramki logiczne...",
                            "  9 Przełączanie strefy (czasowej)...",
                            "  10 Przedział czasu zegara...",
                            "> Stałe użytkownika",
                            "  16 Stałe analogowe...",
                            "  21 Stałe binarne...",
                            "> Komunikacja",
                            "  8 Format wy T500...",
                            "  7 Wyświetlacze A B...",
                            "  19 Kontrolki D1 D2...",
                            "17 Kanały regulacji",
                            "6 Informacje o urządzeniu",
                            "-",
                            "22 Zachowaj do pliku...",
                            "23 Ładuj z pliku...",
                        }));
}

TEST_F(MainWindowTest, AboutBox) {
    Connect();
    ModalAnswer answer;
    answer.Expect(wxID_OK);
    SendMenu(frame, ID_ABOUT);
    ASSERT_EQ(answer.Records().size(), 1u);
    const ModalDialogRecord& about = answer.Records()[0];
    EXPECT_EQ(Utf8(about.message), "mirex, ver. 0.9.5");
    EXPECT_EQ(Utf8(about.title), "Info");
    EXPECT_EQ(about.style & (wxOK | wxCANCEL | wxYES_NO | wxICON_MASK), wxOK | wxICON_INFORMATION);
    EXPECT_EQ(about.owner, frame);
}

// Closing a connected window stops the pushed reports while the port is still open (the panel
// receives mode 0), keeps the stored port and saves the geometry.
TEST_F(MainWindowTest, CloseWhileConnectedStopsTheReportsThenSavesTheGeometry) {
    if (wxGetDisplayInfo().type != wxDisplayX11)
        GTEST_SKIP() << "needs an X server: on Wayland a window is not placed where the program puts it";
    Connect();
    ASSERT_EQ(frame->GetClient()->GetState(), CLIENT_STARTED);
    ASSERT_EQ(panel.ModeWord(), 0xffff);
    frame->Move(120, 80);
    const wxRect shown = frame->GetRect();
    panel.ClearRequests();

    SendMenu(frame, ID_QUIT);
    ASSERT_TRUE(WaitFrameGone());
    EXPECT_EQ(panel.RequestTexts(), std::vector<std::string>{"02300000"});
    EXPECT_EQ(panel.ModeWord(), 0);
    EXPECT_EQ(StoredGeometry(), shown);
    EXPECT_EQ(StoredSetting("/com/type"), "COM");
    EXPECT_EQ(StoredSetting("/com/name"), PortPath());
}

// The panel hangs up: the user is told, the window closes without talking to the panel again
// and forgets the port type, so the next start asks for a port.
TEST_F(MainWindowTest, LostDriverClosesTheWindowAndForgetsThePortType) {
    Connect();
    const wxRect shown = frame->GetRect();
    panel.ClearRequests();
    ModalAnswer answer;
    answer.Expect(wxID_OK);
    panel.HangUpNow();
    ASSERT_TRUE(WaitFrameGone());
    ASSERT_EQ(answer.Records().size(), 1u);
    EXPECT_EQ(Utf8(answer.Records()[0].message), "Błąd w driverze obsługującym komunikację");
    EXPECT_EQ(Utf8(answer.Records()[0].title), "");
    EXPECT_EQ(answer.Records()[0].style & (wxOK | wxICON_MASK), wxOK | wxICON_EXCLAMATION);
    EXPECT_TRUE(panel.RequestTexts().empty());
    EXPECT_FALSE(HasStoredSetting("/com/type"));
    EXPECT_EQ(StoredSetting("/com/name"), PortPath());
    EXPECT_EQ(StoredGeometry(), shown);
}

// The link goes while the connection check waits for the panel: no wait window stays up under
// the message, and the window closes once it is answered.
TEST_F(MainWindowTest, LostDriverDuringTheCheckLeavesNoWaitWindowUnderTheMessage) {
    StoreSerialPort();
    panel.SetHangUpAfterRequests(0);  // the identify request is the last one taken
    ModalAnswer answer;
    std::vector<std::string> shownUnderTheBox;
    answer.Expect([&](wxDialog* box) {
        for (wxWindow* window : wxTopLevelWindows)
            if (window != box && window->IsShown()) shownUnderTheBox.push_back(Utf8(window->GetLabel()));
        return static_cast<int>(wxID_OK);
    });
    CreateFrame();
    ASSERT_TRUE(WaitFrameGone());
    ASSERT_EQ(answer.Records().size(), 1u);
    EXPECT_EQ(Utf8(answer.Records()[0].message), "Błąd w driverze obsługującym komunikację");
    EXPECT_EQ(shownUnderTheBox, std::vector<std::string>{"mirex"});
}

// The driver is lost while the about box is open: the window is not destroyed under the box
// (whose modal run belongs to a handler of the window); it closes once the box is gone.
TEST_F(MainWindowTest, LostDriverUnderAnOpenDialogClosesAfterIt) {
    Connect();
    ModalAnswer answer;
    bool aliveUnderTheBox = false;
    answer.Expect([&](wxDialog*) {
        panel.HangUpNow();
        // The driver's notice is shown and answered inside the box's own loop.
        EXPECT_TRUE(RunLoopUntil([&] { return answer.Records().size() == 2; }, 3000));
        RunLoopFor(50);
        aliveUnderTheBox = FrameAlive() && !wxPendingDelete.Member(frame);
        return static_cast<int>(wxID_OK);
    });
    answer.Expect(wxID_OK);
    SendMenu(frame, ID_ABOUT);
    EXPECT_TRUE(aliveUnderTheBox);
    ASSERT_TRUE(WaitFrameGone());
    ASSERT_EQ(answer.Records().size(), 2u);
    EXPECT_EQ(Utf8(answer.Records()[0].title), "Info");
    EXPECT_EQ(Utf8(answer.Records()[1].message), "Błąd w driverze obsługującym komunikację");
    EXPECT_FALSE(HasStoredSetting("/com/type"));
}

// With the menus disabled (no panel yet) the close box still closes the window at once.
TEST_F(MainWindowTest, CloseBoxWorksWithTheMenusDisabled) {
    StoreSerialPort();
    CreateFrame();
    ASSERT_FALSE(AnyTopMenuEnabled(frame));
    frame->Close(false);
    EXPECT_TRUE(wxPendingDelete.Member(frame));
    ASSERT_TRUE(WaitFrameGone());
    EXPECT_TRUE(panel.RequestTexts().empty());  // the connection never started
    EXPECT_EQ(StoredSetting("/com/type"), "COM");
}

// The close box pressed while the connection check waits for a silent panel: the window is not
// destroyed under the waiting request; it closes once the check has given up.
TEST_F(MainWindowTest, CloseDuringAWaitingCheckIsCarriedOutAfterIt) {
    panel.SetSilent(true);
    StoreSerialPort();
    ModalAnswer answer;
    answer.Expect(wxID_OK);  // the check's own failure notice, shown before the close completes
    bool closed = false;
    bool keptAfterClose = false;
    bool menusWhenClosed = true;
    // Polled inside the request's wait, as the user's click would arrive.
    wxTimer poll;
    poll.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (closed || !FrameAlive() || !frame->GetClient()->IsBusy()) return;
        poll.Stop();
        closed = true;
        menusWhenClosed = AnyTopMenuEnabled(frame);
        frame->Close(false);
        keptAfterClose = FrameAlive() && !wxPendingDelete.Member(frame);
    });
    poll.Start(10);
    CreateFrame(100);
    ASSERT_TRUE(WaitFrameGone());
    poll.Stop();
    EXPECT_TRUE(closed);
    EXPECT_TRUE(keptAfterClose);
    EXPECT_FALSE(menusWhenClosed);
    ASSERT_EQ(answer.Records().size(), 1u);
    EXPECT_EQ(Utf8(answer.Records()[0].message), "Komunikacja nie została nawiązana");
    EXPECT_EQ(StoredSetting("/com/type"), "COM");
    EXPECT_TRUE(HasStoredSetting("/main/x"));
}

}  // namespace
