// The four binary user constants, each on or off.
#pragma once

#include <wx/checkbox.h>

#include <cstdint>

#include "dialogs/ConfigDialog.h"

struct ParamValue;

class DlgBinConst : public ConfigDialog {
public:
    static constexpr int kConstantCount = 4;

    // records: constants 1 to 4 (896..899).
    DlgBinConst(wxWindow* parent, const wxString& title, ParamValue** records, long style, wxWindowID id);

    // 1 when constant i + 1 is on, else 0.
    uint8_t GetConstant(int i) const { return results[i]; }

private:
    void TakeChoices() override;

    wxCheckBox* boxes[kConstantCount] = {};
    uint8_t results[kConstantCount] = {};
};
