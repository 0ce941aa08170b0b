#include "regulators/RegX.h"

#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/window.h>

#include "comm/PanelClient.h"
#include "comm/RegulatorStatus.h"
#include "comm/ReplyRecord.h"
#include "dialogs/ConfigCommand.h"
#include "dialogs/ConfigDialog.h"
#include "regulators/DlgReg1Alarm.h"
#include "regulators/DlgRInfoChng.h"
#include "regulators/RegulatorBlock.h"
#include "regulators/RegulatorOptions.h"
#include "widgets/FramedBox.h"
#include "widgets/LayoutHelpers.h"
#include "widgets/SourceLists.h"
#include "widgets/jwxMiniButt.h"
#include "widgets/jwxNVUDisp.h"

wxDEFINE_EVENT(EVT_REGPANEL_LAYOUT, wxCommandEvent);

namespace {
wxString U8(const char* text) { return wxString::FromUTF8(text); }
wxString FixedWidth(double value) { return FormatFixedWidth(value, 4); }
}  // namespace

RegX::RegX(wxWindow* parent, PanelClient* client, int index, int mainStatusCode, const char* const* optionList)
    : m_parent(parent), m_client(client), m_index(index), m_mainStatusCode(mainStatusCode),
      m_optionList(optionList) {}

RegX::~RegX() {
    Unbind(wxEVT_BUTTON, &RegX::OnButton, this, ID_HEADER, ID_ALGORITHM);
    if (m_algorithmBox) {
        m_algorithmBox->Clear(true);
        delete m_algorithmBox;
    }
    if (m_topSizer) {
        m_topSizer->Clear(true);
        delete m_topSizer;
    }
}

wxString RegX::Title() const { return wxString::Format(wxASCII_STR("Regulator #%d"), m_index + 1); }

bool RegX::LinkUp() const { return m_client->GetState() == CLIENT_STARTED; }

uint16_t RegX::ParamCode(int offset) const { return RegulatorParamCode(m_index, offset); }

std::vector<uint16_t> RegX::ParamCodes(std::initializer_list<int> offsets) const {
    std::vector<uint16_t> codes;
    for (int offset : offsets) codes.push_back(ParamCode(offset));
    return codes;
}

// --- Building ---------------------------------------------------------------------------------

void RegX::BuildHeader(const wxString& typeText) {
    if (!m_topSizer) m_topSizer = new wxBoxSizer(wxVERTICAL);
    wxStaticText* captions[3] = {new wxStaticText(m_parent, wxID_ANY, U8("Typ:")),
                                 new wxStaticText(m_parent, wxID_ANY, U8("Opcja:")),
                                 new wxStaticText(m_parent, wxID_ANY, U8("Zmienna PV:"))};
    m_typeText = new wxStaticText(m_parent, wxID_ANY, typeText);
    m_optionText = new wxStaticText(m_parent, wxID_ANY, wxEmptyString);
    m_pvText = new wxStaticText(m_parent, wxID_ANY, wxEmptyString);
    m_headerButton = MakeButton(ID_HEADER, U8("Zmiana..."));

    auto* typeRow = new wxBoxSizer(wxHORIZONTAL);
    typeRow->Add(captions[0], 0, wxALIGN_CENTER_VERTICAL);
    typeRow->Add(m_typeText, 1, wxALIGN_CENTER_VERTICAL | wxLEFT, 8);
    typeRow->Add(m_headerButton, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 12);
    m_topSizer->Add(typeRow, 0, wxEXPAND);

    auto* optionRow = new wxBoxSizer(wxHORIZONTAL);
    optionRow->Add(captions[1]);
    optionRow->Add(m_optionText, 0, wxLEFT, 8);
    m_topSizer->Add(optionRow);

    auto* pvRow = new wxBoxSizer(wxHORIZONTAL);
    pvRow->Add(captions[2]);
    pvRow->Add(m_pvText, 0, wxLEFT, 8);
    m_topSizer->Add(pvRow, 0, wxBOTTOM, 10);

    AlignLabelWidths(3, captions, 0);
    HideRow(typeRow);
    HideRow(optionRow);
    HideRow(pvRow);
}

jwxNVUDisp* RegX::MakeReadout(const wxString& caption, const wxString& sample, bool centred,
                              const wxString& unitSample) {
    auto* readout = new jwxNVUDisp(m_parent, caption, sample, unitSample, 0, centred ? wxALIGN_CENTRE : 0, 0, 1, 1);
    // The sample stays on show until the first value arrives.
    readout->SetValueText(sample);
    if (!unitSample.empty()) readout->SetUnitText(unitSample);
    return readout;
}

jwxMiniButt* RegX::MakeButton(int id, const wxString& text) {
    auto* button = new jwxMiniButt(m_parent, id, text, -1, -1);
    if (id == ID_REGULATION) m_regulationButton = button;
    if (id == ID_ALARMS) m_alarmButton = button;
    if (id == ID_ALGORITHM) m_algorithmButton = button;
    return button;
}

void RegX::MakePvSp() {
    m_pv = MakeReadout(U8("PV"), U8("XXXX,XX"));
    m_sp = MakeReadout(U8("SP"), U8("XXXX,XX"));
}

void RegX::MakeInversionZone() {
    m_inversion = MakeReadout(U8("Inwersja"), U8("X"));
    m_zoneReadout = MakeReadout(U8("Strefa"), U8("X"));
}

wxBoxSizer* RegX::BuildAlarmRow(bool buttonInBox) {
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    auto* box = new wxStaticBoxSizer(new FramedBox(m_parent, wxID_ANY, U8("Alarmy")), wxVERTICAL);
    m_alarmEnable = MakeReadout(U8("Aktywne"), U8("X+X"), true);
    m_al = MakeReadout(U8("AL"), U8("XXXX,XX"));
    m_ah = MakeReadout(U8("AH"), U8("XXXX,XX"));
    box->Add(m_alarmEnable);
    box->Add(m_al);
    box->Add(m_ah);
    row->Add(box);
    jwxMiniButt* button = MakeButton(ID_ALARMS, U8("Zmiana..."));
    if (buttonInBox)
        box->Add(button, 0, wxALL, 6);
    else
        row->Add(button, 0, wxALL, 6);
    m_topSizer->Add(row);
    HideRow(row);
    return row;
}

wxSizer* RegX::BuildOutputsRow(bool withAlgorithmButton) {
    auto* box = new wxStaticBoxSizer(new FramedBox(m_parent, wxID_ANY, U8("Wyjścia")), wxHORIZONTAL);
    m_outA = MakeReadout(U8("A"), U8("X"), true);
    m_outB = MakeReadout(U8("B"), U8("X"), true);
    box->Add(m_outA, 0, wxEXPAND);
    box->Add(m_outB, 0, wxEXPAND | wxLEFT, 5);
    if (!withAlgorithmButton) {
        m_topSizer->Add(box, 0, wxBOTTOM, 2);
        HideRow(box);
        return box;
    }
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(box);
    row->AddStretchSpacer();
    row->Add(MakeButton(ID_ALGORITHM, U8("Algorytm >")), 0, wxTOP, 12);
    m_topSizer->Add(row, 0, wxEXPAND);
    HideRow(row);
    return row;
}

void RegX::HideRow(wxSizer* row) { row->ShowItems(false); }

void RegX::Start() {
    ReadHeader();
    // A link lost during the header read leaves nothing to read the values with: the user has
    // been told once (the link's message and the failed read), not once per read.
    if (LinkUp()) ReadValues();
    m_parent->Refresh();
    Bind(wxEVT_BUTTON, &RegX::OnButton, this, ID_HEADER, ID_ALGORITHM);
}

// --- Reading ----------------------------------------------------------------------------------

void RegX::ReadHeader() {
    ConfigCommand command(m_parent, m_client, ParamCodes({RegParamOffset::PV_VAR, RegParamOffset::OPTION}));
    if (!command.Read()) return;
    if (m_optionText && m_optionList) m_optionText->SetLabelText(OptionName(m_optionList, command[1]->GetU8()));
    if (m_pvText) m_pvText->SetLabelText(ProcessVariableName(command[0]->GetU8()));
}

void RegX::ShowZoneValues() {
    if (m_liveBlank) return;
    const bool zone2 = m_zone != 0;
    if (m_sp) m_sp->SetValueText(FixedWidth(m_zoneValues[zone2 ? ZONE_SP2 : ZONE_SP1]));
    if (m_al) m_al->SetValueText(FixedWidth(m_zoneValues[zone2 ? ZONE_AL2 : ZONE_AL1]));
    if (m_ah) m_ah->SetValueText(FixedWidth(m_zoneValues[zone2 ? ZONE_AH2 : ZONE_AH1]));
}

void RegX::ShowInversion(const ParamValue* item) {
    if (m_inversion) m_inversion->SetValueText(wxASCII_STR(item->GetU8() ? "T" : "N"));
}

void RegX::ShowAlarmEnable(const ParamValue* item) {
    static const char* const kTexts[] = {"-", "L", "H", "H+L"};
    const uint8_t bits = item->GetU8();
    if (m_alarmEnable) m_alarmEnable->SetValueText(wxASCII_STR(bits <= 3 ? kTexts[bits] : "-"));
}

void RegX::StoreZoneValues(ParamValue* const items[ZONE_VALUE_COUNT]) {
    for (int i = 0; i < ZONE_VALUE_COUNT; ++i) m_zoneValues[i] = decimal_to_double(*items[i]->GetDecimal());
}

void RegX::ShowDecimal(jwxNVUDisp* readout, const ParamValue* item) {
    readout->SetValueText(FixedWidth(decimal_to_double(*item->GetDecimal())));
}

// --- Status -----------------------------------------------------------------------------------

void RegX::OnStatus(int kind, int code, const ReplyRecord* record) {
    RegulatorReport report;
    if (!record || !DecodeRegulatorReport(kind, code, *record, &report)) return;
    OnReport(report);
}

void RegX::OnReport(const RegulatorReport& report) {
    if (report.code == m_mainStatusCode && m_mainStatusCode != 0) {
        // Blanked SP, AL and AH come back also when the zone is the one remembered.
        if (report.main.zone != m_zone || m_liveBlank) {
            m_zone = report.main.zone;
            m_liveBlank = false;
            ShowZoneValues();
        }
        if (m_zoneReadout) m_zoneReadout->SetValueText(wxASCII_STR(m_zone != 0 ? "2" : "1"));
        if (m_pv) m_pv->SetValueText(report.main.pvValid ? FixedWidth(report.main.pv) : wxASCII_STR("---"));
    } else if (report.code == REG_OUTPUTS) {
        if (m_outA) m_outA->SetValueText(wxASCII_STR(report.outputA ? "X" : "-"));
        if (m_outB) m_outB->SetValueText(wxASCII_STR(report.outputB ? "X" : "-"));
    }
}

void RegX::BlankLiveValues() {
    for (jwxNVUDisp* readout : {m_pv, m_zoneReadout, m_sp, m_al, m_ah, m_outA, m_outB})
        if (readout) readout->SetValueText(wxEmptyString);
    m_liveBlank = true;
}

// --- Editing ----------------------------------------------------------------------------------

void RegX::RunEdit(std::initializer_list<int> offsets, Reread reread, const std::function<bool(ParamValue**)>& edit) {
    ConfigCommand command(m_parent, m_client, ParamCodes(offsets));
    if (!command.Read()) return;
    if (!edit(command.Records())) return;
    command.Write();
    // Read back whatever the write gave, so the view shows what the panel holds. A link gone
    // meanwhile takes no read-back: nothing could be sent, the failed write has been told, and
    // the view goes with the panel it showed.
    if (!LinkUp()) return;
    if (reread == REREAD_HEADER) {
        ReadHeader();
    } else {
        ReadValues();
        ShowZoneValues();
    }
    // A longer name (an option, a variable, a control input) may need a wider window.
    wxCommandEvent layout(EVT_REGPANEL_LAYOUT, m_parent->GetId());
    layout.SetEventObject(this);
    m_parent->GetEventHandler()->ProcessEvent(layout);
}

void RegX::OnChangeHeader() {
    RunEdit({RegParamOffset::OPTION, RegParamOffset::PV_VAR}, REREAD_HEADER, [this](ParamValue** items) {
        DlgRInfoChng dialog(m_parent, Title(), items, m_optionList, ConfigDialog::kStyle, wxID_ANY);
        if (dialog.ShowModal() != wxID_OK) return false;
        items[0]->SetU8(static_cast<uint32_t>(dialog.GetResult(0)));
        items[1]->SetU8(static_cast<uint32_t>(dialog.GetResult(1)));
        return true;
    });
}

void RegX::OnChangeAlarms() {
    RunEdit({RegParamOffset::AL1, RegParamOffset::AL2, RegParamOffset::AH1, RegParamOffset::AH2,
             RegParamOffset::ALARM_ENABLE},
            REREAD_VALUES, [this](ParamValue** items) {
                DlgReg1Alarm dialog(m_parent, Title(), items, ConfigDialog::kStyle, wxID_ANY);
                if (dialog.ShowModal() != wxID_OK) return false;
                for (int i = 0; i < 4; ++i) items[i]->SetDecimal(dialog.GetDecimal(i));
                items[4]->SetU8(dialog.GetAlarmEnable());
                return true;
            });
}

void RegX::OnButton(wxCommandEvent& event) {
    // Only the view's own buttons: another window's control may carry one of these ids.
    wxObject* source = event.GetEventObject();
    if (event.GetId() == ID_HEADER && source == m_headerButton) {
        OnChangeHeader();
    } else if (event.GetId() == ID_REGULATION && source == m_regulationButton) {
        OnChangeRegulation();
    } else if (event.GetId() == ID_ALARMS && source == m_alarmButton) {
        OnChangeAlarms();
    } else if (event.GetId() == ID_ALGORITHM && source == m_algorithmButton) {
        OnAlgorithm();
    } else {
        event.Skip();
    }
}

// --- Algorithm box ----------------------------------------------------------------------------

wxStaticBoxSizer* RegX::CreateAlgorithmBox() {
    if (m_algorithmBox) return nullptr;
    if (m_algorithmButton) m_algorithmButton->Hide();
    m_algorithmBox = new wxStaticBoxSizer(new FramedBox(m_parent, wxID_ANY, U8("Algorytm")), wxVERTICAL);
    return m_algorithmBox;
}

void RegX::AnnounceAlgorithmBox() {
    wxCommandEvent layout(EVT_REGPANEL_LAYOUT, m_parent->GetId());
    layout.SetEventObject(this);
    layout.SetClientData(m_algorithmBox);
    m_parent->GetEventHandler()->ProcessEvent(layout);
}
