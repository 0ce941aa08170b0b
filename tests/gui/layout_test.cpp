// Every window of the program checked for controls that are cut, that overlap or that are too
// small for their text: first the check itself on small windows built to fail it, then the real
// windows against the simulated panel (the main window, the regulator views with their boxes
// and dialogs, the configuration dialogs, the live editors, the port dialog and the assistance
// monitor), with the texts they show at first and with the longest texts they really show.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/dialog.h>
#include <wx/listbox.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <string>
#include <vector>

#include "app/AssistMon.h"
#include "app/DlgComPort.h"
#include "app/FrameIds.h"
#include "regulators/Reg2.h"
#include "regulators/Reg3.h"
#include "regulators/RegulatorOptions.h"
#include "sim/SimReports.h"
#include "support/core_SysfsFixture.h"
#include "support/gui_GeometryCheck.h"
#include "support/gui_ModalAnswer.h"
#include "support/gui_RegulatorFixture.h"
#include "widgets/LayoutHelpers.h"
#include "widgets/SourceLists.h"
#include "widgets/jwxNVUDisp.h"

namespace {

// --- The check itself ---------------------------------------------------------------------------

// A dialog whose children are placed by hand, so that each fault can be built on purpose.
struct HandPlaced {
    wxDialog dialog{nullptr, wxID_ANY, wxASCII_STR("placed"), wxDefaultPosition, wxSize(300, 200)};
    HandPlaced() { dialog.Show(); }
    wxStaticText* Label(const char* text, int x, int y) {
        auto* label = new wxStaticText(&dialog, wxID_ANY, wxString::FromUTF8(text), wxPoint(x, y));
        label->SetSize(label->GetBestSize());
        return label;
    }
    wxStaticBox* Box(const char* title, wxRect r) {
        return new wxStaticBox(&dialog, wxID_ANY, wxString::FromUTF8(title), r.GetPosition(), r.GetSize());
    }
    std::string Faults() {
        SettleWindows();
        std::string all;
        for (const std::string& fault : LayoutFaults(&dialog)) all += fault + "\n";
        return all;
    }
};

TEST(GeometryCheckTest, SoundLayoutPasses) {
    HandPlaced w;
    wxStaticBox* box = w.Box("Box", wxRect(10, 10, 200, 120));
    int top = 0, other = 0;
    box->GetBordersForSizer(&top, &other);
    w.Label("inside", 10 + other + 2, 10 + top + 2);
    w.Label("beside", 220, 10);
    auto* field = new wxTextCtrl(&w.dialog, wxID_ANY, wxASCII_STR("12.5"), wxPoint(215, 60));
    field->SetSize(80, field->GetBestSize().GetHeight());
    EXPECT_EQ(w.Faults(), "");
    EXPECT_TRUE(LayoutIsSound(&w.dialog));
}

TEST(GeometryCheckTest, EachFaultIsFoundAndNamed) {
    struct Case {
        const char* name;
        void (*build)(HandPlaced&);
        std::vector<const char*> expected;  // all in the one fault line expected
    };
    const Case cases[] = {
        {"cut at the right edge", [](HandPlaced& w) { w.Label("far right", 280, 10); },
         {"wxStaticText \"far right\" (280,10", "outside the client area", "wxDialog \"placed\""}},
        {"siblings overlap",
         [](HandPlaced& w) {
             w.Label("first label", 10, 10);
             w.Label("second", 20, 12);
         },
         {"\"first label\"", "overlaps", "\"second\""}},
        {"a label over a box frame",
         [](HandPlaced& w) {
             w.Box("Frame", wxRect(10, 10, 100, 80));
             w.Label("runs over the frame", 30, 40);
         },
         {"\"runs over the frame\"", "crosses the frame of wxStaticBox \"Frame\""}},
        {"a label on a box's title",
         [](HandPlaced& w) {
             w.Box("Frame", wxRect(10, 10, 200, 80));
             w.Label("x", 60, 11);
         },
         {"\"x\"", "crosses the frame of wxStaticBox \"Frame\""}},
        {"a label against the frame's line inside",
         [](HandPlaced& w) {
             w.Box("Frame", wxRect(10, 10, 200, 80));
             w.Label("at the line", 11, 40);
         },
         {"\"at the line\"", "crosses the frame of wxStaticBox \"Frame\""}},
        {"two boxes edge to edge",
         [](HandPlaced& w) {
             w.Box("Left", wxRect(10, 10, 100, 80));
             w.Box("Right", wxRect(110, 10, 100, 80));
         },
         {"\"Left\"", "touches", "\"Right\""}},
        {"a label narrower than its text",
         [](HandPlaced& w) { w.Label("squeezed text", 10, 10)->SetSize(30, -1); },
         {"\"squeezed text\" (10,10 30x", "smaller than"}},
        {"a field narrower than its text",
         [](HandPlaced& w) {
             auto* field = new wxTextCtrl(&w.dialog, wxID_ANY, wxASCII_STR("-1234.567"), wxPoint(10, 10));
             field->SetSize(40, field->GetBestSize().GetHeight());
         },
         {"wxTextCtrl", "smaller than"}},
        {"a read-out part cut inside its window",
         [](HandPlaced& w) {
             auto* part = new wxWindow(&w.dialog, wxID_ANY, wxPoint(10, 10), wxSize(20, 20));
             new wxStaticText(part, wxID_ANY, wxASCII_STR("6553.5"), wxPoint(1, 1), wxSize(18, 18),
                              wxST_NO_AUTORESIZE);
         },
         {"\"6553.5\"", "smaller than"}},
        {"a read-out part squeezed below its sample's size",
         [](HandPlaced& w) {
             auto* part = new wxWindow(&w.dialog, wxID_ANY, wxPoint(10, 10), wxSize(20, 20));
             new wxStaticText(part, wxID_ANY, wxASCII_STR("1"), wxPoint(1, 1), wxSize(10, 18), wxST_NO_AUTORESIZE);
             part->SetMinSize(wxSize(40, 20));
         },
         {"part of 1", "smaller than the 40x20"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HandPlaced w;
        c.build(w);
        const std::string faults = w.Faults();
        EXPECT_NE(faults, "");
        for (const char* part : c.expected) EXPECT_NE(faults.find(part), std::string::npos) << part << "\n" << faults;
        EXPECT_FALSE(LayoutIsSound(&w.dialog));
    }
}

// A real read-out laid out from its samples: the value and unit parts keep their size, so a text
// longer than its sample is cut at the part's edge and must be reported.
TEST(GeometryCheckTest, ReadoutTextsWiderThanTheirParts) {
    const struct {
        const char* name;
        const char* value;
        const char* unit;
        std::vector<const char*> expected;  // all in the faults; none expected when empty
    } cases[] = {
        {"texts as wide as the samples", "X", "u", {}},
        {"no texts yet", "", "", {}},
        {"a value longer than its sample", "123456789.123456", "u",
         {"FixedText \"123456789.123456\"", "smaller than", "part of 123456789.123456"}},
        {"a unit longer than its sample", "X", "very long unit",
         {"FixedText \"very long unit\"", "smaller than", "part of very long unit"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HandPlaced w;
        auto* readout = new jwxNVUDisp(&w.dialog, wxASCII_STR("Caption"), wxASCII_STR("X"), wxASCII_STR("u"));
        w.dialog.SetSizer(readout);
        w.dialog.Layout();
        readout->SetValueText(wxString::FromUTF8(c.value));
        readout->SetUnitText(wxString::FromUTF8(c.unit));
        const std::string faults = w.Faults();
        if (c.expected.empty()) {
            EXPECT_EQ(faults, "");
            continue;
        }
        for (const char* part : c.expected) EXPECT_NE(faults.find(part), std::string::npos) << part << "\n" << faults;
        // Only the part with the long text is at fault.
        const char* other = std::string(c.value).size() > 1 ? "very long unit" : "123456789";
        EXPECT_EQ(faults.find(other), std::string::npos) << faults;
        EXPECT_FALSE(LayoutIsSound(&w.dialog));
    }
}

TEST(GeometryCheckTest, HiddenWindowsAreLeftOut) {
    HandPlaced w;
    w.Label("shown", 10, 10);
    w.Label("hidden", 12, 12)->Hide();
    w.Label("hidden too", 290, 190)->Hide();
    EXPECT_EQ(w.Faults(), "");
}

// --- The program's windows -----------------------------------------------------------------------

// The code of the list entry drawn widest in the window's font.
int WidestCode(wxWindow* window, const char* const list[]) {
    wxClientDC dc(window);
    int widest = 0, code = 0;
    for (int i = 0; list[i]; ++i) {
        const int width = dc.GetTextExtent(wxString::FromUTF8(list[i])).GetWidth();
        if (width > widest) {
            widest = width;
            code = LeadingNumber(list[i]);
        }
    }
    return code;
}

class LayoutTest : public RegulatorFixture {
public:
    // Checks the main window as it stands now, named for the failure.
    void CheckFrame(const std::string& name) {
        SettleWindows();
        SaveWindowShot(frame, name);
        EXPECT_TRUE(LayoutIsSound(frame)) << name;
    }
    // Answers the next dialog by checking it as it opens and once the user made it wider and
    // taller (every edit dialog can be resized), then cancelling it.
    static ModalAnswer::Handler CheckAndCancel(const std::string& name) {
        return [name](wxDialog* dialog) {
            CheckDialog(dialog, name);
            return static_cast<int>(wxID_CANCEL);
        };
    }
    static void CheckDialog(wxDialog* dialog, const std::string& name) {
        SettleWindows();
        SaveWindowShot(dialog, name);
        EXPECT_TRUE(LayoutIsSound(dialog)) << name;
        dialog->SetSize(dialog->GetSize() + wxSize(150, 60));
        SettleWindows();
        SaveWindowShot(dialog, name + " resized");
        EXPECT_TRUE(LayoutIsSound(dialog)) << name << " resized";
    }
    uint16_t Code(int channel, int offset) const { return static_cast<uint16_t>(0x200 + 32 * channel + offset); }
    bool Report(uint8_t code, int channel, std::vector<uint32_t> fields) {
        return PushAndSettle(sim::RegulatorStatusReport(code, static_cast<unsigned>(channel), fields));
    }
    // The longest texts each channel's settings really show: the widest names, the decimal
    // limits, the longest times.
    void StoreLongValues() {
        for (int channel = 0; channel < 3; ++channel) {
            SetStored(Code(channel, 0x00), static_cast<uint32_t>(WidestCode(frame, DisplaySourceList)));
            const char* const* options[3] = {ThresholdOptionList, PidOptionList, TimedOptionList};
            SetStored(Code(channel, 0x01), static_cast<uint32_t>(WidestCode(frame, options[channel])));
            for (int offset : {0x04, 0x05, 0x06, 0x0A, 0x0B, 0x0C})
                SetStored(Code(channel, offset), sim::PackDecimal(-10000, 0));
            SetStored(Code(channel, 0x03), 3);
        }
        for (int offset : {0x10, 0x11, 0x12, 0x13}) SetStored(Code(0, offset), sim::PackDecimal(-10000, 0));
        for (int offset : {0x14, 0x17, 0x18}) SetStored(Code(1, offset), sim::PackDecimal(-10000, 0));
        for (int offset : {0x15, 0x16, 0x07, 0x08}) SetStored(Code(1, offset), 65535);
        SetStored(Code(1, 0x09), 255);
        SetStored(Code(2, 0x07), 65535);
        SetStored(Code(2, 0x1C), 0);
        SetStored(Code(2, 0x08), 65535);
        SetStored(Code(2, 0x1D), 1);
        SetStored(Code(2, 0x09), 255);
        const int input = WidestCode(frame, BinarySourceList);
        for (int offset : {0x19, 0x1A, 0x1B}) SetStored(Code(2, offset), static_cast<uint32_t>(input));
    }
    // Reports with the longest texts of the live read-outs.
    void PushLongReports(int channel) {
        const uint8_t mainCodes[3] = {0xA4, 0xA5, 0xA6};
        std::vector<uint32_t> status = {0, 1, sim::FloatBits(-9999.5f)};
        for (int i = 0; i < 12; ++i) status.push_back(sim::FloatBits(-99.99999f));
        ASSERT_TRUE(Report(mainCodes[channel], channel, status));
        ASSERT_TRUE(Report(0xA7, channel, {3}));
        if (channel == 1) {
            ASSERT_TRUE(Report(0xA9, channel, {0, 1, 65535, 65535}));
            ASSERT_TRUE(Report(0xA9, channel, {0, 3, 65535, 65535}));
        }
        if (channel == 2) {
            ASSERT_TRUE(Report(0xAB, channel, {2, 3, 0xFF}));
        }
    }
    // Every window the view opens: header, settings and alarms.
    void CheckViewDialogs(const std::string& name) {
        ModalAnswer answer;
        answer.Expect(CheckAndCancel(name + " header"));
        ClickViewButton(RegX::ID_HEADER);
        answer.Expect(CheckAndCancel(name + " settings"));
        ClickViewButton(RegX::ID_REGULATION);
        answer.Expect(CheckAndCancel(name + " alarms"));
        ClickViewButton(RegX::ID_ALARMS);
        EXPECT_EQ(answer.Records().size(), 3u);
    }
};

TEST_F(LayoutTest, MainWindowConnected) {
    Connect();
    CheckFrame("main");
}

// The main window's read-outs with the longest texts the panel's readings give, on both input
// boards and both kinds of extension slot.
TEST_F(LayoutTest, MainWindowWithLongValues) {
    const struct {
        const char* name;
        uint8_t input, slot0, slot1;
    } boards[] = {{"main long thermometers", 1, 1, 2}, {"main long analog inputs", 2, 1, 1}};
    for (const auto& board : boards) {
        SCOPED_TRACE(board.name);
        sim::SimParam inputKind = *panel.Param(204);
        inputKind.value = board.input;
        panel.SetParam(inputKind);
        sim::SimSlots slots;
        slots.kinds = {board.slot0, board.slot1, 0, 0};
        panel.SetSlots(slots);
        Connect();
        // Temperatures and humidity at the ends of their 16-bit fields.
        ASSERT_TRUE(PushAndSettle(sim::ThermometerReport(-32768, -32768, 65535)));
        // Inputs above their full scale (10 V, 1 V, 20 mA), one flagged as failed.
        ASSERT_TRUE(PushAndSettle(sim::AnalogInputReport(0x8, {{{1, 12000}, {2, 12000}, {3, 24000}, {3, 24000}}})));
        const uint32_t lowest = sim::PackDecimal(-10000, 0);
        ASSERT_TRUE(PushAndSettle(sim::AnalogSecondReport(0, {lowest, lowest, lowest, lowest})));
        for (unsigned position : {0u, 1u}) ASSERT_TRUE(PushAndSettle(sim::AnalogOutputReport(position, -9999, 1.02f)));
        ASSERT_TRUE(PushAndSettle(sim::BusInputReport(1, 0, 3, {lowest, lowest, lowest})));
        // 2099-12-31 23:59:59, the clock's last second.
        ASSERT_TRUE(PushAndSettle(sim::ClockReport(36524u * 86400u + 86399u)));
        CheckFrame(board.name);
        CloseFrame();
    }
}

TEST_F(LayoutTest, RegulatorViewsWithSampleTexts) {
    Connect();
    for (int channel = 0; channel < 3; ++channel) {
        const std::string name = "R" + std::to_string(channel + 1);
        SCOPED_TRACE(name);
        Select(ID_REG_1 + channel);
        ASSERT_NE(View(), nullptr);
        CheckFrame(name);
        if (channel > 0) {
            ClickViewButton(RegX::ID_ALGORITHM);
            CheckFrame(name + " algorithm");
        }
        CheckViewDialogs(name);
    }
}

TEST_F(LayoutTest, RegulatorViewsWithLongValues) {
    Connect();
    StoreLongValues();
    for (int channel = 0; channel < 3; ++channel) {
        const std::string name = "R" + std::to_string(channel + 1) + " long";
        SCOPED_TRACE(name);
        Select(ID_REG_1 + channel);
        ASSERT_NE(View(), nullptr);
        PushLongReports(channel);
        CheckFrame(name);
        if (channel > 0) {
            ClickViewButton(RegX::ID_ALGORITHM);
            PushLongReports(channel);
            CheckFrame(name + " algorithm");
        }
        CheckViewDialogs(name);
    }
}

// Longer control-input names chosen in the timing edit: the values read back refit the window.
TEST_F(LayoutTest, TimedViewAfterATimingEditWithLongerInputNames) {
    Connect();
    Select(ID_REG_1 + 2);
    ASSERT_NE(View(), nullptr);
    CheckFrame("R3 before the edit");
    const int widest = WidestCode(frame, BinarySourceList);
    ModalAnswer answer;
    answer.Expect([&](wxDialog* dialog) {
        for (jwxCombo* list : Lists(dialog)) SelectCode(list, widest);
        ModalAnswer::Click(dialog, wxID_OK);
        return static_cast<int>(wxID_NONE);
    });
    ClickViewButton(RegX::ID_REGULATION);
    ASSERT_EQ(answer.Records().size(), 1u);
    EXPECT_EQ(Stored(Code(2, 0x19)), static_cast<uint32_t>(widest));
    CheckFrame("R3 after the edit");
}

TEST_F(LayoutTest, ConfigurationDialogs) {
    Connect();
    const struct {
        int menu;
        const char* name;
    } menus[] = {
        {ID_DISP_CONF, "displays"},       {ID_DISP_LEDS, "indicators"},      {ID_T500_FORMAT, "T500 format"},
        {ID_USER_CALIB, "user calib"},    {ID_NZONE_INP, "zone input"},      {ID_NZONE_RNG, "clock interval"},
        {ID_ANALOG_INP, "analog inputs"}, {ID_I420_CALIB, "4-20 mA calib"},  {ID_USER_VAR, "user variables"},
        {ID_ANALOG_CONST, "analog const"}, {ID_BIN_CONST, "binary const"},   {ID_REG_TYPE, "regulator types"},
        {ID_PANEL_INFO, "panel info"},
    };
    for (const auto& m : menus) {
        SCOPED_TRACE(m.name);
        ModalAnswer answer;
        answer.Expect(CheckAndCancel(m.name));
        RunMenu(m.menu);
        EXPECT_EQ(answer.Records().size(), 1u);
    }
}

TEST_F(LayoutTest, LiveEditors) {
    Connect();
    const struct {
        int menu;
        const char* name;
    } menus[] = {{ID_LOGIC_CONF, "logic gates"}, {ID_RELAY_CONF, "relay outputs"}, {ID_ANALOG_OUT, "analog outputs"}};
    for (const auto& m : menus) {
        SCOPED_TRACE(m.name);
        ModalAnswer answer;
        answer.Expect([&](wxDialog* dialog) {
            CheckDialog(dialog, m.name);
            // An entry read: its controls filled and enabled.
            wxListBox* list = ChildrenOf<wxListBox>(dialog).at(0);
            list->SetSelection(0);
            wxCommandEvent chosen(wxEVT_LISTBOX, list->GetId());
            chosen.SetEventObject(list);
            chosen.SetInt(0);
            list->GetEventHandler()->ProcessEvent(chosen);
            SettleWindows();
            SaveWindowShot(dialog, std::string(m.name) + " entry read");
            EXPECT_TRUE(LayoutIsSound(dialog)) << m.name << " with an entry read";
            return static_cast<int>(wxID_OK);
        });
        RunMenu(m.menu);
        EXPECT_EQ(answer.Records().size(), 1u);
    }
}

TEST(LayoutWindowsTest, PortDialog) {
    SysfsFixture tree;
    tree.AddUsbSerial("ttyUSB0", "Regulator QM-352A, VELTRA", "A0");
    tree.AddUsbSerial("ttyUSB1", "CP2102 USB to UART Bridge Controller", "A1");
    DlgComPort::PortRoots roots;
    roots.sysfs = tree.SysRoot();
    roots.proc = tree.ProcRoot();
    roots.dev = tree.DevRoot();
    DlgComPort::SetPortRoots(roots);
    {
        DlgComPort dialog(nullptr, wxString::FromUTF8("Port komunikacyjny"), wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER,
                          wxID_ANY);
        ModalAnswer answer;
        answer.Expect([](wxDialog* d) {
            LayoutTest::CheckDialog(d, "port");
            return static_cast<int>(wxID_CANCEL);
        });
        dialog.ShowModal();
    }
    DlgComPort::SetPortRoots(DlgComPort::PortRoots());
}

TEST(LayoutWindowsTest, AssistanceMonitor) {
    wxFrame owner(nullptr, wxID_ANY, wxASCII_STR("owner"));
    auto* monitor = new AssistMon(&owner, wxString::FromUTF8("Zdalna asysta"), wxASCII_STR("Asysta"),
                                  wxCAPTION | wxRESIZE_BORDER, wxID_ANY);
    SettleWindows();
    EXPECT_TRUE(LayoutIsSound(monitor));
    monitor->SetStatusLine(0, wxString::FromUTF8("Oczekiwanie na proxy"));
    monitor->SetStatusLine(1, wxASCII_STR("2147483647"));
    monitor->SetStatusLine(2, wxASCII_STR("2147483647"));
    SettleWindows();
    SaveWindowShot(monitor, "assist");
    EXPECT_TRUE(LayoutIsSound(monitor));
    monitor->Destroy();
    SettleWindows();
}

}  // namespace
