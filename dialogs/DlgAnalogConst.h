// The four analog user constants, as the panel's packed decimals (the decimals typed are the
// decimals stored, at most 3).
#pragma once

#include "dialogs/ConfigDialog.h"

struct ParamValue;

class DlgAnalogConst : public ConfigDialog {
public:
    static constexpr int kConstantCount = 4;

    // records: constants 1 to 4 (912..915).
    DlgAnalogConst(wxWindow* parent, const wxString& title, ParamValue** records, long style, wxWindowID id);

    const DecimalValue& GetConstant(int i) const { return results[i]; }

private:
    bool TakeResults() override;

    wxTextCtrl* texts[kConstantCount] = {};
    DecimalValue results[kConstantCount];
};
