#include "widgets/FramedBox.h"

#include <algorithm>

FramedBox::FramedBox(wxWindow* parent, wxWindowID id, const wxString& title) : wxStaticBox(parent, id, title) {}

void FramedBox::GetBordersForSizer(int* borderTop, int* borderOther) const {
    wxStaticBox::GetBordersForSizer(borderTop, borderOther);
    *borderOther = std::max(*borderOther, kPadding);
}
