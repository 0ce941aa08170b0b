// The live read-outs: the boxes that match the connected panel's hardware, built for each
// panel (a connection that finds other boards gets new boxes), the decoding of every pushed
// report into their texts, and the reports switched on again after something switched them off.
#include <wx/log.h>
#include <wx/statbox.h>

#include "app/MyFrame.h"
#include "comm/PanelClient.h"
#include "comm/PanelEvents.h"
#include "comm/RegulatorStatus.h"
#include "comm/ReplyRecord.h"
#include "comm/ValueEncoding.h"
#include "regulators/RegX.h"
#include "widgets/FramedBox.h"
#include "widgets/LayoutHelpers.h"
#include "widgets/MesgBox.h"
#include "widgets/jwxNVUDisp.h"

namespace {
wxString U8(const char* text) { return wxString::FromUTF8(text); }

enum InputBoardKind { INPUT_THERMOMETERS = 1, INPUT_ANALOG = 2 };
enum SlotKind { SLOT_ANALOG_OUTPUT = 1, SLOT_BUS_INPUT = 2 };

constexpr int kAnalogOutputReadout = 8;   // 8 + n: output value, 10 + n: normalised
constexpr int kNormalisedReadout = 10;
constexpr int kBusReadout = 12;           // 12 + 4 * slot + parameter

wxString FixedWidth(double value) { return FormatFixedWidth(value, 4); }
}  // namespace

void MyFrame::BuildReadoutPanel() {
    auto newReadout = [this](int index, const wxString& caption, const char* sample, const wxString& unitSample) {
        m_readouts[index] = new jwxNVUDisp(m_mainPanel, caption, wxString::FromUTF8(sample), unitSample, 0, 0, 0, 1, 1);
        return m_readouts[index];
    };
    auto newBox = [this](const wxString& caption) {
        auto* box = new wxStaticBoxSizer(new FramedBox(m_mainPanel, wxID_ANY, caption), wxVERTICAL);
        m_readoutSizer->Add(box, 0, wxALL, 5);
        return box;
    };

    switch (m_inputConfig[0]) {
        case INPUT_THERMOMETERS: {
            wxStaticBoxSizer* box = newBox(U8("We termometrów Pt"));
            const wxString degreesSample = U8("Â°C");
            box->Add(newReadout(0, U8("temperatura "), "XXX,XX", degreesSample), 0, wxEXPAND);
            box->Add(newReadout(1, U8("temperatura2 "), "XXX,XX", degreesSample), 0, wxEXPAND);
            box->Add(newReadout(2, U8("wilgotność "), "XXX,XX", U8("%")), 0, wxEXPAND);
            AlignReadoutWidths(3, m_readouts, 5);
            m_readouts[0]->SetUnitText(U8("°C"));
            m_readouts[1]->SetUnitText(U8("°C"));
            m_readouts[2]->SetUnitText(U8("%"));
            break;
        }
        case INPUT_ANALOG: {
            wxStaticBoxSizer* box = newBox(U8("We analogowe"));
            for (int n = 1; n <= 4; ++n) {
                auto* row = new wxBoxSizer(wxHORIZONTAL);
                box->Add(row);
                row->Add(newReadout(n - 1, wxString::Format(wxASCII_STR("We #%d"), n), "XX,XX", U8("mA")), 0,
                         wxEXPAND);
                row->Add(newReadout(n + 3, wxEmptyString, "XX,XXX", wxEmptyString), 0, wxEXPAND | wxLEFT, 4);
            }
            AlignReadoutWidths(4, m_readouts, 5);
            break;
        }
        default:
            break;
    }

    int analogOutputs = 0;
    for (int slot = 0; slot < 2; ++slot) {
        if (m_slotConfig[slot] != SLOT_ANALOG_OUTPUT) continue;
        int n = analogOutputs++;
        wxStaticBoxSizer* box = newBox(wxString::Format(wxASCII_STR("Wy analgowe #%d"), n + 1));
        auto* column = new wxBoxSizer(wxVERTICAL);
        box->Add(column);
        column->Add(newReadout(kAnalogOutputReadout + n, U8("Wy analogowe"), "XX,XX", wxEmptyString), 0, wxEXPAND);
        column->Add(newReadout(kNormalisedReadout + n, U8("Znormalizowane"), "XX,XX", U8(" %")), 0, wxEXPAND);
        m_readouts[kNormalisedReadout + n]->SetUnitText(U8("%"));
        jwxNVUDisp* pair[2] = {m_readouts[kAnalogOutputReadout + n], m_readouts[kNormalisedReadout + n]};
        AlignReadoutWidths(2, pair, 5);
    }

    for (int slot = 0; slot < 2; ++slot) {
        if (m_slotConfig[slot] != SLOT_BUS_INPUT) continue;
        wxStaticBoxSizer* box = newBox(wxString::Format(wxASCII_STR("We T500 #%d"), slot + 1));
        auto* column = new wxBoxSizer(wxVERTICAL);
        box->Add(column);
        int first = kBusReadout + 4 * slot;
        for (int p = 0; p < 3; ++p) {
            column->Add(newReadout(first + p, wxString::Format(wxASCII_STR("Param #%d"), p + 1), "XX,XXX",
                                   wxEmptyString),
                        0, wxEXPAND);
        }
        AlignReadoutWidths(3, m_readouts + first, 5);
    }

    FitToPanel();
    m_readoutsBuilt = true;
}

void MyFrame::OnPanelData(wxCommandEvent& event) {
    if (event.GetInt() != PANEL_EV_REPORT) return;
    auto* record = static_cast<ReplyRecord*>(event.GetClientData());
    if (!m_closing) UpdateReadouts(record);
    delete record;
}

void MyFrame::UpdateReadouts(const ReplyRecord* record) {
    if (!m_connected || !record) return;
    // Writes only to read-outs that were built.
    auto setValue = [this](int index, const wxString& text) {
        if (m_readouts[index]) m_readouts[index]->SetValueText(text);
    };
    auto setUnit = [this](int index, const wxString& text) {
        if (m_readouts[index]) m_readouts[index]->SetUnitText(text);
    };
    const int kind = record->GetKind();
    const int code = record->GetCode();
    const int fields = record->GetFieldCount();
    auto F = [record](int i) { return record->GetUnsigned(i); };

    if (kind == 3) {
        if (code != 0x00 || fields < 1) return;
        if (fields == 1) {
            setValue(kClockTimeReadout, U8("błąd"));
        } else if (fields == 2) {
            char date[kClockTextSize];
            char time[kClockTextSize];
            setValue(kClockDateReadout, wxString::FromUTF8(clock_format_date(F(1), date)));
            setValue(kClockTimeReadout, wxString::FromUTF8(clock_format_time(F(1), time)));
        }
        return;
    }
    if (kind != 2) return;

    if (code == 0x02) {
        if (m_inputConfig[0] != INPUT_THERMOMETERS) return;
        setValue(0, FormatDecimal(record->GetSigned(1) * 0.01, 2));
        setValue(1, FormatDecimal(record->GetSigned(2) * 0.01, 2));
        setValue(2, FormatDecimal(F(3) * 0.01, 1));
    } else if (code == 0x97) {
        if (fields != 1) return;
        uint32_t mask = F(0);
        for (int i = 0; i < 7; ++i) setValue(kRelayReadout + i, wxASCII_STR((mask >> i) & 1 ? "X" : "-"));
    } else if (code == 0xA0) {
        if (m_inputConfig[0] != INPUT_ANALOG || fields != 14) return;
        uint32_t errors = F(1);
        for (int n = 0; n < 4; ++n) {
            if ((errors >> n) & 1) {
                setValue(n, wxASCII_STR("---"));
                continue;
            }
            uint32_t type = F(3 * n + 2);
            double raw = F(3 * n + 4);
            switch (type) {
                case 1:
                    setValue(n, FormatDecimal(raw * 0.001, 2));
                    setUnit(n, wxASCII_STR("V"));
                    break;
                case 2:
                    setValue(n, FormatDecimal(raw * 0.0001, 3));
                    setUnit(n, wxASCII_STR("V"));
                    break;
                case 3:
                    setValue(n, FormatDecimal(raw * 0.001, 2));
                    setUnit(n, wxASCII_STR("mA"));
                    break;
                default:
                    setValue(n, wxEmptyString);
                    setUnit(n, wxASCII_STR("-"));
                    break;
            }
        }
    } else if (code == 0xA1) {
        if (m_inputConfig[0] != INPUT_ANALOG || fields != 6) return;
        uint32_t errors = F(1);
        for (int n = 0; n < 4; ++n) {
            setValue(4 + n, (errors >> n) & 1 ? wxASCII_STR("---") : FixedWidth(record->GetDecimal(n + 2)));
        }
    } else if (code == 0xA2) {
        if (fields < 6) return;
        uint32_t slot = F(0);
        if (slot > 1 || m_slotConfig[slot] != SLOT_BUS_INPUT) return;
        uint32_t errors = F(3);
        uint32_t count = F(4) < 3 ? F(4) : 3;
        for (uint32_t p = 0; p < count; ++p) {
            int index = kBusReadout + 4 * static_cast<int>(slot) + static_cast<int>(p);
            setValue(index, (errors >> p) & 1 ? wxASCII_STR("---") : FixedWidth(record->GetDecimal(p + 5)));
        }
    } else if (code >= 0xA4 && code <= 0xAC) {
        if (!IsRegulatorReport(2, code, fields)) return;
        if (m_regPanel && static_cast<int>(F(0)) == m_selectedReg) m_regPanel->OnStatus(2, code, record);
    } else if (code == 0xB3) {
        if (fields < 3) return;
        uint32_t position = F(0);
        bool shown = (position == 0 && (m_slotConfig[0] == SLOT_ANALOG_OUTPUT || m_slotConfig[1] == SLOT_ANALOG_OUTPUT)) ||
                     (position == 1 && m_slotConfig[1] == SLOT_ANALOG_OUTPUT);
        if (!shown) return;
        setValue(kAnalogOutputReadout + position, FixedWidth(record->GetFloat(1)));
        setValue(kNormalisedReadout + position, FormatDecimal(record->GetFloat(2) * 100, 1));
    }
}

bool MyFrame::ResumeReports() {
    auto panelConnected = [this] { return !m_closing && m_connected && m_client->GetState() == CLIENT_STARTED; };
    if (!panelConnected() || m_client->SetMode(PanelClient::kReportsOn)) return true;
    wxLogWarning(wxASCII_STR("Pushed reports not restarted"));
    // A link lost meanwhile has been told on its own road (the window closes or shows no panel).
    if (!panelConnected()) return true;
    // The values shown would stand still while they look live.
    BlankReadouts();
    return false;
}

void MyFrame::TellReportsNotResumed(const wxString& caption) {
    MesgBox(this, U8("Nie udało się ponownie włączyć odczytów z urządzenia"), caption, wxOK | wxICON_EXCLAMATION);
}
