// The small shared widgets and helpers: fixed-width numbers, code-prefixed lists, label
// alignment, window centring, menu switching and the password dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "support/gui_ModalAnswer.h"
#include "support/gui_ScreenWait.h"
#include "widgets/CentreHook.h"
#include "widgets/LayoutHelpers.h"
#include "widgets/PasswordBox.h"
#include "widgets/jwxCombo.h"
#include "widgets/jwxMiniButt.h"
#include "support/test_support.h"

namespace {

wxString U8(const char* text) { return wxString::FromUTF8(text); }

// A hidden frame with a panel to put widgets on.
class WidgetFixture : public testing::Test {
protected:
    void SetUp() override {
        frame = new wxFrame(nullptr, wxID_ANY, wxASCII_STR("widgets"), wxPoint(100, 100), wxSize(600, 400));
        panel = new wxPanel(frame);
    }
    void TearDown() override {
        frame->Destroy();
        wxTheApp->ProcessIdle();
    }
    wxFrame* frame = nullptr;
    wxPanel* panel = nullptr;
};

}  // namespace

TEST(FormatFixedWidth, KeepsTheMostDecimalsThatFit) {
    struct Case {
        double value;
        int width;
        const char* text;
    } cases[] = {
        {12.3456, 4, "12.35"}, {123.456, 4, "123.5"}, {12345.6, 4, "12346"}, {-1.23456, 4, "-1.23"},
        {0.5, 4, "0.500"},     {0.0, 4, "0.000"},     {9.9996, 4, "10.00"},  {-999.96, 4, "-1000"},
        {99999.0, 4, "99999"}, {-9999.0, 4, "-9999"}, {1234.6, 4, "1235"},  {12.5, 1, "12"},
        {3.14159, 2, "3.1"},   {3.14159, 0, "3"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatFixedWidth(c.value, c.width), wxASCII_STR(c.text)) << c.value << " width " << c.width;
        char buffer[16];
        EXPECT_STREQ(FormatFixedWidth(c.value, c.width, buffer, sizeof buffer), c.text);
    }
}

TEST(FormatFixedWidth, WidthFourNeverExceedsFiveCharacters) {
    auto check = [](double value) {
        const std::string text = FormatFixedWidth(value, 4, nullptr, 0);
        EXPECT_LE(text.size(), 5u) << value << " -> " << text;
        // And no decimal more would have fitted.
        const size_t point = text.find('.');
        const int decimals = point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
        if (decimals < 3) {
            char more[64];
            std::snprintf(more, sizeof more, "%.*f", decimals + 1, value);
            EXPECT_GT(std::strlen(more), 5u) << value << " -> " << text;
        }
    };
    for (double value = -9999.0; value <= 99999.0; value += 0.37) check(value);
    // Around every change in the number of digits, where rounding adds one.
    for (double boundary : {0.001, 0.01, 0.1, 1.0, 10.0, 100.0, 1000.0, 10000.0, 99999.0}) {
        for (double delta : {-0.0006, -0.00005, 0.0, 0.00005, 0.0006, -0.06, 0.06, -0.4}) {
            check(boundary + delta);
            check(-std::min(boundary, 9999.0) + delta);
        }
    }
}

// The read-outs' number texts keep the decimal point under a locale with a decimal comma.
TEST(FormatFixedWidth, DecimalPointUnderAPolishLocale) {
    const std::string previous = UsePolishLocale();
    ASSERT_FALSE(previous.empty()) << "pl_PL.UTF-8 is missing from " << TestLocalePath();
    const std::string fixed = FormatFixedWidth(12.345, 4).utf8_string();
    const std::string decimal = FormatDecimal(-2, 2).utf8_string();
    char plain[16];
    std::snprintf(plain, sizeof plain, "%.1f", 0.5);  // the locale is in force
    RestoreLocale(previous);
    EXPECT_STREQ(plain, "0,5");
    EXPECT_EQ(fixed, "12.35");
    EXPECT_EQ(decimal, "-2.00");
}

TEST(FormatFixedWidth, CutsTextsLongerThanTheBuffer) {
    char small[6];
    EXPECT_STREQ(FormatFixedWidth(1e30, 4, small, sizeof small), "10000");
    // Without a buffer of the caller's the shared one holds the whole text, until the next call.
    const char* shared = FormatFixedWidth(1e30, 4, nullptr, 0);
    EXPECT_STREQ(shared, "1000000000000000019884624838656");
    FormatFixedWidth(2.5, 4, nullptr, 0);
    EXPECT_STREQ(shared, "2.500");
    EXPECT_LT(std::strlen(FormatFixedWidth(1e300, 4, nullptr, 0)), 64u);  // the shared buffer
}

TEST(FindNumberIndex, FindsTheFirstTextWithTheCode) {
    const char* const table[] = {"0 - brak", "1 - Pt1", "12 - We #1", "  7 - spacja", "-3 - ujemny", "bez kodu",
                                 "12 - drugi", nullptr};
    struct Case {
        int value;
        int index;
    } cases[] = {{0, 0}, {1, 1}, {12, 2}, {7, 3}, {-3, 4}, {5, -1}, {99, -1}};
    for (const Case& c : cases) EXPECT_EQ(FindNumberIndex(c.value, table), c.index) << c.value;

    const char* const noZero[] = {"bez kodu", nullptr};
    EXPECT_EQ(FindNumberIndex(0, noZero), 0);  // a text without a number has code 0
    const char* const empty[] = {nullptr};
    EXPECT_EQ(FindNumberIndex(0, empty), -1);
    EXPECT_EQ(FindNumberIndex(0, nullptr), -1);
    EXPECT_EQ(LeadingNumber("99999999999 - overflow"), INT_MAX);
}

TEST_F(WidgetFixture, ComboSelectsAndReportsByCode) {
    const wxString texts[] = {wxASCII_STR("3 - trzy"), U8("10 - dziesięć"), wxASCII_STR("bez kodu"),
                              U8("10 - powtórka")};
    jwxCombo* combo = new jwxCombo(panel, wxID_ANY, 4, texts, wxCB_READONLY);
    EXPECT_EQ(combo->GetCount(), 4u);
    EXPECT_EQ(combo->GetSelectedValue(), -1);  // nothing selected yet

    struct Case {
        int code;
        int selection;
        int reported;
    } cases[] = {{10, 1, 10}, {3, 0, 3}, {0, 2, 0}, {42, wxNOT_FOUND, -1}};
    for (const Case& c : cases) {
        combo->SelectValue(c.code);
        EXPECT_EQ(combo->GetSelection(), c.selection) << c.code;
        EXPECT_EQ(combo->GetSelectedValue(), c.reported) << c.code;
    }

    // Items added behind its back carry no code and are not reported.
    combo->Append(wxASCII_STR("7 - obcy"));
    combo->SetSelection(4);
    EXPECT_EQ(combo->GetSelectedValue(), -1);
}

TEST_F(WidgetFixture, ComboRefillsAfterClear) {
    const wxString texts[] = {wxASCII_STR("1 - a"), wxASCII_STR("2 - b")};
    jwxCombo* combo = new jwxCombo(panel, wxID_ANY, 2, texts, wxCB_READONLY);
    combo->SetSelection(1);
    combo->Clear();
    EXPECT_EQ(combo->GetCount(), 0u);
    EXPECT_EQ(combo->GetValueCount(), 0);
    EXPECT_EQ(combo->GetSelectedValue(), -1);

    // More than one step of growth.
    for (int code = 100; code < 125; ++code) combo->AppendItem(wxString::Format(wxASCII_STR("%d - item"), code));
    EXPECT_EQ(combo->GetCount(), 25u);
    EXPECT_EQ(combo->GetValueCount(), 25);
    combo->SelectValue(124);
    EXPECT_EQ(combo->GetSelection(), 24);
    EXPECT_EQ(combo->GetSelectedValue(), 124);
    combo->SelectValue(100);
    EXPECT_EQ(combo->GetSelectedValue(), 100);

    jwxCombo* empty = new jwxCombo(panel, wxID_ANY, 0, nullptr, wxCB_READONLY);
    empty->SelectValue(0);
    EXPECT_EQ(empty->GetSelectedValue(), -1);
}

// Text plus margins, but never below what the toolkit needs to draw the label (GTK 3 draws an
// empty button when denied its padding).
TEST_F(WidgetFixture, MiniButtonIsItsTextPlusMarginsButNeverBelowItsBestSize) {
    const wxString text = wxASCII_STR("Algorytm >");
    struct Case {
        int vertical, horizontal;
        int addedHeight, addedWidth;
    } cases[] = {{-1, -1, 4, 8}, {2, 6, 2, 6}, {0, 0, 0, 0}};
    for (const Case& c : cases) {
        jwxMiniButt* button = new jwxMiniButt(panel, 200, text, c.vertical, c.horizontal);
        wxClientDC dc(panel);
        dc.SetFont(button->GetFont());
        const wxSize extent = dc.GetTextExtent(text);
        const wxSize best = button->GetBestSize();
        const wxSize expected(std::max(extent.x + c.addedWidth, best.x), std::max(extent.y + c.addedHeight, best.y));
        EXPECT_EQ(button->GetMinSize(), expected);
        EXPECT_EQ(button->GetSize(), expected);
        EXPECT_EQ(button->GetId(), 200);
        EXPECT_EQ(button->GetLabel(), text);
    }
}

TEST_F(WidgetFixture, AlignLabelWidthsUsesTheWidestPlusExtra) {
    wxStaticText* labels[] = {
        new wxStaticText(panel, wxID_ANY, wxASCII_STR("t"), wxDefaultPosition, wxSize(30, 17)),
        new wxStaticText(panel, wxID_ANY, U8("wilgotność"), wxDefaultPosition, wxSize(80, 21)),
        new wxStaticText(panel, wxID_ANY, wxASCII_STR("x"), wxDefaultPosition, wxSize(55, 15)),
    };
    AlignLabelWidths(3, labels, 6);
    EXPECT_EQ(labels[0]->GetMinSize(), wxSize(86, 17));
    EXPECT_EQ(labels[1]->GetMinSize(), wxSize(86, 21));
    EXPECT_EQ(labels[2]->GetMinSize(), wxSize(86, 15));

    // Only the first count windows take part.
    AlignLabelWidths(1, labels + 2, 0);
    EXPECT_EQ(labels[2]->GetMinSize(), wxSize(55, 15));
    AlignLabelWidths(0, labels, 5);
    EXPECT_EQ(labels[0]->GetMinSize(), wxSize(86, 17));
}

TEST_F(WidgetFixture, MenuBarEnableAllSwitchesEveryTopMenu) {
    wxMenuBar* bar = new wxMenuBar;
    for (const char* title : {"Plik", "Konfiguracja", "Pomoc"}) bar->Append(new wxMenu, U8(title));
    frame->SetMenuBar(bar);
    for (bool enable : {false, true, false}) {
        MenuBarEnableAll(panel, enable);  // the panel's parent holds the menu bar
        for (size_t i = 0; i < bar->GetMenuCount(); ++i) EXPECT_EQ(bar->IsEnabledTop(i), enable) << i;
    }
    MenuBarEnableAll(frame, true);  // a frame's own parent has no menu bar: nothing happens
    EXPECT_FALSE(bar->IsEnabledTop(0));
    MenuBarEnableAll(nullptr, true);
}

// Centring arithmetic on plain top-level windows, which the toolkit leaves where they are put.
TEST(CentreWindowOver, CentresAndClampsToTheDisplay) {
    const wxRect screen = wxDisplay(0u).GetGeometry();
    struct Case {
        const char* name;
        wxRect window;
        wxRect other;  // empty: no other window and no parent
        wxPoint expected;
    } cases[] = {
        {"over a window", {0, 0, 200, 100}, {300, 200, 400, 300}, {400, 300}},
        {"odd difference truncates", {0, 0, 201, 101}, {300, 200, 400, 300}, {399, 299}},
        {"right edge", {0, 0, 200, 100}, {screen.width - 50, 200, 400, 300}, {screen.width - 200, 300}},
        {"bottom edge", {0, 0, 200, 100}, {300, screen.height - 20, 400, 300}, {400, screen.height - 100}},
        {"left of the screen", {0, 0, 200, 100}, {-300, -250, 400, 300}, {0, 0}},
        {"no reference: the screen", {5, 5, 200, 100}, {}, {(screen.width - 200) / 2, (screen.height - 100) / 2}},
        {"larger than the screen", {0, 0, screen.width + 100, screen.height + 60}, {10, 10, 50, 50}, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        wxFrame* other = c.other.IsEmpty() ? nullptr
                                           : new wxFrame(nullptr, wxID_ANY, wxASCII_STR("other"),
                                                         c.other.GetPosition(), c.other.GetSize());
        wxFrame* window = new wxFrame(nullptr, wxID_ANY, wxASCII_STR("window"), c.window.GetPosition(),
                                      c.window.GetSize());
        CentreWindowOver(window, other);
        EXPECT_EQ(window->GetScreenPosition(), c.expected);
        window->Destroy();
        if (other) other->Destroy();
    }
    wxTheApp->ProcessIdle();
}

TEST_F(WidgetFixture, CentreWindowOverDefaultsToTheParent) {
    // Screen positions are the X server's: the panel is placed and sized once the frame is
    // painted, and so is the child once moved.
    frame->Show();
    ASSERT_TRUE(WaitUntilPainted(frame));
    wxWindow* child = new wxWindow(panel, wxID_ANY, wxPoint(0, 0), wxSize(100, 50));
    CentreWindowOver(child);  // over the panel, in the panel's own coordinates
    ASSERT_TRUE(WaitUntilPainted(frame));
    const wxRect p = panel->GetScreenRect();
    EXPECT_EQ(child->GetScreenPosition(), wxPoint(p.x + (p.width - 100) / 2, p.y + (p.height - 50) / 2));
    CentreWindowOver(nullptr);
}

TEST(PasswordBox, ChecksAgreementLengthAndCharacters) {
    const wxString differ = U8("Wpisy różnią się");
    const wxString length = U8("Błędna długość wpisu.\nOczekiwana liczba znaków: ");
    const wxString chars = U8("Wpis zawiera niedozwolone znaki.\nDozwolone znaki to: ");
    struct Case {
        int flags, minimum, maximum;
        const char* first;
        const char* second;
        wxString problem;
        const char* accepted;
    } cases[] = {
        {0, 4, 8, "abc1", "abc2", differ, ""},
        {0, 4, 8, "abc12", "abc12", wxString(), "abc12"},
        {0, 4, 4, "abc", "abc", length + wxASCII_STR("4"), ""},
        {0, 4, -1, "abc", "abc", length + wxASCII_STR("co najmniej 4"), ""},
        {0, 4, 6, "abcdefg", "abcdefg", length + wxASCII_STR("od 4 do 6"), ""},
        {0, 0, -1, "", "", wxString(), ""},
        {PasswordBox::kTrim, 4, 4, "  ab12 ", "ab12", wxString(), "ab12"},
        {0, 4, 8, " ab12", "ab12", differ, ""},
        {0, 1, -1, "ab 12", "ab 12", chars + wxASCII_STR("A-Z, a-z, 0-9"), ""},
        {PasswordBox::kAllowSpace, 1, -1, "ab 12", "ab 12", wxString(), "ab 12"},
        {PasswordBox::kDigitsOnly, 1, -1, "12a", "12a", chars + wxASCII_STR("0-9"), ""},
        {PasswordBox::kDigitsOnly, 1, -1, "1234", "1234", wxString(), "1234"},
        {PasswordBox::kLettersOnly | PasswordBox::kAllowSpace, 1, -1, "ab1", "ab1",
         chars + wxASCII_STR("A-Z, a-z, <spacja>"), ""},
        {PasswordBox::kLettersOnly, 1, -1, "zażółć", "zażółć", chars + wxASCII_STR("A-Z, a-z"), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        PasswordBox box(nullptr, U8("Hasło"), wxASCII_STR("Proxy"), c.flags, c.minimum, c.maximum);
        wxString accepted;
        EXPECT_EQ(box.Check(U8(c.first), U8(c.second), &accepted), c.problem);
        EXPECT_EQ(accepted, U8(c.accepted));
    }
}

TEST(PasswordBox, AsksAgainUntilTheEntryIsAcceptable) {
    PasswordBox box(nullptr, U8("Hasło"), wxASCII_STR("Proxy"), PasswordBox::kTrim, 4, 8);
    auto fill = [](const char* first, const char* second) {
        return [first, second](wxDialog* dialog) {
            PasswordBox* password = static_cast<PasswordBox*>(dialog);
            password->GetEntry()->SetValue(wxString::FromUTF8(first));
            password->GetRepeat()->SetValue(wxString::FromUTF8(second));
            return static_cast<int>(wxID_OK);
        };
    };
    ModalAnswer answer;
    answer.Expect(fill("abcd", "abce")).Expect(wxID_OK);  // differ: told so
    answer.Expect(fill("a+b1", "a+b1")).Expect(wxID_OK);  // bad character: told so
    answer.Expect(fill(" ab12 ", "ab12"));                // accepted once trimmed
    EXPECT_EQ(box.ShowModal(), wxID_OK);
    EXPECT_EQ(box.GetPassword(), wxASCII_STR("ab12"));

    ASSERT_EQ(answer.Records().size(), 5u);
    EXPECT_EQ(answer.Records()[1].message, U8("Wpisy różnią się"));
    EXPECT_EQ(answer.Records()[1].title, U8("Błąd"));
    EXPECT_EQ(answer.Records()[1].style & (wxOK | wxICON_EXCLAMATION), wxOK | wxICON_EXCLAMATION);
    EXPECT_TRUE(answer.Records()[3].message.StartsWith(U8("Wpis zawiera niedozwolone znaki.")));

    answer.Expect(wxID_CANCEL);
    EXPECT_EQ(box.ShowModal(), wxID_CANCEL);
}
