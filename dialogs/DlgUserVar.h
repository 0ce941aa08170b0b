// The two numbers that define the user variable of each of the four analog inputs, as the
// panel's packed decimals (the decimals typed are the decimals stored, at most 3).
#pragma once

#include "dialogs/ConfigDialog.h"

struct ParamValue;

class DlgUserVar : public ConfigDialog {
public:
    static constexpr int kFieldCount = 8;

    // records: 192..199; row r holds [2r] and [2r + 1].
    DlgUserVar(wxWindow* parent, const wxString& title, ParamValue** records, long style, wxWindowID id);

    const DecimalValue& GetVariable(int i) const { return results[i]; }

private:
    bool TakeResults() override;

    wxTextCtrl* texts[kFieldCount] = {};
    DecimalValue results[kFieldCount];
};
