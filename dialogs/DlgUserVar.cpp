#include "dialogs/DlgUserVar.h"

#include "comm/ParamValue.h"

DlgUserVar::DlgUserVar(wxWindow* parent, const wxString& title, ParamValue** records, long style, wxWindowID id)
    : ConfigDialog(parent, title, wxString::FromUTF8("Zmienne użytkownika"), style, id) {
    for (int i = 0; i < kFieldCount; ++i) {
        results[i] = *records[i]->GetDecimal();
        texts[i] = MakeDecimalText(results[i], 100, DecimalForm::STORED);
    }
    for (int r = 0; r < kFieldCount / 2; ++r) {
        wxBoxSizer* row = AddCustomRow();
        row->Add(MakeCaption(wxString::Format(wxASCII_STR("We #%d"), r + 1)), 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
        row->Add(texts[2 * r], 1, wxALIGN_CENTER_VERTICAL | wxALL, 3);
        row->Add(texts[2 * r + 1], 1, wxALIGN_CENTER_VERTICAL | wxALL, 3);
    }
    FinishLayout();
}

bool DlgUserVar::TakeResults() { return TakeDecimalValues(texts, kFieldCount, results); }
