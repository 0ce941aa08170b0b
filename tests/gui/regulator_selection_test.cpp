// Regulator selection through the real main window against the simulated panel: the type read,
// what each type shows, and the view's way off the window.
#include <gtest/gtest.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>

#include <string>
#include <vector>

#include "app/FrameIds.h"
#include "regulators/RegX.h"
#include "support/gui_RegulatorFixture.h"

namespace {

class RegulatorSelectionTest : public RegulatorFixture {
protected:
    void SetType(int regulator, uint32_t type) { SetStored(static_cast<uint16_t>(211 + regulator), type); }
};

TEST_F(RegulatorSelectionTest, TypeOffOrUnknownShowsNoViewAndNoMessage) {
    Connect();
    for (uint32_t type : {0u, 4u, 7u}) {
        SCOPED_TRACE(type);
        SetType(1, type);
        panel.ClearRequests();
        ModalAnswer answer;  // any message box fails the test
        Select(ID_REG_1 + 1);
        EXPECT_EQ(Reads(), std::vector<uint16_t>{212});
        EXPECT_EQ(frame->GetRegulatorView(), nullptr);
        EXPECT_EQ(frame->GetSelectedRegulator(), -1);
    }
}

// The view shown before is gone, and so is the room it took: the window is refitted.
TEST_F(RegulatorSelectionTest, RefusedOrDamagedTypeIsAReadError) {
    Connect();
    Select(ID_REG_1 + 1);
    ASSERT_NE(frame->GetRegulatorView(), nullptr);
    const int heightWithView = frame->GetSize().GetHeight();
    for (bool damaged : {false, true}) {
        SCOPED_TRACE(damaged);
        auto param = panel.Param(213);
        ASSERT_TRUE(param.has_value());
        param->refused = !damaged;
        param->dataError = damaged;
        panel.SetParam(*param);
        ModalAnswer answer;
        answer.Expect(wxID_OK);
        Select(ID_REG_1 + 2);
        ASSERT_EQ(answer.Records().size(), 1u);
        EXPECT_EQ(Utf8(answer.Records()[0].message), "Błąd odczytu");
        EXPECT_EQ(Utf8(answer.Records()[0].title), "Błąd");
        EXPECT_EQ(frame->GetRegulatorView(), nullptr);
        EXPECT_EQ(frame->GetSize(), frame->GetMinSize());
        EXPECT_LT(frame->GetSize().GetHeight(), heightWithView);
    }
}

TEST_F(RegulatorSelectionTest, OtherRadioIdsAreNotTheSelectors) {
    Connect();
    wxCommandEvent click(wxEVT_RADIOBUTTON, 300);
    click.SetEventObject(frame);
    frame->GetEventHandler()->ProcessEvent(click);
    EXPECT_TRUE(Reads().empty());
}

}  // namespace

namespace {

using Codes = std::vector<uint16_t>;

// The first and the last channel (R4 reads from 0x260 on).
TEST_F(RegulatorSelectionTest, SelectingAThresholdChannelReadsTypeHeaderAndValuesInOrder) {
    Connect();
    for (int n : {0, 3}) {
        SCOPED_TRACE(n);
        SetType(n, 1);
        panel.ClearRequests();
        ModalAnswer answer;
        Select(ID_REG_1 + n);
        ASSERT_NE(View(), nullptr);
        Codes expected = {static_cast<uint16_t>(211 + n)};
        for (int offset : {0x00, 0x01, 0x02, 0x03, 0x10, 0x11, 0x12, 0x13, 0x04, 0x0A, 0x05, 0x0B, 0x06, 0x0C})
            expected.push_back(static_cast<uint16_t>(0x200 + 32 * n + offset));
        EXPECT_EQ(Reads(), expected);
        EXPECT_EQ(frame->GetSelectedRegulator(), n);
        EXPECT_EQ(Utf8(frame->GetRegulatorBox()->GetStaticBox()->GetLabel()), "Regulator #" + std::to_string(n + 1));
        EXPECT_TRUE(frame->GetRegulatorBox()->GetStaticBox()->IsShown());
        EXPECT_EQ(Label(View()->OptionText()), "0 - jedno urządzenie wykonawcze");
        EXPECT_EQ(Label(View()->PvVariableText()), "1 - temperatura T1");
        EXPECT_EQ(Value(View()->InversionReadout()), "N");
        EXPECT_EQ(Value(View()->AlarmEnableReadout()), "H+L");
        // Until the first reports: the samples.
        for (const jwxNVUDisp* readout : {View()->PvReadout(), View()->SpReadout(), View()->AlReadout(), View()->AhReadout()})
            EXPECT_EQ(Value(readout), "XXXX,XX");
        EXPECT_EQ(Value(View()->ZoneReadout()), "X");
        EXPECT_EQ(Value(View()->OutputReadout(0)), "X");
        // The view's controls are shown, and its buttons are never smaller than their labels need.
        EXPECT_TRUE(View()->PvReadout()->GetValueWindow()->IsShown());
        int buttons = 0;
        for (wxWindow* child : frame->GetMainPanel()->GetChildren()) {
            auto* button = dynamic_cast<wxButton*>(child);
            if (!button) continue;
            ++buttons;
            EXPECT_GE(button->GetSize().GetWidth(), button->GetBestSize().GetWidth()) << Utf8(button->GetLabel());
            EXPECT_GE(button->GetSize().GetHeight(), button->GetBestSize().GetHeight()) << Utf8(button->GetLabel());
        }
        EXPECT_EQ(buttons, 3);
    }
}

TEST_F(RegulatorSelectionTest, HeaderNamesFallBackForUnknownCodes) {
    Connect();
    SetStored(0x220, 0);   // PV variable 0
    SetStored(0x221, 5);   // option not in the list
    SetStored(0x200, 99);  // channel 1: PV variable not in the list
    SetStored(212, 1);
    Select(ID_REG_1 + 1);
    ASSERT_NE(View(), nullptr);
    EXPECT_EQ(Label(View()->PvVariableText()), "0 - zero");
    EXPECT_EQ(Label(View()->OptionText()), "0 - jedno urządzenie wykonawcze");
    Select(ID_REG_1);
    ASSERT_NE(View(), nullptr);
    EXPECT_EQ(Label(View()->PvVariableText()), "0 - zero");
}

// Channel n's reports are those whose field 0 is n; the last channel's too.
TEST_F(RegulatorSelectionTest, StatusReportsDriveTheViewAndTheZoneRule) {
    Connect();
    SetType(3, 1);
    for (int n : {0, 3}) {
        SCOPED_TRACE(n);
        const unsigned channel = static_cast<unsigned>(n);
        Select(ID_REG_1 + n);
        ASSERT_NE(View(), nullptr);
        const std::string sp1 = n == 0 ? "21.50" : "24.50";  // the simulator's SP1 of the channel
        const uint32_t pv = sim::FloatBits(12.5f);
        ASSERT_TRUE(PushAndSettle(sim::RegulatorStatusReport(0xA4, channel, {0, 0, pv})));
        EXPECT_EQ(Value(View()->PvReadout()), "12.50");
        EXPECT_EQ(Value(View()->ZoneReadout()), "1");
        EXPECT_EQ(Value(View()->SpReadout()), sp1);
        EXPECT_EQ(Value(View()->AlReadout()), "15.00");
        EXPECT_EQ(Value(View()->AhReadout()), "30.00");

        // Flag 0x10: no process value, but the zone still switches.
        ASSERT_TRUE(PushAndSettle(sim::RegulatorStatusReport(0xA4, channel, {0x10, 1, pv})));
        EXPECT_EQ(Value(View()->PvReadout()), "---");
        EXPECT_EQ(Value(View()->ZoneReadout()), "2");
        EXPECT_EQ(Value(View()->SpReadout()), "18.00");
        EXPECT_EQ(Value(View()->AlReadout()), "-5.00");
        EXPECT_EQ(Value(View()->AhReadout()), "25.00");

        ASSERT_TRUE(PushAndSettle(sim::RegulatorStatusReport(0xA7, channel, {2})));
        EXPECT_EQ(Value(View()->OutputReadout(0)), "-");
        EXPECT_EQ(Value(View()->OutputReadout(1)), "X");

        // Another channel, another view's main report, or a wrong field count change nothing.
        sim::SimReport fiveFields = sim::RegulatorStatusReport(0xA4, channel, {0, 0, pv});
        fiveFields.fields.push_back("00");
        for (const sim::SimReport& report : {sim::RegulatorStatusReport(0xA4, (channel + 1) % 4, {0, 0, pv}),
                                             sim::RegulatorStatusReport(0xA7, (channel + 1) % 4, {1}),
                                             sim::RegulatorStatusReport(0xA6, channel, {0, 0, pv}), fiveFields})
            ASSERT_TRUE(PushAndSettle(report));
        EXPECT_EQ(Value(View()->PvReadout()), "---");
        EXPECT_EQ(Value(View()->ZoneReadout()), "2");
        EXPECT_EQ(Value(View()->OutputReadout(0)), "-");
    }
}

TEST_F(RegulatorSelectionTest, ReselectingRebuildsAndDashRemoves) {
    Connect();
    Select(ID_REG_1);
    ASSERT_NE(View(), nullptr);
    ASSERT_TRUE(PushAndSettle(sim::RegulatorStatusReport(0xA4, 0, {0, 0, 0})));
    EXPECT_EQ(View()->GetZone(), 0);
    panel.ClearRequests();
    Select(ID_REG_1);
    ASSERT_NE(View(), nullptr);
    EXPECT_EQ(View()->GetZone(), -1);  // a new view
    EXPECT_EQ(Reads().size(), 15u);
    EXPECT_EQ(Value(View()->PvReadout()), "XXXX,XX");
    const wxSize withView = frame->GetSize();
    panel.ClearRequests();
    Select(ID_REG_NONE);
    EXPECT_EQ(View(), nullptr);
    EXPECT_TRUE(Reads().empty());
    EXPECT_EQ(frame->GetRegulatorBox()->GetStaticBox()->IsShown(), false);
    EXPECT_LT(frame->GetMinSize().GetWidth(), withView.GetWidth());
    EXPECT_EQ(frame->GetSize(), frame->GetMinSize());  // no blank room where the view stood
}

// The view leaves the handler chain and the regulator box before the window goes (the toolkit
// asserts on a pushed handler, and the sanitizer build sees a double delete otherwise).
TEST_F(RegulatorSelectionTest, ClosingTheWindowWithAViewShownIsClean) {
    Connect();
    Select(ID_REG_1);
    ASSERT_NE(View(), nullptr);
    CloseFrame();
    EXPECT_TRUE(WaitFrameGone());
}

// A close asked for under a dialog is carried out at idle time; the idle event reaches the frame
// through the pushed view, which the close deletes, so the close must run after that event.
TEST_F(RegulatorSelectionTest, CloseAskedUnderADialogWithAViewShownIsClean) {
    Connect();
    Select(ID_REG_1);
    ASSERT_NE(View(), nullptr);
    ModalAnswer answer;
    answer.Expect([this](wxDialog*) {
        frame->Close();
        return wxID_CANCEL;
    });
    RunMenu(ID_REG_TYPE);
    EXPECT_EQ(answer.Records().size(), 1u);
    EXPECT_TRUE(WaitFrameGone());
}

}  // namespace
