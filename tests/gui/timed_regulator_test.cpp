// The timed regulator view through the real main window against the simulated panel (channel 3
// is timed there): what it reads and shows, the live reports and the algorithm box's letters,
// and the timing edit with its dialog.
#include <gtest/gtest.h>
#include <wx/statbox.h>

#include <string>
#include <vector>

#include "regulators/Reg3.h"
#include "support/gui_RegulatorFixture.h"
#include "widgets/SourceLists.h"

namespace {

using Codes = std::vector<uint16_t>;

constexpr int kChannel = 2;
constexpr uint16_t Code(int offset) { return static_cast<uint16_t>(0x200 + 32 * kChannel + offset); }

// Offsets read by the view for its values, in order.
const Codes kValueReads = {Code(0x02), Code(0x03), Code(0x04), Code(0x0A), Code(0x05), Code(0x0B),
                           Code(0x06), Code(0x0C), Code(0x07), Code(0x1C), Code(0x08), Code(0x1D),
                           Code(0x09), Code(0x19), Code(0x1A), Code(0x1B)};
// Offsets of the timing edit, in order.
const Codes kTimingItems = {Code(0x04), Code(0x0A), Code(0x07), Code(0x1C), Code(0x08), Code(0x1D),
                            Code(0x09), Code(0x02), Code(0x19), Code(0x1A), Code(0x1B)};

Codes Concat(Codes a, const Codes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class TimedRegulatorTest : public RegulatorFixture {
protected:
    Reg3* Timed() const { return dynamic_cast<Reg3*>(View()); }
    void SelectTimed() {
        Select(ID_REG_1 + kChannel);
        ASSERT_NE(Timed(), nullptr);
    }
    std::string Time(int i) const { return Value(Timed()->TimeReadout(i)); }
    std::string Unit(int i) const { return Utf8(Timed()->TimeReadout(i)->GetUnitLabel()->GetLabelText()); }
    std::vector<std::string> Letters() const {
        std::vector<std::string> letters;
        for (int i = 0; i < Reg3::kModeReadouts; ++i) letters.push_back(Value(Timed()->ModeReadout(i)));
        return letters;
    }
    bool Push(uint8_t code, std::vector<uint32_t> fields, unsigned channel = kChannel) {
        return PushAndSettle(sim::RegulatorStatusReport(code, channel, fields));
    }
};

TEST_F(TimedRegulatorTest, SelectionReadsInOrderAndShowsTheConfiguration) {
    Connect();
    SetStored(Code(0x01), 3);
    SetStored(Code(0x02), 1);
    SetStored(Code(0x03), 2);
    SetStored(Code(0x1A), 101);
    SetStored(Code(0x1B), 60);  // not a binary source
    ModalAnswer answer;  // any message box fails the test
    SelectTimed();
    EXPECT_EQ(Reads(), Concat({213, Code(0x00), Code(0x01)}, kValueReads));
    EXPECT_EQ(Label(Timed()->OptionText()), "3 - wyzwolenie impulsu z restartem");
    EXPECT_EQ(Label(Timed()->PvVariableText()), "1 - temperatura T1");
    EXPECT_EQ(Value(Timed()->InversionReadout()), "T");
    EXPECT_EQ(Value(Timed()->AlarmEnableReadout()), "H");
    // The simulator's channel: t1 100 tenths, t2 200 minutes, t3 5 tenths.
    EXPECT_EQ(Time(0) + " " + Unit(0), "10.0 sek");
    EXPECT_EQ(Time(1) + " " + Unit(1), "200 min");
    EXPECT_EQ(Time(2) + " " + Unit(2), "0.5 sek");
    EXPECT_EQ(Label(Timed()->InputText(0)), "0 - zawsze 0");
    EXPECT_EQ(Label(Timed()->InputText(1)), BinarySourceList[55]);
    EXPECT_EQ(Label(Timed()->InputText(2)), "0 - zawsze 0");
    // Until the first reports: the samples.
    for (const jwxNVUDisp* readout : {Timed()->PvReadout(), Timed()->SpReadout(), Timed()->AlReadout()})
        EXPECT_EQ(Value(readout), "XXXX,XX");
    EXPECT_EQ(Value(Timed()->ZoneReadout()), "X");
    EXPECT_TRUE(Timed()->TimeReadout(0)->GetValueWindow()->IsShown());
}

TEST_F(TimedRegulatorTest, TimesFollowTheirUnitBytes) {
    const struct {
        uint32_t t1, unit1, t3;
        const char* shown1;
        const char* shown3;
    } cases[] = {
        {90, 1, 255, "90 min", "25.5 sek"},
        {90, 0, 0, "9.0 sek", "0.0 sek"},
        {65535, 7, 1, "65535 min", "0.1 sek"},  // any non-zero unit byte means minutes
        {65535, 0, 1, "6553.5 sek", "0.1 sek"},
    };
    Connect();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown1);
        SetStored(Code(0x07), c.t1);
        SetStored(Code(0x1C), c.unit1);
        SetStored(Code(0x09), c.t3);
        SelectTimed();
        EXPECT_EQ(Time(0) + " " + Unit(0), c.shown1);
        EXPECT_EQ(Time(2) + " " + Unit(2), c.shown3);
    }
}

TEST_F(TimedRegulatorTest, ReportsUpdateTheViewAndTheAlgorithmBox) {
    Connect();
    SelectTimed();
    ASSERT_TRUE(Push(0xA6, {0, 0, sim::FloatBits(7.25f)}));
    EXPECT_EQ(Value(Timed()->PvReadout()), "7.250");
    EXPECT_EQ(Value(Timed()->ZoneReadout()), "1");
    EXPECT_EQ(Value(Timed()->SpReadout()), "23.50");
    ASSERT_TRUE(Push(0xA6, {0x10, 1, 0}));
    EXPECT_EQ(Value(Timed()->PvReadout()), "---");
    EXPECT_EQ(Value(Timed()->ZoneReadout()), "2");
    EXPECT_EQ(Value(Timed()->SpReadout()), "18.00");
    ASSERT_TRUE(Push(0xA7, {1}));
    EXPECT_EQ(Value(Timed()->OutputReadout(0)), "X");
    EXPECT_EQ(Value(Timed()->OutputReadout(1)), "-");

    // A mode report before the box exists is not kept.
    ASSERT_TRUE(Push(0xAB, {2, 0, 0x40}));
    EXPECT_EQ(Timed()->ModeReadout(0), nullptr);
    const wxSize before = frame->GetSize();
    ClickViewButton(RegX::ID_ALGORITHM);
    ASSERT_NE(Timed()->GetAlgorithmBox(), nullptr);
    EXPECT_EQ(Letters(), (std::vector<std::string>{"XXX", "XXX", "X", "X", "X", "X"}));
    EXPECT_NE(frame->GetMainPanel()->GetSizer()->GetItem(Timed()->GetAlgorithmBox(), true), nullptr);
    EXPECT_TRUE(Timed()->ModeReadout(0)->GetValueWindow()->IsShown());
    EXPECT_GT(frame->GetSize().GetWidth(), before.GetWidth());
    // Its button is gone: the box is built once.
    for (wxWindow* child : frame->GetMainPanel()->GetChildren()) {
        if (child->GetId() == RegX::ID_ALGORITHM) {
            EXPECT_FALSE(child->IsShown());
        }
    }

    const struct {
        uint8_t code;
        uint32_t state, init, flags;
        std::vector<std::string> letters;
    } reports[] = {
        {0xAB, 2, 0, 0x40, {"", "s", " ", " ", "E", " "}},
        {0xAB, 3, 0, 0xC0, {"", "S", " ", " ", "e", " "}},
        {0xAC, 2, 0, 0x80, {"", "", "T", " ", " ", " "}},
        {0xAA, 3, 0, 0x03, {"", "", "", "S", "I", "G"}},
        {0xAA, 1, 7, 0xFF, {"ini", "", "", "", "", ""}},
        {0xAC, 1, 2, 0, {"err", "", "", "", "", ""}},
    };
    for (const auto& r : reports) {
        SCOPED_TRACE(testing::Message() << std::hex << int(r.code) << " state " << r.state << " flags " << r.flags);
        ASSERT_TRUE(Push(r.code, {r.state, r.init, r.flags}));
        EXPECT_EQ(Letters(), r.letters);
    }
    // Another channel's report changes nothing.
    ASSERT_TRUE(Push(0xAB, {2, 0, 0x40}, 1));
    EXPECT_EQ(Letters(), reports[5].letters);
}

TEST_F(TimedRegulatorTest, CancelWritesNothingAndRereadsNothing) {
    Connect();
    SelectTimed();
    panel.ClearRequests();
    ModalAnswer answer;
    answer.Expect([](wxDialog* dialog) {
        Controls<wxTextCtrl>(dialog)[2]->ChangeValue(wxASCII_STR("99"));
        return static_cast<int>(wxID_CANCEL);
    });
    ClickViewButton(RegX::ID_REGULATION);
    ASSERT_EQ(answer.Records().size(), 1u);
    EXPECT_EQ(Utf8(answer.Records()[0].title), "Regulator #3");
    EXPECT_EQ(Reads(), kTimingItems);
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ(Time(0), "10.0");
    EXPECT_EQ(Value(Timed()->SpReadout()), "XXXX,XX");
}

// Units switched and times rounded in the chosen unit, a list chosen and one left without a
// selection: every item is written in order, then the view reads back what the panel holds.
TEST_F(TimedRegulatorTest, OkWritesEveryItemInItsUnitAndRereads) {
    Connect();
    SetStored(Code(0x1B), 60);  // Gate: a code the list does not hold
    SelectTimed();
    panel.ClearRequests();
    ModalAnswer answer;
    answer.Expect([](wxDialog* dialog) {
        auto fields = Controls<wxTextCtrl>(dialog);
        auto radios = Controls<wxRadioButton>(dialog);
        auto lists = Controls<jwxCombo>(dialog);
        EXPECT_EQ(Utf8(fields[2]->GetValue()), "10.0");
        EXPECT_TRUE(radios[0]->GetValue());
        EXPECT_EQ(Utf8(fields[3]->GetValue()), "200");
        EXPECT_TRUE(radios[3]->GetValue());
        EXPECT_EQ(lists[2]->GetSelectedValue(), -1);
        fields[2]->ChangeValue(wxASCII_STR("2.5"));
        radios[1]->SetValue(true);  // t1 now in minutes
        fields[3]->ChangeValue(wxASCII_STR("2.46"));
        radios[2]->SetValue(true);  // t2 now in seconds
        fields[4]->ChangeValue(wxASCII_STR("0.5"));
        Controls<wxCheckBox>(dialog)[0]->SetValue(true);
        SelectCode(lists[1], 101);
        ModalAnswer::Click(dialog, wxID_OK);
        return static_cast<int>(wxID_NONE);
    });
    ClickViewButton(RegX::ID_REGULATION);
    EXPECT_EQ(Reads(), Concat(kTimingItems, kValueReads));
    const uint32_t sp1 = (2350u << 8) | 2;
    const uint32_t sp2 = (1800u << 8) | 2;
    EXPECT_EQ(Writes(), (WriteList{{Code(0x04), sp1}, {Code(0x0A), sp2}, {Code(0x07), 3}, {Code(0x1C), 1},
                                   {Code(0x08), 25}, {Code(0x1D), 0}, {Code(0x09), 5}, {Code(0x02), 1},
                                   {Code(0x19), 0}, {Code(0x1A), 101}, {Code(0x1B), 60}}));
    EXPECT_EQ(Time(0) + " " + Unit(0), "3 min");
    EXPECT_EQ(Time(1) + " " + Unit(1), "2.5 sek");
    EXPECT_EQ(Value(Timed()->InversionReadout()), "T");
    EXPECT_EQ(Label(Timed()->InputText(1)), BinarySourceList[55]);
    // Before the first report an edit shows the zone 2 values.
    EXPECT_EQ(Value(Timed()->SpReadout()), "18.00");
}

TEST_F(TimedRegulatorTest, FailedWriteIsReportedAndTheViewShowsThePanel) {
    Connect();
    Modify(Code(0x08), [](sim::SimParam& p) { p.readOnly = true; });
    SelectTimed();
    panel.ClearRequests();
    ModalAnswer answer;
    answer.Expect([](wxDialog* dialog) {
        Controls<wxTextCtrl>(dialog)[2]->ChangeValue(wxASCII_STR("12.3"));
        Controls<wxTextCtrl>(dialog)[3]->ChangeValue(wxASCII_STR("7"));
        ModalAnswer::Click(dialog, wxID_OK);
        return static_cast<int>(wxID_NONE);
    });
    answer.Expect(wxID_OK);
    ClickViewButton(RegX::ID_REGULATION);
    EXPECT_EQ(Messages(answer.Records()), std::vector<std::string>{"Błąd zapisu"});
    EXPECT_EQ(Utf8(answer.Records()[1].title), "Błąd");
    EXPECT_EQ(Stored(Code(0x07)), 123u);
    EXPECT_EQ(Stored(Code(0x08)), 200u);
    EXPECT_EQ(Time(0) + " " + Unit(0), "12.3 sek");
    EXPECT_EQ(Time(1) + " " + Unit(1), "200 min");
    const Codes reads = Reads();
    ASSERT_GE(reads.size(), kValueReads.size());
    EXPECT_EQ(Codes(reads.end() - kValueReads.size(), reads.end()), kValueReads);
}

}  // namespace
