// Read-outs: caption, value and unit parts sized once from their samples, the instrument look,
// and lining up a group of them.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/fontutil.h>
#include <wx/frame.h>
#include <wx/graphics.h>
#include <wx/image.h>
#include <wx/panel.h>
#include <wx/stattext.h>

#include <memory>

#include <pango/pangocairo.h>

#include "support/gui_ScreenPixels.h"
#include "support/gui_ScreenWait.h"
#include "widgets/FixedText.h"
#include "widgets/TextContrast.h"
#include "widgets/jwxNVUDisp.h"

namespace {

wxString U8(const char* text) { return wxString::FromUTF8(text); }

class ReadoutTest : public testing::Test {
protected:
    void SetUp() override {
        frame = new wxFrame(nullptr, wxID_ANY, wxASCII_STR("readouts"), wxPoint(50, 50), wxSize(450, 340));
        panel = new wxPanel(frame);
        sizer = new wxBoxSizer(wxVERTICAL);
        panel->SetSizer(sizer);
        frame->Show();
    }
    void TearDown() override {
        frame->Destroy();
        wxTheApp->ProcessIdle();
    }
    jwxNVUDisp* Add(jwxNVUDisp* readout) {
        sizer->Add(readout, 0, wxEXPAND);
        return readout;
    }
    wxSize Extent(const wxString& text, const jwxNVUDisp::FontDescription& description) {
        wxClientDC dc(panel);
        const wxFont font = jwxNVUDisp::MakeFont(description);
        wxCoord w = 0, h = 0;
        dc.GetTextExtent(text, &w, &h, nullptr, nullptr, &font);
        return wxSize(w, h);
    }
    wxFrame* frame = nullptr;
    wxPanel* panel = nullptr;
    wxBoxSizer* sizer = nullptr;
};

}  // namespace

TEST_F(ReadoutTest, PartsAreSizedFromTheirSamplesAndStartEmpty) {
    const wxString caption = U8("temperatura ");
    const wxString sample = wxASCII_STR("XXX,XX");
    const wxString unitSample = U8("Â°C");
    jwxNVUDisp* readout = Add(new jwxNVUDisp(panel, caption, sample, unitSample, 0, 0, 0, 1, 1));

    ASSERT_EQ(readout->GetItemCount(), 3u);
    struct Part {
        const char* name;
        wxWindow* window;
        wxControl* label;  // the caption's static text or a self-drawn text
        wxSize extent;
        int extraWidth;
        wxString shown;
    } parts[] = {
        {"caption", readout->GetCaptionWindow(), readout->GetCaptionLabel(), Extent(caption, jwxNVUDisp::captionFont), 0,
         caption},
        {"value", readout->GetValueWindow(), readout->GetValueLabel(), Extent(sample, jwxNVUDisp::valueFont), 1,
         wxString()},
        {"unit", readout->GetUnitWindow(), readout->GetUnitLabel(), Extent(unitSample, jwxNVUDisp::unitFont), 0,
         wxString()},
    };
    for (size_t i = 0; i < 3; ++i) {
        const Part& part = parts[i];
        SCOPED_TRACE(part.name);
        ASSERT_NE(part.window, nullptr);
        ASSERT_NE(part.label, nullptr);
        EXPECT_EQ(readout->GetItem(i)->GetWindow(), part.window);  // in order, no flags, no border
        EXPECT_EQ(readout->GetItem(i)->GetFlag(), 0);
        EXPECT_EQ(readout->GetItem(i)->GetBorder(), 0);
        EXPECT_EQ(part.window->GetParent(), panel);
        EXPECT_EQ(part.label->GetParent(), part.window);
        EXPECT_GT(part.extent.x, 0);
        EXPECT_EQ(part.window->GetMinSize(), part.extent + wxSize(2, 2));
        EXPECT_EQ(part.label->GetSize(), part.extent + wxSize(part.extraWidth, 0));
        EXPECT_EQ(part.label->GetPosition(), wxPoint(1, 1));
        EXPECT_EQ(part.label->GetLabel(), part.shown);
    }
    // Margins add on every side.
    jwxNVUDisp* wide = Add(new jwxNVUDisp(panel, caption, sample, unitSample, 0, 0, 0, 3, 2));
    EXPECT_EQ(wide->GetValueWindow()->GetMinSize(), parts[1].extent + wxSize(6, 4));
    EXPECT_EQ(wide->GetValueLabel()->GetPosition(), wxPoint(3, 2));
}

TEST_F(ReadoutTest, WithoutUnitSampleHasTwoPartsAndIgnoresUnitText) {
    jwxNVUDisp* readout = Add(new jwxNVUDisp(panel, wxASCII_STR("P1"), wxASCII_STR("X"), wxString(), 0,
                                             wxALIGN_CENTRE, 0, 1, 1));
    EXPECT_EQ(readout->GetItemCount(), 2u);
    EXPECT_EQ(readout->GetUnitWindow(), nullptr);
    EXPECT_EQ(readout->GetUnitLabel(), nullptr);
    readout->SetUnitText(wxASCII_STR("%"));
    readout->SetValueText(wxASCII_STR("1"));
    EXPECT_EQ(readout->GetValueLabel()->GetLabel(), wxASCII_STR("1"));
}

TEST_F(ReadoutTest, AlignmentStylesAndLook) {
    struct Case {
        long valueStyle;
        long expectedValueAlignment;
    } cases[] = {{0, wxALIGN_RIGHT}, {wxALIGN_CENTRE, wxALIGN_CENTRE}};
    const long alignment = wxALIGN_RIGHT | wxALIGN_CENTRE;
    for (const Case& c : cases) {
        jwxNVUDisp* readout = Add(new jwxNVUDisp(panel, wxASCII_STR("We #1"), wxASCII_STR("XX,XX"),
                                                 wxASCII_STR("mA"), 0, c.valueStyle, 0, 1, 1));
        const long captionStyle = readout->GetCaptionLabel()->GetWindowStyleFlag();
        const long valueStyle = readout->GetValueLabel()->GetWindowStyleFlag();
        const long unitStyle = readout->GetUnitLabel()->GetWindowStyleFlag();
        EXPECT_TRUE(captionStyle & wxST_NO_AUTORESIZE);
        EXPECT_EQ(captionStyle & alignment, 0);  // left
        EXPECT_TRUE(valueStyle & wxST_NO_AUTORESIZE);
        EXPECT_EQ(valueStyle & alignment, c.expectedValueAlignment);
        EXPECT_TRUE(unitStyle & wxST_NO_AUTORESIZE);
        EXPECT_EQ(unitStyle & alignment, wxALIGN_CENTRE);
    }

    jwxNVUDisp* readout = Add(new jwxNVUDisp(panel, wxASCII_STR("We #1"), wxASCII_STR("XX,XX"), wxASCII_STR("mA")));
    EXPECT_EQ(readout->GetCaptionLabel()->GetForegroundColour(), *wxBLACK);
    EXPECT_EQ(readout->GetValueLabel()->GetForegroundColour(), wxColour(198, 225, 198));
    EXPECT_EQ(readout->GetValueLabel()->GetBackgroundColour(), *wxBLACK);
    EXPECT_EQ(readout->GetValueWindow()->GetBackgroundColour(), *wxBLACK);
    EXPECT_EQ(readout->GetUnitLabel()->GetForegroundColour(), *wxLIGHT_GREY);
    EXPECT_EQ(readout->GetUnitLabel()->GetBackgroundColour(), *wxBLACK);
    EXPECT_EQ(readout->GetUnitWindow()->GetBackgroundColour(), *wxBLACK);

    const wxFont captionFont = readout->GetCaptionLabel()->GetFont();
    const wxFont valueFont = readout->GetValueLabel()->GetFont();
    EXPECT_EQ(captionFont.GetPointSize(), 9);
    EXPECT_EQ(captionFont.GetWeight(), wxFONTWEIGHT_NORMAL);
    EXPECT_EQ(valueFont.GetPointSize(), 9);
    EXPECT_EQ(valueFont.GetWeight(), wxFONTWEIGHT_BOLD);
    EXPECT_EQ(readout->GetUnitLabel()->GetFont().GetWeight(), wxFONTWEIGHT_BOLD);
}

// The caption has no background of its own: black stays on a light parent, a dark parent gets a
// caption colour that stands out from it, and a class-wide caption colour set explicitly is used
// as it is, readable or not. The parents' colours are set, so the desktop theme does not matter.
TEST_F(ReadoutTest, CaptionStandsOutFromItsParentsBackground) {
    auto colouredPanel = [this](const wxColour& background) {
        auto* coloured = new wxPanel(panel);
        coloured->SetBackgroundColour(background);
        coloured->SetSizer(new wxBoxSizer(wxVERTICAL));  // owns the read-outs made on it
        sizer->Add(coloured);
        return coloured;
    };
    auto readoutOn = [](wxPanel* parent) {
        auto* readout = new jwxNVUDisp(parent, U8("temperatura "), wxASCII_STR("XXX,XX"), U8("°C"));
        parent->GetSizer()->Add(readout);
        return readout;
    };
    const wxColour darkGrey(0x35, 0x35, 0x35);
    wxPanel* light = colouredPanel(wxColour(0xF6, 0xF5, 0xF4));
    wxPanel* dark = colouredPanel(darkGrey);
    EXPECT_EQ(readoutOn(light)->GetCaptionLabel()->GetForegroundColour(), *wxBLACK);
    jwxNVUDisp* onDark = readoutOn(dark);
    EXPECT_GE(ContrastRatio(onDark->GetCaptionLabel()->GetForegroundColour(), darkGrey), kReadableTextContrast);
    EXPECT_EQ(onDark->GetValueLabel()->GetForegroundColour(), wxColour(198, 225, 198));  // the instrument look stays

    const wxColour chosen(0x40, 0x40, 0x40);
    jwxNVUDisp::captionForeground = chosen;
    jwxNVUDisp* explicitOnDark = readoutOn(dark);
    jwxNVUDisp::captionForeground = wxColour();
    EXPECT_EQ(explicitOnDark->GetCaptionLabel()->GetForegroundColour().GetAsString(wxC2S_HTML_SYNTAX).utf8_string(),
              "#404040");
}

TEST_F(ReadoutTest, NewTextsNeverMoveTheLayout) {
    jwxNVUDisp* first = Add(new jwxNVUDisp(panel, wxASCII_STR("Param #1"), wxASCII_STR("XX,XXX"), wxString()));
    jwxNVUDisp* second = Add(new jwxNVUDisp(panel, U8("wilgotność "), wxASCII_STR("XXX,XX"), wxASCII_STR("%")));
    panel->Layout();
    const wxSize valueSize = first->GetValueLabel()->GetSize();
    const wxRect secondRect = second->GetValueWindow()->GetRect();
    const wxSize minimum = sizer->GetMinSize();

    first->SetValueText(wxASCII_STR("-12345.678901"));  // longer than the sample: cut
    second->SetValueText(wxASCII_STR("---"));
    second->SetUnitText(U8("°C"));
    panel->Layout();
    // Whatever the toolkit lays out again after the new texts is done by its next paint.
    ASSERT_TRUE(WaitUntilPainted(frame));
    EXPECT_EQ(first->GetValueLabel()->GetSize(), valueSize);
    EXPECT_EQ(second->GetValueWindow()->GetRect(), secondRect);
    EXPECT_EQ(sizer->GetMinSize(), minimum);
    EXPECT_EQ(first->GetValueLabel()->GetLabel(), wxASCII_STR("-12345.678901"));
    EXPECT_EQ(second->GetUnitLabel()->GetLabel(), U8("°C"));
}

TEST_F(ReadoutTest, AlignReadoutWidthsLinesUpTheValues) {
    jwxNVUDisp* group[] = {
        Add(new jwxNVUDisp(panel, U8("temperatura "), wxASCII_STR("XXX,XX"), wxASCII_STR("C"))),
        Add(new jwxNVUDisp(panel, U8("temperatura2 "), wxASCII_STR("XXX,XX"), wxASCII_STR("C"))),
        Add(new jwxNVUDisp(panel, U8("wilgotność "), wxASCII_STR("XXX,XX"), wxASCII_STR("%"))),
    };
    int widest = 0;
    int heights[3];
    for (int i = 0; i < 3; ++i) {
        widest = std::max(widest, group[i]->GetCaptionWindow()->GetMinSize().x);
        heights[i] = group[i]->GetCaptionWindow()->GetMinSize().y;
    }
    AlignReadoutWidths(0, group, 5);
    EXPECT_NE(group[0]->GetCaptionWindow()->GetMinSize().x, group[1]->GetCaptionWindow()->GetMinSize().x);

    AlignReadoutWidths(3, group, 5);
    panel->Layout();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(group[i]->GetCaptionWindow()->GetMinSize(), wxSize(widest + 5, heights[i])) << i;
        EXPECT_EQ(group[i]->GetValueWindow()->GetPosition().x, widest + 5) << i;  // one column
    }
}

namespace {
// Where the text shows in a part: the columns holding text pixels (not the background).
struct Ink {
    int left = -1, right = -1;  // first and last column with text, -1 when none
    int width = 0;
};
Ink InkOf(wxWindow* part) {
    Ink ink;
    const wxImage image = ScreenPixels(part);
    if (!image.IsOk()) return ink;
    ink.width = image.GetWidth();
    for (int x = 0; x < image.GetWidth(); ++x)
        for (int y = 0; y < image.GetHeight(); ++y) {
            if (image.GetRed(x, y) + image.GetGreen(x, y) + image.GetBlue(x, y) > 150) {
                if (ink.left < 0) ink.left = x;
                ink.right = x;
                break;
            }
        }
    return ink;
}
}  // namespace

// The value and unit draw themselves: a new text shows in place, aligned in its part, and leaves
// nothing of the text before it. Read after the X server has caught up only, with no repaint in
// between, as the new text must be drawn by itself.
TEST_F(ReadoutTest, NewTextsAreDrawnAlignedAndReplaceTheOldOnes) {
    jwxNVUDisp* readout = Add(new jwxNVUDisp(panel, U8("temperatura "), wxASCII_STR("XXXX,XX"), U8("mA°C")));
    panel->Layout();
    ASSERT_TRUE(WaitUntilPainted(frame));
    EXPECT_EQ(InkOf(readout->GetValueWindow()).left, -1);  // starts empty

    readout->SetValueText(wxASCII_STR("-12,34"));
    readout->SetUnitText(wxASCII_STR("V"));
    ASSERT_TRUE(SyncDisplay());
    const Ink wide = InkOf(readout->GetValueWindow());
    ASSERT_GE(wide.left, 0);
    EXPECT_GE(wide.right, wide.width - 4);  // right-aligned at the margin
    EXPECT_GT(wide.left, 4);
    const Ink unit = InkOf(readout->GetUnitWindow());
    ASSERT_GE(unit.left, 0);
    EXPECT_NEAR(unit.left, unit.width - 1 - unit.right, 2);  // centred

    readout->SetValueText(wxASCII_STR("7"));
    ASSERT_TRUE(SyncDisplay());
    const Ink narrow = InkOf(readout->GetValueWindow());
    EXPECT_NEAR(narrow.right, wide.right, 1);
    EXPECT_GT(narrow.left, wide.left + 10);  // the old digits are gone

    readout->SetValueText(wxString());
    ASSERT_TRUE(SyncDisplay());
    EXPECT_EQ(InkOf(readout->GetValueWindow()).left, -1);
}

namespace {
// The text as a full layout in the part's font and context draws it, aligned as the part aligns.
wxImage LaidOutInFull(FixedText* part, const wxString& text) {
    const wxSize size = part->GetClientSize();
    wxImage image(size);
    {
        std::unique_ptr<wxGraphicsContext> context(wxGraphicsContext::Create(image));
        cairo_t* cr = static_cast<cairo_t*>(context->GetNativeContext());
        const wxColour back = part->GetBackgroundColour(), fore = part->GetForegroundColour();
        cairo_set_source_rgb(cr, back.Red() / 255.0, back.Green() / 255.0, back.Blue() / 255.0);
        cairo_rectangle(cr, 0, 0, size.x, size.y);
        cairo_fill(cr);
        PangoLayout* layout = pango_layout_new(part->GTKGetPangoDefaultContext());
        pango_layout_set_font_description(layout, part->GetFont().GetNativeFontInfo()->description);
        const wxScopedCharBuffer utf8 = text.utf8_str();
        pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.length()));
        int w = 0, h = 0;
        pango_layout_get_pixel_size(layout, &w, &h);
        const long style = part->GetWindowStyleFlag();
        const int x = style & wxALIGN_RIGHT ? size.x - w : style & wxALIGN_CENTRE_HORIZONTAL ? (size.x - w) / 2 : 0;
        cairo_set_source_rgb(cr, fore.Red() / 255.0, fore.Green() / 255.0, fore.Blue() / 255.0);
        cairo_move_to(cr, x, 0);
        pango_cairo_show_layout(cr, layout);
        g_object_unref(layout);
    }
    return image;
}

wxImage DrawnByThePart(FixedText* part) {
    wxImage image(part->GetClientSize());
    {
        std::unique_ptr<wxGraphicsContext> context(wxGraphicsContext::Create(image));
        part->Draw(*context);
    }
    return image;
}

int PixelsApart(const wxImage& a, const wxImage& b) {
    if (a.GetSize() != b.GetSize()) return -1;
    int apart = 0;
    const unsigned char* p = a.GetData();
    const unsigned char* q = b.GetData();
    for (int i = 0; i < a.GetWidth() * a.GetHeight(); ++i, p += 3, q += 3)
        if (p[0] != q[0] || p[1] != q[1] || p[2] != q[2]) ++apart;
    return apart;
}
}  // namespace

// A text the font holds is shaped as one run instead of laid out in full: the same pixels, value
// and unit parts alike.
TEST_F(ReadoutTest, TextsShapedAsOneRunDrawTheSamePixelsAsAFullLayout) {
    jwxNVUDisp* readout = Add(new jwxNVUDisp(panel, U8("temperatura "), wxASCII_STR("N 6553.5/6553.5"), U8("sek°C")));
    panel->Layout();
    // Digits, signs and separators in every order, units and letter pairs a font may kern.
    const char* texts[] = {"0123456789+-.,:/ 0", "9/8:7,6.5-4+3 2", "-10000", "6553.5", "-99.99999", "N 6553.5/6553.5", "0", "1,23", "---",
                           "+0.5", "12:34:56", "1/7", "4 747", "11.1", "-0.0", "7,4-", "2.:/+,",
                           "°C", "%", "sek", "min", "mA", "Wyłączony", "AV Te fi"};
    for (FixedText* part : {readout->GetValueLabel(), readout->GetUnitLabel()}) {
        for (const char* text : texts) {
            const wxString shown = wxString::FromUTF8(text);
            part->SetLabelText(shown);
            EXPECT_TRUE(part->DrawnAsGlyphRun()) << text;
            const wxImage drawn = DrawnByThePart(part);
            EXPECT_EQ(PixelsApart(drawn, LaidOutInFull(part, shown)), 0) << text;
        }
    }
}

namespace {
// Whether the font a part draws with has a glyph for the character (the font itself, before
// any fallback to other fonts).
bool FontHolds(FixedText* part, wxUniChar c) {
    PangoFont* font =
        pango_context_load_font(part->GTKGetPangoDefaultContext(), part->GetFont().GetNativeFontInfo()->description);
    if (!font) return false;
    const bool holds = pango_font_has_char(font, static_cast<gunichar>(c.GetValue()));
    g_object_unref(font);
    return holds;
}
}  // namespace

// A character the font lacks cannot be drawn from the one run: such a text takes the full
// layout, which draws the character in another font that has it, or as the box of a character
// no font has. Text of another script is laid out in full as it stands.
TEST_F(ReadoutTest, CharactersTheFontLacksAreLaidOutInFull) {
    jwxNVUDisp* readout = Add(new jwxNVUDisp(panel, U8("temperatura "), wxASCII_STR("N 6553.5/6553.5"), U8("sek°C")));
    panel->Layout();
    FixedText* value = readout->GetValueLabel();
    struct Case {
        const char* name;
        const char* text;  // the last character is the one the font lacks
    } cases[] = {
        {"Latin letter another font has (U+1D6B)", "7\xe1\xb5\xab"},
        {"common sign another font has (U+2329)", "-7\xe2\x8c\xa9"},
        {"common sign no font has (U+2E3A)", "7,5\xe2\xb8\xba"},
        {"Han, another script (U+6F22)", "7\xe6\xbc\xa2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const wxString text = U8(c.text);
        ASSERT_FALSE(FontHolds(value, text.Last())) << "the read-out's font has this character: pick another";
        value->SetLabelText(text);
        EXPECT_FALSE(value->DrawnAsGlyphRun());
        EXPECT_EQ(PixelsApart(DrawnByThePart(value), LaidOutInFull(value, text)), 0);
        value->SetLabelText(wxASCII_STR("12.5"));
        EXPECT_TRUE(value->DrawnAsGlyphRun());
    }
}
