// Configuration commands of the "Ustawienia" menu: each reads its area, lets its dialog edit
// it and writes every parameter back (the road itself is ConfigCommand).
#include "app/MyFrame.h"

#include "comm/PanelClient.h"
#include "dialogs/ConfigCommand.h"
#include "dialogs/DlgAnalogInp.h"
#include "dialogs/DlgDispConf.h"
#include "dialogs/DlgDispLEDs.h"
#include "dialogs/DlgT500Format.h"

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

// Not built yet: these commands do nothing.
void MyFrame::OnPanelInfo(wxCommandEvent&) {}
void MyFrame::OnUserCalib(wxCommandEvent&) {}
void MyFrame::OnNZoneInp(wxCommandEvent&) {}
void MyFrame::OnNZoneRng(wxCommandEvent&) {}
void MyFrame::OnAnalogConst(wxCommandEvent&) {}
void MyFrame::OnI420Calib(wxCommandEvent&) {}
void MyFrame::OnUserVar(wxCommandEvent&) {}
void MyFrame::OnBinConst(wxCommandEvent&) {}
