// Edits a regulator channel's alarms: the low and high alarm values of both zones and which of
// the two alarms are enabled. Shared by every regulator type.
#pragma once

#include <wx/checkbox.h>

#include "dialogs/ConfigDialog.h"

struct ParamValue;

class DlgReg1Alarm : public ConfigDialog {
public:
    // items: [0] AL1, [1] AL2, [2] AH1, [3] AH2 (decimal), [4] alarm enable (bit 0 AL, bit 1 AH).
    DlgReg1Alarm(wxWindow* parent, const wxString& title, ParamValue** items, long style, wxWindowID id);

    // 0 AL1, 1 AL2, 2 AH1, 3 AH2.
    DecimalValue GetDecimal(int i) const { return decimals[i]; }
    uint8_t GetAlarmEnable() const { return alarmEnable; }

protected:
    bool TakeResults() override;
    void TakeChoices() override;

private:
    wxTextCtrl* fields[4] = {};
    wxCheckBox* lowAlarm = nullptr;
    wxCheckBox* highAlarm = nullptr;
    DecimalValue decimals[4] = {};
    uint8_t alarmEnable = 0;
};
