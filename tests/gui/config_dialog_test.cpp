// The frame every configuration dialog shares: the number-entry rule (a refused field keeps the
// dialog open, focused and selected, with the reason shown), the list rule (no selection keeps
// the code read) and the source-name lists the dialogs offer.
#include <gtest/gtest.h>
#include <wx/button.h>

#include <string>

#include "dialogs/ConfigDialog.h"
#include "support/gui_ModalAnswer.h"
#include "widgets/LayoutHelpers.h"
#include "widgets/SourceLists.h"

namespace {

std::string Utf8(const wxString& text) { return text.utf8_string(); }

// (Keyboard focus cannot be observed here: without a window manager no window is active.)
// A dialog with a range-checked field, a plain number field and a list, as the real ones have.
class SampleDialog : public ConfigDialog {
public:
    explicit SampleDialog(int codeRead)
        : ConfigDialog(nullptr, wxASCII_STR("Sample"), wxASCII_STR("Box"), kStyle, wxID_ANY) {
        first = MakeText(wxASCII_STR("1.00"));
        second = MakeText(wxASCII_STR("2"));
        AddRow(wxASCII_STR("First"), first);
        AddRow(wxASCII_STR("Second"), second);
        AddRow(wxASCII_STR("List"), MakeList(SourceListItems(DisplaySourceList), codeRead, &code));
        FinishLayout();
    }
    bool TakeResults() override {
        return TakeNumberInRange(first, -9.99, 9.99, wxASCII_STR("range"), &firstValue) &&
               TakeNumber(second, &secondValue);
    }
    wxTextCtrl* first;
    wxTextCtrl* second;
    double firstValue = 0;
    double secondValue = 0;
    int code = -5;
};

struct Entry {
    const char* first;
    const char* second;
    const char* message;  // nullptr: accepted
    int field;            // the field refused
};

TEST(ConfigDialogTest, NumberEntryRule) {
    const Entry entries[] = {
        {"9.99", "-3", nullptr, 0},
        {"-9.99", "0.5", nullptr, 0},
        {"nan", "1", "Błąd zapisu liczby", 0},
        {"inf", "1", "Błąd zapisu liczby", 0},
        {"0x10", "1", "Błąd zapisu liczby", 0},
        {"1,5", "1", "Błąd zapisu liczby", 0},
        {"", "1", "Błąd zapisu liczby", 0},
        {"9.995", "1", "range", 0},
        {"-10", "1", "range", 0},
        {"1", "", "Błąd zapisu liczby", 1},
        {"1", "1e2", "Błąd zapisu liczby", 1},
    };
    for (const Entry& e : entries) {
        SCOPED_TRACE(std::string(e.first) + " / " + e.second);
        SampleDialog dialog(3);
        bool stayedOpen = false;
        long from = 0, to = 0;
        ModalAnswer answer;
        answer.Expect([&](wxDialog*) {
            dialog.first->ChangeValue(wxString::FromUTF8(e.first));
            dialog.second->ChangeValue(wxString::FromUTF8(e.second));
            ModalAnswer::Click(&dialog, wxID_OK);
            if (!e.message) return static_cast<int>(wxID_NONE);
            stayedOpen = dialog.IsModal();
            (e.field == 0 ? dialog.first : dialog.second)->GetSelection(&from, &to);
            return static_cast<int>(wxID_CANCEL);
        });
        if (e.message) answer.Expect(wxID_OK);
        const int result = dialog.ShowModal();
        if (!e.message) {
            EXPECT_EQ(result, wxID_OK);
            EXPECT_EQ(answer.Records().size(), 1u);
            double expected = 0;
            ASSERT_TRUE(wxString::FromUTF8(e.first).ToCDouble(&expected));
            EXPECT_DOUBLE_EQ(dialog.firstValue, expected);
            continue;
        }
        EXPECT_EQ(result, wxID_CANCEL);
        ASSERT_EQ(answer.Records().size(), 2u);
        EXPECT_EQ(Utf8(answer.Records()[1].message), e.message);
        EXPECT_EQ(Utf8(answer.Records()[1].title), "Błąd");
        EXPECT_TRUE(stayedOpen);
        EXPECT_EQ(from, 0);
        EXPECT_EQ(to, static_cast<long>(wxString::FromUTF8(e.field == 0 ? e.first : e.second).length()));
    }
}

TEST(ConfigDialogTest, ListKeepsTheCodeReadWithoutSelectionAndTakesAChoice) {
    for (int codeRead : {17, 99}) {
        SampleDialog dialog(codeRead);
        ModalAnswer answer;
        answer.Press(wxID_OK);
        EXPECT_EQ(dialog.ShowModal(), wxID_OK);
        EXPECT_EQ(dialog.code, codeRead);
    }
}

TEST(SourceListsTest, RowsCodesAndLookups) {
    EXPECT_EQ(SourceListCount(DisplaySourceList), 22);
    EXPECT_EQ(SourceListCount(BinarySourceList), 71);
    EXPECT_EQ(SourceListCount(RelaySourceList), 6);
    EXPECT_EQ(SourceListCount(AnalogOutSourceList), 5);
    EXPECT_EQ(SourceListCount(AnalogSourceList), 34);
    EXPECT_EQ(FindNumberIndex(101, BinarySourceList), 55);
    EXPECT_EQ(FindNumberIndex(55, BinarySourceList), -1);
    EXPECT_EQ(FindNumberIndex(81, AnalogSourceList), 26);
    for (int code = 22; code <= 67; ++code) EXPECT_EQ(FindNumberIndex(code, AnalogSourceList), -1) << code;
    EXPECT_EQ(Utf8(SourceListItems(DisplaySourceList)[17]), "17 - zarezerwowane");
    EXPECT_EQ(Utf8(SourceListItems(DisplaySourceList)[10]), "10 - we analogowe #1 - zmienna użykownika V1");
    EXPECT_EQ(Utf8(SourceListItems(AnalogSourceList)[33]), "104 - wy multipleksera #4 (norm)");
    EXPECT_EQ(Utf8(ProcessVariableName(0)), "0 - zero");
    EXPECT_EQ(Utf8(ProcessVariableName(40)), "0 - zero");
    EXPECT_EQ(Utf8(ProcessVariableName(3)), "3 - wilgotność RH");
}

}  // namespace
