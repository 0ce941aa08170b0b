// The live read-outs of the main window, fed by reports the simulated panel pushes: the boxes
// built for the panel's configuration and the decoding of every report kind.
#include <gtest/gtest.h>
#include <wx/statbox.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/FrameIds.h"
#include "comm/PanelEvents.h"
#include "comm/ReplyRecord.h"
#include "regulators/RegX.h"
#include "sim/ParamTable.h"
#include "sim/SimReports.h"
#include "support/core_EventWait.h"
#include "support/gui_FrameFixture.h"
#include "support/gui_ModalAnswer.h"
#include "support/test_support.h"
#include "widgets/jwxNVUDisp.h"

namespace {

using sim::PackDecimal;

class ReadoutsTest : public FrameFixture {
protected:
    // Gives the simulated panel this input board kind and these extension slot kinds.
    void SetBoards(uint8_t inputKind, uint8_t slot0, uint8_t slot1) {
        sim::SimParam board = *panel.Param(204);
        board.value = inputKind;
        panel.SetParam(board);
        sim::SimSlots slots;
        slots.kinds = {slot0, slot1, 0, 0};
        panel.SetSlots(slots);
    }
    // Connects to a panel with this input board kind and these extension slot kinds.
    void Connect(uint8_t inputKind, uint8_t slot0, uint8_t slot1) {
        SetBoards(inputKind, slot0, slot1);
        StoreSerialPort();
        CreateFrame();
        ASSERT_TRUE(WaitConnected());
    }

    std::vector<std::string> Texts(int first, int count) const {
        std::vector<std::string> texts;
        for (int i = first; i < first + count; ++i) texts.push_back(ReadoutText(i));
        return texts;
    }

    // Captions of the static boxes on the main panel, in creation order.
    std::vector<std::string> BoxCaptions() const {
        std::vector<std::string> captions;
        for (wxWindow* child : frame->GetMainPanel()->GetChildren())
            if (auto* box = dynamic_cast<wxStaticBox*>(child)) captions.push_back(box->GetLabel().utf8_string());
        return captions;
    }

    // Any dialog fails the test, unless a test takes over the answering.
    std::unique_ptr<ModalAnswer> noDialogs{new ModalAnswer};
};

sim::SimReport Report(uint8_t code, int fieldCount) {
    sim::SimReport report;
    report.code = code;
    report.fields.assign(static_cast<size_t>(fieldCount), "0001");
    return report;
}

// ---------------------------------------------------------------------------------------------

TEST_F(ReadoutsTest, BoxesFollowTheConfiguration) {
    struct Case {
        const char* name;
        uint8_t input, slot0, slot1;
        std::vector<std::string> boxes;  // after the boxes that the window always has
        std::vector<int> built;
        std::vector<int> missing;
    };
    const Case cases[] = {
        {"thermometers, output and bus", 1, 1, 2, {"We termometrów Pt", "Wy analgowe #1", "We T500 #2"},
         {0, 1, 2, 8, 10, 16, 17, 18}, {3, 4, 9, 11, 12}},
        {"analog inputs, two outputs", 2, 1, 1, {"We analogowe", "Wy analgowe #1", "Wy analgowe #2"},
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, {12, 16}},
        // A lone output board in slot 1 is box number 1 on indexes 8 and 10.
        {"output in slot 1 only", 0, 0, 1, {"Wy analgowe #1"}, {8, 10}, {0, 9, 11}},
        {"bus in slot 0 only", 7, 2, 3, {"We T500 #1"}, {12, 13, 14}, {0, 8, 16}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Connect(c.input, c.slot0, c.slot1);
        std::vector<std::string> expected = {"Regulator", "", "Regulator", "Przekaźniki", "Zegar"};
        expected.insert(expected.end(), c.boxes.begin(), c.boxes.end());
        std::vector<std::string> captions = BoxCaptions();
        EXPECT_EQ(captions, expected);
        for (int index : c.built) EXPECT_NE(frame->GetReadout(index), nullptr) << index;
        for (int index : c.missing) EXPECT_EQ(frame->GetReadout(index), nullptr) << index;
        CloseFrame();
    }
}

TEST_F(ReadoutsTest, ThermometersRelaysAndClock) {
    Connect(1, 0, 0);
    EXPECT_EQ(UnitText(0), "°C");
    EXPECT_EQ(UnitText(2), "%");
    ASSERT_TRUE(PushAndWait(sim::ThermometerReport(-200, 2400, 0x1234), 2, "46.6"));
    EXPECT_EQ(Texts(0, 3), (std::vector<std::string>{"-2.00", "24.00", "46.6"}));

    ASSERT_TRUE(PushAndWait(sim::RelayReport(0x05), MyFrame::kRelayReadout, "X"));
    EXPECT_EQ(Texts(MyFrame::kRelayReadout, 7), (std::vector<std::string>{"X", "-", "X", "-", "-", "-", "-"}));
    // Bits 7 and up are not shown; a relay report with two fields is ignored.
    ASSERT_TRUE(PushAndWait(sim::RelayReport(0x1C2), MyFrame::kRelayReadout, "-"));
    EXPECT_EQ(Texts(MyFrame::kRelayReadout, 7), (std::vector<std::string>{"-", "X", "-", "-", "-", "-", "X"}));
    sim::SimReport twoFields = Report(0x97, 2);
    twoFields.fields = {"7f", "7f"};  // all relays on, were it taken
    ASSERT_TRUE(panel.PushReport(twoFields));

    // 2024-02-29 13:05:09 is 8825 days and 47109 s after 2000-01-01. Once the clock shows it,
    // the relay report before it has been handled.
    const uint32_t leapDay = 8825u * 86400u + 13u * 3600u + 5u * 60u + 9u;
    ASSERT_TRUE(PushAndWait(sim::ClockReport(leapDay), MyFrame::kClockTimeReadout, "13:05:09"));
    EXPECT_EQ(Texts(MyFrame::kRelayReadout, 7), (std::vector<std::string>{"-", "X", "-", "-", "-", "-", "X"}));
    EXPECT_EQ(ReadoutText(MyFrame::kClockDateReadout), "29-02-2024");
    ASSERT_TRUE(PushAndWait(sim::ClockFaultReport(), MyFrame::kClockTimeReadout, "błąd"));
    EXPECT_EQ(ReadoutText(MyFrame::kClockDateReadout), "29-02-2024");
    sim::SimReport threeFields{3, 0x00, {"00", "00000000", "00"}};
    ASSERT_TRUE(PushAndSettle(threeFields));
    EXPECT_EQ(ReadoutText(MyFrame::kClockTimeReadout), "błąd");

    // Analog input reports mean nothing on a thermometer board.
    sim::SimReport analog = sim::AnalogInputReport(0, {{{1, 9000}, {1, 9000}, {1, 9000}, {1, 9000}}});
    ASSERT_TRUE(PushAndSettle(analog));
    EXPECT_EQ(Texts(0, 3), (std::vector<std::string>{"-2.00", "24.00", "46.6"}));
    EXPECT_EQ(UnitText(0), "°C");
}

TEST_F(ReadoutsTest, AnalogInputs) {
    Connect(2, 0, 0);
    ASSERT_TRUE(PushAndWait(sim::AnalogInputReport(0, {{{1, 2500}, {3, 20000}, {0, 777}, {2, 5000}}}), 0, "2.50"));
    EXPECT_EQ(Texts(0, 4), (std::vector<std::string>{"2.50", "20.00", "", "0.500"}));
    EXPECT_EQ((std::vector<std::string>{UnitText(0), UnitText(1), UnitText(2), UnitText(3)}),
              (std::vector<std::string>{"V", "mA", "-", "V"}));

    // An input flagged in the error mask shows "---" and keeps its unit.
    ASSERT_TRUE(PushAndWait(sim::AnalogInputReport(0x2, {{{1, 1000}, {1, 1000}, {1, 1000}, {1, 1000}}}), 1, "---"));
    EXPECT_EQ(Texts(0, 4), (std::vector<std::string>{"1.00", "---", "1.00", "1.00"}));
    EXPECT_EQ(UnitText(1), "mA");

    // 13 or 15 fields: ignored.
    for (int count : {13, 15}) {
        SCOPED_TRACE(count);
        ASSERT_TRUE(PushAndSettle(Report(0xA0, count)));
        EXPECT_EQ(Texts(0, 4), (std::vector<std::string>{"1.00", "---", "1.00", "1.00"}));
    }

    // Second values: packed decimals, "---" for a flagged one.
    ASSERT_TRUE(PushAndWait(sim::AnalogSecondReport(0x4, {PackDecimal(1234, 2), PackDecimal(-5, 1), 0, PackDecimal(7, 0)}),
                            4, "12.34"));
    EXPECT_EQ(Texts(4, 4), (std::vector<std::string>{"12.34", "-0.50", "---", "7.000"}));
    ASSERT_TRUE(PushAndSettle(Report(0xA1, 5)));
    EXPECT_EQ(ReadoutText(4), "12.34");
}

// A Polish user's locale writes a decimal comma; the program's read-outs keep the point, which
// is what the panel's own display shows.
TEST_F(ReadoutsTest, ReadingsKeepTheDecimalPointUnderAPolishLocale) {
    struct Polish {
        std::string previous = UsePolishLocale();
        ~Polish() { RestoreLocale(previous); }
    } polish;
    ASSERT_FALSE(polish.previous.empty()) << "pl_PL.UTF-8 is missing from " << TestLocalePath();
    Connect(1, 2, 0);
    const bool shown = PushAndWait(sim::ThermometerReport(-200, 2400, 0x1234), 2, "46.6");
    EXPECT_EQ(Texts(0, 3), (std::vector<std::string>{"-2.00", "24.00", "46.6"}));
    ASSERT_TRUE(shown);
}

TEST_F(ReadoutsTest, BusInputs) {
    Connect(0, 2, 0);
    const std::vector<uint32_t> values = {PackDecimal(101, 1), PackDecimal(202, 1), PackDecimal(303, 1),
                                          PackDecimal(404, 1), PackDecimal(505, 1)};
    // A count of 5 shows three parameters.
    ASSERT_TRUE(PushAndWait(sim::BusInputReport(0, 0, 5, values), 12, "10.10"));
    EXPECT_EQ(Texts(12, 3), (std::vector<std::string>{"10.10", "20.20", "30.30"}));
    // A count of 2 leaves the third as it was; an error bit shows "---".
    ASSERT_TRUE(PushAndWait(sim::BusInputReport(0, 0x1, 2, {0, PackDecimal(9, 0), PackDecimal(8, 0)}), 12, "---"));
    EXPECT_EQ(Texts(12, 3), (std::vector<std::string>{"---", "9.000", "30.30"}));
    // Slot 1 holds no bus board, slot 2 does not exist, fewer than 6 fields: ignored.
    ASSERT_TRUE(PushAndSettle(sim::BusInputReport(1, 0, 3, values)));
    ASSERT_TRUE(PushAndSettle(sim::BusInputReport(2, 0, 3, values)));
    sim::SimReport short5{2, 0xA2, {"00", "00", "00", "00", "03"}};
    ASSERT_TRUE(PushAndSettle(short5));
    EXPECT_EQ(Texts(12, 3), (std::vector<std::string>{"---", "9.000", "30.30"}));
}

TEST_F(ReadoutsTest, AnalogOutputs) {
    struct Case {
        const char* name;
        uint8_t slot0, slot1;
        unsigned position;
        bool shown;
    };
    const Case cases[] = {
        {"slot 0, position 0", 1, 0, 0, true},
        {"slot 0, position 1", 1, 0, 1, false},
        {"slot 1 only, position 0", 0, 1, 0, true},
        {"slot 1 only, position 1", 0, 1, 1, false},
        {"both slots, position 1", 1, 1, 1, true},
        {"both slots, position 2", 1, 1, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Connect(0, c.slot0, c.slot1);
        ASSERT_TRUE(PushAndSettle(sim::AnalogOutputReport(c.position, 4.5f, 0.25f)));
        const int value = 8 + static_cast<int>(c.position < 2 ? c.position : 0);
        if (c.shown) {
            EXPECT_EQ(ReadoutText(value), "4.500");
            EXPECT_EQ(ReadoutText(value + 2), "25.0");
            EXPECT_EQ(UnitText(value + 2), "%");
        } else {
            for (int index : {8, 9, 10, 11}) EXPECT_TRUE(ReadoutText(index) == "" || ReadoutText(index) == "<none>");
        }
        CloseFrame();
    }
}

// ---------------------------------------------------------------------------------------------
// A reconnect through the port menu to a panel whose boards differ gets the boxes of the panel
// now connected, fitted into the window, with nothing of the last panel's values; so does a
// normal connect after a first one whose damaged configuration read as no boards at all.

TEST_F(ReadoutsTest, ReconnectToOtherBoardsRebuildsTheReadouts) {
    struct Boards {
        uint8_t input, slot0, slot1;
        bool damaged;  // parameter 206 reads as damaged: the input bytes all count as 0
    };
    struct Case {
        const char* name;
        Boards first, second;
        std::vector<std::string> boxes;  // after the boxes that the window always has
        std::vector<int> built;
        std::vector<int> missing;
        sim::SimReport report;  // decoded into the new boxes
        int index;
        const char* shown;
    };
    const Case cases[] = {
        {"thermometers to analog inputs, boards swapped", {1, 1, 2, false}, {2, 2, 1, false},
         {"We analogowe", "Wy analgowe #1", "We T500 #1"}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 12, 13, 14},
         {9, 11, 16, 17, 18}, sim::AnalogInputReport(0, {{{1, 2500}, {3, 20000}, {1, 1000}, {2, 5000}}}), 3, "0.500"},
        {"damaged configuration first", {1, 0, 0, true}, {1, 0, 0, false}, {"We termometrów Pt"}, {0, 1, 2},
         {3, 8, 12}, sim::ThermometerReport(-200, 2400, 0x1234), 2, "46.6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        noDialogs.reset();
        ModalAnswer answer;
        auto setUp = [&](const Boards& boards) {
            SetBoards(boards.input, boards.slot0, boards.slot1);
            sim::SimParam p206 = *panel.Param(206);
            p206.dataError = boards.damaged;
            panel.SetParam(p206);
            if (boards.damaged) answer.Expect(wxID_OK);  // the Cn2 message
        };
        setUp(c.first);
        StoreSerialPort();
        CreateFrame();
        ASSERT_TRUE(WaitConnected());
        ASSERT_TRUE(PushAndWait(sim::RelayReport(0x01), MyFrame::kRelayReadout, "X"));
        if (c.first.input == 1 && !c.first.damaged) {
            ASSERT_TRUE(PushAndWait(sim::ThermometerReport(250, 2000, 0x1234), 0, "2.50"));
        }

        setUp(c.second);
        answer.Expect(wxID_OK);  // the port dialog
        panel.ClearRequests();
        wxQueueEvent(frame, new wxCommandEvent(wxEVT_MENU, ID_PORT));
        ASSERT_TRUE(RunLoopUntil([&] { return panel.RequestTexts().size() >= 11 && frame->IsConnected(); }, 5000));

        std::vector<std::string> expected = {"Regulator", "", "Regulator", "Przekaźniki", "Zegar"};
        expected.insert(expected.end(), c.boxes.begin(), c.boxes.end());
        EXPECT_EQ(BoxCaptions(), expected);
        for (int index : c.built) EXPECT_NE(frame->GetReadout(index), nullptr) << index;
        for (int index : c.missing) EXPECT_EQ(frame->GetReadout(index), nullptr) << index;
        // Nothing of the last panel is shown until the new one reports.
        for (int index = 0; index < MyFrame::kReadoutCount; ++index) {
            if (!frame->GetReadout(index)) continue;
            EXPECT_EQ(ReadoutText(index), "") << index;
        }
        ASSERT_TRUE(PushAndWait(c.report, c.index, c.shown));

        // Every read-out lies inside the main panel: the window was refitted to the new boxes.
        const wxSize client = frame->GetMainPanel()->GetClientSize();
        for (int index = 0; index < MyFrame::kReadoutCount; ++index) {
            jwxNVUDisp* readout = frame->GetReadout(index);
            if (!readout) continue;
            const wxRect rect = readout->GetValueWindow()->GetRect();
            EXPECT_LE(rect.GetRight(), client.GetWidth()) << index;
            EXPECT_LE(rect.GetBottom(), client.GetHeight()) << index;
        }
        // The old boxes and read-outs are gone: as many windows as a window that connected to
        // this panel first.
        const size_t windows = frame->GetMainPanel()->GetChildren().size();
        CloseFrame();
        CreateFrame();
        ASSERT_TRUE(WaitConnected());
        EXPECT_EQ(frame->GetMainPanel()->GetChildren().size(), windows);
        CloseFrame();
    }
}

// ---------------------------------------------------------------------------------------------
// Regulator status reports go to the shown view only, and only with the code's field count.

class RecordingView : public RegX {
public:
    RecordingView(wxWindow* parent, PanelClient* client, int index) : RegX(parent, client, index) {}
    struct Seen {
        int kind, code, fields;
        uint32_t regulator;
    };
    void OnStatus(int kind, int code, const ReplyRecord* record) override {
        seen.push_back({kind, code, record->GetFieldCount(), record->GetUnsigned(0)});
    }
    std::vector<Seen> seen;
};

TEST_F(ReadoutsTest, RegulatorStatusReachesTheShownViewOnly) {
    Connect(1, 0, 0);
    // Before any view is shown, status reports are dropped.
    ASSERT_TRUE(PushAndSettle(sim::RegulatorStatusReport(0xA4, 1, {1, 0, 0})));
    auto* view = new RecordingView(frame->GetMainPanel(), frame->GetClient(), 1);
    frame->SetRegulatorView(1, view);

    const std::vector<sim::SimReport> reports = {
        sim::RegulatorStatusReport(0xA4, 1, {1, 0, 0}),   // delivered
        sim::RegulatorStatusReport(0xA4, 2, {1, 0, 0}),   // another regulator: dropped
        sim::RegulatorStatusReport(0xA5, 1, {}),          // 16 fields: delivered
        sim::RegulatorStatusReport(0xA9, 1, {}),          // 5 fields: delivered
        sim::RegulatorStatusReport(0xAC, 1, {}),          // delivered
    };
    for (const sim::SimReport& report : reports) ASSERT_TRUE(panel.PushReport(report));
    sim::SimReport short15 = sim::RegulatorStatusReport(0xA5, 1, {});
    short15.fields.pop_back();
    sim::SimReport long3 = sim::RegulatorStatusReport(0xA7, 1, {1, 1});
    long3.fields.push_back("00");
    sim::SimReport notStatus = sim::RegulatorStatusReport(0xA4, 1, {});
    notStatus.code = 0xAD;
    for (const sim::SimReport& report : {short15, long3, notStatus}) ASSERT_TRUE(panel.PushReport(report));
    ASSERT_TRUE(PushAndSettle(sim::RegulatorStatusReport(0xA7, 1, {1, 0})));

    ASSERT_EQ(view->seen.size(), 5u);
    const int codes[5] = {0xA4, 0xA5, 0xA9, 0xAC, 0xA7};
    const int fields[5] = {4, 16, 5, 4, 2};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(view->seen[i].kind, 2);
        EXPECT_EQ(view->seen[i].code, codes[i]);
        EXPECT_EQ(view->seen[i].fields, fields[i]);
        EXPECT_EQ(view->seen[i].regulator, 1u);
    }
}

// ---------------------------------------------------------------------------------------------
// Reports that arrive while the window is not connected change nothing, and their records are
// still freed (the leak checker of the sanitizer build proves the second half).

TEST_F(ReadoutsTest, ReportsWhileNotConnectedChangeNothing) {
    Connect(1, 0, 0);
    ASSERT_TRUE(PushAndWait(sim::RelayReport(0x01), MyFrame::kRelayReadout, "X"));

    // Leave the panel through the port menu towards a panel that does not answer; while the
    // failed check is reported the window is not connected, and reports are posted to it then.
    panel.SetSilentCommands({0x0A});
    std::vector<std::string> relays;
    std::string input;
    std::string time;
    bool connected = true;
    noDialogs.reset();
    ModalAnswer answer;
    answer.Expect(wxID_OK)
        .Expect([&](wxDialog*) {
            connected = frame->IsConnected();
            for (const char* line : {"029700:7f", "020200:00:0100:0200:0300", "030000:00:00000000", "030000:00"}) {
                auto* event = new wxCommandEvent(EVT_PANEL_DATA, wxID_ANY);
                event->SetInt(PANEL_EV_REPORT);
                event->SetClientData(new ReplyRecord(line));
                wxQueueEvent(frame, event);
            }
            // Queued behind the reports: once it has run, they have been handled.
            bool handled = false;
            frame->CallAfter([&] { handled = true; });
            EXPECT_TRUE(RunLoopUntil([&] { return handled; }, 3000));
            relays = Texts(MyFrame::kRelayReadout, 2);
            input = ReadoutText(0);
            time = ReadoutText(MyFrame::kClockTimeReadout);
            return static_cast<int>(wxID_OK);
        })
        .Expect(wxID_OK)
        .Expect(wxID_CANCEL);
    wxQueueEvent(frame, new wxCommandEvent(wxEVT_MENU, 3));
    ASSERT_TRUE(WaitFrameGone(8000));
    ASSERT_EQ(answer.Records().size(), 4u);
    EXPECT_EQ(answer.Records()[1].message.utf8_string(), "Komunikacja nie została nawiązana");
    EXPECT_FALSE(connected);
    // Left blank when the panel was left, not showing its last values.
    EXPECT_EQ(relays, (std::vector<std::string>{"", ""}));
    EXPECT_EQ(input, "");
    EXPECT_EQ(time, "");
}

}  // namespace
