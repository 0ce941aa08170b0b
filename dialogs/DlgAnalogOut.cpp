#include "dialogs/DlgAnalogOut.h"

#include "comm/NumberText.h"
#include "comm/ParamValue.h"
#include "dialogs/ConfigCommand.h"
#include "dialogs/SwitchSymbol.h"
#include "widgets/LayoutHelpers.h"
#include "widgets/SourceLists.h"
#include "widgets/jwxCombo.h"

namespace {

wxString U8(const char* text) { return wxString::FromUTF8(text); }

enum Source { SOURCE_PRIMARY, SOURCE_SWITCH, SOURCE_ALTERNATIVE };

constexpr double kLowestLimit = -0.01;
constexpr double kHighestLimit = 1.02;

wxString EntryName(int index) {
    return wxString::Format(index < DlgAnalogOut::kFirstMux ? wxASCII_STR("Wy #%d") : wxASCII_STR("Mux #%d"),
                            index + 1);
}

wxArrayString EntryNames() {
    wxArrayString names;
    for (int i = 0; i < DlgAnalogOut::kEntryCount; ++i) names.Add(EntryName(i));
    return names;
}

wxString LimitText(int16_t thousandths) { return wxString::Format(wxASCII_STR("%.3f"), thousandths * 0.001); }

int16_t SignedValue(const ParamValue* value) { return static_cast<int16_t>(value->GetU16()); }

}  // namespace

DlgAnalogOut::DlgAnalogOut(LiveEditorOwner* owner, const wxString& title, ReadRecordFn read, WriteAnalogOutFn write,
                           long style, wxWindowID id)
    : LiveEditor(owner, title, U8("Wyjścia i multipleksery analogowe"), EntryNames(), read, style, id),
      write(write) {
    readErrorText = U8("Błąd komunikacyjny: odczyt danych");
    writeErrorText = U8("Błąd komunikacyjny: zapis danych");
    writeErrorCaption = U8("Błąd");

    sources[SOURCE_PRIMARY] = MakeCombo(SourceListItems(AnalogOutSourceList));
    sources[SOURCE_SWITCH] = MakeCombo(SourceListItems(BinarySourceList));
    sources[SOURCE_ALTERNATIVE] = MakeCombo(SourceListItems(AnalogSourceList));
    const SwitchDiagram diagram = BuildSwitchDiagram(this, sources[SOURCE_PRIMARY], sources[SOURCE_ALTERNATIVE],
                                                     sources[SOURCE_SWITCH], U8("Mux XXX"));
    output = diagram.output;
    for (wxTextCtrl*& field : fields) field = MakeText(wxString(), 60);

    auto text = [this](const char* label) { return new wxStaticText(this, wxID_ANY, U8(label)); };
    wxStaticText* left[4] = {text(""), text(""), text("min"), text("max")};
    wxStaticText* right[4] = {text(""), text(""), text(""), text("")};
    auto newRow = [] { return new wxBoxSizer(wxHORIZONTAL); };

    wxBoxSizer* heading = newRow();
    heading->Add(left[0]);
    heading->Add(text("N o r m a l i z a c j a    w e j ś ć"), 2);
    heading->AddSpacer(40);
    heading->Add(text("Limit"), 1);
    heading->Add(right[0]);

    wxBoxSizer* columns = newRow();
    columns->Add(left[1]);
    columns->Add(text("We Pri"), 1);
    columns->AddSpacer(8);
    columns->Add(text("We Alt"), 1);
    columns->AddSpacer(40);
    columns->Add(text("Wy"), 1);
    columns->Add(right[1]);

    wxBoxSizer* fieldRows[2] = {newRow(), newRow()};
    for (int r = 0; r < 2; ++r) {
        fieldRows[r]->Add(left[2 + r], 0, wxALIGN_CENTER_VERTICAL);
        fieldRows[r]->Add(fields[PRIMARY_MIN + r], 1);
        fieldRows[r]->AddSpacer(8);
        fieldRows[r]->Add(fields[ALTERNATIVE_MIN + r], 1);
        fieldRows[r]->AddSpacer(40);
        fieldRows[r]->Add(fields[LOWER_LIMIT + r], 1);
        fieldRows[r]->Add(right[2 + r]);
    }

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(diagram.diagramRow, 0, wxEXPAND);
    column->Add(diagram.switchRow, 0, wxEXPAND);
    column->Add(heading, 0, wxEXPAND | wxTOP, 12);
    column->Add(columns, 0, wxEXPAND);
    column->Add(fieldRows[0], 0, wxEXPAND | wxTOP, 3);
    column->Add(fieldRows[1], 0, wxEXPAND);
    column->AddStretchSpacer();
    column->Add(MakeSaveRow(wxTOP | wxBOTTOM, 16));
    ListRow()->Add(column, 1, wxEXPAND);

    wxWindow* ends[6] = {diagram.output, diagram.wireEnd, right[0], right[1], right[2], right[3]};
    AlignLabelWidths(6, ends, 0);
    AlignLabelWidths(4, left, 4);

    FinishEditorLayout();
    output->SetLabel(wxString());
    Bind(wxEVT_COMBOBOX, &DlgAnalogOut::OnEntryChanged, this);
    Bind(wxEVT_TEXT, &DlgAnalogOut::OnEntryChanged, this);
}

void DlgAnalogOut::EntryChosen(int index) { output->SetLabel(EntryName(index)); }

bool DlgAnalogOut::ReadEntry(int index) {
    const bool mux = index >= kFirstMux;
    const int count = mux ? 9 : 7;
    ParamRecords values(9);
    if (!ReadRecord(index, values, count)) return false;

    jwxCombo* primary = sources[SOURCE_PRIMARY];
    primary->Clear();
    for (const wxString& item : SourceListItems(mux ? AnalogSourceList : AnalogOutSourceList)) primary->AppendItem(item);
    for (int i = 0; i < 3; ++i) {
        sourcesRead[i] = values[i]->GetU8();
        sources[i]->SelectValue(sourcesRead[i]);
    }

    // An output has only the alternative pair; its primary fields stay empty.
    const int firstPair = mux ? PRIMARY_MIN : ALTERNATIVE_MIN;
    for (int f = PRIMARY_MIN; f <= ALTERNATIVE_MAX; ++f) {
        if (f < firstPair)
            ClearDecimal(fields[f]);
        else
            ShowDecimal(fields[f], *values[3 + f - firstPair]->GetDecimal(), DecimalForm::STORED);
    }
    const int firstLimit = count - 2;
    for (int l = 0; l < 2; ++l) {
        limitsRead[l] = SignedValue(values[firstLimit + l]);
        fields[LOWER_LIMIT + l]->ChangeValue(LimitText(limitsRead[l]));
    }
    return true;
}

bool DlgAnalogOut::IsPairUsed(Field field) const {
    if (field <= PRIMARY_MAX)
        return IsMux() && ChosenCode(sources[SOURCE_PRIMARY], sourcesRead[SOURCE_PRIMARY]) < kFirstNormalisedSource;
    return ChosenCode(sources[SOURCE_ALTERNATIVE], sourcesRead[SOURCE_ALTERNATIVE]) < kFirstNormalisedSource;
}

void DlgAnalogOut::EnableEntryControls(bool valid) {
    for (jwxCombo* source : sources) source->Enable(valid);
    for (int f = PRIMARY_MIN; f <= ALTERNATIVE_MAX; ++f) fields[f]->Enable(valid && IsPairUsed(Field(f)));
    fields[LOWER_LIMIT]->Enable(valid);
    fields[UPPER_LIMIT]->Enable(valid);
}

bool DlgAnalogOut::ValidateEntries() {
    for (int f = PRIMARY_MIN; f <= ALTERNATIVE_MAX; ++f) {
        DecimalValue value;
        if (fields[f]->IsEnabled() && !TakeDecimalValue(fields[f], &value)) return false;
    }
    for (Field f : {LOWER_LIMIT, UPPER_LIMIT}) {
        double value = 0;
        if (fields[f]->IsEnabled() &&
            !TakeNumberInRange(fields[f], kLowestLimit, kHighestLimit, U8("Błąd zakresu liczby: -0.010 .. +1.020"),
                               &value))
            return false;
    }
    return true;
}

int16_t DlgAnalogOut::FieldLimit(Field field) const {
    double value = 0;
    if (!ParseDecimalText(fields[field]->GetValue(), &value)) return limitsRead[field - LOWER_LIMIT];
    return static_cast<int16_t>(RoundHalfAway(value * 1000));
}

int DlgAnalogOut::WriteEntry() {
    uint8_t record[3];
    for (int i = 0; i < 3; ++i) record[i] = static_cast<uint8_t>(ChosenCode(sources[i], sourcesRead[i]));
    DecimalValue decimals[4];
    int count = 0;
    for (int f = IsMux() ? PRIMARY_MIN : ALTERNATIVE_MIN; f <= ALTERNATIVE_MAX; ++f)
        decimals[count++] = FieldDecimal(fields[f]);
    const int16_t limits[2] = {FieldLimit(LOWER_LIMIT), FieldLimit(UPPER_LIMIT)};
    return write(Owner(), GetCurrentEntry(), record, decimals, limits);
}

wxString DlgAnalogOut::SavePrompt() const {
    return wxString::Format(U8("Zmiany w konfiguracji wyjścia #%d nie zostały zapisane.\nZapisać?"),
                            GetCurrentEntry() + 1);
}
