#include "dialogs/ConfigDialog.h"

#include <wx/statbox.h>

#include <algorithm>

#include "comm/NumberText.h"
#include "widgets/FramedBox.h"
#include "widgets/LayoutHelpers.h"
#include "widgets/MesgBox.h"
#include "widgets/OkCancelButtons.h"
#include "widgets/jwxCombo.h"

ConfigDialog::ConfigDialog(wxWindow* parent, const wxString& title, const wxString& caption, long style,
                           wxWindowID id)
    : wxDialog(parent, id, title, wxDefaultPosition, wxDefaultSize, style, wxASCII_STR("dialog")) {
    outer = new wxBoxSizer(wxVERTICAL);
    box = new wxStaticBoxSizer(new FramedBox(this, wxID_ANY, caption), wxVERTICAL);
    outer->Add(box, 0, wxEXPAND | wxALL, 1);
}

ConfigDialog::~ConfigDialog() = default;

wxBoxSizer* ConfigDialog::AddCustomRow() {
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    box->Add(row, 0, wxEXPAND);
    return row;
}

wxStaticText* ConfigDialog::MakeCaption(const wxString& text) {
    auto* caption = new wxStaticText(this, wxID_ANY, text);
    captions.push_back(caption);
    return caption;
}

wxBoxSizer* ConfigDialog::AddRow(const wxString& caption, wxWindow* control, bool withCaption) {
    wxBoxSizer* row = AddCustomRow();
    if (withCaption) row->Add(MakeCaption(caption), 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    row->Add(control, 1, wxALIGN_CENTER_VERTICAL | wxALL, 3);
    return row;
}

jwxCombo* ConfigDialog::MakeCombo(const std::vector<wxString>& items) {
    return new jwxCombo(this, wxID_ANY, static_cast<int>(items.size()), items.data(), wxCB_READONLY);
}

jwxCombo* ConfigDialog::MakeList(const std::vector<wxString>& items, int codeRead, int* result) {
    jwxCombo* list = MakeCombo(items);
    list->SelectValue(codeRead);
    lists.push_back({list, codeRead, result});
    return list;
}

int ConfigDialog::ChosenCode(const jwxCombo* list, int codeRead) {
    const int chosen = list->GetSelectedValue();
    return chosen < 0 ? codeRead : chosen;
}

wxTextCtrl* ConfigDialog::MakeText(const wxString& text, int width) {
    return new wxTextCtrl(this, wxID_ANY, text, wxDefaultPosition, wxSize(width, -1));
}

namespace {
wxString DecimalFieldText(const DecimalValue& value, bool readoutForm) {
    if (readoutForm) return FormatFixedWidth(decimal_to_double(value), 4);
    char buffer[kDecimalTextSize];
    return wxString::FromAscii(decimal_format(0, value, buffer));
}
}  // namespace

wxTextCtrl* ConfigDialog::MakeDecimalText(const DecimalValue& valueRead, int width, DecimalForm form) {
    wxTextCtrl* field = MakeText(wxString(), width);
    ShowDecimal(field, valueRead, form);
    return field;
}

void ConfigDialog::ShowDecimal(wxTextCtrl* field, const DecimalValue& valueRead, DecimalForm form) {
    ClearDecimal(field);
    field->ChangeValue(DecimalFieldText(valueRead, form == DecimalForm::READOUT));
    shownDecimals.push_back({field, field->GetValue(), valueRead});
}

void ConfigDialog::ClearDecimal(wxTextCtrl* field) {
    shownDecimals.erase(std::remove_if(shownDecimals.begin(), shownDecimals.end(),
                                       [field](const ShownDecimal& shown) { return shown.field == field; }),
                        shownDecimals.end());
    field->ChangeValue(wxString());
}

const ConfigDialog::ShownDecimal* ConfigDialog::FindShownDecimal(const wxTextCtrl* field) const {
    for (const ShownDecimal& shown : shownDecimals)
        if (shown.field == field) return &shown;
    return nullptr;
}

DecimalValue ConfigDialog::FieldDecimal(const wxTextCtrl* field) const {
    const ShownDecimal* shown = FindShownDecimal(field);
    if (shown && shown->text == field->GetValue()) return shown->valueRead;
    DecimalValue typed;
    if (ParseDecimalValueText(field->GetValue(), &typed)) return typed;
    return shown ? shown->valueRead : DecimalValue{};
}

void ConfigDialog::FinishLayout(bool alignCaptions, bool withCancel) {
    if (alignCaptions && captions.size() >= 2) AlignLabelWidths(static_cast<int>(captions.size()), captions.data(), 0);
    outer->Add(0, 1, 1);  // takes the extra height when the dialog grows
    outer->Add(CreateOkCancelButtons(this, withCancel), 0, wxEXPAND | wxALL, 6);
    SetSizer(outer);
    outer->SetSizeHints(this);
    Centre(wxBOTH);
}

int ConfigDialog::ShowModal() {
    const int result = wxDialog::ShowModal();
    TakeChoiceResults();
    return result;
}

void ConfigDialog::TakeChoiceResults() {
    for (const ListResult& entry : lists) *entry.result = ChosenCode(entry.list, entry.codeRead);
    TakeChoices();
}

bool ConfigDialog::TransferDataFromWindow() {
    if (!wxDialog::TransferDataFromWindow()) return false;
    TakeChoiceResults();
    return TakeResults();
}

void ConfigDialog::RefuseEntry(wxTextCtrl* field, const wxString& message) {
    field->SetFocus();
    field->SetSelection(-1, -1);
    MesgBox(this, message, wxString::FromUTF8("Błąd"), wxOK | wxICON_EXCLAMATION);
}

namespace {
wxString NumberMessage() { return wxString::FromUTF8("Błąd zapisu liczby"); }
}  // namespace

bool ConfigDialog::TakeNumber(wxTextCtrl* field, double* out) {
    if (ParseDecimalText(field->GetValue(), out)) return true;
    RefuseEntry(field, NumberMessage());
    return false;
}

bool ConfigDialog::TakeNumberInRange(wxTextCtrl* field, double min, double max, const wxString& rangeMessage,
                                     double* out) {
    double value = 0;
    if (!TakeNumber(field, &value)) return false;
    if (!(value >= min && value <= max)) {
        RefuseEntry(field, rangeMessage);
        return false;
    }
    *out = value;
    return true;
}

namespace {
// "Błąd zakresu liczby: 0.0 - 6553.5": the range of a count of 1/scale units, in those units.
wxString CountRangeMessage(double scale, unsigned long max) {
    int places = 0;
    for (double step = scale; step >= 10; step /= 10) ++places;
    return wxString::FromUTF8("Błąd zakresu liczby: ") + wxString::FromCDouble(0.0, places) + wxASCII_STR(" - ") +
           wxString::FromCDouble(static_cast<double>(max) / scale, places);
}
}  // namespace

bool ConfigDialog::TakeScaledCount(wxTextCtrl* field, double scale, unsigned long max, unsigned long* out) {
    double value = 0;
    if (!TakeNumber(field, &value)) return false;
    // Checked before rounding, so a number of any length cannot reach the conversion.
    const bool fits = value >= 0 && value * scale < static_cast<double>(max) + 1;
    const long count = fits ? RoundHalfAway(value * scale) : -1;
    if (count < 0 || static_cast<unsigned long>(count) > max) {
        RefuseEntry(field, CountRangeMessage(scale, max));
        return false;
    }
    *out = static_cast<unsigned long>(count);
    return true;
}

bool ConfigDialog::TakeInteger(wxTextCtrl* field, long* out) {
    if (ParseIntegerText(field->GetValue(), out)) return true;
    RefuseEntry(field, NumberMessage());
    return false;
}

bool ConfigDialog::TakeDecimalValue(wxTextCtrl* field, DecimalValue* out) {
    const ShownDecimal* shown = FindShownDecimal(field);
    if (shown && shown->text == field->GetValue()) {
        *out = shown->valueRead;
        return true;
    }
    if (ParseDecimalValueText(field->GetValue(), out)) return true;
    RefuseEntry(field, NumberMessage());
    return false;
}

bool ConfigDialog::TakeDecimalValues(wxTextCtrl* const fields[], int count, DecimalValue out[]) {
    std::vector<DecimalValue> values(count > 0 ? count : 0);
    for (int i = 0; i < count; ++i)
        if (!TakeDecimalValue(fields[i], &values[i])) return false;
    std::copy(values.begin(), values.end(), out);
    return true;
}
