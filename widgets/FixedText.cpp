#include "widgets/FixedText.h"

#include <wx/dcclient.h>
#include <wx/graphics.h>
#include <wx/stattext.h>  // wxST_NO_AUTORESIZE
#include <wx/utils.h>

#include <memory>

namespace {
// On X11 a window can be drawn on at once. Elsewhere (Wayland) only a repaint the toolkit runs
// reaches the screen, and a repaint draws the whole window's widget tree.
bool CanDrawAtOnce() {
    static const bool x11 = wxGetDisplayInfo().type == wxDisplayX11;
    return x11;
}
}  // namespace

FixedText::FixedText(wxWindow* parent, const wxString& text, const wxPoint& pos, const wxSize& size, long style)
    : wxControl(parent, wxID_ANY, pos, size, style | wxST_NO_AUTORESIZE | wxBORDER_NONE) {
    // The paint handler fills every pixel, so no erase pass is needed.
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    wxControl::SetLabel(text);
    Bind(wxEVT_PAINT, &FixedText::OnPaint, this);
}

void FixedText::SetLabel(const wxString& text) {
    if (text == GetLabel()) return;
    wxControl::SetLabel(text);
    if (!IsShownOnScreen()) return;  // painted when shown
    // Only this window's rectangle changes, and nothing else needs to be laid out or drawn.
    std::unique_ptr<wxGraphicsContext> context(CanDrawAtOnce() ? wxGraphicsContext::Create(this) : nullptr);
    if (context)
        Draw(*context);
    else
        Refresh(false);
}

wxSize FixedText::DoGetBestSize() const {
    const wxString shown = GetLabelText();
    const wxString& text = shown.empty() ? sizingText : shown;
    wxCoord w = 0, h = 0;
    GetTextExtent(text.empty() ? wxString(wxASCII_STR(" ")) : text, &w, &h);
    return wxSize(w, h);
}

void FixedText::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    if (wxGraphicsContext* context = dc.GetGraphicsContext()) Draw(*context);
}

// Drawn on the graphics context directly: a device context would lay the text out once more
// for its bounding box.
void FixedText::Draw(wxGraphicsContext& context) {
    const wxSize size = GetClientSize();
    context.SetPen(*wxTRANSPARENT_PEN);
    context.SetBrush(wxBrush(GetBackgroundColour()));
    context.DrawRectangle(0, 0, size.x, size.y);
    const wxString text = GetLabelText();
    if (text.empty()) return;
    context.SetFont(GetFont(), GetForegroundColour());
    // Placed as a label of this size places it: top edge, aligned horizontally.
    double x = 0;
    const long style = GetWindowStyleFlag();
    if (style & (wxALIGN_RIGHT | wxALIGN_CENTRE_HORIZONTAL)) {
        double w = 0, h = 0;
        context.GetTextExtent(text, &w, &h);
        const int width = wxRound(w);
        x = style & wxALIGN_RIGHT ? size.x - width : (size.x - width) / 2;
    }
    context.DrawText(text, x, 0);
}
