// Configuration commands of the "Ustawienia" menu: each reads its area, lets its dialog edit
// it and writes every parameter back (the road itself is ConfigCommand).
#include "app/MyFrame.h"

#include "comm/PanelClient.h"
#include "dialogs/ConfigCommand.h"
#include "comm/PanelRecords.h"
#include "dialogs/DlgAnalogConst.h"
#include "dialogs/DlgAnalogInp.h"
#include "dialogs/DlgBinConst.h"
#include "dialogs/DlgDispConf.h"
#include "dialogs/DlgDispLEDs.h"
#include "dialogs/DlgI420Calib.h"
#include "dialogs/DlgNZoneInp.h"
#include "dialogs/DlgNZoneRng.h"
#include "dialogs/DlgPanelInfo.h"
#include "dialogs/DlgT500Format.h"
#include "dialogs/DlgUserCalib.h"
#include "dialogs/DlgUserVar.h"

#include <memory>

namespace {
wxString U8(const char* text) { return wxString::FromUTF8(text); }
constexpr long kStyle = ConfigDialog::kStyle;
}  // namespace

void MyFrame::OnDispConf(wxCommandEvent&) {
    const int version = FirmwareVersion();
    const bool hasDisplayA = version >= DlgDispConf::kDisplayAVersion;
    ConfigCommand command(this, m_client,
                          hasDisplayA ? std::vector<uint16_t>{176, 180} : std::vector<uint16_t>{176});
    if (!command.Read()) return;
    DlgDispConf dialog(this, U8(hasDisplayA ? "Wyświetlacze A B" : "Wyświetlacz B"), command.Records(), version,
                       kStyle, wxID_ANY);
    if (dialog.ShowModal() != wxID_OK) return;
    for (int i = 0; i < command.Count(); ++i) command[i]->SetU8(dialog.GetSource(i));
    command.Write();
}

void MyFrame::OnDispLEDs(wxCommandEvent&) {
    ConfigCommand command(this, m_client, {230, 231});
    if (!command.Read()) return;
    DlgDispLEDs dialog(this, U8("Kontrolki D1 D2"), command.Records(), kStyle, wxID_ANY);
    if (dialog.ShowModal() != wxID_OK) return;
    for (int i = 0; i < 2; ++i) command[i]->SetU8(dialog.GetSource(i));
    command.Write();
}

void MyFrame::OnT500Format(wxCommandEvent&) {
    ConfigCommand command(this, m_client, {225}, ConfigCommand::READ_SINGLE);
    if (!command.Read()) return;
    DlgT500Format dialog(this, U8("Format wy T500"), command[0], kStyle, wxID_ANY);
    if (dialog.ShowModal() != wxID_OK) return;
    command[0]->SetU8(dialog.GetFormat());
    command.Write();
}

void MyFrame::OnAnalogInp(wxCommandEvent&) {
    ConfigCommand command(this, m_client, {204, 205, 206, 207, 208, 209, 210});
    if (!command.Read()) return;
    DlgAnalogInp dialog(this, U8("We analogowe"), command.Records(), kStyle, wxID_ANY);
    if (dialog.ShowModal() != wxID_OK) return;
    command[0]->SetU8(dialog.GetMode());
    for (int i = 0; i < DlgAnalogInp::kListCount; ++i) command[i + 1]->SetU8(dialog.GetInputType(i));
    command.Write();
}

void MyFrame::OnUserCalib(wxCommandEvent&) {
    ConfigCommand command(this, m_client, {177, 178, 179});
    if (!command.Read()) return;
    DlgUserCalib dialog(this, U8("Kalibracja użytkownika"), command.Records(), kStyle, wxID_ANY);
    if (dialog.ShowModal() != wxID_OK) return;
    command[0]->SetU16(dialog.GetValue(0));
    command[1]->SetU16(dialog.GetValue(1));
    command[2]->SetU16(dialog.IsPsychroEnabled() ? dialog.GetValue(2) : 0);
    command.Write();
}

void MyFrame::OnNZoneInp(wxCommandEvent&) {
    ConfigCommand command(this, m_client, {224}, ConfigCommand::READ_SINGLE);
    if (!command.Read()) return;
    DlgNZoneInp dialog(this, U8("Przełączanie strefy"), command[0], kStyle, wxID_ANY);
    if (dialog.ShowModal() != wxID_OK) return;
    command[0]->SetU8(dialog.GetSource());
    command.Write();
}

void MyFrame::OnNZoneRng(wxCommandEvent&) {
    ConfigCommand command(this, m_client, {222, 223});
    if (!command.Read()) return;
    DlgNZoneRng dialog(this, U8("Przedział czasu zegara"), command.Records(), kStyle, wxID_ANY);
    if (dialog.ShowModal() != wxID_OK) return;
    for (int i = 0; i < 2; ++i) command[i]->SetU8(dialog.GetSlot(i));
    command.Write();
}

void MyFrame::OnAnalogConst(wxCommandEvent&) {
    ConfigCommand command(this, m_client, {912, 913, 914, 915});
    if (!command.Read()) return;
    DlgAnalogConst dialog(this, U8("Stałe użytkownika"), command.Records(), kStyle, wxID_ANY);
    if (dialog.ShowModal() != wxID_OK) return;
    for (int i = 0; i < DlgAnalogConst::kConstantCount; ++i) command[i]->SetDecimal(dialog.GetConstant(i));
    command.Write();
}

void MyFrame::OnI420Calib(wxCommandEvent&) {
    ConfigCommand command(this, m_client, {226, 227, 228, 229});
    if (!command.Read()) return;
    DlgI420Calib dialog(this, U8("Kalibracja wejść"), command.Records(), kStyle, wxID_ANY);
    if (dialog.ShowModal() != wxID_OK) return;
    for (int i = 0; i < DlgI420Calib::kInputCount; ++i) command[i]->SetU16(dialog.GetFactor(i));
    command.Write();
}

void MyFrame::OnUserVar(wxCommandEvent&) {
    ConfigCommand command(this, m_client, {192, 193, 194, 195, 196, 197, 198, 199});
    if (!command.Read()) return;
    DlgUserVar dialog(this, U8("Zmienne użytkownika"), command.Records(), kStyle, wxID_ANY);
    if (dialog.ShowModal() != wxID_OK) return;
    for (int i = 0; i < DlgUserVar::kFieldCount; ++i) command[i]->SetDecimal(dialog.GetVariable(i));
    command.Write();
}

void MyFrame::OnBinConst(wxCommandEvent&) {
    ConfigCommand command(this, m_client, {896, 897, 898, 899});
    if (!command.Read()) return;
    DlgBinConst dialog(this, U8("Stałe użytkownika"), command.Records(), kStyle, wxID_ANY);
    if (dialog.ShowModal() != wxID_OK) return;
    for (int i = 0; i < DlgBinConst::kConstantCount; ++i) command[i]->SetU8(dialog.GetConstant(i));
    command.Write();
}

// Asks the panel for a fresh identification; no answer shows nothing.
void MyFrame::OnPanelInfo(wxCommandEvent&) {
    std::unique_ptr<PanelIdent> ident(m_client->Identify());
    if (!ident) return;
    DlgPanelInfo dialog(this, U8("Informacje o panelu"), ident.get(), kStyle, wxID_ANY);
    dialog.ShowModal();
}
