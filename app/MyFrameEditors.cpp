// The live editors: logic gates, relay outputs and analog outputs. The handlers read nothing
// themselves: each editor reads and writes one record at a time through the callbacks below.
#include "app/MyFrame.h"

#include <vector>

#include "comm/PanelClient.h"
#include "dialogs/ConfigCommand.h"
#include "dialogs/DlgAnalogOut.h"
#include "dialogs/DlgLogicConf.h"
#include "dialogs/DlgRelayConf.h"

namespace {

wxString U8(const char* text) { return wxString::FromUTF8(text); }
constexpr long kStyle = ConfigDialog::kStyle;

bool InRange(int n, int count) { return n >= 0 && n < count; }

constexpr int kAnalogOutputs = 2;  // Wy #1, Wy #2; then the multiplexers

int AnalogRecordCount(int n) { return n < kAnalogOutputs ? 7 : 9; }
int AnalogRecordBase(int n) { return n < kAnalogOutputs ? 880 + 7 * n : 896 + 12 * n; }

// The editors hand back the owner they were given: the frame that opened them.
MyFrame* Frame(LiveEditorOwner* owner) { return static_cast<MyFrame*>(owner); }

}  // namespace

void MyFrame::OnLogicConf(wxCommandEvent&) {
    DlgLogicConf dialog(this, U8("Bramki logiczne"), &MyFrame::ReadLogicGate, &MyFrame::WriteLogicGate, kStyle,
                        wxID_ANY);
    dialog.ShowModal();
}

void MyFrame::OnRelayConf(wxCommandEvent&) {
    DlgRelayConf dialog(this, U8("Wyjścia przekaźnikowe"), &MyFrame::ReadRelay, &MyFrame::WriteRelay, kStyle,
                        wxID_ANY);
    dialog.ShowModal();
}

void MyFrame::OnAnalogOut(wxCommandEvent&) {
    DlgAnalogOut dialog(this, U8("Wyjścia analogowe"), &MyFrame::ReadAnalogOutput, &MyFrame::WriteAnalogOutput,
                        kStyle, wxID_ANY);
    dialog.ShowModal();
}

int MyFrame::ReadRecordCodes(const uint16_t* codes, int count, ParamValue** values) {
    for (int i = 0; i < count; ++i) values[i] = nullptr;
    if (!m_client || m_client->GetState() != CLIENT_STARTED) return -1;
    return m_client->ReadParams(count, values, codes, false) == PARAM_OK ? 0 : -1;
}

int MyFrame::WriteRecords(ParamValue** records, int count) {
    if (!m_client || m_client->GetState() != CLIENT_STARTED) return -1;
    return m_client->WriteParams(count, records, false) == PARAM_OK ? 0 : -1;
}

int MyFrame::ReadLogicGate(LiveEditorOwner* owner, int n, ParamValue** values) {
    if (!InRange(n, DlgLogicConf::kGateCount)) return -1;
    const uint16_t first = static_cast<uint16_t>(768 + 3 * n);
    const uint16_t codes[3] = {first, static_cast<uint16_t>(first + 1), static_cast<uint16_t>(first + 2)};
    return Frame(owner)->ReadRecordCodes(codes, 3, values);
}

int MyFrame::WriteLogicGate(LiveEditorOwner* owner, int n, const uint8_t* record) {
    if (!InRange(n, DlgLogicConf::kGateCount)) return -1;
    ParamRecords records(3);
    for (int i = 0; i < 3; ++i) {
        records.Data()[i] = new ParamValue;
        records[i]->SetU8(record[i], 768 + 3 * n + i);
    }
    return Frame(owner)->WriteRecords(records.Data(), 3);
}

namespace {
// A relay output's parameters in record order: primary, alternative, switching.
void RelayCodes(int n, uint16_t codes[3]) {
    codes[0] = static_cast<uint16_t>(215 + n);
    codes[1] = static_cast<uint16_t>(865 + 2 * n);
    codes[2] = static_cast<uint16_t>(864 + 2 * n);
}
}  // namespace

int MyFrame::ReadRelay(LiveEditorOwner* owner, int n, ParamValue** values) {
    if (!InRange(n, DlgRelayConf::kOutputCount)) return -1;
    uint16_t codes[3];
    RelayCodes(n, codes);
    return Frame(owner)->ReadRecordCodes(codes, 3, values);
}

int MyFrame::WriteRelay(LiveEditorOwner* owner, int n, const uint8_t* record) {
    if (!InRange(n, DlgRelayConf::kOutputCount)) return -1;
    uint16_t codes[3];
    RelayCodes(n, codes);
    ParamRecords records(3);
    for (int i = 0; i < 3; ++i) {
        records.Data()[i] = new ParamValue;
        records[i]->SetU8(record[i], codes[i]);
    }
    return Frame(owner)->WriteRecords(records.Data(), 3);
}

int MyFrame::ReadAnalogOutput(LiveEditorOwner* owner, int n, ParamValue** values) {
    if (!InRange(n, DlgAnalogOut::kEntryCount)) return -1;
    const int count = AnalogRecordCount(n);
    std::vector<uint16_t> codes;
    for (int i = 0; i < count; ++i) codes.push_back(static_cast<uint16_t>(AnalogRecordBase(n) + i));
    return Frame(owner)->ReadRecordCodes(codes.data(), count, values);
}

int MyFrame::WriteAnalogOutput(LiveEditorOwner* owner, int n, const uint8_t* sources, const DecimalValue* values,
                                       const int16_t* limits) {
    if (!InRange(n, DlgAnalogOut::kEntryCount)) return -1;
    const int count = AnalogRecordCount(n);
    const int decimals = count - 5;
    const int base = AnalogRecordBase(n);
    ParamRecords records(count);
    for (int i = 0; i < count; ++i) {
        records.Data()[i] = new ParamValue;
        ParamValue* record = records[i];
        if (i < 3)
            record->SetU8(sources[i], base + i);
        else if (i < 3 + decimals)
            record->SetDecimal(values[i - 3], base + i);
        else
            record->SetS16(limits[i - 3 - decimals], base + i);
    }
    return Frame(owner)->WriteRecords(records.Data(), count);
}
