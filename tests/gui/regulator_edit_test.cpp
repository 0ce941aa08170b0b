// The regulator edits through the real main window against the simulated panel: each view
// button's read, dialog, write and read back, the dialogs' entry rules, and the types command.
#include <gtest/gtest.h>
#include <wx/statbox.h>

#include <algorithm>
#include <string>
#include <vector>

#include "regulators/Reg2.h"
#include "regulators/Reg3.h"
#include "support/gui_RegulatorFixture.h"

namespace {

using Codes = std::vector<uint16_t>;

class RegulatorEditTest : public RegulatorFixture {
protected:
    void ShowThresholdView() {
        Connect();
        Select(ID_REG_1);
        ASSERT_NE(View(), nullptr);
        panel.ClearRequests();
    }
};

const Codes kValueReads = {0x202, 0x203, 0x210, 0x211, 0x212, 0x213, 0x204, 0x20A, 0x205, 0x20B, 0x206, 0x20C};

struct EditCase {
    const char* name;
    int button;
    Codes codes;   // channel 1's: read, and on OK written, in this order
    Codes reread;
};

std::vector<EditCase> EditCases() {
    return {
        {"header", 200, {0x201, 0x200}, {0x200, 0x201}},
        {"regulation", 201, {0x204, 0x20A, 0x210, 0x211, 0x212, 0x213, 0x202}, kValueReads},
        {"alarms", 202, {0x205, 0x20B, 0x206, 0x20C, 0x203}, kValueReads},
    };
}

Codes Concat(Codes a, const Codes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Channel 1's codes moved to channel n's block.
Codes OfChannel(int n, Codes codes) {
    for (uint16_t& code : codes) code = static_cast<uint16_t>(code + 32 * n);
    return codes;
}

// The first and the last channel (R4 owns 0x260..0x27F).
TEST_F(RegulatorEditTest, CancelWritesNothingAndOkWritesEveryParameterThenReadsBack) {
    Connect();
    SetStored(214, 1);
    for (int n : {0, 3}) {
        SCOPED_TRACE(n);
        Select(ID_REG_1 + n);
        ASSERT_NE(View(), nullptr);
        // Three decimals do not fit the fields' four characters; one decimal shows as two.
        SetStored(OfChannel(n, {0x205})[0], sim::PackDecimal(-1234, 3));
        SetStored(OfChannel(n, {0x204})[0], sim::PackDecimal(150, 1));
        for (const EditCase& c : EditCases()) {
            SCOPED_TRACE(c.name);
            const Codes codes = OfChannel(n, c.codes);
            {
                panel.ClearRequests();
                ModalAnswer answer;
                answer.Expect(wxID_CANCEL);
                ClickViewButton(c.button);
                ASSERT_EQ(answer.Records().size(), 1u);
                EXPECT_EQ(Utf8(answer.Records()[0].title), "Regulator #" + std::to_string(n + 1));
                EXPECT_EQ(Reads(), codes);
                EXPECT_TRUE(Writes().empty());
            }
            {
                std::vector<uint32_t> before;
                for (uint16_t code : codes) before.push_back(Stored(code));
                panel.ClearRequests();
                ModalAnswer answer;
                answer.Press(wxID_OK);
                ClickViewButton(c.button);
                EXPECT_EQ(Reads(), Concat(codes, OfChannel(n, c.reread)));
                const WriteList writes = Writes();
                ASSERT_EQ(writes.size(), codes.size());
                for (size_t i = 0; i < writes.size(); ++i) {
                    EXPECT_EQ(writes[i].code, codes[i]);
                    // Unedited values go back exactly as read, decimals the fields cannot show included.
                    EXPECT_EQ(writes[i].value, before[i]) << codes[i];
                }
            }
        }
    }
}

TEST_F(RegulatorEditTest, AFailedWriteIsReportedAndFollowedByTheReadBack) {
    ShowThresholdView();
    Modify(0x20A, [](sim::SimParam& p) { p.readOnly = true; });
    ModalAnswer answer;
    answer.Press(wxID_OK);
    answer.Expect(wxID_OK);  // "Błąd zapisu"
    ClickViewButton(201);
    EXPECT_EQ(Messages(answer.Records()), std::vector<std::string>{"Błąd zapisu"});
    EXPECT_EQ(Writes().size(), 2u);  // SP1 stored, SP2 refused, the rest not sent
    EXPECT_EQ(Reads(), Concat({0x204, 0x20A, 0x210, 0x211, 0x212, 0x213, 0x202}, kValueReads));
    // Before any report the zone is unknown: the zone 2 values are shown.
    EXPECT_EQ(Value(View()->SpReadout()), "18.00");
    EXPECT_EQ(Value(View()->AlReadout()), "-5.00");
    EXPECT_EQ(Value(View()->AhReadout()), "25.00");
}

TEST_F(RegulatorEditTest, AFailedEditReadShowsNoDialog) {
    ShowThresholdView();
    Modify(0x20B, [](sim::SimParam& p) { p.refused = true; });
    ModalAnswer answer;
    answer.Expect(wxID_OK);
    ClickViewButton(202);
    EXPECT_EQ(Messages(answer.Records()), std::vector<std::string>{"Błąd odczytu"});
    EXPECT_EQ(answer.Records().size(), 1u);
    EXPECT_TRUE(Writes().empty());
}

TEST_F(RegulatorEditTest, AlarmDialogRefusesANonNumberAndSaturatesLargeValues) {
    ShowThresholdView();
    SetStored(0x203, 4);  // neither alarm bit
    ModalAnswer answer;
    answer.Expect([&](wxDialog* dialog) {
        std::vector<wxTextCtrl*> fields = Texts(dialog);
        std::vector<wxCheckBox*> checks = Controls<wxCheckBox>(dialog);
        EXPECT_EQ(fields.size(), 4u);
        EXPECT_EQ(Utf8(fields[0]->GetValue()), "15.00");
        EXPECT_FALSE(checks[0]->GetValue());
        EXPECT_FALSE(checks[1]->GetValue());
        fields[0]->ChangeValue(wxASCII_STR("12345"));
        fields[1]->ChangeValue(wxEmptyString);
        ModalAnswer::Click(dialog, wxID_OK);  // refused at AL2: the message is answered nested
        EXPECT_TRUE(dialog->IsShown());
        fields[1]->ChangeValue(wxASCII_STR("-1.23456"));
        checks[1]->SetValue(true);
        ModalAnswer::Click(dialog, wxID_OK);
        return wxID_NONE;
    });
    answer.Expect(wxID_OK);  // "Błąd zapisu liczby"
    ClickViewButton(202);
    EXPECT_EQ(Messages(answer.Records()), std::vector<std::string>{"Błąd zapisu liczby"});
    const WriteList writes = Writes();
    ASSERT_EQ(writes.size(), 5u);
    EXPECT_DOUBLE_EQ(DecimalOf(writes[0].value), 10000);  // saturated
    EXPECT_DOUBLE_EQ(DecimalOf(writes[1].value), -1.235);  // at most 3 decimals
    EXPECT_EQ(writes[4], (ParamWrite{0x203, 2}));         // AH alone
}

TEST_F(RegulatorEditTest, HeaderDialogKeepsAnUnlistedOptionAndOffersZeroAsPv) {
    ShowThresholdView();
    SetStored(0x201, 5);
    ModalAnswer answer;
    answer.Expect([&](wxDialog* dialog) {
        std::vector<jwxCombo*> lists = Lists(dialog);
        EXPECT_EQ(lists[0]->GetSelection(), wxNOT_FOUND);  // 5 is no threshold option
        EXPECT_EQ(Utf8(lists[1]->GetString(0)), "0 - zero");
        SelectCode(lists[1], 0);
        ModalAnswer::Click(dialog, wxID_OK);
        return wxID_NONE;
    });
    ClickViewButton(200);
    EXPECT_EQ(Writes(), (WriteList{{0x201, 5}, {0x200, 0}}));
    EXPECT_EQ(Label(View()->PvVariableText()), "0 - zero");
}

TEST_F(RegulatorEditTest, RegulationDialogWritesInversionAsOneOrZero) {
    ShowThresholdView();
    SetStored(0x202, 5);
    ModalAnswer answer;
    answer.Expect([&](wxDialog* dialog) {
        std::vector<wxCheckBox*> checks = Controls<wxCheckBox>(dialog);
        EXPECT_TRUE(checks[0]->GetValue());
        EXPECT_EQ(Texts(dialog).size(), 6u);
        EXPECT_EQ(Utf8(Texts(dialog)[2]->GetValue()), "0.500");
        ModalAnswer::Click(dialog, wxID_OK);
        return wxID_NONE;
    });
    ClickViewButton(201);
    const WriteList writes = Writes();
    ASSERT_EQ(writes.size(), 7u);
    EXPECT_EQ(writes[6], (ParamWrite{0x202, 1}));
    EXPECT_EQ(Value(View()->InversionReadout()), "T");
}

// The types dialog's visible buttons, channel by channel (four each).
std::vector<wxRadioButton*> TypeButtons(wxDialog* dialog) {
    std::vector<wxRadioButton*> shown;
    for (wxRadioButton* radio : RegulatorFixture::ChildrenOf<wxRadioButton>(dialog))
        if (radio->IsShown()) shown.push_back(radio);
    return shown;
}

TEST_F(RegulatorEditTest, TypesDialogWritesAllFourAndStopsAtARefusal) {
    Connect();
    panel.ClearRequests();
    {
        ModalAnswer answer;
        answer.Expect([&](wxDialog* dialog) {
            std::vector<wxRadioButton*> radios = TypeButtons(dialog);
            EXPECT_EQ(radios.size(), 16u);
            for (wxRadioButton* radio : radios) EXPECT_EQ(radio->GetId(), 300);
            EXPECT_TRUE(radios[1]->GetValue());   // channel 1: threshold
            EXPECT_TRUE(radios[12]->GetValue());  // channel 4: off
            radios[3]->SetValue(true);            // channel 1: timed
            radios[13]->SetValue(true);           // channel 4: threshold
            return wxID_OK;
        });
        RunMenu(ID_REG_TYPE);
        EXPECT_EQ(Utf8(answer.Records()[0].title), "Typ regulatora");
        EXPECT_EQ(Reads(), (Codes{211, 212, 213, 214}));
        EXPECT_EQ(Writes(), (WriteList{{211, 3}, {212, 2}, {213, 3}, {214, 1}}));
    }
    {
        panel.ClearRequests();
        ModalAnswer answer;
        answer.Expect(wxID_CANCEL);
        RunMenu(ID_REG_TYPE);
        EXPECT_TRUE(Writes().empty());
    }
    {
        Modify(213, [](sim::SimParam& p) { p.readOnly = true; });
        panel.ClearRequests();
        ModalAnswer answer;
        answer.Expect([&](wxDialog* dialog) {
            TypeButtons(dialog)[1]->SetValue(true);  // channel 1 back to threshold
            return wxID_OK;
        });
        answer.Expect(wxID_OK);
        RunMenu(ID_REG_TYPE);
        EXPECT_EQ(Messages(answer.Records()), std::vector<std::string>{"Błąd zapisu"});
        EXPECT_EQ(Writes().size(), 3u);
        EXPECT_EQ(Stored(211), 1u);  // written before the refusal
    }
}

// A stored type the dialog does not know shows no type checked and goes back as it was read,
// however the other channels were changed; checking a type replaces it.
TEST_F(RegulatorEditTest, TypesDialogKeepsATypeItDoesNotKnow) {
    Connect();
    SetStored(212, 7);
    SetStored(214, 200);
    panel.ClearRequests();
    ModalAnswer answer;
    answer.Expect([&](wxDialog* dialog) {
        std::vector<wxRadioButton*> radios = TypeButtons(dialog);
        for (int type = 0; type < 4; ++type) {
            EXPECT_FALSE(radios[4 + type]->GetValue()) << type;   // channel 2
            EXPECT_FALSE(radios[12 + type]->GetValue()) << type;  // channel 4
        }
        radios[2]->SetValue(true);   // channel 1: PID
        radios[15]->SetValue(true);  // channel 4: timed
        return wxID_OK;
    });
    RunMenu(ID_REG_TYPE);
    EXPECT_EQ(Writes(), (WriteList{{211, 2}, {212, 7}, {213, 3}, {214, 3}}));
}

// The selected channel's view follows the type the dialog wrote: rebuilt for a new type (and
// live with the new type's reports), removed with the window refitted for "0 - Wyłączony", and
// kept as it is when that channel's type did not change.
TEST_F(RegulatorEditTest, TypesDialogRebuildsTheSelectedChannelsView) {
    Connect();
    auto setTypes = [&](std::vector<int> checked) {  // one visible button index per channel
        ModalAnswer answer;
        answer.Expect([=](wxDialog* dialog) {
            for (int index : checked) TypeButtons(dialog)[index]->SetValue(true);
            return wxID_OK;
        });
        RunMenu(ID_REG_TYPE);
        EXPECT_EQ(answer.Records().size(), 1u);  // no message
    };
    SetStored(214, 1);
    Select(ID_REG_1 + 3);
    ASSERT_NE(View(), nullptr);
    const wxSize thresholdSize = frame->GetMinSize();

    // Another channel changes: the view stays.
    RegX* shown = View();
    panel.ClearRequests();
    setTypes({1 * 4 + 3});
    EXPECT_EQ(View(), shown);
    EXPECT_EQ(Reads(), (Codes{211, 212, 213, 214}));

    // R4 becomes PID: a PID view reads its channel and follows its reports.
    panel.ClearRequests();
    setTypes({3 * 4 + 2});
    ASSERT_NE(View(), nullptr);
    EXPECT_NE(dynamic_cast<Reg2*>(View()), nullptr);
    EXPECT_EQ(frame->GetSelectedRegulator(), 3);
    const Codes reads = Reads();
    ASSERT_GT(reads.size(), 5u);
    EXPECT_EQ(Codes(reads.begin(), reads.begin() + 5), (Codes{211, 212, 213, 214, 214}));
    EXPECT_NE(std::find(reads.begin(), reads.end(), 0x274), reads.end());  // Kp of R4
    std::vector<uint32_t> pid(15, 0);
    pid[2] = sim::FloatBits(7.25f);
    ASSERT_TRUE(PushAndSettle(sim::RegulatorStatusReport(0xA5, 3, pid)));
    EXPECT_EQ(Value(View()->PvReadout()), "7.250");
    // Its settings button edits the PID parameters.
    panel.ClearRequests();
    {
        ModalAnswer edit;
        edit.Expect(wxID_CANCEL);
        ClickViewButton(201);
    }
    EXPECT_EQ(Reads(), OfChannel(3, {0x204, 0x20A, 0x214, 0x215, 0x216, 0x207, 0x208, 0x209, 0x217, 0x218, 0x202}));
    // Refitted as for a PID view chosen in the selector.
    const wxSize rebuilt = frame->GetMinSize();
    EXPECT_NE(rebuilt, thresholdSize);
    Select(ID_REG_1 + 3);
    EXPECT_EQ(frame->GetMinSize(), rebuilt);

    // Off: no view, the box leaves the window and the window shrinks.
    const wxSize pidSize = frame->GetMinSize();
    setTypes({3 * 4 + 0});
    EXPECT_EQ(View(), nullptr);
    EXPECT_EQ(frame->GetSelectedRegulator(), -1);
    EXPECT_FALSE(frame->GetRegulatorBox()->GetStaticBox()->IsShown());
    EXPECT_LT(frame->GetMinSize().GetWidth(), pidSize.GetWidth());
    EXPECT_EQ(frame->GetSize().GetWidth(), frame->GetMinSize().GetWidth());

    // The channel is still selected: a type for it brings its view back.
    setTypes({3 * 4 + 3});
    EXPECT_NE(dynamic_cast<Reg3*>(View()), nullptr);
    EXPECT_EQ(frame->GetSelectedRegulator(), 3);
}

}  // namespace
