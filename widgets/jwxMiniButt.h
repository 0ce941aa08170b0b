// A button only as large as its text plus small margins, for the compact rows of the regulator
// views.
#pragma once

#include <wx/button.h>

class jwxMiniButt : public wxButton {
public:
    static constexpr int kDefaultVerticalMargin = 4;
    static constexpr int kDefaultHorizontalMargin = 8;

    // A margin of -1 means the default.
    jwxMiniButt(wxWindow* parent, wxWindowID id, const wxString& text, int verticalMargin = -1,
                int horizontalMargin = -1);
    ~jwxMiniButt() override;
};
