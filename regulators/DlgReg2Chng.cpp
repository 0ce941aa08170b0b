#include "regulators/DlgReg2Chng.h"

#include <wx/stattext.h>

#include <algorithm>
#include <iterator>

#include "comm/NumberText.h"
#include "comm/ParamValue.h"
#include "widgets/LayoutHelpers.h"

namespace {

constexpr int kFieldWidth = 70;
constexpr int kGap = 8;

const char* const kCaptions[DlgReg2Chng::kFieldCount] = {"SP1", "SP2", "Kp", "ti", "td",
                                                         "t1",  "t2",  "t3", "min", "max"};

wxString TenthsText(unsigned value) { return wxString::Format(wxASCII_STR("%.1f"), value * 0.1); }

}  // namespace

bool DlgReg2Chng::IsDecimalPosition(int position) {
    return position == SP1 || position == SP2 || position == KP || position == IN_MIN || position == IN_MAX;
}

unsigned DlgReg2Chng::MaxTenths(int position) { return position == T3 ? 0xFF : 0xFFFF; }

DlgReg2Chng::DlgReg2Chng(wxWindow* parent, const wxString& title, ParamValue* const items[kItemCount], long style,
                         wxWindowID id)
    : ConfigDialog(parent, title, wxString::FromUTF8("Konfiguracja PID"), style, id) {
    wxStaticText* captions[kFieldCount] = {};
    for (int i = 0; i < kFieldCount; ++i) {
        fields[i] = MakeText(wxString(), kFieldWidth);
        captions[i] = new wxStaticText(this, wxID_ANY, wxString::FromUTF8(kCaptions[i]));
    }
    // A caption and its field, the field stretching when asked.
    auto addPair = [&](wxBoxSizer* row, int position, int gapBefore, int proportion) {
        row->Add(captions[position], 0, wxALIGN_CENTER_VERTICAL | wxLEFT, gapBefore);
        row->Add(fields[position], proportion, wxALIGN_CENTER_VERTICAL);
    };

    wxBoxSizer* setPoints = AddCustomRow();
    addPair(setPoints, SP1, 0, 1);
    addPair(setPoints, SP2, kGap, 1);
    Box()->AddSpacer(kGap);

    wxBoxSizer* columns = AddCustomRow();
    static const int kColumns[2][3] = {{KP, TI, TD}, {T1, T2, T3}};
    for (int column = 0; column < 2; ++column) {
        auto* rows = new wxBoxSizer(wxVERTICAL);
        for (int position : kColumns[column]) {
            auto* row = new wxBoxSizer(wxHORIZONTAL);
            addPair(row, position, 0, 0);
            rows->Add(row);
        }
        columns->Add(rows, 0, wxLEFT, column == 0 ? 0 : kGap);
    }
    Box()->AddSpacer(kGap);

    Box()->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8("Zakres wartości we (In):")), 0, wxBOTTOM, 2);
    wxBoxSizer* range = AddCustomRow();
    addPair(range, IN_MIN, 0, 1);
    addPair(range, IN_MAX, kGap, 1);

    wxStaticText* firstColumn[] = {captions[SP1], captions[KP], captions[TI], captions[TD], captions[IN_MIN]};
    wxStaticText* secondColumn[] = {captions[SP2], captions[T1], captions[T2], captions[T3], captions[IN_MAX]};
    AlignLabelWidths(5, firstColumn, 4);
    AlignLabelWidths(5, secondColumn, 4);

    Box()->AddSpacer(kGap);
    inversionBox = new wxCheckBox(this, wxID_ANY, wxString::FromUTF8("Inwersja"));
    Box()->Add(inversionBox);
    Box()->AddSpacer(kGap);
    FinishLayout(false);

    for (int i = 0; i < kFieldCount; ++i) {
        const ParamValue& item = *items[i];
        if (IsDecimalPosition(i)) {
            ShowDecimal(fields[i], *item.GetDecimal());
        } else {
            fields[i]->ChangeValue(TenthsText(i == T3 ? item.GetU8() : item.GetU16()));
        }
    }
    inversionBox->SetValue(items[INVERSION]->GetU8() != 0);
    Bind(wxEVT_SIZE, &DlgReg2Chng::OnSize, this);
}

bool DlgReg2Chng::TakeTenths(int position, uint16_t* out) {
    unsigned long tenths = 0;
    if (!TakeScaledCount(fields[position], 10, MaxTenths(position), &tenths)) return false;
    *out = static_cast<uint16_t>(tenths);
    return true;
}

bool DlgReg2Chng::TakeResults() {
    // Every field is checked before anything is stored, so a refused entry leaves the results
    // of an earlier OK as they were.
    DecimalValue newDecimals[kFieldCount] = {};
    uint16_t newTenths[kFieldCount] = {};
    for (int i = 0; i < kFieldCount; ++i) {
        const bool taken = IsDecimalPosition(i) ? TakeDecimalValue(fields[i], &newDecimals[i])
                                                : TakeTenths(i, &newTenths[i]);
        if (!taken) return false;
    }
    std::copy(std::begin(newDecimals), std::end(newDecimals), decimals);
    std::copy(std::begin(newTenths), std::end(newTenths), tenths);
    inversion = inversionBox->GetValue() ? 1 : 0;
    return true;
}

void DlgReg2Chng::OnSize(wxSizeEvent&) {
    Layout();
    // The fields below the set points follow the SP1 field's width, so the two columns line up
    // with the set-point row however wide the dialog is; the rows are then laid out again, so
    // the second column moves beside the wider fields.
    const int width = fields[SP1]->GetSize().GetWidth();
    bool widened = false;
    for (int position : {KP, TI, TD, T1, T2, T3, IN_MIN, IN_MAX}) {
        wxTextCtrl* field = fields[position];
        const wxSize size(width, field->GetSize().GetHeight());
        if (field->GetSize() == size && field->GetMinSize() == size) continue;
        field->SetMinSize(size);
        field->SetSize(size);
        widened = true;
    }
    if (widened) Layout();
}
