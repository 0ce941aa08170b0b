#include "dialogs/DlgUserCalib.h"

#include <cmath>

#include "comm/NumberText.h"
#include "comm/ParamValue.h"
#include "widgets/LayoutHelpers.h"

namespace {
wxString TwoDecimals(double value) { return wxString::Format(wxASCII_STR("%.2f"), value); }

// The panel's psychrometric code n stands for the constant 35 + n / 3.
double PsychroConstant(unsigned code) { return code * 0.3333333333333333 + 35; }
}  // namespace

DlgUserCalib::DlgUserCalib(wxWindow* parent, const wxString& title, ParamValue** records, long style,
                           wxWindowID id)
    : ConfigDialog(parent, title, wxString::FromUTF8("Współczynniki kalibracji"), style, id) {
    static const char* const kRows[] = {"Popr.T1", "Popr.T2"};
    wxWindow* captions[3] = {};
    for (int i = 0; i < 2; ++i) {
        const auto hundredths = static_cast<int16_t>(records[i]->GetU16());
        corrections[i] = MakeText(TwoDecimals(hundredths * 0.01));
        captions[i] = AddRow(wxASCII_STR(kRows[i]), corrections[i])->GetItem(static_cast<size_t>(0))->GetWindow();
    }
    const unsigned code = records[2]->GetU16();
    psychroCheck = new wxCheckBox(this, wxID_ANY, wxASCII_STR("St.psychro"));
    psychroCheck->SetValue(code != 0);
    psychroText = MakeText(code != 0 ? TwoDecimals(PsychroConstant(code)) : wxString());
    psychroText->Enable(code != 0);
    wxBoxSizer* row = AddCustomRow();
    row->Add(psychroCheck, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
    row->Add(psychroText, 1, wxALIGN_CENTER_VERTICAL | wxALL, 3);

    // The check box stands where the other rows have their captions: one column for all three.
    captions[2] = psychroCheck;
    AlignLabelWidths(3, captions, 0);
    FinishLayout(false);
    psychroCheck->Bind(wxEVT_CHECKBOX, &DlgUserCalib::OnPsychroCheck, this);
}

void DlgUserCalib::OnPsychroCheck(wxCommandEvent&) { psychroText->Enable(psychroCheck->GetValue()); }

bool DlgUserCalib::TakeResults() {
    const wxString correctionRange =
        wxString::FromUTF8("Błąd zakresu poprawki temperatury:\nprawidłowa wartość: -9.99 .. 9.99 °C");
    double values[2] = {};
    for (int i = 0; i < 2; ++i)
        if (!TakeNumberInRange(corrections[i], -9.99, 9.99, correctionRange, &values[i])) return false;
    const bool psychro = psychroCheck->GetValue();
    double constant = 0;
    if (psychro &&
        !TakeNumberInRange(psychroText, 35.33, 120.0,
                           wxString::FromUTF8("Błąd zakresu stałej psychro:\nprawidłowa wartość: 35.33 .. 120.00"),
                           &constant))
        return false;

    for (int i = 0; i < 2; ++i) results[i] = static_cast<uint16_t>(RoundHalfAway(values[i] * 100));
    psychroEnabled = psychro ? 1 : 0;
    if (psychro) results[2] = static_cast<uint16_t>(std::trunc((constant - 35) * 3 + 0.5));
    return true;
}
