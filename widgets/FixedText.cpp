#include "widgets/FixedText.h"

#include <pango/pangocairo.h>
#include <wx/dcclient.h>
#include <wx/fontutil.h>
#include <wx/graphics.h>
#include <wx/stattext.h>  // wxST_NO_AUTORESIZE
#include <wx/utils.h>

namespace {
// On X11 a window can be drawn on at once. Elsewhere (Wayland) only a repaint the toolkit runs
// reaches the screen, and a repaint draws the whole window's widget tree.
bool CanDrawAtOnce() {
    static const bool x11 = wxGetDisplayInfo().type == wxDisplayX11;
    return x11;
}

void SetSource(cairo_t* cr, const wxColour& colour) {
    cairo_set_source_rgba(cr, colour.Red() / 255.0, colour.Green() / 255.0, colour.Blue() / 255.0,
                          colour.Alpha() / 255.0);
}
}  // namespace

// What measuring and drawing the shown text needs, made once per font or per text. A layout
// itemizes the text by font and script, shapes each run and breaks lines; for a line in one font
// only the shaping does anything, so such a text is shaped directly, with the run description
// (font, script, language) that a layout of a sample line in this font gave.
struct FixedText::Shaping {
    ~Shaping() {
        if (layout) g_object_unref(layout);
        for (PangoAnalysis& run : runs)
            if (run.font) g_object_unref(run.font);
        if (glyphs) pango_glyph_string_free(glyphs);
    }

    PangoLayout* layout = nullptr;  // the widget's font and context; the full way
    bool layoutCurrent = false;     // holds the shown text
    // Plain runs in this font, as a layout itemizes them: digits and signs alone (script
    // "common"), and Latin text. No font where a sample gave no single run.
    enum Script { Common, Latin };
    PangoAnalysis runs[2]{};
    double baseline = 0;  // pixels from the top of a line in this font to its baseline
    PangoGlyphString* glyphs = nullptr;
    Script script = Common;  // of the shown text, when drawn as glyphs
    enum class Way { NotYet, Glyphs, Layout } way = Way::NotYet;
};

FixedText::FixedText(wxWindow* parent, const wxString& text, const wxPoint& pos, const wxSize& size, long style)
    : wxControl(parent, wxID_ANY, pos, size, style | wxST_NO_AUTORESIZE | wxBORDER_NONE), text(text) {
    // The paint handler fills every pixel, so no erase pass is needed.
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &FixedText::OnPaint, this);
}

FixedText::~FixedText() = default;

bool FixedText::SetFont(const wxFont& font) {
    if (!wxControl::SetFont(font)) return false;
    shaping.reset();
    Refresh(false);
    return true;
}

FixedText::Shaping& FixedText::Shaped() {
    if (!shaping) {
        shaping.reset(new Shaping);
        // The widget's own context: the resolution and font options its labels are measured with.
        shaping->layout = pango_layout_new(GTKGetPangoDefaultContext());
        const wxNativeFontInfo* font = GetFont().GetNativeFontInfo();
        if (font) pango_layout_set_font_description(shaping->layout, font->description);
        const char* samples[] = {"0", "a"};
        for (int script : {Shaping::Common, Shaping::Latin}) {
            pango_layout_set_text(shaping->layout, samples[script], 1);
            PangoLayoutLine* line = pango_layout_get_line_readonly(shaping->layout, 0);
            if (!line || !line->runs || line->runs->next) continue;
            PangoAnalysis& run = shaping->runs[script];
            run = static_cast<const PangoGlyphItem*>(line->runs->data)->item->analysis;
            run.extra_attrs = nullptr;
            if (run.font) g_object_ref(run.font);
        }
        shaping->baseline = pango_layout_get_baseline(shaping->layout) / static_cast<double>(PANGO_SCALE);
    }
    Shaping& s = *shaping;
    if (s.way != Shaping::Way::NotYet) return s;
    const wxScopedCharBuffer utf8 = text.utf8_str();
    s.way = Shaping::Way::Layout;
    // The script a layout would give the text's one run: Latin as soon as a Latin letter is in
    // it, "common" for digits and signs alone; text of any other script is laid out in full.
    bool oneRun = true;
    s.script = Shaping::Common;
    for (wxString::const_iterator c = text.begin(); c != text.end() && oneRun; ++c) {
        const GUnicodeScript script = g_unichar_get_script(static_cast<gunichar>((*c).GetValue()));
        if (script == G_UNICODE_SCRIPT_LATIN)
            s.script = Shaping::Latin;
        else if (script != G_UNICODE_SCRIPT_COMMON && script != G_UNICODE_SCRIPT_INHERITED)
            oneRun = false;
    }
    PangoAnalysis& run = s.runs[s.script];
    if (oneRun && run.font) {
        if (!s.glyphs) s.glyphs = pango_glyph_string_new();
        // Glyph positions rounded to whole pixels where the context's layouts round them.
        const PangoShapeFlags flags = pango_context_get_round_glyph_positions(pango_layout_get_context(s.layout))
                                          ? PANGO_SHAPE_ROUND_POSITIONS
                                          : PANGO_SHAPE_NONE;
        pango_shape_with_flags(utf8.data(), static_cast<int>(utf8.length()), utf8.data(),
                               static_cast<int>(utf8.length()), &run, s.glyphs, flags);
        s.way = Shaping::Way::Glyphs;
        // A character this font lacks needs the fallback a layout finds.
        for (int i = 0; i < s.glyphs->num_glyphs; ++i)
            if (s.glyphs->glyphs[i].glyph & PANGO_GLYPH_UNKNOWN_FLAG) s.way = Shaping::Way::Layout;
    }
    if (s.way == Shaping::Way::Layout && !s.layoutCurrent) {
        pango_layout_set_text(s.layout, utf8.data(), static_cast<int>(utf8.length()));
        s.layoutCurrent = true;
    }
    return s;
}

bool FixedText::DrawnAsGlyphRun() { return Shaped().way == Shaping::Way::Glyphs; }

// Rounded as a layout's pixel size is.
int FixedText::TextWidth() {
    Shaping& s = Shaped();
    PangoRectangle logical{};
    if (s.way == Shaping::Way::Glyphs)
        pango_glyph_string_extents(s.glyphs, s.runs[s.script].font, nullptr, &logical);
    else
        pango_layout_get_extents(s.layout, nullptr, &logical);
    pango_extents_to_pixels(&logical, nullptr);
    return logical.width;
}

void FixedText::SetLabelText(const wxString& newText) {
    if (newText == text) return;
    text = newText;
    if (shaping) {
        shaping->way = Shaping::Way::NotYet;
        shaping->layoutCurrent = false;
    }
    if (!IsShownOnScreen()) return;  // painted when shown
    // Only this window's rectangle changes, and nothing else needs to be laid out or drawn.
    std::unique_ptr<wxGraphicsContext> context(CanDrawAtOnce() ? wxGraphicsContext::Create(this) : nullptr);
    if (context)
        Draw(*context);
    else
        Refresh(false);
}

wxSize FixedText::DoGetBestSize() const {
    const wxString& measured = text.empty() ? (sizingText.empty() ? wxString(wxASCII_STR(" ")) : sizingText) : text;
    wxCoord w = 0, h = 0;
    GetTextExtent(measured, &w, &h);
    return wxSize(w, h);
}

void FixedText::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    if (wxGraphicsContext* context = dc.GetGraphicsContext()) Draw(*context);
}

// Drawn with cairo and Pango directly: the toolkit's text drawing would lay the text out twice
// (once to measure for the alignment, once to draw) and look the font up each time.
void FixedText::Draw(wxGraphicsContext& context) {
    cairo_t* cr = static_cast<cairo_t*>(context.GetNativeContext());
    if (!cr) return;
    const wxSize size = GetClientSize();
    cairo_save(cr);
    SetSource(cr, GetBackgroundColour());
    cairo_rectangle(cr, 0, 0, size.x, size.y);
    cairo_fill(cr);
    if (!text.empty()) {
        Shaping& s = Shaped();
        // Placed as a label of this size places it: top edge, aligned horizontally.
        int x = 0;
        const long style = GetWindowStyleFlag();
        if (style & (wxALIGN_RIGHT | wxALIGN_CENTRE_HORIZONTAL)) {
            const int width = TextWidth();
            x = style & wxALIGN_RIGHT ? size.x - width : (size.x - width) / 2;
        }
        SetSource(cr, GetForegroundColour());
        if (s.way == Shaping::Way::Glyphs) {
            cairo_move_to(cr, x, s.baseline);
            pango_cairo_show_glyph_string(cr, s.runs[s.script].font, s.glyphs);
        } else {
            cairo_move_to(cr, x, 0);
            pango_cairo_show_layout(cr, s.layout);
        }
    }
    cairo_restore(cr);
}
