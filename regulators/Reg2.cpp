#include "regulators/Reg2.h"

#include <wx/statbox.h>
#include <wx/stattext.h>

#include "comm/RegulatorStatus.h"
#include "dialogs/ConfigCommand.h"
#include "dialogs/ConfigDialog.h"
#include "regulators/DlgReg2Chng.h"
#include "regulators/RegulatorBlock.h"
#include "regulators/RegulatorOptions.h"
#include "widgets/FramedBox.h"
#include "widgets/LayoutHelpers.h"
#include "widgets/jwxMiniButt.h"
#include "widgets/jwxNVUDisp.h"

namespace {

wxString U8(const char* text) { return wxString::FromUTF8(text); }
wxString TenthsText(unsigned tenths) { return wxString::Format(wxASCII_STR("%.1f"), tenths * 0.1); }

enum TimeReadout { TIME_TI, TIME_TD, TIME_T1, TIME_T2, TIME_T3 };

// The values read, in their order on the wire.
enum ValueItem {
    V_INVERSION, V_ALARM_ENABLE, V_KP, V_TI, V_TD, V_SP1, V_SP2, V_AL1, V_AL2, V_AH1, V_AH2,
    V_T1, V_T2, V_T3, V_IN_MIN, V_IN_MAX,
};

const char* const kInternalCaptions[Reg2::kInternalCount] = {"npv", "nsp", "e",  "dt",  "der", "dder",
                                                             "vp",  "vi",  "vd", "dcv", "cva", "cv"};
constexpr int kInternalDt = 3;

}  // namespace

Reg2::Reg2(wxWindow* parent, PanelClient* client, int index)
    : RegX(parent, client, index, REG_STATUS_PID, PidOptionList) {
    BuildHeader(U8("2 - PID"));

    // "Regulacja PID" beside the "PID" times with the regulation button under them.
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    auto* regulation = new wxStaticBoxSizer(new FramedBox(m_parent, wxID_ANY, U8("Regulacja PID")), wxVERTICAL);
    MakePvSp();
    m_kp = MakeReadout(U8("Kp"), U8("XXXX,XX"));
    m_times[TIME_TI] = MakeReadout(U8("ti"), U8("XXXX,X"));
    m_times[TIME_TD] = MakeReadout(U8("td"), U8("XXXX,X"));
    MakeInversionZone();
    regulation->Add(m_pv);
    regulation->Add(m_sp);
    regulation->Add(m_kp, 0, wxTOP, 6);
    regulation->Add(m_times[TIME_TI]);
    regulation->Add(m_times[TIME_TD]);
    regulation->Add(m_inversion, 0, wxTOP, 6);
    regulation->Add(m_zoneReadout, 0, wxTOP, 6);
    row->Add(regulation);

    auto* column = new wxBoxSizer(wxVERTICAL);
    auto* pid = new wxStaticBoxSizer(new FramedBox(m_parent, wxID_ANY, U8("PID")), wxVERTICAL);
    m_times[TIME_T1] = MakeReadout(U8("t1/close"), U8("XXXX,X"));
    m_times[TIME_T2] = MakeReadout(U8("t2/open"), U8("XXXX,X"));
    m_times[TIME_T3] = MakeReadout(U8("t3/min"), U8("XXXX,X"));
    m_inMin = MakeReadout(U8("INmin"), U8("XXXX,XX"));
    m_inMax = MakeReadout(U8("INmax"), U8("XXXX,XX"));
    pid->Add(m_times[TIME_T1]);
    pid->Add(m_times[TIME_T2]);
    pid->Add(m_times[TIME_T3]);
    pid->Add(m_inMin, 0, wxTOP, 6);
    pid->Add(m_inMax);
    column->Add(pid);
    column->Add(MakeButton(ID_REGULATION, U8("Zmiana...")), 0, wxALL, 6);
    row->Add(column, 0, wxLEFT, kBoxGap);
    m_topSizer->Add(row);
    HideRow(row);

    BuildAlarmRow(false);

    jwxNVUDisp* left[] = {m_pv, m_sp, m_kp, m_times[TIME_TI], m_times[TIME_TD], m_inversion, m_zoneReadout,
                          m_alarmEnable, m_al, m_ah};
    AlignReadoutWidths(10, left, 12);
    jwxNVUDisp* right[] = {m_times[TIME_T1], m_times[TIME_T2], m_times[TIME_T3], m_inMin, m_inMax};
    AlignReadoutWidths(5, right, 12);

    BuildOutputsRow(true);
    Start();
}

Reg2::~Reg2() = default;

void Reg2::ReadValues() {
    using namespace RegParamOffset;
    ConfigCommand command(m_parent, m_client,
                          ParamCodes({INVERSION, ALARM_ENABLE, KP, TI, TD, SP1, SP2, AL1, AL2, AH1, AH2, T1, T2, T3,
                                      IN_MIN, IN_MAX}));
    if (!command.Read()) return;
    ShowInversion(command[V_INVERSION]);
    ShowAlarmEnable(command[V_ALARM_ENABLE]);
    ShowDecimal(m_kp, command[V_KP]);
    m_times[TIME_TI]->SetValueText(TenthsText(command[V_TI]->GetU16()));
    m_times[TIME_TD]->SetValueText(TenthsText(command[V_TD]->GetU16()));
    ParamValue* const zoneValues[ZONE_VALUE_COUNT] = {command[V_SP1], command[V_SP2], command[V_AL1],
                                                      command[V_AL2], command[V_AH1], command[V_AH2]};
    StoreZoneValues(zoneValues);
    m_times[TIME_T1]->SetValueText(TenthsText(command[V_T1]->GetU16()));
    m_times[TIME_T2]->SetValueText(TenthsText(command[V_T2]->GetU16()));
    m_times[TIME_T3]->SetValueText(TenthsText(command[V_T3]->GetU8()));
    ShowDecimal(m_inMin, command[V_IN_MIN]);
    ShowDecimal(m_inMax, command[V_IN_MAX]);
}

void Reg2::OnReport(const RegulatorReport& report) {
    RegX::OnReport(report);
    const bool boxOpen = m_algorithmBox != nullptr;
    switch (report.code) {
        case REG_STATUS_PID:
            if (!boxOpen) break;
            for (int i = 0; i < kInternalCount; ++i) {
                const double x = report.pidInternals[i];
                m_internals[i]->SetValueText(i == kInternalDt ? wxString::Format(wxASCII_STR("%.0f"), x * 1000)
                                                              : wxString::Format(wxASCII_STR("%.5f"), x));
            }
            break;
        case REG_SERVO_OP:
            if (boxOpen) {
                const auto& op = report.servoOp;
                ShowStatusLines(ServoOperationText(op.error, op.operation, op.timeTenths), std::string());
            }
            break;
        case REG_SERVO_TIMES: {
            const auto& times = report.servoTimes;
            const ServoLines lines = m_travelTimes.Report(times.error, times.phase, times.a, times.b);
            if (boxOpen) ShowStatusLines(lines.first, lines.second);
            break;
        }
        default:
            break;
    }
}

void Reg2::BlankLiveValues() {
    RegX::BlankLiveValues();
    for (jwxNVUDisp* readout : m_internals)
        if (readout) readout->SetValueText(wxEmptyString);
    for (jwxNVUDisp* line : m_statusLines)
        if (line) line->SetValueText(wxEmptyString);
}

void Reg2::ShowStatusLines(const std::string& first, const std::string& second) {
    m_statusLines[0]->SetValueText(wxString::FromUTF8(first));
    m_statusLines[1]->SetValueText(wxString::FromUTF8(second));
}

void Reg2::OnChangeRegulation() {
    using namespace RegParamOffset;
    using P = DlgReg2Chng::Position;
    RunEdit({SP1, SP2, KP, TI, TD, T1, T2, T3, IN_MIN, IN_MAX, INVERSION}, REREAD_VALUES, [this](ParamValue** items) {
        DlgReg2Chng dialog(m_parent, Title(), items, ConfigDialog::kStyle, wxID_ANY);
        if (dialog.ShowModal() != wxID_OK) return false;
        for (int position : {P::SP1, P::SP2, P::KP, P::IN_MIN, P::IN_MAX}) items[position]->SetDecimal(dialog.GetDecimal(position));
        for (int position : {P::TI, P::TD, P::T1, P::T2}) items[position]->SetU16(dialog.GetTenths(position));
        // The dialog refuses a t3 beyond one byte, so its low byte is all of it.
        items[P::T3]->SetU8(dialog.GetTenths(P::T3) & 0xFF);
        items[P::INVERSION]->SetU8(dialog.GetInversion() != 0 ? 1 : 0);
        return true;
    });
}

void Reg2::OnAlgorithm() {
    wxStaticBoxSizer* box = CreateAlgorithmBox();
    if (!box) return;
    for (int i = 0; i < kInternalCount; ++i) {
        m_internals[i] = MakeReadout(U8(kInternalCaptions[i]), U8("XX,XXXXX"));
        // Groups of three: e, dder, vd and cv close a group.
        box->Add(m_internals[i], 0, wxBOTTOM, i % 3 == 2 ? 6 : 0);
    }
    AlignReadoutWidths(kInternalCount, m_internals, 6);
    box->Add(new wxStaticText(m_parent, wxID_ANY, U8("Status:")), 0, wxALL, 3);
    for (int line = 0; line < 2; ++line) {
        m_statusLines[line] = MakeReadout(wxString(), U8("XXXXXXXXXXXX"));
        box->Add(m_statusLines[line], 0, wxTOP, line);
    }
    AnnounceAlgorithmBox();
}
