#include "widgets/jwxNVUDisp.h"

#include <wx/dcclient.h>
#include <wx/stattext.h>
#include <wx/window.h>

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

    // One part: a borderless window sized from its sample plus margins, with a static text
    // inside it at the margin.
    auto makePart = [&](const FontDescription& description, const wxString& sample, long style, const wxString& shown,
                        int extraWidth, wxWindow*& window, wxStaticText*& label) {
        const wxFont font = MakeFont(description);
        wxCoord w = 0, h = 0;
        dc.GetTextExtent(sample, &w, &h, nullptr, nullptr, &font);
        window = new wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxNO_BORDER);
        // The toolkit draws the window's background itself; the default style would build a
        // device context for an erase event nobody handles at every repaint of a new value.
        window->SetBackgroundStyle(wxBG_STYLE_SYSTEM);
        window->SetMinSize(wxSize(w + 2 * marginX, h + 2 * marginY));
        label = new wxStaticText(window, wxID_ANY, shown, wxPoint(marginX, marginY), wxDefaultSize,
                                 style | wxST_NO_AUTORESIZE);
        label->SetFont(font);
        label->SetSize(w + extraWidth, h);
        Add(window, 0, 0, 0);
    };

    makePart(captionFont, caption, captionStyle, caption, 0, captionWindow, captionLabel);
    captionLabel->SetForegroundColour(Or(captionForeground, black));

    makePart(valueFont, sampleValue, valueStyle ? valueStyle : static_cast<long>(wxALIGN_RIGHT), wxEmptyString, 1, valueWindow,
             valueLabel);
    valueWindow->SetBackgroundColour(Or(valueBackground, black));
    valueLabel->SetForegroundColour(Or(valueForeground, valueText));
    valueLabel->SetBackgroundColour(Or(valueBackground, black));

    if (!unitSample.empty()) {
        makePart(unitFont, unitSample, unitStyle ? unitStyle : static_cast<long>(wxALIGN_CENTRE), wxEmptyString, 0, unitWindow,
                 unitLabel);
        unitWindow->SetBackgroundColour(Or(unitBackground, black));
        unitLabel->SetForegroundColour(Or(unitForeground, *wxLIGHT_GREY));
        unitLabel->SetBackgroundColour(Or(unitBackground, black));
    }
}

jwxNVUDisp::~jwxNVUDisp() = default;

namespace {
// A label that is given a text has the toolkit measure, lay out and redraw it even when the text
// is the one it shows; most pushed values repeat, so only a new text goes to the label.
void ShowText(wxStaticText* label, const wxString& text) {
    if (label->GetLabelText() != text) label->SetLabelText(text);
}
}  // namespace

void jwxNVUDisp::SetValueText(const wxString& text) { ShowText(valueLabel, text); }

void jwxNVUDisp::SetUnitText(const wxString& text) {
    if (unitLabel) ShowText(unitLabel, text);
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
