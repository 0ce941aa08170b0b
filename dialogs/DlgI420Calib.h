// One calibration factor for each of the four 4-20 mA inputs, entered as 0.0 to 1.999 and
// stored in thousandths.
#pragma once

#include <cstdint>

#include "dialogs/ConfigDialog.h"

struct ParamValue;

class DlgI420Calib : public ConfigDialog {
public:
    static constexpr int kInputCount = 4;

    // records: the factors of inputs 1 to 4 (226..229).
    DlgI420Calib(wxWindow* parent, const wxString& title, ParamValue** records, long style, wxWindowID id);

    // Factor of input i + 1 in thousandths.
    uint16_t GetFactor(int i) const { return results[i]; }

private:
    bool TakeResults() override;

    wxTextCtrl* texts[kInputCount] = {};
    uint16_t results[kInputCount] = {};
};
