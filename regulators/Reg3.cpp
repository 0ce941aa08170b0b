#include "regulators/Reg3.h"

#include <wx/dcclient.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "comm/ParamValue.h"
#include "comm/RegulatorStatus.h"
#include "comm/TimedStatusLetters.h"
#include "dialogs/ConfigCommand.h"
#include "regulators/DlgReg3Chng.h"
#include "regulators/RegulatorBlock.h"
#include "regulators/RegulatorOptions.h"
#include "regulators/TimedTimeText.h"
#include "widgets/FramedBox.h"
#include "widgets/LayoutHelpers.h"
#include "widgets/SourceLists.h"
#include "widgets/jwxMiniButt.h"
#include "widgets/jwxNVUDisp.h"

namespace {
wxString U8(const char* text) { return wxString::FromUTF8(text); }

// The name of a control input's binary source; a code the list does not hold reads as entry 0.
wxString InputName(int code) {
    const int row = FindNumberIndex(code, BinarySourceList);
    return wxString::FromUTF8(BinarySourceList[row < 0 ? 0 : row]);
}

// The unit text drawn wider in the read-outs' unit font: the unit part is sized from it, so
// neither "sek" nor "min" is cut.
wxString WiderUnit(wxWindow* parent) {
    wxClientDC dc(parent);
    dc.SetFont(jwxNVUDisp::MakeFont(jwxNVUDisp::unitFont));
    const wxString seconds = TimedTimeUnit(false), minutes = TimedTimeUnit(true);
    return dc.GetTextExtent(minutes).GetWidth() > dc.GetTextExtent(seconds).GetWidth() ? minutes : seconds;
}
}  // namespace

Reg3::Reg3(wxWindow* parent, PanelClient* client, int index)
    : RegX(parent, client, index, REG_STATUS_TIMED, TimedOptionList) {
    BuildHeader(U8("3 - czasowy"));

    // Regulation box beside the times column.
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    auto* box = new wxStaticBoxSizer(new FramedBox(m_parent, wxID_ANY, U8("Regulacja czasowa")), wxVERTICAL);
    MakePvSp();
    MakeInversionZone();
    box->Add(m_pv);
    box->Add(m_sp);
    box->Add(m_inversion, 0, wxTOP, 6);
    box->Add(m_zoneReadout, 0, wxTOP, 6);
    row->Add(box);

    auto* column = new wxBoxSizer(wxVERTICAL);
    auto* times = new wxStaticBoxSizer(new FramedBox(m_parent, wxID_ANY, wxEmptyString), wxVERTICAL);
    static const char* const kTimeNames[3] = {"t1", "t2", "t3"};
    const wxString unitSample = WiderUnit(m_parent);
    for (int i = 0; i < 3; ++i) {
        m_times[i] = MakeReadout(U8(kTimeNames[i]), U8("XXXX,X"), false, unitSample);
        m_times[i]->SetUnitText(U8("xxx"));  // the placeholder until the units are read
        times->Add(m_times[i]);
    }
    m_times[2]->SetUnitText(TimedTimeUnit(false));  // t3 is always in seconds
    column->Add(times);
    column->Add(MakeButton(ID_REGULATION, U8("Zmiana...")), 0, wxALL, 6);
    row->Add(column, 0, wxLEFT, kBoxGap);
    m_topSizer->Add(row);
    HideRow(row);
    m_topSizer->AddSpacer(6);

    // Control inputs.
    auto* inputsTitle = new wxBoxSizer(wxHORIZONTAL);
    inputsTitle->Add(new wxStaticText(m_parent, wxID_ANY, U8("Wejścia sterujące:")));
    m_topSizer->Add(inputsTitle, 0, wxBOTTOM, 3);
    HideRow(inputsTitle);
    static const char* const kInputNames[3] = {"Pri:", "Sec:", "Gate:"};
    wxStaticText* captions[3];
    for (int i = 0; i < 3; ++i) {
        captions[i] = new wxStaticText(m_parent, wxID_ANY, U8(kInputNames[i]));
        m_inputs[i] = new wxStaticText(m_parent, wxID_ANY, wxEmptyString);
        auto* inputRow = new wxBoxSizer(wxHORIZONTAL);
        inputRow->Add(captions[i]);
        inputRow->Add(m_inputs[i]);
        m_topSizer->Add(inputRow, 0, i == 2 ? wxBOTTOM : 0, 6);
        HideRow(inputRow);
    }
    AlignLabelWidths(3, captions, 4);

    BuildAlarmRow(false);
    BuildOutputsRow(true);
    jwxNVUDisp* const readouts[7] = {m_pv, m_sp, m_inversion, m_zoneReadout, m_alarmEnable, m_al, m_ah};
    AlignReadoutWidths(7, readouts, 12);
    AlignReadoutWidths(3, m_times, 8);
    Start();
}

Reg3::~Reg3() = default;

void Reg3::ShowTime(int i, const ParamValue* time, bool minutes) {
    m_times[i]->SetValueText(TimedTimeText(time->GetU16(), minutes));
    m_times[i]->SetUnitText(TimedTimeUnit(minutes));
}

void Reg3::ReadValues() {
    using namespace RegParamOffset;
    ConfigCommand command(m_parent, m_client,
                          ParamCodes({INVERSION, ALARM_ENABLE, SP1, SP2, AL1, AL2, AH1, AH2, T1, T1_MINUTES, T2,
                                      T2_MINUTES, T3, IN_PRI, IN_SEC, IN_GATE}));
    if (!command.Read()) return;
    ShowInversion(command[0]);
    ShowAlarmEnable(command[1]);
    StoreZoneValues(command.Records() + 2);
    ShowTime(0, command[8], command[9]->GetU8() != 0);
    ShowTime(1, command[10], command[11]->GetU8() != 0);
    m_times[2]->SetValueText(TimedTimeText(command[12]->GetU8(), false));
    for (int i = 0; i < 3; ++i) m_inputs[i]->SetLabelText(InputName(command[13 + i]->GetU8()));
}

void Reg3::OnReport(const RegulatorReport& report) {
    if (report.code < REG_TIMED_MODE_FIRST || report.code > REG_TIMED_MODE_LAST) {
        RegX::OnReport(report);
        return;
    }
    // Mode reports are shown only once the box exists; nothing is kept for later.
    if (!m_algorithmBox) return;
    const auto letters =
        TimedStatusLetters(report.code, report.timedMode.state, report.timedMode.init, report.timedMode.flags);
    for (int i = 0; i < kModeReadouts; ++i) m_modes[i]->SetValueText(wxASCII_STR(letters[i]));
}

void Reg3::BlankLiveValues() {
    RegX::BlankLiveValues();
    if (!m_algorithmBox) return;
    for (jwxNVUDisp* readout : m_modes) readout->SetValueText(wxEmptyString);
}

void Reg3::OnChangeRegulation() {
    using namespace RegParamOffset;
    RunEdit({SP1, SP2, T1, T1_MINUTES, T2, T2_MINUTES, T3, INVERSION, IN_PRI, IN_SEC, IN_GATE}, REREAD_VALUES,
            [this](ParamValue** items) {
                DlgReg3Chng dialog(m_parent, Title(), items, ConfigDialog::kStyle, wxID_ANY);
                if (dialog.ShowModal() != wxID_OK) return false;
                items[DlgReg3Chng::ITEM_SP1]->SetDecimal(dialog.GetDecimal(0));
                items[DlgReg3Chng::ITEM_SP2]->SetDecimal(dialog.GetDecimal(1));
                items[DlgReg3Chng::ITEM_T1]->SetU16(dialog.GetTime(0));
                items[DlgReg3Chng::ITEM_T1_MINUTES]->SetU8(dialog.GetUnitFlag(0) ? 1 : 0);
                items[DlgReg3Chng::ITEM_T2]->SetU16(dialog.GetTime(1));
                items[DlgReg3Chng::ITEM_T2_MINUTES]->SetU8(dialog.GetUnitFlag(1) ? 1 : 0);
                items[DlgReg3Chng::ITEM_T3]->SetU8(dialog.GetTime(2) & 0xFF);
                items[DlgReg3Chng::ITEM_INVERSION]->SetU8(dialog.GetInversion() ? 1 : 0);
                for (int i = 0; i < 3; ++i)
                    items[DlgReg3Chng::ITEM_PRI + i]->SetU8(static_cast<uint32_t>(dialog.GetInput(i)) & 0xFF);
                return true;
            });
}

void Reg3::OnAlgorithm() {
    wxStaticBoxSizer* box = CreateAlgorithmBox();
    if (!box) return;
    box->Add(new wxStaticText(m_parent, wxID_ANY, U8("Status:")), 0, wxALL, 3);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    for (int i = 0; i < kModeReadouts; ++i) {
        m_modes[i] = MakeReadout(wxEmptyString, wxASCII_STR(i < 2 ? "XXX" : "X"), true);
        row->Add(m_modes[i]);
    }
    box->Add(row);
    AnnounceAlgorithmBox();
}
