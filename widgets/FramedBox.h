// A static box whose sizer keeps the content clear of the drawn frame. GTK 3 draws the frame's
// line on the box's outermost pixels but reports no side border to the sizer, so a plain box
// lays its content over its own left, right and bottom lines (and two boxes side by side show
// their content touching). Every box of the program's windows is made as one of these.
#pragma once

#include <wx/statbox.h>

class FramedBox : public wxStaticBox {
public:
    // Space between the frame's outer edge and the content, on the sides and at the bottom.
    static constexpr int kPadding = 4;

    FramedBox(wxWindow* parent, wxWindowID id, const wxString& title);

    void GetBordersForSizer(int* borderTop, int* borderOther) const override;
};
