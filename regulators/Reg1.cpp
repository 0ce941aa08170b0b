#include "regulators/Reg1.h"

#include <wx/statbox.h>

#include "comm/RegulatorStatus.h"
#include "dialogs/ConfigCommand.h"
#include "regulators/DlgReg1Chng.h"
#include "regulators/RegulatorBlock.h"
#include "regulators/RegulatorOptions.h"
#include "widgets/FramedBox.h"
#include "widgets/jwxMiniButt.h"
#include "widgets/jwxNVUDisp.h"

namespace {
wxString U8(const char* text) { return wxString::FromUTF8(text); }
}  // namespace

Reg1::Reg1(wxWindow* parent, PanelClient* client, int index)
    : RegX(parent, client, index, REG_STATUS_THRESHOLD, ThresholdOptionList) {
    BuildHeader(U8("1 - progowy"));

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    auto* box = new wxStaticBoxSizer(new FramedBox(m_parent, wxID_ANY, U8("Regulacja progowa")), wxVERTICAL);
    MakePvSp();
    box->Add(m_pv);
    box->Add(m_sp);
    static const char* const kThresholds[4] = {"h1a", "h0a", "h1b", "h0b"};
    for (int i = 0; i < 4; ++i) {
        m_thresholds[i] = MakeReadout(U8(kThresholds[i]), U8("XXXX,XX"));
        box->Add(m_thresholds[i], 0, i == 0 ? wxTOP : 0, 6);
    }
    MakeInversionZone();
    box->Add(m_inversion, 0, wxTOP, 6);
    box->Add(m_zoneReadout, 0, wxTOP, 6);
    box->Add(MakeButton(ID_REGULATION, U8("Zmiana...")), 0, wxALL, 6);
    row->Add(box);
    m_topSizer->Add(row);
    HideRow(row);

    BuildAlarmRow(true);
    jwxNVUDisp* const column[11] = {m_pv, m_sp, m_thresholds[0], m_thresholds[1], m_thresholds[2], m_thresholds[3],
                                    m_inversion, m_zoneReadout, m_alarmEnable, m_al, m_ah};
    AlignReadoutWidths(11, column, 12);
    BuildOutputsRow(false);
    Start();
}

Reg1::~Reg1() = default;

void Reg1::ReadValues() {
    using namespace RegParamOffset;
    ConfigCommand command(m_parent, m_client,
                          ParamCodes({INVERSION, ALARM_ENABLE, H1A, H0A, H1B, H0B, SP1, SP2, AL1, AL2, AH1, AH2}));
    if (!command.Read()) return;
    ShowInversion(command[0]);
    ShowAlarmEnable(command[1]);
    for (int i = 0; i < 4; ++i) ShowDecimal(m_thresholds[i], command[2 + i]);
    StoreZoneValues(command.Records() + 6);
}

void Reg1::OnChangeRegulation() {
    using namespace RegParamOffset;
    RunEdit({SP1, SP2, H1A, H0A, H1B, H0B, INVERSION}, REREAD_VALUES, [this](ParamValue** items) {
        DlgReg1Chng dialog(m_parent, Title(), items, ConfigDialog::kStyle, wxID_ANY);
        if (dialog.ShowModal() != wxID_OK) return false;
        for (int i = 0; i < 6; ++i) items[i]->SetDecimal(dialog.GetDecimal(i));
        items[6]->SetU8(dialog.GetInversion() ? 1 : 0);
        return true;
    });
}
