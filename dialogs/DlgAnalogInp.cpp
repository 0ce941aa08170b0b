#include "dialogs/DlgAnalogInp.h"

#include "comm/ParamValue.h"
#include "widgets/LayoutHelpers.h"
#include "widgets/jwxCombo.h"

namespace {
std::vector<wxString> Items(std::initializer_list<const char*> texts) {
    std::vector<wxString> items;
    for (const char* text : texts) items.push_back(wxString::FromUTF8(text));
    return items;
}
}  // namespace

DlgAnalogInp::DlgAnalogInp(wxWindow* parent, const wxString& title, ParamValue** records, long style, wxWindowID id)
    : ConfigDialog(parent, title, wxString::FromUTF8("We analogowe"), style, id) {
    const std::vector<wxString> ptTypes = Items({"0 - Wyłączony", "1 - Pt-1000", "2 - Pt-100"});
    const std::vector<wxString> uiTypes = Items({"0 - Wyłączony", "1 - 0-10V", "2 - 0-1V", "3 - 4-20 mA"});

    noMode = new wxRadioButton(this, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    noMode->Hide();
    static const char* const kModeTexts[] = {"0 - Wyłączone", "1 - Pt", "2 - U/I"};
    for (int i = 0; i < 3; ++i) radios[i] = new wxRadioButton(this, kRadioId, wxString::FromUTF8(kModeTexts[i]));

    for (int i = 0; i < kListCount; ++i) {
        resultTypes[i] = records[i + 1]->GetU8();
        lists[i] = MakeList(i < 2 ? ptTypes : uiTypes, resultTypes[i], &resultTypes[i]);
    }

    AddCustomRow()->Add(radios[MODE_OFF], 0, wxALL, 5);
    for (int mode : {MODE_PT, MODE_UI}) {
        wxBoxSizer* row = AddCustomRow();
        row->Add(radios[mode], 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
        auto* column = new wxBoxSizer(wxVERTICAL);
        const int first = mode == MODE_PT ? 0 : 2;
        const int last = mode == MODE_PT ? 1 : 5;
        for (int i = first; i <= last; ++i) column->Add(lists[i], 0, wxEXPAND | wxALL, 3);
        row->Add(column, 1, wxEXPAND);
    }
    wxWindow* aligned[2] = {radios[MODE_PT], radios[MODE_UI]};
    AlignLabelWidths(2, aligned, 0);

    modeRead = records[0]->GetU8();
    if (modeRead <= MODE_UI) {
        radios[modeRead]->SetValue(true);
        EnableLists(modeRead);
    }
    resultMode = modeRead;
    FinishLayout(false);
    for (wxRadioButton* radio : radios) radio->Bind(wxEVT_RADIOBUTTON, &DlgAnalogInp::OnModeRadio, this);
}

int DlgAnalogInp::ChosenMode() const {
    if (radios[MODE_UI]->GetValue()) return MODE_UI;
    if (radios[MODE_PT]->GetValue()) return MODE_PT;
    if (radios[MODE_OFF]->GetValue()) return MODE_OFF;
    return modeRead;
}

void DlgAnalogInp::EnableLists(int mode) {
    for (int i = 0; i < kListCount; ++i) {
        const bool ptList = i < 2;
        lists[i]->Enable((mode == MODE_PT && ptList) || (mode == MODE_UI && !ptList));
    }
}

void DlgAnalogInp::OnModeRadio(wxCommandEvent&) { EnableLists(ChosenMode()); }

void DlgAnalogInp::TakeChoices() { resultMode = ChosenMode(); }
