// A read-out: a caption, a value and an optional unit side by side, the value and unit drawn like
// an instrument display (bold light green on black). It is a horizontal sizer holding up to three
// small borderless windows on the parent, each with one text: a static text for the caption, a
// self-drawn fixed-size text for the value and unit, which change at every pushed report. Its size
// is fixed at construction from sample texts, so new values never move the layout.
#pragma once

#include <wx/colour.h>
#include <wx/font.h>
#include <wx/sizer.h>

#include "widgets/FixedText.h"

class wxStaticText;

class jwxNVUDisp : public wxBoxSizer {
public:
    // sampleValue sizes the value part and unitSample the unit part (no unit part when empty);
    // neither is shown: a read-out starts with an empty value and unit. A value style of 0 means
    // right-aligned, a unit style of 0 centred; the caption is left-aligned unless asked.
    jwxNVUDisp(wxWindow* parent, const wxString& caption, const wxString& sampleValue, const wxString& unitSample,
               long captionStyle = 0, long valueStyle = 0, long unitStyle = 0, int marginX = 1, int marginY = 1);
    ~jwxNVUDisp() override;

    // Replace the shown texts; nothing is resized, a longer text is cut at the part's edge.
    void SetValueText(const wxString& text);
    void SetUnitText(const wxString& text);  // ignored without a unit part

    wxWindow* GetParentWindow() const { return parent; }
    wxWindow* GetCaptionWindow() const { return captionWindow; }
    wxWindow* GetValueWindow() const { return valueWindow; }
    wxWindow* GetUnitWindow() const { return unitWindow; }  // null without a unit part
    wxStaticText* GetCaptionLabel() const { return captionLabel; }
    FixedText* GetValueLabel() const { return valueLabel; }
    FixedText* GetUnitLabel() const { return unitLabel; }  // null without a unit part

    // Class-wide appearance, shared by every read-out and fixed before the program starts.
    struct FontDescription {
        const char* faceName;  // empty: the system's default face
        int pointSize;
        wxFontFamily family;
        wxFontStyle style;
        wxFontWeight weight;
    };
    static const FontDescription captionFont, valueFont, unitFont;
    // Colours left unset (invalid) fall back to the shipped look when used. An unset caption
    // colour is black, or the theme's text colour where black does not stand out from the
    // parent's background (a dark theme).
    static wxColour captionForeground, valueForeground, unitForeground;
    static wxColour valueBackground, unitBackground;
    static const unsigned char valueFallback[3];  // RGB of the value text when not set

    static wxFont MakeFont(const FontDescription& font);

private:
    wxWindow* parent;
    wxStaticText* captionLabel = nullptr;
    FixedText* valueLabel = nullptr;
    FixedText* unitLabel = nullptr;
    wxWindow* captionWindow = nullptr;
    wxWindow* valueWindow = nullptr;
    wxWindow* unitWindow = nullptr;
};

// Makes the caption parts of a group of read-outs equally wide (the widest caption's minimum
// width plus extra), so that their value parts line up in a column.
void AlignReadoutWidths(int count, jwxNVUDisp* const readouts[], int extra);
