// The main window's connection sequence against the panel simulator over a pty: the stored
// settings, identification and check of the panel, the failure road to the port dialog, a
// panel that hangs up, the reconnect through the port menu, a worker thread that cannot start
// and the USB road through fixture trees of the kernel's USB-serial class and module lists.
#include <gtest/gtest.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/timer.h>

#include <string>
#include <vector>

#include "app/FrameIds.h"
#include "comm/PanelClient.h"
#include "platform/ThreadCreation.h"
#include "platform/UsbBridge.h"
#include "sim/SimReports.h"
#include "support/core_EventWait.h"
#include "support/core_SysfsFixture.h"
#include "support/gui_FrameFixture.h"
#include "support/gui_ModalAnswer.h"
#include "widgets/WaitWindow.h"

namespace {

const char* const kPortDialogTitle = "Port komunikacyjny";

std::string Utf8(const wxString& text) { return text.utf8_string(); }

// The dialogs seen, as "title|message" (the port dialog as its title alone), in order.
std::vector<std::string> Seen(const ModalAnswer& answer) {
    std::vector<std::string> seen;
    for (const ModalDialogRecord& record : answer.Records()) {
        std::string text = Utf8(record.title);
        if (!record.message.empty()) text += "|" + Utf8(record.message);
        seen.push_back(text);
    }
    return seen;
}

bool MenusEnabled(MyFrame* frame) {
    wxMenuBar* bar = frame->GetMenuBar();
    for (size_t i = 0; i < bar->GetMenuCount(); ++i)
        if (!bar->IsEnabledTop(i)) return false;
    return bar->GetMenuCount() > 0;
}

bool MenusDisabled(MyFrame* frame) {
    wxMenuBar* bar = frame->GetMenuBar();
    for (size_t i = 0; i < bar->GetMenuCount(); ++i)
        if (bar->IsEnabledTop(i)) return false;
    return true;
}

int CountWaitWindows() {
    int count = 0;
    for (wxWindow* window : wxTopLevelWindows)
        if (dynamic_cast<WaitWindow*>(window) && !window->IsBeingDeleted()) ++count;
    return count;
}

// Collects the error texts logged while it is installed.
class ErrorLog : public wxLog {
public:
    ErrorLog() { previous = wxLog::SetActiveTarget(this); }
    ~ErrorLog() override { wxLog::SetActiveTarget(previous); }
    bool Has(const std::string& text) const {
        for (const std::string& error : errors)
            if (error == text) return true;
        return false;
    }
    std::vector<std::string> errors;

protected:
    void DoLogRecord(wxLogLevel level, const wxString& message, const wxLogRecordInfo&) override {
        if (level == wxLOG_Error) errors.push_back(message.utf8_string());
    }

private:
    wxLog* previous;
};

const std::vector<std::string> kConnectRequests = {
    "020a", "0230ffff", "02a3", "028600cc", "028600cd", "028600ce", "028600cf", "028600d0", "028600d1", "028600d2",
};

using ConnectionTest = FrameFixture;

// ---------------------------------------------------------------------------------------------
// Settings that name no usable connection lead straight to the port dialog; Cancel there ends
// the program.

TEST_F(ConnectionTest, UnusableSettingsOpenThePortDialogAndCancelCloses) {
    struct Case {
        const char* name;
        const char* type;  // nullptr: absent
        const char* portName;
        bool typeKept;
        bool nameKept;
    };
    const Case cases[] = {
        {"first start", nullptr, nullptr, false, false},
        {"COM without a name", "COM", "", false, true},
        {"lower-case usb", "usb", "COM3", false, false},
        {"unknown type", "RS485", "COM3", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteStoredSetting("/com/type");
        DeleteStoredSetting("/com/name");
        if (c.type) StoreSetting("/com/type", c.type);
        if (c.portName) StoreSetting("/com/name", c.portName);

        ModalAnswer answer;
        bool typeAtDialog = true;
        bool nameAtDialog = true;
        answer.Expect([&](wxDialog*) {
            typeAtDialog = HasStoredSetting("/com/type");
            nameAtDialog = HasStoredSetting("/com/name");
            return static_cast<int>(wxID_CANCEL);
        });
        CreateFrame();
        ASSERT_TRUE(WaitFrameGone());
        EXPECT_EQ(Seen(answer), std::vector<std::string>{kPortDialogTitle});
        EXPECT_EQ(typeAtDialog, c.typeKept);
        EXPECT_EQ(nameAtDialog, c.nameKept);
        EXPECT_TRUE(panel.RequestTexts().empty());
    }
}

// ---------------------------------------------------------------------------------------------
// A QM-352A with firmware 3.x connects: identify, start, slots, the input configuration.

TEST_F(ConnectionTest, FullConnectReadsTheConfigurationAndEnablesTheMenus) {
    StoreSerialPort();
    ModalAnswer noDialogs;
    CreateFrame();
    EXPECT_TRUE(MenusDisabled(frame));
    ASSERT_TRUE(WaitConnected());

    EXPECT_EQ(panel.RequestTexts(), kConnectRequests);
    EXPECT_EQ(panel.ModeWord(), 0xFFFF);
    EXPECT_TRUE(MenusEnabled(frame));
    EXPECT_EQ(StatusText(), "Panel QM-352, ver. 3.5, nr 1234");
    EXPECT_EQ(frame->GetInputConfig()[0], 1);
    EXPECT_EQ(std::vector<uint8_t>(frame->GetSlotConfig(), frame->GetSlotConfig() + 4),
              (std::vector<uint8_t>{1, 2, 0, 0}));
    EXPECT_TRUE(frame->AreReadoutsBuilt());
    EXPECT_EQ(frame->GetClient()->GetState(), CLIENT_STARTED);
    EXPECT_EQ(CountWaitWindows(), 0);
    EXPECT_TRUE(frame->IsEnabled());

    // Closing stops the reports before the port goes; the settings stay.
    CloseFrame();
    EXPECT_EQ(panel.ModeWord(), 0);
    EXPECT_EQ(panel.RequestTexts().back(), "02300000");
    EXPECT_EQ(StoredSetting("/com/type"), "COM");
    EXPECT_EQ(StoredSetting("/com/name"), PortPath());
}

TEST_F(ConnectionTest, IdentificationDecidesAndShowsThePanel) {
    struct Case {
        const char* name;
        uint16_t type;
        uint32_t version;
        uint16_t flags;
        const char* status;
        const char* rejection;  // nullptr: accepted
    };
    const Case cases[] = {
        {"3.9 accepted", 0x352, 0x000309, 0, "Panel QM-352, ver. 3.9, nr 1234", nullptr},
        {"no serial number", 0x352, 0x000305, 1, "Panel QM-352, ver. 3.5", nullptr},
        {"other model", 0x353, 0x000305, 0, "Panel QM-353, ver. 3.5, nr 1234", "Panel QM-353 nie jest obsługiwany"},
        {"lettered firmware", 0x352, 0x010305, 0, "Panel QM-352, ver. A.3.5, nr 1234",
         "Program obsługuje panel QM-352A w wersji 3.x"},
        {"firmware 4", 0x352, 0x000400, 0, "Panel QM-352, ver. 4.0, nr 1234",
         "Program obsługuje panel QM-352A w wersji 3.x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::SimIdentity identity;
        identity.typeCode = c.type;
        identity.version = c.version;
        identity.flags = c.flags;
        panel.SetIdentity(identity);
        panel.ClearRequests();
        StoreSerialPort();

        ModalAnswer answer;
        std::string statusAtPortDialog;
        if (c.rejection) {
            answer.Expect(wxID_OK).Expect(wxID_OK).Expect(wxID_OK).Expect([&](wxDialog*) {
                statusAtPortDialog = StatusText();
                return static_cast<int>(wxID_CANCEL);
            });
        }
        CreateFrame();
        if (!c.rejection) {
            ASSERT_TRUE(WaitConnected());
            EXPECT_EQ(StatusText(), c.status);
            CloseFrame();
            continue;
        }
        ASSERT_TRUE(WaitFrameGone());
        // In order: the rejection, the failed check, the failed port, then the port dialog.
        EXPECT_EQ(Seen(answer), (std::vector<std::string>{std::string("Błąd|") + c.rejection,
                                                          "|Komunikacja nie została nawiązana",
                                                          "|Błąd otwierania portu", kPortDialogTitle}));
        ASSERT_EQ(answer.Records().size(), 4u);
        EXPECT_EQ(answer.Records()[0].style & wxICON_MASK, wxICON_HAND);
        EXPECT_EQ(answer.Records()[1].style & (wxOK | wxICON_MASK), wxOK | wxICON_EXCLAMATION);
        EXPECT_EQ(statusAtPortDialog, c.status);
        // The reports were started, stopped again after the rejection, and nothing else was read.
        EXPECT_EQ(panel.RequestTexts(), (std::vector<std::string>{"020a", "0230ffff", "02300000"}));
        EXPECT_EQ(panel.ModeWord(), 0);
    }
}

TEST_F(ConnectionTest, UnansweredRequestsFailTheCheck) {
    struct Case {
        const char* name;
        uint8_t silentCommand;
    };
    // No identification, no slot configuration, no parameters.
    for (const Case& c : {Case{"identify", 0x0A}, Case{"slots", 0xA3}, Case{"parameters", 0x86}}) {
        SCOPED_TRACE(c.name);
        panel.SetSilentCommands({c.silentCommand});
        StoreSerialPort();
        ModalAnswer answer;
        answer.Expect(wxID_OK).Expect(wxID_OK).Expect(wxID_CANCEL);
        CreateFrame(100);
        ASSERT_TRUE(WaitFrameGone(8000));
        EXPECT_EQ(Seen(answer), (std::vector<std::string>{"|Komunikacja nie została nawiązana",
                                                          "|Błąd otwierania portu", kPortDialogTitle}));
        EXPECT_EQ(panel.ModeWord(), 0);  // reports that were started are stopped again
        EXPECT_EQ(CountWaitWindows(), 0);
    }
}

// An identify reply of three fields cannot be used, yet the reports were started after it: they
// are stopped again before the user is told, so the panel does not go on pushing.
TEST_F(ConnectionTest, IdentifyReplyTooShortStopsTheReportsBeforeTheMessage) {
    sim::SimIdentity identity;
    identity.fieldLimit = 3;
    panel.SetIdentity(identity);
    StoreSerialPort();
    ModalAnswer answer;
    int modeAtMessage = -1;
    answer
        .Expect([&](wxDialog*) {
            modeAtMessage = panel.ModeWord();
            return static_cast<int>(wxID_OK);
        })
        .Expect(wxID_OK)
        .Expect(wxID_CANCEL);
    CreateFrame();
    ASSERT_TRUE(WaitFrameGone());
    EXPECT_EQ(Seen(answer), (std::vector<std::string>{"|Komunikacja nie została nawiązana", "|Błąd otwierania portu",
                                                      kPortDialogTitle}));
    EXPECT_EQ(modeAtMessage, 0);
    EXPECT_EQ(panel.RequestTexts(), (std::vector<std::string>{"020a", "0230ffff", "02300000"}));
}

TEST_F(ConnectionTest, PortThatCannotOpenLeadsToThePortDialog) {
    StoreSetting("/com/type", "COM");
    StoreSetting("/com/name", "/nonexistent/ttyQ9");
    ModalAnswer answer;
    answer.Expect(wxID_OK).Expect(wxID_CANCEL);
    CreateFrame();
    ASSERT_TRUE(WaitFrameGone());
    EXPECT_EQ(Seen(answer), (std::vector<std::string>{"|Błąd otwierania portu", kPortDialogTitle}));
    EXPECT_EQ(StoredSetting("/com/name"), "/nonexistent/ttyQ9");
}

// A worker thread the system refuses takes the failed-open road: the wait window goes and no
// driver is kept before the message and the port dialog; confirming the dialog connects, with
// the window usable again.
TEST_F(ConnectionTest, WorkerThreadThatCannotStartLeadsToThePortDialog) {
    StoreSerialPort();
    platform::FailThreadCreations(1);
    ModalAnswer answer;
    int waitWindowsAtDialog = -1;
    bool driverAtDialog = true;
    answer.Expect(wxID_OK).Expect([&](wxDialog*) {
        waitWindowsAtDialog = CountWaitWindows();
        driverAtDialog = frame->GetDriver() != nullptr;
        return static_cast<int>(wxID_OK);
    });
    ErrorLog log;
    CreateFrame();
    const bool connected = WaitConnected();
    platform::FailThreadCreations(0);
    ASSERT_TRUE(connected);
    EXPECT_EQ(Seen(answer), (std::vector<std::string>{"|Błąd otwierania portu", kPortDialogTitle}));
    EXPECT_EQ(waitWindowsAtDialog, 0);
    EXPECT_FALSE(driverAtDialog);
    EXPECT_TRUE(log.Has("Cannot create the communication thread"));
    EXPECT_EQ(panel.RequestTexts(), kConnectRequests);
    EXPECT_TRUE(frame->IsEnabled());
    EXPECT_EQ(CountWaitWindows(), 0);
}

TEST_F(ConnectionTest, DamagedUserConfigurationStillConnects) {
    sim::SimParam damaged = *panel.Param(206);
    damaged.dataError = true;
    panel.SetParam(damaged);
    sim::SimSlots slots;
    slots.kinds = {2, 1, 0, 0};
    panel.SetSlots(slots);
    StoreSerialPort();

    ModalAnswer answer;
    answer.Expect(wxID_OK);
    CreateFrame();
    ASSERT_TRUE(WaitConnected());
    ASSERT_EQ(answer.Records().size(), 1u);
    EXPECT_EQ(Utf8(answer.Records()[0].title), "Błąd");
    EXPECT_EQ(Utf8(answer.Records()[0].message),
              "Błąd danych w obszarze\nkonfiguracji użytkownika (Cn2)\n\nSugerowane jest wykonanie naprawy\n"
              "błędu Cn2 (patrz instrukcja), a następnie\nzaładowanie prawidłowej konfiguracji z pliku,\n"
              "Menu: Ustawienia -> Ładuj z pliku...");
    EXPECT_EQ(answer.Records()[0].style & wxICON_MASK, wxICON_HAND);
    EXPECT_EQ(std::vector<uint8_t>(frame->GetInputConfig(), frame->GetInputConfig() + 7),
              std::vector<uint8_t>(7, 0));
    EXPECT_EQ(std::vector<uint8_t>(frame->GetSlotConfig(), frame->GetSlotConfig() + 4),
              (std::vector<uint8_t>{2, 1, 0, 0}));
    EXPECT_TRUE(MenusEnabled(frame));
    // No input box for input kind 0; the slot boxes follow the panel.
    EXPECT_EQ(frame->GetReadout(0), nullptr);
    EXPECT_NE(frame->GetReadout(12), nullptr);
    EXPECT_NE(frame->GetReadout(8), nullptr);
}

// ---------------------------------------------------------------------------------------------
// A panel that hangs up while connected: the driver stops, the user is told, the window
// closes and the port type is forgotten so that the next start asks for a port.

TEST_F(ConnectionTest, HangUpWhileConnectedClosesAndForgetsThePortType) {
    StoreSerialPort();
    ModalAnswer answer;
    CreateFrame();
    ASSERT_TRUE(WaitConnected());
    answer.Expect(wxID_OK);
    panel.HangUpNow();
    ASSERT_TRUE(WaitFrameGone());
    EXPECT_EQ(Seen(answer), std::vector<std::string>{"|Błąd w driverze obsługującym komunikację"});
    EXPECT_FALSE(HasStoredSetting("/com/type"));
    EXPECT_EQ(StoredSetting("/com/name"), PortPath());
}

TEST_F(ConnectionTest, HangUpDuringTheCheckClosesWithoutFurtherMessages) {
    StoreSerialPort();
    panel.SetHangUpAfterRequests(3);  // identify, start, slots answered; the first read is not
    ModalAnswer answer;
    answer.Expect(wxID_OK);
    CreateFrame();
    ASSERT_TRUE(WaitFrameGone(8000));
    EXPECT_EQ(Seen(answer), std::vector<std::string>{"|Błąd w driverze obsługującym komunikację"});
    EXPECT_FALSE(HasStoredSetting("/com/type"));
}

// A close asked for while the check waits for the panel is carried out once the check has
// returned: the check ends, the reports are stopped and the window goes, with no message.
TEST_F(ConnectionTest, CloseDuringTheCheckWaitsForItAndStopsTheReports) {
    StoreSerialPort();
    panel.SetReplyDelayMs(60);
    ModalAnswer noDialogs;
    CreateFrame();
    bool asked = false;
    wxTimer closer;
    closer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        // Fires inside the request waits of the running step.
        if (!asked && FrameAlive() && panel.RequestTexts().size() >= 4) {
            asked = true;
            frame->Close(false);
        }
    });
    closer.Start(5);
    ASSERT_TRUE(WaitFrameGone(8000));
    closer.Stop();
    EXPECT_TRUE(asked);
    std::vector<std::string> expected = kConnectRequests;
    expected.push_back("02300000");
    EXPECT_EQ(panel.RequestTexts(), expected);
    EXPECT_EQ(panel.ModeWord(), 0);
    EXPECT_EQ(StoredSetting("/com/type"), "COM");
}

// ---------------------------------------------------------------------------------------------
// The port menu: OK leaves the panel and connects again with the settings; the read-outs are
// not built twice. Cancel changes nothing.

TEST_F(ConnectionTest, PortMenuReconnectsWithoutRebuildingTheReadouts) {
    StoreSerialPort();
    ModalAnswer answer;
    CreateFrame();
    ASSERT_TRUE(WaitConnected());
    jwxNVUDisp* firstInput = frame->GetReadout(0);
    const size_t boxes = frame->GetMainPanel()->GetChildren().size();

    answer.Expect(wxID_CANCEL);
    panel.ClearRequests();
    wxQueueEvent(frame, new wxCommandEvent(wxEVT_MENU, ID_PORT));
    ASSERT_TRUE(RunLoopUntil([&] { return answer.Records().size() == 1; }, 3000));
    RunLoopFor(100);
    EXPECT_TRUE(panel.RequestTexts().empty());
    EXPECT_TRUE(frame->IsConnected());

    answer.Expect(wxID_OK);
    wxQueueEvent(frame, new wxCommandEvent(wxEVT_MENU, ID_PORT));
    ASSERT_TRUE(RunLoopUntil(
        [&] { return panel.RequestTexts().size() == 1 + kConnectRequests.size() && frame->IsConnected(); }, 3000));
    std::vector<std::string> expected = {"02300000"};
    expected.insert(expected.end(), kConnectRequests.begin(), kConnectRequests.end());
    EXPECT_EQ(panel.RequestTexts(), expected);
    EXPECT_TRUE(MenusEnabled(frame));
    EXPECT_EQ(frame->GetReadout(0), firstInput);
    EXPECT_EQ(frame->GetMainPanel()->GetChildren().size(), boxes);
    // The new connection feeds the old read-outs.
    EXPECT_TRUE(PushAndWait(sim::RelayReport(0x01), MyFrame::kRelayReadout, "X"));
}

// ---------------------------------------------------------------------------------------------
// USB: the bridge is found in the kernel's USB-serial class (a fixture tree whose ttyUSB0 is
// the simulator's pty). With nothing plugged in, the kernel's module lists decide: a kernel
// that can drive the bridge tries it and takes the device-not-found road, a kernel without the
// driver gets the library message. Both lead to the port dialog and keep the stored type.

class UsbConnectionTest : public FrameFixture {
protected:
    void PointBridgeLayerAt(const std::string& sysfs, const std::string& dev) {
        platform::UsbBridgeRoots roots;
        roots.sysfs = sysfs;
        roots.dev = dev;
        roots.modules = tree.ModulesDir();
        platform::SetUsbBridgeRoots(roots);
    }
    void TearDown() override {
        FrameFixture::TearDown();
        platform::SetUsbBridgeRoots(platform::UsbBridgeRoots());
    }
    SysfsFixture tree;
};

TEST_F(UsbConnectionTest, ConnectsThroughTheBridge) {
    tree.AddUsbSerial("ttyUSB0", "FT232R USB UART");
    tree.AddUsbSerial("ttyUSB1", "Regulator QM-352A, VELTRA");
    tree.AddDevNode("ttyUSB1", PortPath());
    PointBridgeLayerAt(tree.SysRoot(), tree.DevRoot());
    StoreSetting("/com/type", "USB");
    ModalAnswer noDialogs;
    CreateFrame();
    ASSERT_TRUE(WaitConnected());
    EXPECT_EQ(panel.RequestTexts(), kConnectRequests);
    EXPECT_EQ(StatusText(), "Panel QM-352, ver. 3.5, nr 1234");
}

TEST_F(UsbConnectionTest, NothingPluggedInTakesTheRoadTheKernelDriverGives) {
    struct Case {
        const char* name;
        const char* builtin;  // modules.builtin of the running kernel
        bool deviceSearched;
        const char* message;
    };
    const Case cases[] = {
        {"ftdi_sio built in", "kernel/drivers/usb/serial/usbserial.ko\nkernel/drivers/usb/serial/ftdi_sio.ko\n", true,
         "|Błąd otwierania portu"},
        {"kernel without ftdi_sio", "kernel/drivers/usb/serial/usbserial.ko\n", false,
         "|Nie udało się załadować ftd2xx.dll"},
    };
    tree.RemoveUsbSerialClass();  // a fresh boot: no bridge was ever plugged in
    PointBridgeLayerAt(tree.SysRoot(), tree.DevRoot());
    StoreSetting("/com/type", "USB");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tree.SetModulesFile("modules.builtin", c.builtin);
        ModalAnswer answer;
        answer.Expect(wxID_OK).Expect(wxID_CANCEL);
        ErrorLog log;
        CreateFrame();
        ASSERT_TRUE(WaitFrameGone());
        EXPECT_EQ(Seen(answer), (std::vector<std::string>{c.message, kPortDialogTitle}));
        EXPECT_EQ(log.Has("VELTRA device not found on USB"), c.deviceSearched);
        EXPECT_EQ(StoredSetting("/com/type"), "USB");
    }
}

}  // namespace
