#include "dialogs/DlgAnalogConst.h"

#include "comm/ParamValue.h"

DlgAnalogConst::DlgAnalogConst(wxWindow* parent, const wxString& title, ParamValue** records, long style,
                               wxWindowID id)
    : ConfigDialog(parent, title, wxString::FromUTF8("Stałe analogowe użytkownika"), style, id) {
    for (int i = 0; i < kConstantCount; ++i) {
        results[i] = *records[i]->GetDecimal();
        texts[i] = MakeDecimalText(results[i], 60, DecimalForm::STORED);
        AddRow(wxString::Format(wxString::FromUTF8("Stała #%d"), i + 1), texts[i]);
    }
    FinishLayout();
}

bool DlgAnalogConst::TakeResults() { return TakeDecimalValues(texts, kConstantCount, results); }
