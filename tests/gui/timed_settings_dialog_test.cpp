// The timed settings dialog on its own: how it shows the records it was given, how typed times
// become stored numbers in the chosen unit (rounding, limits of each parameter), the refusal of
// bad entries, and the control-input lists.
#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/radiobut.h>

#include <string>
#include <vector>

#include "comm/ParamValue.h"
#include "regulators/DlgReg3Chng.h"
#include "support/gui_ModalAnswer.h"

namespace {

std::string Utf8(const wxString& text) { return text.utf8_string(); }

// The 11 records a timed channel's view reads for the dialog.
struct Records {
    ParamValue values[DlgReg3Chng::ITEM_COUNT];
    ParamValue* items[DlgReg3Chng::ITEM_COUNT];

    Records() {
        for (int i = 0; i < DlgReg3Chng::ITEM_COUNT; ++i) items[i] = &values[i];
        values[DlgReg3Chng::ITEM_SP1].SetDecimal(decimal_from_double(21.5, 2));
        values[DlgReg3Chng::ITEM_SP2].SetDecimal(decimal_from_double(-3.25, 2));
        values[DlgReg3Chng::ITEM_T1].SetU16(123);
        values[DlgReg3Chng::ITEM_T1_MINUTES].SetU8(0);
        values[DlgReg3Chng::ITEM_T2].SetU16(123);
        values[DlgReg3Chng::ITEM_T2_MINUTES].SetU8(1);
        values[DlgReg3Chng::ITEM_T3].SetU16(0x105);  // only the low byte is t3
        values[DlgReg3Chng::ITEM_INVERSION].SetU8(1);
        values[DlgReg3Chng::ITEM_PRI].SetU8(101);
        values[DlgReg3Chng::ITEM_SEC].SetU8(0);
        values[DlgReg3Chng::ITEM_GATE].SetU8(60);  // not a binary source
    }
};

// The dialog's controls in creation order.
struct Controls {
    std::vector<wxTextCtrl*> fields;     // SP1, SP2, t1, t2, t3
    std::vector<wxRadioButton*> radios;  // t1 sek, t1 min, t2 sek, t2 min
    std::vector<jwxCombo*> lists;        // Pri, Sec, Gate
    wxCheckBox* inversion = nullptr;

    explicit Controls(wxDialog* dialog) {
        for (wxWindow* child : dialog->GetChildren()) {
            if (auto* field = dynamic_cast<wxTextCtrl*>(child)) fields.push_back(field);
            if (auto* radio = dynamic_cast<wxRadioButton*>(child)) radios.push_back(radio);
            if (auto* list = dynamic_cast<jwxCombo*>(child)) lists.push_back(list);
            if (auto* box = dynamic_cast<wxCheckBox*>(child)) inversion = box;
        }
    }
};

TEST(TimedSettingsDialogTest, ShowsTheRecordsInTheirUnits) {
    Records records;
    DlgReg3Chng dialog(nullptr, wxASCII_STR("Regulator #3"), records.items, DlgReg3Chng::kStyle, wxID_ANY);
    Controls c(&dialog);
    ASSERT_EQ(c.fields.size(), 5u);
    ASSERT_EQ(c.radios.size(), 4u);
    ASSERT_EQ(c.lists.size(), 3u);
    const char* const texts[] = {"21.50", "-3.25", "12.3", "123", "0.5"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Utf8(c.fields[i]->GetValue()), texts[i]) << i;
    EXPECT_TRUE(c.radios[0]->GetValue());  // t1 in seconds
    EXPECT_TRUE(c.radios[3]->GetValue());  // t2 in minutes
    EXPECT_TRUE(c.inversion->GetValue());
    EXPECT_EQ(c.lists[0]->GetSelectedValue(), 101);
    EXPECT_EQ(c.lists[1]->GetSelectedValue(), 0);
    EXPECT_EQ(c.lists[2]->GetSelectedValue(), -1);
    EXPECT_EQ(Utf8(dialog.GetTitle()), "Regulator #3");

    records.values[DlgReg3Chng::ITEM_T3].SetU8(255);
    DlgReg3Chng longest(nullptr, wxASCII_STR("t3"), records.items, DlgReg3Chng::kStyle, wxID_ANY);
    EXPECT_EQ(Utf8(Controls(&longest).fields[4]->GetValue()), "25.5");
}

// Types into the time fields, picks the units and presses OK as a user would.
struct Entry {
    const char* t1;
    bool t1Minutes;
    const char* t2;
    bool t2Minutes;
    const char* t3;
};

TEST(TimedSettingsDialogTest, TypedTimesAreStoredInTheChosenUnit) {
    const struct {
        Entry entry;
        uint16_t t1, t2, t3;
    } cases[] = {
        {{"2.5", true, "2.5", false, "0.5"}, 3, 25, 5},
        {{"2.44", false, "2.46", false, "0"}, 24, 25, 0},
        {{"2.4", true, "0.05", false, "25.54"}, 2, 1, 255},
        {{"65535", true, "6553.5", false, "25.5"}, 65535, 65535, 255},
        {{"0", false, "-0", true, "0.04"}, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.entry.t1) + " / " + c.entry.t2 + " / " + c.entry.t3);
        Records records;
        DlgReg3Chng dialog(nullptr, wxASCII_STR("T"), records.items, DlgReg3Chng::kStyle, wxID_ANY);
        Controls controls(&dialog);
        ModalAnswer answer;
        answer.Expect([&](wxDialog*) {
            controls.fields[2]->ChangeValue(wxString::FromUTF8(c.entry.t1));
            controls.fields[3]->ChangeValue(wxString::FromUTF8(c.entry.t2));
            controls.fields[4]->ChangeValue(wxString::FromUTF8(c.entry.t3));
            controls.radios[c.entry.t1Minutes ? 1 : 0]->SetValue(true);
            controls.radios[c.entry.t2Minutes ? 3 : 2]->SetValue(true);
            ModalAnswer::Click(&dialog, wxID_OK);
            return static_cast<int>(wxID_NONE);
        });
        ASSERT_EQ(dialog.ShowModal(), wxID_OK);
        EXPECT_EQ(dialog.GetTime(0), c.t1);
        EXPECT_EQ(dialog.GetTime(1), c.t2);
        EXPECT_EQ(dialog.GetTime(2), c.t3);
        EXPECT_EQ(dialog.GetUnitFlag(0), c.entry.t1Minutes ? 1 : 0);
        EXPECT_EQ(dialog.GetUnitFlag(1), c.entry.t2Minutes ? 1 : 0);
        EXPECT_EQ(answer.Records().size(), 1u);
    }
}

TEST(TimedSettingsDialogTest, SetPointsInversionAndInputs) {
    Records records;
    DlgReg3Chng dialog(nullptr, wxASCII_STR("T"), records.items, DlgReg3Chng::kStyle, wxID_ANY);
    Controls c(&dialog);
    ModalAnswer answer;
    answer.Expect([&](wxDialog*) {
        c.fields[0]->ChangeValue(wxASCII_STR("12.3456"));
        c.fields[1]->ChangeValue(wxASCII_STR("-20000"));
        c.inversion->SetValue(false);
        c.lists[1]->SelectValue(116);
        ModalAnswer::Click(&dialog, wxID_OK);
        return static_cast<int>(wxID_NONE);
    });
    ASSERT_EQ(dialog.ShowModal(), wxID_OK);
    EXPECT_EQ(dialog.GetDecimal(0).mantissa, 1235);  // four significant digits
    EXPECT_EQ(dialog.GetDecimal(0).decimals, 2);
    EXPECT_DOUBLE_EQ(decimal_to_double(dialog.GetDecimal(1)), -10000);
    EXPECT_EQ(dialog.GetInversion(), 0);
    EXPECT_EQ(dialog.GetInput(0), 101);
    EXPECT_EQ(dialog.GetInput(1), 116);
    EXPECT_EQ(dialog.GetInput(2), 60);  // no selection: the code read is kept
}

// A refused entry keeps the dialog open at the first bad field with its text selected; a
// number that does not fit its parameter is refused with the range in the field's unit.
TEST(TimedSettingsDialogTest, BadOrUnfittingEntriesAreRefusedAtTheFirstField) {
    const char* const kNumber = "Błąd zapisu liczby";
    const char* const kTenths = "Błąd zakresu liczby: 0.0 - 6553.5";
    const char* const kMinutes = "Błąd zakresu liczby: 0 - 65535";
    const char* const kT3 = "Błąd zakresu liczby: 0.0 - 25.5";
    const struct {
        const char* sp1;
        const char* t1;
        bool t1Minutes;
        const char* t2;
        const char* t3;
        int field;  // refused
        const char* message;
    } cases[] = {
        {"", "1", false, "x", "1", 0, kNumber},          // both SP1 and t2 wrong: SP1 only
        {"1", "1e2", false, "1", "1", 2, kNumber},
        {"1", "-0.1", false, "1", "1", 2, kTenths},      // negative
        {"1", "-1", true, "1", "1", 2, kMinutes},
        {"1", "6553.55", false, "1", "1", 2, kTenths},   // 65536 tenths
        {"1", "65536", true, "1", "1", 2, kMinutes},     // minutes beyond 16 bits
        {"1", "99999999999999999999999", true, "1", "1", 2, kMinutes},  // beyond any integer
        {"1", "65535.5", true, "1", "1", 2, kMinutes},   // rounds to 65536
        {"1", "1", false, "-5", "1", 3, kMinutes},       // t2 read in minutes
        {"1", "1", false, "1", "25.56", 4, kT3},         // t3 is one byte of tenths
        {"1", "1", false, "1", "nan", 4, kNumber},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.sp1) + " / " + c.t1 + " / " + c.t2 + " / " + c.t3);
        Records records;
        DlgReg3Chng dialog(nullptr, wxASCII_STR("T"), records.items, DlgReg3Chng::kStyle, wxID_ANY);
        Controls controls(&dialog);
        bool stayedOpen = false;
        long from = -1, to = -1;
        ModalAnswer answer;
        answer.Expect([&](wxDialog*) {
            controls.fields[0]->ChangeValue(wxString::FromUTF8(c.sp1));
            controls.fields[2]->ChangeValue(wxString::FromUTF8(c.t1));
            controls.fields[3]->ChangeValue(wxString::FromUTF8(c.t2));
            controls.fields[4]->ChangeValue(wxString::FromUTF8(c.t3));
            controls.radios[c.t1Minutes ? 1 : 0]->SetValue(true);
            ModalAnswer::Click(&dialog, wxID_OK);
            stayedOpen = dialog.IsModal();
            controls.fields[c.field]->GetSelection(&from, &to);
            ModalAnswer::Click(&dialog, wxID_CANCEL);  // Cancel after a failed OK
            return static_cast<int>(wxID_NONE);
        });
        answer.Expect(wxID_OK);  // the message box
        EXPECT_EQ(dialog.ShowModal(), wxID_CANCEL);
        ASSERT_EQ(answer.Records().size(), 2u);
        EXPECT_EQ(Utf8(answer.Records()[1].message), c.message);
        EXPECT_EQ(Utf8(answer.Records()[1].title), "Błąd");
        EXPECT_TRUE(stayedOpen);
        EXPECT_EQ(from, 0);
        EXPECT_EQ(to, static_cast<long>(controls.fields[c.field]->GetValue().length()));
    }
}

}  // namespace
