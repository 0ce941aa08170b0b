// Edits a threshold regulator channel's regulation: the set points of both zones, the switching
// thresholds of outputs A (h1a, h0a) and B (h1b, h0b) and the inversion flag.
#pragma once

#include <wx/checkbox.h>

#include "dialogs/ConfigDialog.h"

struct ParamValue;

class DlgReg1Chng : public ConfigDialog {
public:
    // items: [0] SP1, [1] SP2, [2] h1a, [3] h0a, [4] h1b, [5] h0b (decimal), [6] inversion (8-bit).
    DlgReg1Chng(wxWindow* parent, const wxString& title, ParamValue** items, long style, wxWindowID id);

    // 0 SP1, 1 SP2, 2 h1a, 3 h0a, 4 h1b, 5 h0b.
    DecimalValue GetDecimal(int i) const { return decimals[i]; }
    // 1 when "Inwersja" is ticked, else 0.
    uint8_t GetInversion() const { return inversion; }

protected:
    bool TakeResults() override;
    void TakeChoices() override;

private:
    // The threshold fields follow the width of the stretching SP1 field.
    void OnSize(wxSizeEvent& event);

    wxTextCtrl* fields[6] = {};
    wxCheckBox* inversionBox = nullptr;
    DecimalValue decimals[6] = {};
    uint8_t inversion = 0;
};
