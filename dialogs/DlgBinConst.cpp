#include "dialogs/DlgBinConst.h"

#include "comm/ParamValue.h"

DlgBinConst::DlgBinConst(wxWindow* parent, const wxString& title, ParamValue** records, long style, wxWindowID id)
    : ConfigDialog(parent, title, wxString::FromUTF8("Stałe binarne użytkownika"), style, id) {
    for (int i = 0; i < kConstantCount; ++i) {
        // Any non-zero byte stands for on; OK writes it back as 1.
        results[i] = records[i]->GetU8() != 0 ? 1 : 0;
        boxes[i] = new wxCheckBox(this, wxID_ANY, wxString::Format(wxString::FromUTF8("Stała #%d"), i + 1));
        boxes[i]->SetValue(results[i] != 0);
        AddRow(wxString(), boxes[i], false);
    }
    FinishLayout();
}

void DlgBinConst::TakeChoices() {
    for (int i = 0; i < kConstantCount; ++i) results[i] = boxes[i]->GetValue() ? 1 : 0;
}
