#include "dialogs/DlgLogicConf.h"

#include "comm/ParamValue.h"
#include "dialogs/ConfigCommand.h"
#include "widgets/LayoutHelpers.h"
#include "widgets/SourceLists.h"
#include "widgets/jwxCombo.h"

namespace {

wxString U8(const char* text) { return wxString::FromUTF8(text); }

enum Flag { FLAG_INPUT1 = 1, FLAG_INPUT2 = 2, FLAG_OUTPUT = 4, FLAG_XOR = 8 };

wxArrayString GateNames() {
    wxArrayString names;
    for (int i = 0; i < DlgLogicConf::kGateCount; ++i) names.Add(wxString::Format(wxASCII_STR("Br #%d"), i + 1));
    return names;
}

}  // namespace

DlgLogicConf::DlgLogicConf(LiveEditorOwner* owner, const wxString& title, ReadRecordFn read, WriteRecordFn write,
                           long style, wxWindowID id)
    : LiveEditor(owner, title, U8("Bramki logiczne"), GateNames(), read, style, id), write(write) {
    const std::vector<wxString> sources = SourceListItems(BinarySourceList);
    wxStaticText* captions[3] = {new wxStaticText(this, wxID_ANY, U8("We #1")),
                                 new wxStaticText(this, wxID_ANY, U8("We #2")),
                                 new wxStaticText(this, wxID_ANY, U8("Wyjście"))};
    for (wxCheckBox*& box : negated) box = new wxCheckBox(this, wxID_ANY, U8("negacja"));
    for (jwxCombo*& input : inputs) input = MakeCombo(sources);
    andButton = new wxRadioButton(this, wxID_ANY, U8("AND"), wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    xorButton = new wxRadioButton(this, wxID_ANY, U8("XOR"));

    auto captionRow = [&](int i) {
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        row->Add(captions[i], 0, wxALIGN_CENTER_VERTICAL);
        row->Add(negated[i], 0, wxLEFT, 12);
        return row;
    };
    auto listRow = [&](int i) {
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        row->Add(inputs[i], 1);
        return row;
    };
    auto* radios = new wxBoxSizer(wxVERTICAL);
    radios->Add(andButton);
    radios->Add(xorButton, 0, wxTOP, 4);
    auto* radioRow = new wxBoxSizer(wxHORIZONTAL);
    radioRow->Add(radios, 0, wxLEFT | wxTOP | wxBOTTOM, 10);

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(captionRow(0));
    column->Add(listRow(0), 0, wxEXPAND | wxTOP, 2);
    column->Add(captionRow(1), 0, wxTOP, 7);
    column->Add(listRow(1), 0, wxEXPAND | wxTOP, 2);
    column->Add(radioRow, 0, wxTOP | wxLEFT, 8);
    column->Add(captionRow(2), 0, wxTOP, 7);
    column->AddStretchSpacer();
    column->Add(MakeSaveRow());
    ListRow()->Add(column, 1, wxEXPAND);
    AlignLabelWidths(3, captions, 0);

    FinishEditorLayout();
    Bind(wxEVT_CHECKBOX, &DlgLogicConf::OnEntryChanged, this);
    Bind(wxEVT_RADIOBUTTON, &DlgLogicConf::OnEntryChanged, this);
    Bind(wxEVT_COMBOBOX, &DlgLogicConf::OnEntryChanged, this);
}

bool DlgLogicConf::ReadEntry(int index) {
    ParamRecords values(3);
    if (!ReadRecord(index, values, 3)) return false;
    for (int i = 0; i < 2; ++i) {
        sourcesRead[i] = values[i]->GetU8();
        inputs[i]->SelectValue(sourcesRead[i]);
    }
    const uint8_t flags = values[2]->GetU8();
    negated[0]->SetValue(flags & FLAG_INPUT1);
    negated[1]->SetValue(flags & FLAG_INPUT2);
    negated[2]->SetValue(flags & FLAG_OUTPUT);
    (flags & FLAG_XOR ? xorButton : andButton)->SetValue(true);
    return true;
}

void DlgLogicConf::BuildRecord(uint8_t record[3]) const {
    for (int i = 0; i < 2; ++i) record[i] = static_cast<uint8_t>(ChosenCode(inputs[i], sourcesRead[i]));
    record[2] = static_cast<uint8_t>((negated[0]->GetValue() ? FLAG_INPUT1 : 0) |
                                     (negated[1]->GetValue() ? FLAG_INPUT2 : 0) |
                                     (negated[2]->GetValue() ? FLAG_OUTPUT : 0) | (xorButton->GetValue() ? FLAG_XOR : 0));
}

int DlgLogicConf::WriteEntry() {
    uint8_t record[3];
    BuildRecord(record);
    return write(Owner(), GetCurrentEntry(), record);
}

void DlgLogicConf::EnableEntryControls(bool valid) {
    for (wxCheckBox* box : negated) box->Enable(valid);
    for (jwxCombo* input : inputs) input->Enable(valid);
    andButton->Enable(valid);
    xorButton->Enable(valid);
}

wxString DlgLogicConf::SavePrompt() const {
    return wxString::Format(U8("Zmiany w konfiguracji bramki Br#%d nie zostały zapisane.\nZapisać?"),
                            GetCurrentEntry() + 1);
}
