// A one-line text of fixed size that draws itself. A native label asks the toolkit to measure
// and lay out the whole window again at every new text, and a toolkit repaint walks every widget
// of the window; this control draws a new text in its own rectangle at once, so a read-out that
// changes at every pushed report costs one small drawing.
#pragma once

#include <wx/control.h>

class wxGraphicsContext;

class FixedText : public wxControl {
public:
    // style: wxALIGN_LEFT (0), wxALIGN_CENTRE_HORIZONTAL or wxALIGN_RIGHT; wxST_NO_AUTORESIZE is
    // always added, as the size never follows the text.
    FixedText(wxWindow* parent, const wxString& text, const wxPoint& pos, const wxSize& size, long style);

    // Stores the text (with mnemonics escaped, as a label's) and repaints only on a change.
    void SetLabel(const wxString& text) override;

    // The best size is the extent of the shown text, or of this sample while nothing is shown.
    void SetSizingText(const wxString& text) { sizingText = text; }

    bool AcceptsFocus() const override { return false; }
    bool HasTransparentBackground() override { return false; }

protected:
    wxSize DoGetBestSize() const override;
    wxBorder GetDefaultBorder() const override { return wxBORDER_NONE; }

private:
    void OnPaint(wxPaintEvent& event);
    void Draw(wxGraphicsContext& context);

    wxString sizingText;
};
