#include "widgets/jwxMiniButt.h"

#include <wx/dcclient.h>

jwxMiniButt::jwxMiniButt(wxWindow* parent, wxWindowID id, const wxString& text, int verticalMargin,
                         int horizontalMargin)
    : wxButton(parent, id, text, wxDefaultPosition, wxDefaultSize, 0, wxDefaultValidator, wxASCII_STR("button")) {
    if (verticalMargin == -1) verticalMargin = kDefaultVerticalMargin;
    if (horizontalMargin == -1) horizontalMargin = kDefaultHorizontalMargin;
    wxClientDC dc(parent);
    dc.SetFont(GetFont());
    wxCoord width = 0, height = 0;
    dc.GetTextExtent(text, &width, &height);
    wxSize size(width + horizontalMargin, height + verticalMargin);
    SetMinSize(size);
    SetSize(size);
}

jwxMiniButt::~jwxMiniButt() = default;
