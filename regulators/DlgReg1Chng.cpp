#include "regulators/DlgReg1Chng.h"

#include "comm/ParamValue.h"
#include "widgets/LayoutHelpers.h"

namespace {
wxString U8(const char* text) { return wxString::FromUTF8(text); }
}  // namespace

DlgReg1Chng::DlgReg1Chng(wxWindow* parent, const wxString& title, ParamValue** items, long style, wxWindowID id)
    : ConfigDialog(parent, title, U8("Konfiguracja"), style, id) {
    for (int i = 0; i < 6; ++i)
        fields[i] = MakeDecimalText(*items[i]->GetDecimal(), 70);

    wxBoxSizer* setPoints = AddCustomRow();
    setPoints->Add(MakeCaption(U8("SP1")), 0, wxALIGN_CENTER_VERTICAL);
    setPoints->Add(fields[0], 1, wxALIGN_CENTER_VERTICAL | wxLEFT, 4);
    setPoints->Add(new wxStaticText(this, wxID_ANY, U8("SP2")), 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 8);
    setPoints->Add(fields[1], 1, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, 4);
    Box()->AddSpacer(8);
    static const char* const kThresholds[4] = {"h1a", "h0a", "h1b", "h0b"};
    for (int i = 0; i < 4; ++i) {
        wxBoxSizer* row = AddCustomRow();
        row->Add(MakeCaption(U8(kThresholds[i])), 0, wxALIGN_CENTER_VERTICAL);
        row->Add(fields[2 + i], 0, wxALIGN_CENTER_VERTICAL | wxLEFT | wxTOP, 4);
    }
    Box()->AddSpacer(8);
    inversionBox = new wxCheckBox(this, wxID_ANY, U8("Inwersja"));
    inversionBox->SetValue(items[6]->GetU8() != 0);
    AddCustomRow()->Add(inversionBox);
    Box()->AddSpacer(8);
    FinishLayout();
    Bind(wxEVT_SIZE, &DlgReg1Chng::OnSize, this);
}

void DlgReg1Chng::OnSize(wxSizeEvent& event) {
    Layout();
    const int width = fields[0]->GetSize().GetWidth();
    for (int i = 2; i < 6; ++i) {
        const wxSize size(width, fields[i]->GetSize().GetHeight());
        fields[i]->SetMinSize(size);
        fields[i]->SetSize(size);
    }
    Layout();
    event.Skip(false);
}

bool DlgReg1Chng::TakeResults() {
    for (int i = 0; i < 6; ++i)
        if (!TakeDecimalValue(fields[i], &decimals[i])) return false;
    return true;
}

void DlgReg1Chng::TakeChoices() { inversion = inversionBox->GetValue() ? 1 : 0; }
