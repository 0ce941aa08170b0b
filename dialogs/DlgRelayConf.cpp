#include "dialogs/DlgRelayConf.h"

#include "comm/ParamValue.h"
#include "dialogs/ConfigCommand.h"
#include "dialogs/SwitchSymbol.h"
#include "widgets/SourceLists.h"
#include "widgets/jwxCombo.h"

namespace {

wxString U8(const char* text) { return wxString::FromUTF8(text); }

wxArrayString OutputNames() {
    wxArrayString names;
    for (int i = 0; i < DlgRelayConf::kOutputCount; ++i) names.Add(DlgRelayConf::OutputName(i));
    return names;
}

}  // namespace

wxString DlgRelayConf::OutputName(int index) {
    return index < 5 ? wxString::Format(wxASCII_STR("P%d"), index + 1) : wxString::Format(wxASCII_STR("E%d"), index - 4);
}

DlgRelayConf::DlgRelayConf(LiveEditorOwner* owner, const wxString& title, ReadRecordFn read, WriteRecordFn write,
                           long style, wxWindowID id)
    : LiveEditor(owner, title, U8("Wyjścia przekaźnikowe"), OutputNames(), read, style, id), write(write) {
    sources[0] = MakeCombo(SourceListItems(RelaySourceList));
    sources[1] = MakeCombo(SourceListItems(BinarySourceList));
    sources[2] = MakeCombo(SourceListItems(BinarySourceList));
    const SwitchDiagram diagram = BuildSwitchDiagram(this, sources[0], sources[1], sources[2], U8("Wy XXX"));
    output = diagram.output;

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(diagram.diagramRow, 0, wxEXPAND);
    column->Add(diagram.switchRow, 0, wxEXPAND);
    column->AddStretchSpacer();
    column->Add(MakeSaveRow());
    ListRow()->Add(column, 1, wxEXPAND);

    FinishEditorLayout();
    output->SetLabel(wxString());
    Bind(wxEVT_COMBOBOX, &DlgRelayConf::OnEntryChanged, this);
}

void DlgRelayConf::EntryChosen(int index) { output->SetLabel(wxASCII_STR("Wy ") + OutputName(index)); }

bool DlgRelayConf::ReadEntry(int index) {
    ParamRecords values(3);
    if (!ReadRecord(index, values, 3)) return false;
    for (int i = 0; i < 3; ++i) {
        sourcesRead[i] = values[i]->GetU8();
        sources[i]->SelectValue(sourcesRead[i]);
    }
    return true;
}

int DlgRelayConf::WriteEntry() {
    uint8_t record[3];
    for (int i = 0; i < 3; ++i) record[i] = static_cast<uint8_t>(ChosenCode(sources[i], sourcesRead[i]));
    return write(Owner(), GetCurrentEntry(), record);
}

void DlgRelayConf::EnableEntryControls(bool valid) {
    for (jwxCombo* source : sources) source->Enable(valid);
}

wxString DlgRelayConf::SavePrompt() const {
    return wxString::Format(U8("Zmiany w konfiguracji wyjścia %s nie zostały zapisane.\nZapisać?"),
                            OutputName(GetCurrentEntry()));
}
