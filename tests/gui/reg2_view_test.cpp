// The PID regulator view through the real main window against the simulated panel (regulator 2
// is a PID channel in the simulator's table): what it reads and shows, its live reports with the
// "Algorytm" box closed and open, and the regulation edit with Cancel, OK and a refused write.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/weakref.h>

#include <string>
#include <vector>

#include "app/FrameIds.h"
#include "regulators/DlgReg2Chng.h"
#include "regulators/Reg2.h"
#include "sim/SimReports.h"
#include "support/gui_RegulatorFixture.h"
#include "support/gui_ModalAnswer.h"
#include "widgets/jwxNVUDisp.h"

namespace {

constexpr int kRegulator = 1;  // "R2"
constexpr uint16_t kBase = 0x200 + 32 * kRegulator;


std::vector<uint16_t> Codes(std::initializer_list<int> offsets) {
    std::vector<uint16_t> codes;
    for (int offset : offsets) codes.push_back(static_cast<uint16_t>(kBase + offset));
    return codes;
}
const std::vector<uint16_t> kValueReads =
    Codes({0x02, 0x03, 0x14, 0x15, 0x16, 0x04, 0x0A, 0x05, 0x0B, 0x06, 0x0C, 0x07, 0x08, 0x09, 0x17, 0x18});
const std::vector<uint16_t> kRegulationReads =
    Codes({0x04, 0x0A, 0x14, 0x15, 0x16, 0x07, 0x08, 0x09, 0x17, 0x18, 0x02});

// The main status report: flags, zone bit, PV and the twelve internals as float bit patterns.
sim::SimReport PidStatus(uint32_t flags, int zone, float pv, std::vector<float> internals = {}) {
    std::vector<uint32_t> fields = {flags, static_cast<uint32_t>(zone), sim::FloatBits(pv)};
    for (float x : internals) fields.push_back(sim::FloatBits(x));
    return sim::RegulatorStatusReport(0xA5, kRegulator, fields);
}
sim::SimReport ServoOp(uint32_t error, uint32_t operation, uint32_t tenths) {
    return sim::RegulatorStatusReport(0xA8, kRegulator, {error, operation, tenths});
}
sim::SimReport ServoTimes(uint32_t error, uint32_t phase, uint32_t a, uint32_t b) {
    return sim::RegulatorStatusReport(0xA9, kRegulator, {error, phase, a, b});
}

class Reg2ViewTest : public RegulatorFixture {
protected:
    // Selects "R2" as a user would and returns its view.
    Reg2* SelectPid() {
        Select(ID_REG_1 + kRegulator);
        return dynamic_cast<Reg2*>(View());
    }
    Reg2* ConnectAndSelect() {
        Connect();
        Reg2* view = SelectPid();
        panel.ClearRequests();
        return view;
    }
    static std::vector<std::string> Lines(const Reg2* view) {
        return {Value(view->StatusLine(0)), Value(view->StatusLine(1))};
    }
    // Answers the regulation dialog: types the texts into their fields, ticks "Inwersja" when
    // asked and presses OK as a user would; the dialog then ends itself, or stays open after a
    // refused entry and is ended with afterRefusal.
    static ModalAnswer::Handler FillAndOk(std::vector<std::pair<int, const char*>> entries, bool invert = false,
                                          int afterRefusal = wxID_NONE) {
        return [=](wxDialog* d) {
            auto* dialog = dynamic_cast<DlgReg2Chng*>(d);
            if (!dialog) return static_cast<int>(wxID_CANCEL);
            for (const auto& entry : entries) dialog->Field(entry.first)->ChangeValue(wxString::FromUTF8(entry.second));
            if (invert) dialog->InversionBox()->SetValue(true);
            ModalAnswer::Click(dialog, wxID_OK);
            return afterRefusal;
        };
    }
};

TEST_F(Reg2ViewTest, ReadsInOrderAndShowsTheSettings) {
    Connect();
    Reg2* view = SelectPid();
    ASSERT_NE(view, nullptr);
    std::vector<uint16_t> expected = {212, kBase + 0x00, kBase + 0x01};
    expected.insert(expected.end(), kValueReads.begin(), kValueReads.end());
    EXPECT_EQ(Reads(), expected);

    EXPECT_EQ(Utf8(view->OptionText()->GetLabel()), "0 - wyjście trójstawne");
    EXPECT_EQ(Value(view->KpReadout()), "2.500");
    const char* const times[] = {"120.0", "30.0", "10.0", "20.0", "0.5"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Value(view->TimeReadout(i)), times[i]) << i;
    EXPECT_EQ(Value(view->InputRangeReadout(0)), "0.000");
    EXPECT_EQ(Value(view->InputRangeReadout(1)), "100.0");
    EXPECT_EQ(Value(view->InversionReadout()), "N");
    EXPECT_EQ(Value(view->AlarmEnableReadout()), "H+L");
    // Live values keep their samples until the first report.
    EXPECT_EQ(Value(view->PvReadout()), "XXXX,XX");
    EXPECT_EQ(Value(view->SpReadout()), "XXXX,XX");
    EXPECT_EQ(Value(view->AlReadout()), "XXXX,XX");
    EXPECT_EQ(Value(view->ZoneReadout()), "X");
    EXPECT_EQ(view->GetAlgorithmBox(), nullptr);
}

TEST_F(Reg2ViewTest, ReportsWithTheBoxClosedChangeOnlyTheView) {
    Reg2* view = ConnectAndSelect();
    ASSERT_NE(view, nullptr);
    const wxSize before = frame->GetSize();
    ASSERT_TRUE(PushAndSettle(PidStatus(0, 0, 12.345f, {1.5f, 0, 0, 0.0123f})));
    EXPECT_EQ(Value(view->PvReadout()), "12.35");
    EXPECT_EQ(Value(view->ZoneReadout()), "1");
    EXPECT_EQ(Value(view->SpReadout()), "22.50");  // SP1 of regulator 2
    EXPECT_EQ(Value(view->AlReadout()), "15.00");

    ASSERT_TRUE(PushAndSettle(PidStatus(0x10, 1, 99.0f)));
    EXPECT_EQ(Value(view->PvReadout()), "---");
    EXPECT_EQ(Value(view->ZoneReadout()), "2");
    EXPECT_EQ(Value(view->SpReadout()), "18.00");
    EXPECT_EQ(Value(view->AlReadout()), "-5.00");

    // Servo reports: nothing shown, the travel times kept.
    ASSERT_TRUE(PushAndSettle(ServoOp(0, 4, 0)));
    ASSERT_TRUE(PushAndSettle(ServoTimes(0, 1, 123, 0)));
    ASSERT_TRUE(PushAndSettle(ServoTimes(0, 2, 130, 0)));
    // A report for another regulator, or with a wrong field count, is not this view's.
    ASSERT_TRUE(PushAndSettle(sim::RegulatorStatusReport(0xA9, 0, {0, 1, 999, 999})));
    sim::SimReport shortReport = ServoTimes(0, 1, 999, 999);
    shortReport.fields.pop_back();
    ASSERT_TRUE(PushAndSettle(shortReport));
    EXPECT_EQ(view->TravelTimes().CurrentClose(), 123);
    EXPECT_EQ(view->TravelTimes().NewClose(), 130);

    EXPECT_EQ(view->GetAlgorithmBox(), nullptr);
    EXPECT_EQ(view->InternalReadout(0), nullptr);
    EXPECT_EQ(view->StatusLine(0), nullptr);
    EXPECT_EQ(frame->GetSize(), before);
    EXPECT_TRUE(Reads().empty());
}

TEST_F(Reg2ViewTest, AlgorithmBoxStandsBesideTheRegulatorAndShowsInternalsAndServo) {
    Reg2* view = ConnectAndSelect();
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(PushAndSettle(ServoTimes(0, 1, 123, 0)));  // kept while the box is closed
    ASSERT_TRUE(PushAndSettle(ServoTimes(0, 2, 130, 0)));
    const int widthBefore = frame->GetSize().GetWidth();
    wxWindow* algorithmButton = frame->GetMainPanel()->FindWindow(203);
    ASSERT_NE(algorithmButton, nullptr);

    ClickViewButton(203);
    auto* box = dynamic_cast<wxStaticBoxSizer*>(view->GetAlgorithmBox());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Utf8(box->GetStaticBox()->GetLabel()), "Algorytm");
    EXPECT_FALSE(algorithmButton->IsShown());
    // Beside the regulator box, on the same row, and the window grew to hold it.
    const wxRect regulator = frame->GetRegulatorBox()->GetStaticBox()->GetRect();
    const wxRect algorithm = box->GetStaticBox()->GetRect();
    EXPECT_GE(algorithm.GetLeft(), regulator.GetRight());
    EXPECT_LT(algorithm.GetTop(), regulator.GetBottom());
    EXPECT_GT(frame->GetSize().GetWidth(), widthBefore);
    const char* const captions[] = {"npv", "nsp", "e", "dt", "der", "dder", "vp", "vi", "vd", "dcv", "cva", "cv"};
    for (int i = 0; i < Reg2::kInternalCount; ++i) {
        ASSERT_NE(view->InternalReadout(i), nullptr);
        EXPECT_EQ(Utf8(view->InternalReadout(i)->GetCaptionLabel()->GetLabel()), captions[i]);
        EXPECT_TRUE(view->InternalReadout(i)->GetValueWindow()->IsShownOnScreen()) << i;
    }
    // A second press (the button is hidden) changes nothing.
    wxCommandEvent again(wxEVT_BUTTON, 203);
    again.SetEventObject(algorithmButton);
    algorithmButton->GetEventHandler()->ProcessEvent(again);
    EXPECT_EQ(view->GetAlgorithmBox(), box);

    ASSERT_TRUE(PushAndSettle(PidStatus(0x10, 1, 0, {1.5f, -2.25f, 0, 0.0123f, 0, 0, 0, 0, 0, 0, 0, 100.0f})));
    EXPECT_EQ(Value(view->PvReadout()), "---");
    EXPECT_EQ(Value(view->InternalReadout(0)), "1.50000");
    EXPECT_EQ(Value(view->InternalReadout(1)), "-2.25000");
    EXPECT_EQ(Value(view->InternalReadout(3)), "12");
    EXPECT_EQ(Value(view->InternalReadout(11)), "100.00000");

    // The first travel-time report shows both pairs kept while the box was closed.
    ASSERT_TRUE(PushAndSettle(ServoTimes(0, 7, 0, 0)));
    EXPECT_EQ(Lines(view), (std::vector<std::string>{"c  12.3/ -?- ", "n  13.0/ -?- "}));
    ASSERT_TRUE(PushAndSettle(ServoTimes(0, 3, 131, 250)));
    EXPECT_EQ(Lines(view), (std::vector<std::string>{"c  13.0/ -?- ", "N  13.1/ 25.0"}));
    ASSERT_TRUE(PushAndSettle(ServoOp(0x1A3, 6, 0)));
    EXPECT_EQ(Lines(view), (std::vector<std::string>{"ERR a3", ""}));
    ASSERT_TRUE(PushAndSettle(ServoTimes(0x1A3, 0, 0, 0)));
    EXPECT_EQ(Lines(view), (std::vector<std::string>{"ERR 1a3", ""}));
    ASSERT_TRUE(PushAndSettle(ServoOp(0, 1, 123)));
    EXPECT_EQ(Lines(view), (std::vector<std::string>{"CLSE 12.3", ""}));
    ASSERT_TRUE(PushAndSettle(ServoOp(0, 0, 0)));
    EXPECT_EQ(Lines(view), (std::vector<std::string>{"", ""}));

    // Choosing another channel takes the box off the window with the view.
    wxWeakRef<wxStaticBox> boxWindow(box->GetStaticBox());
    wxWeakRef<wxWindow> internalWindow(view->InternalReadout(0)->GetValueWindow());
    ModalAnswer none;
    Select(ID_REG_NONE);
    EXPECT_EQ(frame->GetRegulatorView(), nullptr);
    EXPECT_FALSE(boxWindow);
    EXPECT_FALSE(internalWindow);
}

TEST_F(Reg2ViewTest, CancelWritesAndRereadsNothing) {
    Reg2* view = ConnectAndSelect();
    ASSERT_NE(view, nullptr);
    ModalAnswer answer;
    std::string title;
    answer.Expect([&](wxDialog* dialog) {
        title = Utf8(dialog->GetTitle());
        return wxID_CANCEL;
    });
    ClickViewButton(201);
    EXPECT_EQ(title, "Regulator #2");
    EXPECT_EQ(Reads(), kRegulationReads);
    EXPECT_TRUE(Writes().empty());
}

TEST_F(Reg2ViewTest, OkWritesEveryItemThenRereadsAndShowsZoneTwo) {
    Reg2* view = ConnectAndSelect();
    ASSERT_NE(view, nullptr);
    ModalAnswer answer;
    using P = DlgReg2Chng::Position;
    answer.Expect(FillAndOk({{P::SP2, "99999"},    // saturates
                             {P::KP, "1.2345"},    // three decimals at most
                             {P::T1, "12.34"},
                             {P::T2, "12.36"},
                             {P::T3, "25.5"}},
                            true));
    ClickViewButton(201);
    const WriteList expected = {
        {kBase + 0x04, 2250 << 8 | 2}, {kBase + 0x0A, 10000 << 8 | 0}, {kBase + 0x14, 1235 << 8 | 3},
        {kBase + 0x15, 1200},           {kBase + 0x16, 300},             {kBase + 0x07, 123},
        {kBase + 0x08, 124},            {kBase + 0x09, 255},             {kBase + 0x17, 0 << 8 | 1},  // as read
        {kBase + 0x18, 1000 << 8 | 1},  {kBase + 0x02, 1},
    };
    EXPECT_EQ(Writes(), expected);
    std::vector<uint16_t> reads = kRegulationReads;
    reads.insert(reads.end(), kValueReads.begin(), kValueReads.end());
    EXPECT_EQ(Reads(), reads);
    EXPECT_EQ(Value(view->TimeReadout(2)), "12.3");
    EXPECT_EQ(Value(view->TimeReadout(4)), "25.5");
    EXPECT_EQ(Value(view->KpReadout()), "1.235");
    EXPECT_EQ(Value(view->InversionReadout()), "T");
    // No report yet: the zone counts as zone 2.
    EXPECT_EQ(Value(view->SpReadout()), "10000");
    EXPECT_EQ(Value(view->AlReadout()), "-5.00");
}

TEST_F(Reg2ViewTest, RefusedWriteIsReportedAndThePanelsValuesShown) {
    Reg2* view = ConnectAndSelect();
    ASSERT_NE(view, nullptr);
    Modify(kBase + 0x07, [](sim::SimParam& p) { p.readOnly = true; });
    ModalAnswer answer;
    answer.Expect(FillAndOk({{DlgReg2Chng::TI, "1.5"}, {DlgReg2Chng::T1, "55"}}));
    answer.Expect(wxID_OK);
    ClickViewButton(201);
    ASSERT_EQ(answer.Records().size(), 2u);
    EXPECT_EQ(Utf8(answer.Records()[1].message), "Błąd zapisu");
    EXPECT_EQ(Utf8(answer.Records()[1].title), "Błąd");
    const std::vector<uint16_t> reads = Reads();
    ASSERT_GE(reads.size(), kValueReads.size());
    EXPECT_EQ(std::vector<uint16_t>(reads.end() - kValueReads.size(), reads.end()), kValueReads);
    EXPECT_EQ(Value(view->TimeReadout(0)), "1.5");   // written before the refusal
    EXPECT_EQ(Value(view->TimeReadout(2)), "10.0");  // refused: the panel kept its value
}

TEST_F(Reg2ViewTest, TimeBeyondItsParameterKeepsTheDialogOpenAndWritesNothing) {
    Reg2* view = ConnectAndSelect();
    ASSERT_NE(view, nullptr);
    ModalAnswer answer;
    answer.Expect(FillAndOk({{DlgReg2Chng::T3, "30"}}, false, wxID_CANCEL));
    answer.Expect(wxID_OK);
    ClickViewButton(201);
    ASSERT_EQ(answer.Records().size(), 2u);
    EXPECT_EQ(Utf8(answer.Records()[1].message), "Błąd zakresu liczby: 0.0 - 25.5");
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ(Reads(), kRegulationReads);
}

}  // namespace
