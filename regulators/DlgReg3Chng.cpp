#include "regulators/DlgReg3Chng.h"

#include <wx/checkbox.h>
#include <wx/radiobut.h>

#include <algorithm>
#include <cmath>

#include "comm/ParamValue.h"
#include "regulators/TimedTimeText.h"
#include "widgets/LayoutHelpers.h"
#include "widgets/SourceLists.h"

namespace {
wxString U8(const char* text) { return wxString::FromUTF8(text); }
constexpr int kFieldWidth = 70;
constexpr int kGap = 2;              // around the controls of a row
constexpr int kSetPointSpacing = 8;  // between the SP1 field and the SP2 caption
constexpr int kUnitPairMargin = 8;   // between a time field and its unit pair
constexpr int kUnitSpacing = 4;      // between the two radio buttons of a unit pair
}  // namespace

DlgReg3Chng::DlgReg3Chng(wxWindow* parent, const wxString& title, ParamValue** items, long style, wxWindowID id)
    : ConfigDialog(parent, title, U8("Konfiguracja"), style, id) {
    wxStaticText* numberCaptions[5];
    const char* const numberNames[5] = {"SP1", "SP2", "t1", "t2", "t3"};
    for (int i = 0; i < 5; ++i) numberCaptions[i] = new wxStaticText(this, wxID_ANY, U8(numberNames[i]));

    // Set points of both zones side by side.
    wxBoxSizer* row = AddCustomRow();
    for (int i = 0; i < 2; ++i) {
        setPointFields[i] = MakeDecimalText(*items[ITEM_SP1 + i]->GetDecimal(), kFieldWidth);
        if (i == 1) row->AddSpacer(kSetPointSpacing);
        row->Add(numberCaptions[i], 0, wxALIGN_CENTER_VERTICAL | wxALL, kGap);
        row->Add(setPointFields[i], 1, wxALIGN_CENTER_VERTICAL | wxALL, kGap);
    }
    Box()->AddSpacer(8);

    // t1 and t2 with their units; the radio pair sets the unit the typed number is read in.
    const Item timeItems[2] = {ITEM_T1, ITEM_T2};
    const Item unitItems[2] = {ITEM_T1_MINUTES, ITEM_T2_MINUTES};
    for (int i = 0; i < 2; ++i) {
        const bool minutes = items[unitItems[i]]->GetU8() != 0;
        timeFields[i] = MakeText(TimedTimeText(items[timeItems[i]]->GetU16(), minutes), kFieldWidth);
        secondsRadio[i] = new wxRadioButton(this, kUnitRadioId, TimedTimeUnit(false), wxDefaultPosition,
                                            wxDefaultSize, wxRB_GROUP);
        minutesRadio[i] = new wxRadioButton(this, kUnitRadioId, TimedTimeUnit(true));
        (minutes ? minutesRadio[i] : secondsRadio[i])->SetValue(true);
        wxRadioButton* pair[2] = {secondsRadio[i], minutesRadio[i]};
        AddTimeRow(numberCaptions[2 + i], timeFields[i], pair);
    }
    timeFields[2] = MakeText(TimedTimeText(items[ITEM_T3]->GetU8(), false), kFieldWidth);
    AddTimeRow(numberCaptions[4], timeFields[2], nullptr);
    Box()->AddSpacer(8);
    AlignLabelWidths(5, numberCaptions, 4);
    // A time row holds its unit pair where the set-point row holds the SP2 caption and field.
    // Fields at least this wide keep the time rows the narrower ones, so the time fields can
    // take the SP1 field's width at any dialog size without pushing their units out.
    const int pairWidth = kUnitPairMargin + secondsRadio[0]->GetBestSize().GetWidth() + kUnitSpacing +
                          minutesRadio[0]->GetBestSize().GetWidth();
    const int setPoint2Width = kSetPointSpacing + numberCaptions[1]->GetMinSize().GetWidth() + 4 * kGap;
    const wxSize fieldSize(std::max(kFieldWidth, pairWidth - setPoint2Width), -1);
    for (wxTextCtrl* field : setPointFields) field->SetMinSize(fieldSize);
    for (wxTextCtrl* field : timeFields) field->SetMinSize(fieldSize);

    inversionBox = new wxCheckBox(this, wxID_ANY, U8("Inwersja"));
    inversionBox->SetValue(items[ITEM_INVERSION]->GetU8() != 0);
    Box()->Add(inversionBox, 0, wxALL, kGap);
    Box()->AddSpacer(10);
    Box()->Add(new wxStaticText(this, wxID_ANY, U8("Wejścia sterujące:")), 0, wxLEFT | wxRIGHT, kGap);
    Box()->AddSpacer(3);

    // Control inputs; an input whose code the list does not hold keeps that code unless a new
    // one is chosen.
    wxStaticText* inputCaptions[3];
    const char* const inputNames[3] = {"Pri", "Sec", "Gate"};
    const std::vector<wxString> sources = SourceListItems(BinarySourceList);
    for (int i = 0; i < 3; ++i) {
        inputCaptions[i] = new wxStaticText(this, wxID_ANY, U8(inputNames[i]));
        jwxCombo* list = MakeList(sources, items[ITEM_PRI + i]->GetU8(), &inputs[i]);
        wxBoxSizer* inputRow = AddCustomRow();
        inputRow->Add(inputCaptions[i], 0, wxALIGN_CENTER_VERTICAL | wxALL, kGap);
        inputRow->Add(list, 1, wxEXPAND | wxALL, kGap);
    }
    AlignLabelWidths(3, inputCaptions, 4);

    FinishLayout(false);
    Bind(wxEVT_SIZE, &DlgReg3Chng::OnSize, this);
}

void DlgReg3Chng::AddTimeRow(wxStaticText* caption, wxTextCtrl* field, wxRadioButton** unitPair) {
    wxBoxSizer* row = AddCustomRow();
    row->Add(caption, 0, wxALIGN_CENTER_VERTICAL | wxALL, kGap);
    row->Add(field, 0, wxALIGN_CENTER_VERTICAL | wxALL, kGap);
    if (!unitPair) return;
    row->Add(unitPair[0], 0, wxALIGN_CENTER_VERTICAL | wxLEFT, kUnitPairMargin);
    row->Add(unitPair[1], 0, wxALIGN_CENTER_VERTICAL | wxLEFT, kUnitSpacing);
}

// The time fields follow the width the set-point fields take as the dialog is resized, so the
// columns stay lined up; the rows are then laid out again, so the unit pairs move beside the
// wider fields instead of staying under them.
void DlgReg3Chng::OnSize(wxSizeEvent&) {
    Layout();
    const int width = setPointFields[0]->GetSize().GetWidth();
    bool widened = false;
    for (wxTextCtrl* field : timeFields) {
        const wxSize size(width, field->GetSize().GetHeight());
        if (field->GetSize() == size && field->GetMinSize() == size) continue;
        field->SetMinSize(size);
        field->SetSize(size);
        widened = true;
    }
    if (widened) Layout();
}

bool DlgReg3Chng::TakeTime(wxTextCtrl* field, bool minutes, uint32_t max, uint16_t* out) {
    unsigned long stored = 0;
    if (!TakeScaledCount(field, minutes ? 1 : 10, max, &stored)) return false;
    *out = static_cast<uint16_t>(stored);
    return true;
}

bool DlgReg3Chng::TakeResults() {
    DecimalValue newSetPoints[2];
    uint16_t newTimes[3] = {};
    const bool minutes[2] = {minutesRadio[0]->GetValue(), minutesRadio[1]->GetValue()};
    if (!TakeDecimalValue(setPointFields[0], &newSetPoints[0]) ||
        !TakeDecimalValue(setPointFields[1], &newSetPoints[1]) ||
        !TakeTime(timeFields[0], minutes[0], kMaxTime, &newTimes[0]) ||
        !TakeTime(timeFields[1], minutes[1], kMaxTime, &newTimes[1]) ||
        !TakeTime(timeFields[2], false, kMaxT3, &newTimes[2]))
        return false;
    for (int i = 0; i < 2; ++i) {
        setPoints[i] = newSetPoints[i];
        unitFlags[i] = minutes[i] ? 1 : 0;
    }
    for (int i = 0; i < 3; ++i) times[i] = newTimes[i];
    inversion = inversionBox->GetValue() ? 1 : 0;
    return true;
}
