// The PID settings dialog on its own: the values it shows, the tenths and decimals it returns,
// the entries it refuses (texts that are no number, times that do not fit their parameter) and
// the fields that follow the SP1 field's width.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "comm/ParamValue.h"
#include "regulators/DlgReg2Chng.h"
#include "support/gui_ModalAnswer.h"

namespace {

using P = DlgReg2Chng::Position;

std::string Utf8(const wxString& text) { return text.utf8_string(); }

// The eleven items as the panel's default regulator block holds them.
struct Items {
    std::array<ParamValue, DlgReg2Chng::kItemCount> values;
    std::array<ParamValue*, DlgReg2Chng::kItemCount> pointers;
    Items() {
        values[P::SP1].SetDecimal({2150, 2});
        values[P::SP2].SetDecimal({1800, 2});
        values[P::KP].SetDecimal({250, 2});
        values[P::TI].SetU16(1234);
        values[P::TD].SetU16(300);
        values[P::T1].SetU16(100);
        values[P::T2].SetU16(65535);
        values[P::T3].SetU8(5);
        values[P::IN_MIN].SetDecimal({-5, 1});
        values[P::IN_MAX].SetDecimal({1000, 1});
        values[P::INVERSION].SetU8(7);
        for (size_t i = 0; i < values.size(); ++i) pointers[i] = &values[i];
    }
};

TEST(Reg2DialogTest, ShowsTheItems) {
    Items items;
    DlgReg2Chng dialog(nullptr, wxASCII_STR("Regulator #2"), items.pointers.data(), ConfigDialog::kStyle, wxID_ANY);
    const char* const expected[] = {"21.50", "18.00", "2.500", "123.4", "30.0", "10.0", "6553.5", "0.5", "-0.50", "100.0"};
    for (int i = 0; i < DlgReg2Chng::kFieldCount; ++i) EXPECT_EQ(Utf8(dialog.Field(i)->GetValue()), expected[i]) << i;
    EXPECT_TRUE(dialog.InversionBox()->GetValue());  // any non-zero byte
    items.values[P::INVERSION].SetU8(0);
    DlgReg2Chng cleared(nullptr, wxASCII_STR("Regulator #2"), items.pointers.data(), ConfigDialog::kStyle, wxID_ANY);
    EXPECT_FALSE(cleared.InversionBox()->GetValue());
}

// Enters text into one field, presses OK and returns the message shown (empty when accepted).
struct Entered {
    int result = wxID_NONE;
    std::string message;
    bool stayedOpen = false;
    long from = -1, to = -1;
};

Entered Enter(DlgReg2Chng& dialog, std::initializer_list<std::pair<int, const char*>> entries, int refused = -1) {
    Entered out;
    ModalAnswer answer;
    answer.Expect([&](wxDialog*) {
        for (const auto& entry : entries) dialog.Field(entry.first)->ChangeValue(wxString::FromUTF8(entry.second));
        ModalAnswer::Click(&dialog, wxID_OK);
        if (refused < 0) return static_cast<int>(wxID_NONE);
        out.stayedOpen = dialog.IsModal();
        dialog.Field(refused)->GetSelection(&out.from, &out.to);
        return static_cast<int>(wxID_CANCEL);
    });
    if (refused >= 0) answer.Expect(wxID_OK);
    out.result = dialog.ShowModal();
    if (answer.Records().size() > 1) out.message = Utf8(answer.Records()[1].message);
    return out;
}

// A time that is a number but does not fit its parameter is refused with the parameter's range.
TEST(Reg2DialogTest, TimesRoundToTenthsAndMustFitTheirParameter) {
    const char* const kNumber = "Błąd zapisu liczby";
    const char* const kTenths = "Błąd zakresu liczby: 0.0 - 6553.5";
    const char* const kT3 = "Błąd zakresu liczby: 0.0 - 25.5";
    const struct {
        int position;
        const char* text;
        int tenths;           // when accepted
        const char* message;  // refused with this message; nullptr: accepted
    } cases[] = {
        {P::T1, "12.34", 123, nullptr},   {P::T1, "12.36", 124, nullptr},    {P::TI, "0", 0, nullptr},
        {P::TD, "0.04", 0, nullptr},      {P::TD, "0.05", 1, nullptr},       {P::T2, "6553.5", 65535, nullptr},
        {P::T2, "6553.54", 65535, nullptr}, {P::T3, "25.5", 255, nullptr},   {P::T3, "25.54", 255, nullptr},
        {P::T2, "6553.55", 0, kTenths},   {P::TI, "100000", 0, kTenths},     {P::T1, "-1", 0, kTenths},
        {P::TD, "-0.01", 0, kTenths},     {P::TI, "99999999999999999999999", 0, kTenths},
        {P::T3, "25.55", 0, kT3},         {P::T3, "26", 0, kT3},             {P::T3, "-0.1", 0, kT3},
        {P::TI, "1,5", 0, kNumber},       {P::T3, "", 0, kNumber},           {P::T2, "1e2", 0, kNumber},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " in field " + std::to_string(c.position));
        Items items;
        DlgReg2Chng dialog(nullptr, wxASCII_STR("Regulator #1"), items.pointers.data(), ConfigDialog::kStyle, wxID_ANY);
        const Entered e = Enter(dialog, {{c.position, c.text}}, c.message ? c.position : -1);
        if (!c.message) {
            EXPECT_EQ(e.result, wxID_OK);
            EXPECT_EQ(dialog.GetTenths(c.position), c.tenths);
            continue;
        }
        EXPECT_EQ(e.result, wxID_CANCEL);
        EXPECT_EQ(e.message, c.message);
        EXPECT_TRUE(e.stayedOpen);
        EXPECT_EQ(e.from, 0);
        EXPECT_EQ(e.to, static_cast<long>(wxString::FromUTF8(c.text).length()));
    }
}

TEST(Reg2DialogTest, ResultsOfAnAcceptedEntry) {
    Items items;
    DlgReg2Chng dialog(nullptr, wxASCII_STR("Regulator #1"), items.pointers.data(), ConfigDialog::kStyle, wxID_ANY);
    dialog.InversionBox()->SetValue(false);
    const Entered e = Enter(dialog, {{P::SP1, "99999"}, {P::SP2, "-1.23456"}, {P::KP, "0.5"}, {P::IN_MIN, "-20000"}});
    ASSERT_EQ(e.result, wxID_OK);
    const struct {
        int position;
        int mantissa, decimals;
    } decimals[] = {
        {P::SP1, 10000, 0},  // saturates
        {P::SP2, -1235, 3},  // at most three decimals
        {P::KP, 5, 1},
        {P::IN_MIN, -10000, 0},
        {P::IN_MAX, 1000, 1},  // shown as 100.0 and taken back as it was
    };
    for (const auto& d : decimals) {
        EXPECT_EQ(dialog.GetDecimal(d.position).mantissa, d.mantissa) << d.position;
        EXPECT_EQ(dialog.GetDecimal(d.position).decimals, d.decimals) << d.position;
    }
    // Untouched times come back as they were read.
    EXPECT_EQ(dialog.GetTenths(P::TI), 1234);
    EXPECT_EQ(dialog.GetTenths(P::T2), 65535);
    EXPECT_EQ(dialog.GetTenths(P::T3), 5);
    EXPECT_EQ(dialog.GetInversion(), 0);
}

TEST(Reg2DialogTest, FirstBadFieldInPositionOrderIsRefusedAndCancelKeepsNothing) {
    Items items;
    DlgReg2Chng dialog(nullptr, wxASCII_STR("Regulator #1"), items.pointers.data(), ConfigDialog::kStyle, wxID_ANY);
    const Entered e = Enter(dialog, {{P::IN_MAX, "x"}, {P::T2, "abc"}, {P::TD, "99999"}, {P::KP, "1.5"}}, P::TD);
    EXPECT_EQ(e.result, wxID_CANCEL);
    EXPECT_EQ(e.message, "Błąd zakresu liczby: 0.0 - 6553.5");
    EXPECT_EQ(e.to, 5);
    // Nothing was stored by the refused OK, nor by the cancel.
    EXPECT_EQ(dialog.GetDecimal(P::KP).mantissa, 0);
    EXPECT_EQ(dialog.GetTenths(P::TI), 0);
    EXPECT_EQ(dialog.GetInversion(), 0);
}

TEST(Reg2DialogTest, FieldsFollowTheSp1WidthAfterAResize) {
    Items items;
    DlgReg2Chng dialog(nullptr, wxASCII_STR("Regulator #1"), items.pointers.data(), ConfigDialog::kStyle, wxID_ANY);
    dialog.Show();
    for (int width : {dialog.GetSize().GetWidth() + 200, dialog.GetSize().GetWidth() + 40}) {
        dialog.SetSize(wxSize(width, dialog.GetSize().GetHeight()));
        wxSizeEvent resized(dialog.GetSize(), dialog.GetId());
        resized.SetEventObject(&dialog);
        dialog.ProcessWindowEvent(resized);
        const int sp1 = dialog.Field(P::SP1)->GetSize().GetWidth();
        EXPECT_GT(sp1, 70);
        for (int position : {P::KP, P::TI, P::TD, P::T1, P::T2, P::T3, P::IN_MIN, P::IN_MAX}) {
            EXPECT_EQ(dialog.Field(position)->GetSize().GetWidth(), sp1) << width << " field " << position;
            EXPECT_EQ(dialog.Field(position)->GetMinSize().GetWidth(), sp1) << width << " field " << position;
        }
    }
    dialog.Hide();
}

}  // namespace
