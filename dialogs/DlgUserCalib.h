// The user calibration: a correction for each temperature input (T1, T2) in hundredths of a
// degree, and the psychrometric constant, which a check box switches off.
#pragma once

#include <wx/checkbox.h>

#include <cstdint>

#include "dialogs/ConfigDialog.h"

struct ParamValue;

class DlgUserCalib : public ConfigDialog {
public:
    // records: [0] T1 correction (177), [1] T2 correction (178), [2] psychrometric code (179).
    DlgUserCalib(wxWindow* parent, const wxString& title, ParamValue** records, long style, wxWindowID id);

    // 0: T1, 1: T2 correction (hundredths, two's complement); 2: psychrometric code 1..255,
    // valid only while IsPsychroEnabled().
    uint16_t GetValue(int i) const { return results[i]; }
    uint8_t IsPsychroEnabled() const { return psychroEnabled; }

private:
    bool TakeResults() override;
    void OnPsychroCheck(wxCommandEvent& event);

    wxTextCtrl* corrections[2] = {};
    wxTextCtrl* psychroText = nullptr;
    wxCheckBox* psychroCheck = nullptr;
    uint8_t psychroEnabled = 0;
    uint16_t results[3] = {};
};
