#include "widgets/jwxNVUDisp.h"

#include <wx/dcclient.h>
#include <wx/settings.h>
#include <wx/stattext.h>
#include <wx/window.h>

#include "widgets/FixedText.h"
#include "widgets/TextContrast.h"

const jwxNVUDisp::FontDescription jwxNVUDisp::captionFont = {"", 9, wxFONTFAMILY_DEFAULT, wxFONTSTYLE_NORMAL,
                                                      wxFONTWEIGHT_NORMAL};
// Where this face does not exist the system's fallback face serves.
const jwxNVUDisp::FontDescription jwxNVUDisp::valueFont = {"MS Sans Serif", 9, wxFONTFAMILY_DEFAULT, wxFONTSTYLE_NORMAL,
                                                    wxFONTWEIGHT_BOLD};
const jwxNVUDisp::FontDescription jwxNVUDisp::unitFont = {"MS Sans Serif", 9, wxFONTFAMILY_DEFAULT, wxFONTSTYLE_NORMAL,
                                                   wxFONTWEIGHT_BOLD};
wxColour jwxNVUDisp::captionForeground;
wxColour jwxNVUDisp::valueForeground;
wxColour jwxNVUDisp::unitForeground;
wxColour jwxNVUDisp::valueBackground;
wxColour jwxNVUDisp::unitBackground;
const unsigned char jwxNVUDisp::valueFallback[3] = {198, 225, 198};

namespace {
wxColour Or(const wxColour& colour, const wxColour& fallback) { return colour.IsOk() ? colour : fallback; }

// The caption has no background of its own: it shows on the parent's, which follows the
// desktop theme. Black stays where it is readable there (a light theme); on a dark
// background the caption takes the text colour the theme gives its labels.
wxColour CaptionColour(const wxWindow* parent) {
    return ReadableTextColour(*wxBLACK, wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT),
                              parent->GetBackgroundColour());
}
}  // namespace

wxFont jwxNVUDisp::MakeFont(const FontDescription& font) {
    const wxString face = wxString::FromUTF8(font.faceName);
    const wxFontFamily family = face.empty() ? font.family : wxFONTFAMILY_DEFAULT;
    return wxFont(font.pointSize, family, font.style, font.weight, false, face, wxFONTENCODING_DEFAULT);
}

jwxNVUDisp::jwxNVUDisp(wxWindow* parent, const wxString& caption, const wxString& sampleValue,
                       const wxString& unitSample, long captionStyle, long valueStyle, long unitStyle, int marginX,
                       int marginY)
    : wxBoxSizer(wxHORIZONTAL), parent(parent) {
    wxClientDC dc(parent);
    const wxColour black = *wxBLACK;
    const wxColour valueText(valueFallback[0], valueFallback[1], valueFallback[2]);

    // One part: a borderless window sized from its sample plus margins, with a text inside it at
    // the margin.
    auto makeWindow = [&](const wxFont& font, const wxString& sample, wxSize* extent) {
        wxCoord w = 0, h = 0;
        dc.GetTextExtent(sample, &w, &h, nullptr, nullptr, &font);
        *extent = wxSize(w, h);
        wxWindow* window = new wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxNO_BORDER);
        // The toolkit draws the window's background itself; the default style would build a
        // device context for an erase event nobody handles at every repaint of a new value.
        window->SetBackgroundStyle(wxBG_STYLE_SYSTEM);
        window->SetMinSize(wxSize(w + 2 * marginX, h + 2 * marginY));
        Add(window, 0, 0, 0);
        return window;
    };
    // A value or unit part: its text changes often, so it draws itself instead of being a label.
    auto makeFixedPart = [&](const FontDescription& description, const wxString& sample, long style,
                             int extraWidth, const wxColour& foreground, const wxColour& background,
                             wxWindow*& window, FixedText*& label) {
        const wxFont font = MakeFont(description);
        wxSize extent;
        window = makeWindow(font, sample, &extent);
        window->SetBackgroundColour(background);
        label = new FixedText(window, wxEmptyString, wxPoint(marginX, marginY),
                              wxSize(extent.x + extraWidth, extent.y), style);
        label->SetFont(font);
        label->SetSizingText(sample);
        label->SetForegroundColour(foreground);
        label->SetBackgroundColour(background);
    };

    const wxFont font = MakeFont(captionFont);
    wxSize extent;
    captionWindow = makeWindow(font, caption, &extent);
    captionLabel = new wxStaticText(captionWindow, wxID_ANY, caption, wxPoint(marginX, marginY), wxDefaultSize,
                                    captionStyle | wxST_NO_AUTORESIZE);
    captionLabel->SetFont(font);
    captionLabel->SetSize(extent);
    captionLabel->SetForegroundColour(captionForeground.IsOk() ? captionForeground : CaptionColour(parent));

    makeFixedPart(valueFont, sampleValue, valueStyle ? valueStyle : static_cast<long>(wxALIGN_RIGHT), 1,
                  Or(valueForeground, valueText), Or(valueBackground, black), valueWindow, valueLabel);
    if (!unitSample.empty())
        makeFixedPart(unitFont, unitSample, unitStyle ? unitStyle : static_cast<long>(wxALIGN_CENTRE), 0,
                      Or(unitForeground, *wxLIGHT_GREY), Or(unitBackground, black), unitWindow, unitLabel);
}

jwxNVUDisp::~jwxNVUDisp() = default;

// A new text repaints only the part's own text; the same text again does nothing.
void jwxNVUDisp::SetValueText(const wxString& text) { valueLabel->SetLabelText(text); }

void jwxNVUDisp::SetUnitText(const wxString& text) {
    if (unitLabel) unitLabel->SetLabelText(text);
}

void AlignReadoutWidths(int count, jwxNVUDisp* const readouts[], int extra) {
    int widest = 0;
    for (int i = 0; i < count; ++i) {
        int width = readouts[i]->GetCaptionWindow()->GetMinSize().GetWidth();
        if (width > widest) widest = width;
    }
    for (int i = 0; i < count; ++i) {
        wxWindow* caption = readouts[i]->GetCaptionWindow();
        caption->SetMinSize(wxSize(widest + extra, caption->GetMinSize().GetHeight()));
    }
}
