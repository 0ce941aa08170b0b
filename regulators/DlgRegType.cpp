#include "regulators/DlgRegType.h"

#include <wx/sizer.h>
#include <wx/statbox.h>

#include "comm/ParamValue.h"
#include "widgets/FramedBox.h"
#include "widgets/OkCancelButtons.h"

namespace {
constexpr int kRadioId = 300;  // every button; each box's first button starts its group
}  // namespace

DlgRegType::DlgRegType(wxWindow* parent, const wxString& title, ParamValue** items, long style, wxWindowID id)
    : wxDialog(parent, id, title, wxDefaultPosition, wxDefaultSize, style, wxASCII_STR("dialog")) {
    static const char* const kTypeTexts[kTypes] = {"0 - Wyłączony", "1 - Progowy", "2 - PID", "3 - Czasowy"};
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    top->Add(row, 0, wxEXPAND);
    for (int channel = 0; channel < kChannels; ++channel) {
        auto* box = new wxStaticBoxSizer(
            new FramedBox(this, wxID_ANY, wxString::Format(wxASCII_STR("Regulator #%d"), channel + 1)), wxVERTICAL);
        row->Add(box, 1, wxEXPAND | wxALL, 1);
        // A group always has one button on: a hidden first one stands for a stored type the
        // dialog does not know, so no visible type is checked and that type is kept.
        unknownType[channel] = new wxRadioButton(this, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize,
                                                 wxRB_GROUP);
        unknownType[channel]->Hide();
        for (int type = 0; type < kTypes; ++type) {
            buttons[channel][type] = new wxRadioButton(this, kRadioId, wxString::FromUTF8(kTypeTexts[type]));
            box->Add(buttons[channel][type]);
        }
        typesRead[channel] = items[channel]->GetU8();
        (typesRead[channel] < kTypes ? buttons[channel][typesRead[channel]] : unknownType[channel])->SetValue(true);
        results[channel] = typesRead[channel];
    }
    top->AddStretchSpacer();
    top->Add(CreateOkCancelButtons(this), 0, wxEXPAND | wxALL, 6);
    SetSizer(top);
    top->SetSizeHints(this);
    Centre(wxBOTH);
}

int DlgRegType::ShowModal() {
    const int result = wxDialog::ShowModal();
    for (int channel = 0; channel < kChannels; ++channel) {
        results[channel] = typesRead[channel];
        for (int type = 0; type < kTypes; ++type) {
            if (buttons[channel][type]->GetValue()) {
                results[channel] = type;
                break;
            }
        }
    }
    return result;
}
