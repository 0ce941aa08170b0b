// The regulator edits through the real main window against the simulated panel: each view
// button's read, dialog, write and read back, the dialogs' entry rules, and the types command.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    Codes codes;   // read, and on OK written, in this order
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

TEST_F(RegulatorEditTest, CancelWritesNothingAndOkWritesEveryParameterThenReadsBack) {
    ShowThresholdView();
    // Three decimals do not fit the fields' four characters; one decimal shows as two.
    Modify(0x205, [](sim::SimParam& p) { p.value = sim::PackDecimal(-1234, 3); });
    Modify(0x204, [](sim::SimParam& p) { p.value = sim::PackDecimal(150, 1); });
    for (const EditCase& c : EditCases()) {
        SCOPED_TRACE(c.name);
        {
            panel.ClearRequests();
            ModalAnswer answer;
            answer.Expect(wxID_CANCEL);
            ClickViewButton(c.button);
            ASSERT_EQ(answer.Records().size(), 1u);
            EXPECT_EQ(Utf8(answer.Records()[0].title), "Regulator #1");
            EXPECT_EQ(Reads(), c.codes);
            EXPECT_TRUE(Writes().empty());
        }
        {
            std::vector<uint32_t> before;
            for (uint16_t code : c.codes) before.push_back(Stored(code));
            panel.ClearRequests();
            ModalAnswer answer;
            answer.Press(wxID_OK);
            ClickViewButton(c.button);
            EXPECT_EQ(Reads(), Concat(c.codes, c.reread));
            const WriteList writes = Writes();
            ASSERT_EQ(writes.size(), c.codes.size());
            for (size_t i = 0; i < writes.size(); ++i) {
                EXPECT_EQ(writes[i].code, c.codes[i]);
                // Unedited values go back exactly as read, decimals the fields cannot show included.
                EXPECT_EQ(writes[i].value, before[i]) << c.codes[i];
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

TEST_F(RegulatorEditTest, TypesDialogWritesAllFourAndStopsAtARefusal) {
    Connect();
    Select(ID_REG_1);
    ASSERT_NE(View(), nullptr);
    RegX* shown = View();
    SetStored(214, 7);
    panel.ClearRequests();
    {
        ModalAnswer answer;
        answer.Expect([&](wxDialog* dialog) {
            std::vector<wxRadioButton*> radios = Controls<wxRadioButton>(dialog);
            EXPECT_EQ(radios.size(), 16u);
            EXPECT_TRUE(radios[1]->GetValue());       // channel 1: threshold
            EXPECT_TRUE(radios[12]->GetValue());      // channel 4: 7 shows as off
            radios[3]->SetValue(true);                // channel 1: timed
            return wxID_OK;
        });
        RunMenu(ID_REG_TYPE);
        EXPECT_EQ(Utf8(answer.Records()[0].title), "Typ regulatora");
        EXPECT_EQ(Reads(), (Codes{211, 212, 213, 214}));
        EXPECT_EQ(Writes(), (WriteList{{211, 3}, {212, 2}, {213, 3}, {214, 0}}));
        EXPECT_EQ(View(), shown);  // the shown view stays until selected again
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
            Controls<wxRadioButton>(dialog)[1]->SetValue(true);  // channel 1 back to threshold
            return wxID_OK;
        });
        answer.Expect(wxID_OK);
        RunMenu(ID_REG_TYPE);
        EXPECT_EQ(Messages(answer.Records()), std::vector<std::string>{"Błąd zapisu"});
        EXPECT_EQ(Writes().size(), 3u);
        EXPECT_EQ(Stored(211), 1u);  // written before the refusal
    }
}

}  // namespace
