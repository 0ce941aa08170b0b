#include <gtest/gtest.h>
#include <wx/combobox.h>
#include <wx/config.h>
#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/radiobut.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "app/DlgComPort.h"
#include "app/SettingsStore.h"
#include "support/core_EventWait.h"
#include "support/core_SysfsFixture.h"
#include "support/gui_ModalAnswer.h"
#include "support/gui_ScreenWait.h"
#include "support/test_support.h"

namespace {

// The dialog over a fixture machine with three USB-serial ports and a private settings store.
class PortDialogTest : public testing::Test {
protected:
    void SetUp() override {
        configDir = MakeTempDir("mirex-portdlg");
        ASSERT_FALSE(configDir.empty());
        setenv("XDG_CONFIG_HOME", configDir.c_str(), 1);
        InstallSettingsStore();

        tree.AddUsbSerial("ttyUSB0", "FT232R USB UART", "A0");
        tree.AddUsbSerial("ttyUSB1", "Regulator QM-352A, VELTRA", "A1");
        tree.AddUsbSerial("ttyUSB2", "CP2102 USB to UART", "A2");
        UseTree(tree);
    }
    void TearDown() override {
        DlgComPort::SetPortRoots(DlgComPort::PortRoots());
        delete wxConfigBase::Set(nullptr);
        wxFileName::Rmdir(wxString::FromUTF8(configDir.c_str()), wxPATH_RMDIR_RECURSIVE);
    }

    static void UseTree(const SysfsFixture& fixture) {
        DlgComPort::PortRoots roots;
        roots.sysfs = fixture.SysRoot();
        roots.proc = fixture.ProcRoot();
        roots.dev = fixture.DevRoot();
        DlgComPort::SetPortRoots(roots);
    }

    // Written through the program's store, flushed to the file.
    static void Store(const char* key, const char* value) {
        wxConfigBase::Get()->Write(wxASCII_STR(key), wxASCII_STR(value));
        wxConfigBase::Get()->Flush();
    }
    // What the settings file holds, read afresh; "<absent>" when the key is not there.
    static std::string OnDisk(const char* key) {
        wxFileConfig file(wxEmptyString, wxEmptyString, SettingsFilePath(), wxEmptyString, wxCONFIG_USE_LOCAL_FILE);
        wxString value;
        if (!file.Read(wxASCII_STR(key), &value)) return "<absent>";
        return value.utf8_string();
    }

    // Runs the dialog; inspect sees it open and returns the id to end it with (wxID_NONE when
    // it closed the dialog itself).
    int Run(std::function<int(DlgComPort&)> inspect) {
        DlgComPort dialog(nullptr, wxString::FromUTF8("Port komunikacyjny"), wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER,
                          wxID_ANY);
        ModalAnswer answer;
        answer.Expect([&](wxDialog*) { return inspect(dialog); });
        return dialog.ShowModal();
    }

    struct Shown {
        bool usb, com, ip;
        int selection;
        std::string text;
    };
    static Shown State(DlgComPort& dialog) {
        return {dialog.GetUsbButton()->GetValue(), dialog.GetComButton()->GetValue(),
                dialog.GetIpButton()->GetValue(), dialog.GetPortCombo()->GetSelection(),
                dialog.GetPortCombo()->GetValue().utf8_string()};
    }

    std::string configDir;
    SysfsFixture tree;
};

TEST_F(PortDialogTest, ListsThePortsWithTheirDescriptions) {
    Run([](DlgComPort& dialog) {
        const wxArrayString& names = dialog.GetPortNames();
        EXPECT_EQ(names.size(), 3u);
        // The list shows each port by its USB product name, the device in brackets.
        const wxArrayString shown = dialog.GetPortCombo()->GetStrings();
        std::vector<std::string> texts;
        for (const wxString& text : shown) texts.push_back(text.utf8_string());
        EXPECT_EQ(texts, (std::vector<std::string>{"FT232R USB UART (ttyUSB0)", "Regulator QM-352A, VELTRA (ttyUSB1)",
                                                   "CP2102 USB to UART (ttyUSB2)"}));
        if (names.size() == 3u) {
            EXPECT_EQ(names[0].utf8_string(), "ttyUSB0");
            EXPECT_EQ(names[2].utf8_string(), "ttyUSB2");
        }
        EXPECT_EQ(dialog.GetUsbButton()->GetId(), 300);
        EXPECT_EQ(dialog.GetComButton()->GetId(), 301);
        EXPECT_EQ(dialog.GetPortCombo()->GetId(), 100);
        EXPECT_TRUE(dialog.GetPortCombo()->HasFlag(wxCB_READONLY));
        return wxID_CANCEL;
    });
}

// The controls preset from what is stored.
TEST_F(PortDialogTest, PresetFromTheStoredChoice) {
    const struct {
        const char* type;  // nullptr: nothing stored
        const char* name;
        bool usb, com, ip;
        int selection;
    } cases[] = {
        {nullptr, nullptr, true, false, false, 0},
        {"USB", nullptr, true, false, false, 0},
        {"IP", nullptr, false, false, true, 0},
        {"COM", "ttyUSB1", false, true, false, 1},
        {"COM", "ttyUSB2", false, true, false, 2},
        {"COM", "ttyS7", false, true, false, 0},   // no longer present: the first port is shown
        {"COM", "ttyusb1", false, true, false, 0},  // names compare exactly
        {"usb", nullptr, false, true, false, 0},    // an unknown type is taken as COM
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.type ? c.type : "<none>") + " " + (c.name ? c.name : ""));
        wxConfigBase::Get()->DeleteAll();
        if (c.type) Store("/com/type", c.type);
        if (c.name) Store("/com/name", c.name);
        std::string firstText;
        Shown shown{};
        Run([&](DlgComPort& dialog) {
            shown = State(dialog);
            firstText = dialog.GetPortCombo()->GetString(c.selection).utf8_string();
            return wxID_CANCEL;
        });
        EXPECT_EQ(shown.usb, c.usb);
        EXPECT_EQ(shown.com, c.com);
        EXPECT_EQ(shown.ip, c.ip);
        EXPECT_EQ(shown.selection, c.selection);
        EXPECT_EQ(shown.text, firstText);
        EXPECT_FALSE(shown.text.empty());
    }
}

TEST_F(PortDialogTest, ChoosingAPortWhileUsbIsCheckedSwitchesToCom) {
    Store("/com/type", "USB");
    int result = Run([](DlgComPort& dialog) {
        wxComboBox* combo = dialog.GetPortCombo();
        EXPECT_TRUE(dialog.GetUsbButton()->GetValue());
        combo->SetSelection(2);
        wxCommandEvent chosen(wxEVT_COMBOBOX, combo->GetId());
        chosen.SetEventObject(combo);
        chosen.SetInt(2);
        chosen.SetString(combo->GetString(2));
        combo->GetEventHandler()->ProcessEvent(chosen);
        EXPECT_TRUE(dialog.GetComButton()->GetValue());
        EXPECT_FALSE(dialog.GetUsbButton()->GetValue());
        EXPECT_TRUE(ModalAnswer::Click(&dialog, wxID_OK));
        return static_cast<int>(wxID_NONE);
    });
    EXPECT_EQ(result, wxID_OK);
    EXPECT_EQ(OnDisk("/com/type"), "COM");
    EXPECT_EQ(OnDisk("/com/name"), "ttyUSB2");
}

// OK stores the checked connection; only COM writes a port name.
TEST_F(PortDialogTest, OkStoresTheChoice) {
    const struct {
        const char* check;  // "USB", "COM" or "IP"
        int port;
        const char* type;
        const char* name;
    } cases[] = {
        {"USB", 1, "USB", "ttyUSB0"},  // the stored name stays as it was
        {"COM", 1, "COM", "ttyUSB1"},
        {"IP", 2, "IP", "ttyUSB0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.check);
        wxConfigBase::Get()->DeleteAll();
        Store("/com/type", "COM");
        Store("/com/name", "ttyUSB0");
        int result = Run([&](DlgComPort& dialog) {
            dialog.GetPortCombo()->SetSelection(c.port);
            wxRadioButton* button = std::string(c.check) == "USB"   ? dialog.GetUsbButton()
                                    : std::string(c.check) == "COM" ? dialog.GetComButton()
                                                                    : dialog.GetIpButton();
            button->SetValue(true);
            EXPECT_TRUE(ModalAnswer::Click(&dialog, wxID_OK));
            return static_cast<int>(wxID_NONE);
        });
        EXPECT_EQ(result, wxID_OK);
        EXPECT_EQ(OnDisk("/com/type"), c.type);
        EXPECT_EQ(OnDisk("/com/name"), c.name);
    }
}

// The keyboard works the dialog as it works any other: Enter confirms (OK is the default
// button, whichever control has the focus), Escape cancels. Keys go through the display.
TEST_F(PortDialogTest, EnterConfirmsAndEscapeCancels) {
    struct Case {
        int key;
        int expected;
    } cases[] = {{WXK_RETURN, wxID_OK}, {WXK_ESCAPE, wxID_CANCEL}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        const int result = Run([&](DlgComPort& dialog) {
            EXPECT_EQ(dialog.GetDefaultItem(), dialog.FindWindow(wxID_OK));
            // Ends the run should the key do nothing.
            wxTimer fallback;
            fallback.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
                if (dialog.IsModal()) dialog.EndModal(wxID_ABORT);
            });
            fallback.StartOnce(3000);
            dialog.Raise();
            EXPECT_TRUE(WaitUntilPainted(&dialog));
            dialog.GetComButton()->SetFocus();
            // With no window manager the display's focus follows the pointer.
            wxUIActionSimulator keys;
            keys.MouseMove(dialog.GetScreenRect().GetPosition() + wxPoint(10, 10));
            EXPECT_TRUE(WaitUntilFocused(dialog.GetComButton())) << "the key would not reach the dialog";
            keys.Char(c.key);
            EXPECT_TRUE(RunLoopUntil([&] { return !dialog.IsModal(); }, 5000));
            return static_cast<int>(wxID_NONE);
        });
        EXPECT_EQ(result, c.expected);
    }
}

TEST_F(PortDialogTest, CancelWritesNothing) {
    // Nothing stored: the file is not even made.
    Run([](DlgComPort& dialog) {
        dialog.GetComButton()->SetValue(true);
        dialog.GetPortCombo()->SetSelection(2);
        return wxID_CANCEL;
    });
    EXPECT_FALSE(wxFileName::FileExists(SettingsFilePath()));
    EXPECT_EQ(wxConfigBase::Get()->GetNumberOfEntries(true), 0u);

    Store("/com/type", "IP");
    int result = Run([](DlgComPort& dialog) {
        dialog.GetComButton()->SetValue(true);
        dialog.GetPortCombo()->SetSelection(2);
        EXPECT_TRUE(ModalAnswer::Click(&dialog, wxID_CANCEL));
        return static_cast<int>(wxID_NONE);
    });
    EXPECT_EQ(result, wxID_CANCEL);
    EXPECT_EQ(OnDisk("/com/type"), "IP");
    EXPECT_EQ(OnDisk("/com/name"), "<absent>");
}

// A machine without serial ports: COM can still be chosen, and keeps the stored name.
TEST_F(PortDialogTest, WithoutPortsComKeepsTheStoredName) {
    SysfsFixture empty;
    UseTree(empty);
    Store("/com/type", "COM");
    Store("/com/name", "ttyS3");
    int result = Run([](DlgComPort& dialog) {
        EXPECT_EQ(dialog.GetPortCombo()->GetCount(), 0u);
        EXPECT_EQ(dialog.GetPortCombo()->GetSelection(), wxNOT_FOUND);
        EXPECT_TRUE(dialog.GetComButton()->GetValue());
        EXPECT_TRUE(ModalAnswer::Click(&dialog, wxID_OK));
        return static_cast<int>(wxID_NONE);
    });
    EXPECT_EQ(result, wxID_OK);
    EXPECT_EQ(OnDisk("/com/type"), "COM");
    EXPECT_EQ(OnDisk("/com/name"), "ttyS3");
}

}  // namespace
