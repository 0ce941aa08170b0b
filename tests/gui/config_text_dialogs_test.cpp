// The configuration dialogs with typed entries (calibrations, clock interval, user variables
// and constants) and the zone-switching list, end to end: the real main window against the
// simulated panel, each command's dialog filled and confirmed as a user would, and what the
// panel was sent afterwards.
#include <gtest/gtest.h>
#include <wx/checkbox.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/FrameIds.h"
#include "sim/ParamTable.h"
#include "support/gui_ConfigFixture.h"
#include "support/gui_ModalAnswer.h"

namespace {

std::string Utf8(const wxString& text) { return text.utf8_string(); }

using Codes = std::vector<uint16_t>;
using Values = std::vector<std::pair<uint16_t, uint32_t>>;  // code, stored value
using Edits = std::vector<std::pair<int, const char*>>;     // text field, typed text

uint32_t Dec(int mantissa, unsigned decimals) { return sim::PackDecimal(mantissa, decimals); }
uint32_t U16(int value) { return static_cast<uint16_t>(value); }

std::vector<wxCheckBox*> CheckBoxes(wxDialog* dialog) {
    std::vector<wxCheckBox*> boxes;
    for (wxWindow* child : dialog->GetChildren())
        if (auto* box = dynamic_cast<wxCheckBox*>(child)) boxes.push_back(box);
    return boxes;
}

void Toggle(wxCheckBox* box, bool on) {
    box->SetValue(on);
    wxCommandEvent clicked(wxEVT_CHECKBOX, box->GetId());
    clicked.SetEventObject(box);
    clicked.SetInt(on);
    box->GetEventHandler()->ProcessEvent(clicked);
}

class TextDialogsTest : public ConfigFixture {
protected:
    void SetValues(const Values& values) {
        for (const auto& [code, value] : values) {
            auto param = panel.Param(code);
            ASSERT_TRUE(param.has_value()) << code;
            param->value = value;
            panel.SetParam(*param);
        }
    }
};

// Each area read, shown from the values stored and written back by OK as it was shown.
TEST_F(TextDialogsTest, OkWithoutEditingWritesBackWhatWasShown) {
    struct Case {
        const char* name;
        int menu;
        const char* title;
        Values stored;
        std::vector<const char*> texts;  // the text fields in order
        WriteList writes;
    };
    const Case cases[] = {
        {"user calibration", ID_USER_CALIB, "Kalibracja użytkownika",
         {{177, U16(-123)}, {178, 999}, {179, 1}},
         {"-1.23", "9.99", "35.33"},
         {{177, U16(-123)}, {178, 999}, {179, 1}}},
        {"psychrometric code 255", ID_USER_CALIB, "Kalibracja użytkownika",
         {{177, U16(-999)}, {178, 0}, {179, 255}},
         {"-9.99", "0.00", "120.00"},
         {{177, U16(-999)}, {178, 0}, {179, 255}}},
        {"zone switching", ID_NZONE_INP, "Przełączanie strefy", {{224, 20}}, {}, {{224, 20}}},
        {"clock interval 0 and 143", ID_NZONE_RNG, "Przedział czasu zegara",
         {{222, 0}, {223, 143}},
         {"00", "00", "23", "50"},
         {{222, 0}, {223, 143}}},
        {"clock interval 63", ID_NZONE_RNG, "Przedział czasu zegara",
         {{222, 63}, {223, 36}},
         {"10", "30", "06", "00"},
         {{222, 63}, {223, 36}}},
        {"4-20 mA factors", ID_I420_CALIB, "Kalibracja wejść",
         {{226, 1000}, {227, 0}, {228, 1999}, {229, 1234}},
         {"1.000", "0.000", "1.999", "1.234"},
         {{226, 1000}, {227, 0}, {228, 1999}, {229, 1234}}},
        {"user variables", ID_USER_VAR, "Zmienne użytkownika",
         {{192, Dec(1234, 2)}, {193, Dec(-5, 0)}, {194, Dec(-1, 3)}, {195, Dec(10000, 0)},
          {196, Dec(50, 1)}, {197, Dec(0, 0)}, {198, Dec(-999, 1)}, {199, Dec(7, 2)}},
         {"12.34", "-5", "-0.001", "10000", "5.0", "0", "-99.9", "0.07"},
         {{192, Dec(1234, 2)}, {193, Dec(-5, 0)}, {194, Dec(-1, 3)}, {195, Dec(10000, 0)},
          {196, Dec(50, 1)}, {197, Dec(0, 0)}, {198, Dec(-999, 1)}, {199, Dec(7, 2)}}},
        {"analog constants", ID_ANALOG_CONST, "Stałe użytkownika",
         {{912, Dec(15, 1)}, {913, Dec(0, 2)}, {914, Dec(-250, 0)}, {915, Dec(1, 3)}},
         {"1.5", "0.00", "-250", "0.001"},
         {{912, Dec(15, 1)}, {913, Dec(0, 2)}, {914, Dec(-250, 0)}, {915, Dec(1, 3)}}},
        // Any non-zero byte shows its box on and is written back as 1.
        {"binary constants", ID_BIN_CONST, "Stałe użytkownika",
         {{896, 2}, {897, 1}, {898, 0}, {899, 255}},
         {},
         {{896, 1}, {897, 1}, {898, 0}, {899, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Connect();
        SetValues(c.stored);
        std::vector<std::string> texts;
        std::vector<bool> boxes;
        ModalAnswer answer;
        answer.Expect([&](wxDialog* dialog) {
            for (wxTextCtrl* text : Texts(dialog)) texts.push_back(Utf8(text->GetValue()));
            for (wxCheckBox* box : CheckBoxes(dialog)) boxes.push_back(box->GetValue());
            ModalAnswer::Click(dialog, wxID_OK);
            return wxID_NONE;
        });
        RunMenu(c.menu);
        ASSERT_EQ(answer.Records().size(), 1u);
        EXPECT_EQ(Utf8(answer.Records()[0].title), c.title);
        EXPECT_EQ(texts, std::vector<std::string>(c.texts.begin(), c.texts.end()));
        Codes codes;
        for (const ParamWrite& write : c.writes) codes.push_back(write.code);
        EXPECT_EQ(Reads(), codes);
        EXPECT_EQ(Writes(), c.writes);
        if (c.menu == ID_BIN_CONST) {
            EXPECT_EQ(boxes, (std::vector<bool>{true, true, false, true}));
        }
        if (c.menu == ID_USER_CALIB) {
            EXPECT_EQ(boxes, std::vector<bool>{true});
        }
        CloseFrame();
        ASSERT_TRUE(WaitFrameGone());
    }
}

// Stored decimals whose text the fields cannot carry back: four significant digits at most when
// parsed (999.9, 9.999, -99.99), mantissas beyond +-9999, more than three decimals, and 0.
const uint32_t kUnshowableDecimals[] = {Dec(9999, 1),       Dec(9999, 3), Dec(-9999, 2), Dec(15000, 0),
                                        Dec(-32768, 0), Dec(1234, 4), Dec(0, 0)};
constexpr int kUnshowableCount = static_cast<int>(sizeof kUnshowableDecimals / sizeof kUnshowableDecimals[0]);

// OK with one field edited: that field writes what was typed, every other field writes back the
// bytes read.
TEST_F(TextDialogsTest, UneditedDecimalsGoBackByteForByte) {
    const struct {
        int menu;
        uint16_t first;
        int count;
    } areas[] = {{ID_USER_VAR, 192, 8}, {ID_ANALOG_CONST, 912, 4}};
    Connect();
    for (const auto& area : areas) {
        const int kept = area.count - 1;  // the last field is edited
        for (int start = 0; start < kUnshowableCount; start += kept) {
            SCOPED_TRACE(testing::Message() << area.menu << " from " << start);
            WriteList expected;
            for (int i = 0; i < area.count; ++i) {
                const uint16_t code = static_cast<uint16_t>(area.first + i);
                const uint32_t value = kUnshowableDecimals[(start + i) % kUnshowableCount];
                SetValues({{code, value}});
                expected.push_back({code, i < kept ? value : Dec(25, 1)});
            }
            panel.ClearRequests();
            ModalAnswer answer;
            answer.Expect([&](wxDialog* dialog) {
                Texts(dialog).at(kept)->ChangeValue(wxASCII_STR("2.5"));
                ModalAnswer::Click(dialog, wxID_OK);
                return static_cast<int>(wxID_NONE);
            });
            RunMenu(area.menu);
            EXPECT_EQ(Writes(), expected);
        }
    }
}

// Typed entries: each is either converted and written, or refused with the field selected,
// the reason shown and the dialog left open (then cancelled: nothing written).
TEST_F(TextDialogsTest, TypedEntriesAreConvertedOrRefused) {
    const char* const kNumber = "Błąd zapisu liczby";
    const char* const kCorrection = "Błąd zakresu poprawki temperatury:\nprawidłowa wartość: -9.99 .. 9.99 °C";
    const char* const kPsychro = "Błąd zakresu stałej psychro:\nprawidłowa wartość: 35.33 .. 120.00";
    const char* const kClock = "Należy podać godzinę w zakresie 00:00 .. 23:50\nz rozdzielczością 10 min";
    const char* const kFactor = "Błąd zakresu liczby: 0.0 - 1.999";
    struct Case {
        int menu;
        Values stored;
        Edits edits;
        const char* message;  // nullptr: accepted
        int refused;          // the field refused
        ParamWrite write;     // accepted: this write is among those sent
    };
    const Case cases[] = {
        {ID_USER_CALIB, {}, {{0, "9.99"}}, nullptr, 0, {177, 999}},
        {ID_USER_CALIB, {}, {{1, "-9.99"}}, nullptr, 0, {178, U16(-999)}},
        {ID_USER_CALIB, {}, {{0, "-1.23"}}, nullptr, 0, {177, U16(-123)}},
        {ID_USER_CALIB, {}, {{0, "1.235"}}, nullptr, 0, {177, 124}},
        {ID_USER_CALIB, {}, {{0, "-10"}}, kCorrection, 0, {}},
        {ID_USER_CALIB, {}, {{1, "9.995"}}, kCorrection, 1, {}},
        {ID_USER_CALIB, {}, {{0, "nan"}}, kNumber, 0, {}},
        {ID_USER_CALIB, {}, {{1, "inf"}}, kNumber, 1, {}},
        {ID_USER_CALIB, {{179, 3}}, {{2, "35.33"}}, nullptr, 0, {179, 1}},
        {ID_USER_CALIB, {{179, 3}}, {{2, "120"}}, nullptr, 0, {179, 255}},
        {ID_USER_CALIB, {{179, 3}}, {{2, "35.32"}}, kPsychro, 2, {}},
        {ID_USER_CALIB, {{179, 3}}, {{2, "120.01"}}, kPsychro, 2, {}},
        {ID_NZONE_RNG, {}, {{0, "22"}, {1, "00"}, {2, "06"}, {3, "00"}}, nullptr, 0, {222, 132}},
        {ID_NZONE_RNG, {}, {{0, "22"}, {1, "00"}, {2, "06"}, {3, "00"}}, nullptr, 0, {223, 36}},
        {ID_NZONE_RNG, {}, {{0, "07"}, {1, "0"}}, nullptr, 0, {222, 42}},
        {ID_NZONE_RNG, {}, {{1, "15"}}, kClock, 1, {}},
        {ID_NZONE_RNG, {}, {{3, "60"}}, kClock, 3, {}},
        {ID_NZONE_RNG, {}, {{0, "24"}, {1, "15"}}, kClock, 0, {}},
        {ID_NZONE_RNG, {}, {{2, "-1"}}, kClock, 2, {}},
        {ID_NZONE_RNG, {}, {{0, "7.5"}}, kNumber, 0, {}},
        {ID_NZONE_RNG, {}, {{3, ""}}, kNumber, 3, {}},
        {ID_NZONE_RNG, {}, {{2, "a"}}, kNumber, 2, {}},
        // Both end times are parsed before either is range-checked.
        {ID_NZONE_RNG, {}, {{0, "24"}, {3, "x"}}, kNumber, 3, {}},
        // A stored slot past the day's last shows an hour OK refuses until it is corrected.
        {ID_NZONE_RNG, {{223, 150}}, {}, kClock, 2, {}},
        {ID_I420_CALIB, {}, {{0, "0"}}, nullptr, 0, {226, 0}},
        {ID_I420_CALIB, {}, {{1, "1.999"}}, nullptr, 0, {227, 1999}},
        {ID_I420_CALIB, {}, {{2, "1.2344"}}, nullptr, 0, {228, 1234}},
        {ID_I420_CALIB, {}, {{3, "1.2346"}}, nullptr, 0, {229, 1235}},
        {ID_I420_CALIB, {}, {{1, "2"}}, kFactor, 1, {}},
        {ID_I420_CALIB, {}, {{2, "-0.001"}}, kFactor, 2, {}},
        {ID_I420_CALIB, {}, {{3, ""}}, kNumber, 3, {}},
        {ID_I420_CALIB, {}, {{0, "0x1"}}, kNumber, 0, {}},
        {ID_USER_VAR, {}, {{0, "12.34"}}, nullptr, 0, {192, Dec(1234, 2)}},
        {ID_USER_VAR, {}, {{2, "5"}}, nullptr, 0, {194, Dec(5, 0)}},
        {ID_USER_VAR, {}, {{3, "5.0"}}, nullptr, 0, {195, Dec(50, 1)}},
        {ID_USER_VAR, {}, {{7, "123456"}}, nullptr, 0, {199, Dec(10000, 0)}},
        {ID_USER_VAR, {}, {{5, " -2.5 "}}, nullptr, 0, {197, Dec(-25, 1)}},
        {ID_USER_VAR, {}, {{1, ""}}, kNumber, 1, {}},
        {ID_USER_VAR, {}, {{4, "0x10"}}, kNumber, 4, {}},
        {ID_USER_VAR, {}, {{6, "1,5"}}, kNumber, 6, {}},
        {ID_USER_VAR, {}, {{6, "1e3"}}, kNumber, 6, {}},
        {ID_ANALOG_CONST, {}, {{0, "1.5"}}, nullptr, 0, {912, Dec(15, 1)}},
        {ID_ANALOG_CONST, {}, {{3, "-123456"}}, nullptr, 0, {915, Dec(-10000, 0)}},
        {ID_ANALOG_CONST, {}, {{2, ""}}, kNumber, 2, {}},
        {ID_ANALOG_CONST, {}, {{1, "nan"}}, kNumber, 1, {}},
    };
    Connect();
    for (const Case& c : cases) {
        std::string trace = std::to_string(c.menu) + ":";
        for (const auto& [field, text] : c.edits) trace += " [" + std::to_string(field) + "]=\"" + text + "\"";
        SCOPED_TRACE(trace);
        panel.SetTable(sim::ParamTable::DefaultQm352());
        SetValues(c.stored);
        panel.ClearRequests();
        bool stayedOpen = false;
        long from = -1, to = -1;
        wxString refusedText;
        ModalAnswer answer;
        answer.Expect([&](wxDialog* dialog) {
            std::vector<wxTextCtrl*> texts = Texts(dialog);
            for (const auto& [field, text] : c.edits) texts.at(field)->ChangeValue(wxString::FromUTF8(text));
            ModalAnswer::Click(dialog, wxID_OK);
            if (!c.message) return static_cast<int>(wxID_NONE);
            stayedOpen = dialog->IsModal();
            texts.at(c.refused)->GetSelection(&from, &to);
            refusedText = texts.at(c.refused)->GetValue();
            return static_cast<int>(wxID_CANCEL);
        });
        if (c.message) answer.Expect(wxID_OK);
        RunMenu(c.menu);
        if (!c.message) {
            EXPECT_EQ(answer.Records().size(), 1u);
            const WriteList writes = Writes();
            EXPECT_NE(std::find(writes.begin(), writes.end(), c.write), writes.end())
                << testing::PrintToString(writes);
            continue;
        }
        ASSERT_EQ(answer.Records().size(), 2u);
        EXPECT_EQ(Utf8(answer.Records()[1].message), c.message);
        EXPECT_EQ(Utf8(answer.Records()[1].title), "Błąd");
        EXPECT_TRUE(stayedOpen);
        EXPECT_EQ(from, 0);
        EXPECT_EQ(to, static_cast<long>(refusedText.length()));
        EXPECT_TRUE(Writes().empty());
    }
}

// The psychrometric box: off shows an empty disabled text that is never examined and writes 0;
// switched on over an empty text, OK refuses that text.
TEST_F(TextDialogsTest, PsychrometricBoxSwitchesItsText) {
    Connect();
    SetValues({{179, 0}});
    ModalAnswer answer;
    answer.Expect([&](wxDialog* dialog) {
        wxTextCtrl* psychro = Texts(dialog).at(2);
        EXPECT_EQ(Utf8(psychro->GetValue()), "");
        EXPECT_FALSE(psychro->IsEnabled());
        Toggle(CheckBoxes(dialog).at(0), true);
        EXPECT_TRUE(psychro->IsEnabled());
        ModalAnswer::Click(dialog, wxID_OK);  // refused: empty
        EXPECT_TRUE(dialog->IsModal());
        Toggle(CheckBoxes(dialog).at(0), false);
        EXPECT_FALSE(psychro->IsEnabled());
        ModalAnswer::Click(dialog, wxID_OK);
        return wxID_NONE;
    });
    answer.Expect(wxID_OK);
    RunMenu(ID_USER_CALIB);
    ASSERT_EQ(answer.Records().size(), 2u);
    EXPECT_EQ(Utf8(answer.Records()[1].message), "Błąd zapisu liczby");
    EXPECT_EQ(Writes(), (WriteList{{177, 0}, {178, 0}, {179, 0}}));

    // A stored code with the box switched off and rubbish typed: 0 is written for the code.
    SetValues({{179, 200}});
    panel.ClearRequests();
    answer.Expect([&](wxDialog* dialog) {
        Texts(dialog).at(2)->ChangeValue(wxASCII_STR("rubbish"));
        Toggle(CheckBoxes(dialog).at(0), false);
        ModalAnswer::Click(dialog, wxID_OK);
        return wxID_NONE;
    });
    RunMenu(ID_USER_CALIB);
    EXPECT_EQ(Writes(), (WriteList{{177, 0}, {178, 0}, {179, 0}}));
}

TEST_F(TextDialogsTest, ChoicesAreWritten) {
    Connect();
    ModalAnswer answer;
    answer.Expect([&](wxDialog* dialog) {
        EXPECT_EQ(Lists(dialog).at(0)->GetCount(), 71u);
        SelectCode(Lists(dialog).at(0), 20);
        return wxID_OK;
    });
    RunMenu(ID_NZONE_INP);
    EXPECT_EQ(Reads(), Codes{224});
    EXPECT_EQ(Writes(), (WriteList{{224, 20}}));

    panel.ClearRequests();
    answer.Expect([&](wxDialog* dialog) {
        std::vector<wxCheckBox*> boxes = CheckBoxes(dialog);
        EXPECT_EQ(Utf8(boxes.at(3)->GetLabel()), "Stała #4");
        Toggle(boxes.at(1), true);
        Toggle(boxes.at(3), true);
        return wxID_OK;
    });
    RunMenu(ID_BIN_CONST);
    EXPECT_EQ(Writes(), (WriteList{{896, 0}, {897, 1}, {898, 0}, {899, 1}}));
}

}  // namespace
