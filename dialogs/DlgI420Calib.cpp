#include "dialogs/DlgI420Calib.h"

#include "comm/NumberText.h"
#include "comm/ParamValue.h"

DlgI420Calib::DlgI420Calib(wxWindow* parent, const wxString& title, ParamValue** records, long style,
                           wxWindowID id)
    : ConfigDialog(parent, title, wxString::FromUTF8("Kalibracja wejść 4-20mA"), style, id) {
    for (int i = 0; i < kInputCount; ++i) {
        texts[i] = MakeText(wxString::Format(wxASCII_STR("%.3f"), records[i]->GetU16() * 0.001), 60);
        AddRow(wxString::Format(wxASCII_STR("We #%d"), i + 1), texts[i]);
    }
    FinishLayout();
}

bool DlgI420Calib::TakeResults() {
    const wxString rangeMessage = wxString::FromUTF8("Błąd zakresu liczby: 0.0 - 1.999");
    double values[kInputCount] = {};
    for (int i = 0; i < kInputCount; ++i)
        if (!TakeNumberInRange(texts[i], 0.0, 1.999, rangeMessage, &values[i])) return false;
    for (int i = 0; i < kInputCount; ++i) results[i] = static_cast<uint16_t>(RoundHalfAway(values[i] * 1000));
    return true;
}
