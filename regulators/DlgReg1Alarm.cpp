#include "regulators/DlgReg1Alarm.h"

#include "comm/ParamValue.h"
#include "widgets/LayoutHelpers.h"

namespace {
wxString U8(const char* text) { return wxString::FromUTF8(text); }
}  // namespace

DlgReg1Alarm::DlgReg1Alarm(wxWindow* parent, const wxString& title, ParamValue** items, long style, wxWindowID id)
    : ConfigDialog(parent, title, U8("Alarmy"), style, id) {
    // Field order AL1, AL2, AH1, AH2: two rows, zone 1 and zone 2 side by side.
    static const char* const kCaptions[4] = {"AL1", "AL2", "AH1", "AH2"};
    for (int row = 0; row < 2; ++row) {
        wxBoxSizer* sizer = AddCustomRow();
        for (int column = 0; column < 2; ++column) {
            const int i = 2 * row + column;
            fields[i] = MakeDecimalText(*items[i]->GetDecimal(), 70);
            sizer->Add(MakeCaption(U8(kCaptions[i])), 0, wxALIGN_CENTER_VERTICAL | (column ? wxLEFT : 0), 8);
            sizer->Add(fields[i], 1, wxALIGN_CENTER_VERTICAL | wxALL, 2);
        }
    }
    const uint8_t enable = items[4]->GetU8();
    lowAlarm = new wxCheckBox(this, wxID_ANY, U8("AL"));
    highAlarm = new wxCheckBox(this, wxID_ANY, U8("AH"));
    lowAlarm->SetValue((enable & 1) != 0);
    highAlarm->SetValue((enable & 2) != 0);
    Box()->AddSpacer(8);
    wxBoxSizer* checks = AddCustomRow();
    checks->Add(lowAlarm, 0, wxRIGHT, 8);
    checks->Add(highAlarm, 0, wxRIGHT, 8);
    Box()->AddSpacer(8);
    FinishLayout();
}

bool DlgReg1Alarm::TakeResults() {
    for (int i = 0; i < 4; ++i)
        if (!TakeDecimalValue(fields[i], &decimals[i])) return false;
    return true;
}

void DlgReg1Alarm::TakeChoices() {
    alarmEnable = static_cast<uint8_t>((lowAlarm->GetValue() ? 1 : 0) + (highAlarm->GetValue() ? 2 : 0));
}
