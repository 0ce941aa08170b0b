// A one-line text of fixed size that draws itself. A native label asks the toolkit to measure
// and lay out the whole window again at every new text, and a toolkit repaint walks every widget
// of the window; this control draws a new text in its own rectangle at once, so a read-out that
// changes at every pushed report costs one small drawing. A text the font holds every character
// of is shaped as one run of glyphs, which is all a layout of such a line amounts to; any other
// text is laid out in full, with the font fallback of the toolkit's labels.
#pragma once

#include <wx/control.h>

#include <memory>

class wxGraphicsContext;

class FixedText : public wxControl {
public:
    // style: wxALIGN_LEFT (0), wxALIGN_CENTRE_HORIZONTAL or wxALIGN_RIGHT; wxST_NO_AUTORESIZE is
    // always added, as the size never follows the text.
    FixedText(wxWindow* parent, const wxString& text, const wxPoint& pos, const wxSize& size, long style);
    ~FixedText() override;

    // The text shown, as it is: it holds no mnemonics. Repaints only on a change.
    void SetLabelText(const wxString& text) override;
    wxString GetLabelText() const override { return text; }
    // A label's form of the text, with "&" marking mnemonics (none are shown).
    void SetLabel(const wxString& label) override { SetLabelText(wxControl::GetLabelText(label)); }
    wxString GetLabel() const override { return EscapeMnemonics(text); }

    bool SetFont(const wxFont& font) override;

    // The best size is the extent of the shown text, or of this sample while nothing is shown.
    void SetSizingText(const wxString& text) { sizingText = text; }

    // Paints the control (background and text) on a context of its size: its window's own at a
    // new text or a repaint, or an image's.
    void Draw(wxGraphicsContext& context);
    // Whether the shown text is drawn as one run of the font's glyphs (not laid out in full).
    bool DrawnAsGlyphRun();

    bool AcceptsFocus() const override { return false; }
    bool HasTransparentBackground() override { return false; }

protected:
    wxSize DoGetBestSize() const override;
    wxBorder GetDefaultBorder() const override { return wxBORDER_NONE; }

private:
    struct Shaping;
    void OnPaint(wxPaintEvent& event);
    // The shown text made ready to measure and draw, the quick way where it can be.
    Shaping& Shaped();
    int TextWidth();

    wxString text;
    wxString sizingText;
    std::unique_ptr<Shaping> shaping;
};
