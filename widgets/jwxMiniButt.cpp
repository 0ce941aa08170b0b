#include "widgets/jwxMiniButt.h"

#include <wx/dcclient.h>

#include <algorithm>

jwxMiniButt::jwxMiniButt(wxWindow* parent, wxWindowID id, const wxString& text, int verticalMargin,
                         int horizontalMargin)
    : wxButton(parent, id, text, wxDefaultPosition, wxDefaultSize, 0, wxDefaultValidator, wxASCII_STR("button")) {
    if (verticalMargin == -1) verticalMargin = kDefaultVerticalMargin;
    if (horizontalMargin == -1) horizontalMargin = kDefaultHorizontalMargin;
    wxClientDC dc(parent);
    dc.SetFont(GetFont());
    wxCoord width = 0, height = 0;
    dc.GetTextExtent(text, &width, &height);
    // As small as the text allows, but never below what the toolkit needs to draw the label
    // (GTK 3 spends about 34 pixels of padding across and draws an empty button when denied).
    const wxSize best = GetBestSize();
    wxSize size(std::max(width + horizontalMargin, best.GetWidth()), std::max(height + verticalMargin, best.GetHeight()));
    SetMinSize(size);
    SetSize(size);
}

jwxMiniButt::~jwxMiniButt() = default;
