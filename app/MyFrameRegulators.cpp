// Regulator selection, the hosted regulator view and the regulator types command.
#include <wx/log.h>
#include <wx/statbox.h>

#include "app/FrameIds.h"
#include "app/MyFrame.h"
#include "comm/PanelClient.h"
#include "dialogs/ConfigCommand.h"
#include "dialogs/ConfigDialog.h"
#include "regulators/DlgRegType.h"
#include "regulators/RegViewFactory.h"
#include "regulators/RegX.h"
#include "regulators/RegulatorBlock.h"

void MyFrame::OnRegRadio(wxCommandEvent& event) {
    const int id = event.GetId();
    // Only the selector's own buttons ("-" and R1..R4).
    if (id < ID_REG_NONE || id > ID_REG_1 + kRegulatorCount - 1) {
        event.Skip();
        return;
    }
    wxLogVerbose(wxASCII_STR("Radio %d"), id);
    RemoveRegulatorView();
    // A failed type read still refits: the old view is gone and its room goes with it.
    if (id != ID_REG_NONE) ShowChannelView(id - ID_REG_1);
    FitToPanel();
}

bool MyFrame::ShowChannelView(int regulator) {
    m_selectedRegType = -1;
    // A refused or damaged type is a failed read, not a channel that is off.
    ConfigCommand typeRead(this, m_client, {RegulatorTypeCode(regulator)}, ConfigCommand::READ_SINGLE);
    if (!typeRead.Read()) return false;
    const int type = typeRead[0]->GetU8();
    if (RegX* view = CreateRegulatorView(type, m_mainPanel, m_client, regulator)) ShowRegulatorView(regulator, view);
    m_selectedRegType = type;
    return true;
}

void MyFrame::ShowRegulatorView(int regulator, RegX* view) {
    m_selectedReg = regulator;
    m_regPanel = view;
    m_regBoxSizer->GetStaticBox()->SetLabel(view->Title());
    if (wxSizer* top = view->GetTopSizer()) m_regBoxSizer->Add(top, 0, 0, 0);
    m_rowSizer->Add(m_regBoxSizer, 0, wxEXPAND | wxALL, 1);
    m_rowSizer->Show(m_regBoxSizer, true, true);
    PushEventHandler(view);
}

void MyFrame::RemoveRegulatorView() {
    if (!m_regPanel) return;
    RemoveEventHandler(m_regPanel);
    if (wxSizer* box = m_regPanel->GetAlgorithmBox()) m_rowSizer->Detach(box);
    if (wxSizer* top = m_regPanel->GetTopSizer()) m_regBoxSizer->Detach(top);
    delete m_regPanel;
    m_regPanel = nullptr;
    m_selectedReg = -1;
    if (m_rowSizer->GetItem(m_regBoxSizer)) {
        m_rowSizer->Hide(m_regBoxSizer, true);
        m_rowSizer->Detach(m_regBoxSizer);
    }
}

void MyFrame::OnRegPanelLayout(wxCommandEvent& event) {
    // A view's new "Algorytm" box goes beside the regulator box; without one the view only asks
    // for a refit (its texts grew).
    if (auto* box = static_cast<wxSizer*>(event.GetClientData())) m_rowSizer->Add(box, 0, wxEXPAND | wxALL, 1);
    FitToPanel();
}

void MyFrame::OnRegType(wxCommandEvent&) {
    ConfigCommand command(this, m_client,
                          {RegulatorTypeCode(0), RegulatorTypeCode(1), RegulatorTypeCode(2), RegulatorTypeCode(3)});
    if (!command.Read()) return;
    DlgRegType dialog(this, wxString::FromUTF8("Typ regulatora"), command.Records(), ConfigDialog::kStyle, wxID_ANY);
    if (dialog.ShowModal() != wxID_OK) return;
    for (int i = 0; i < kRegulatorCount; ++i) command[i]->SetU8(static_cast<uint32_t>(dialog.GetType(i)));
    command.Write();
    // The selected channel's view follows its new type: a view left showing the old one would
    // freeze (the reports carry another code) and write the old type's parameters over the new
    // type's. The type is read again, so after a refused write the view shows what the panel
    // holds.
    const int channel = CheckedChannel();
    if (channel < 0 || dialog.GetType(channel) == m_selectedRegType) return;
    if (!m_client || m_client->GetState() != CLIENT_STARTED) return;  // the connection went meanwhile
    RemoveRegulatorView();
    ShowChannelView(channel);
    FitToPanel();
}

int MyFrame::CheckedChannel() const {
    if (m_selectedReg >= 0) return m_selectedReg;
    for (int i = 0; i < kRegulatorCount; ++i)
        if (m_regRadio[i]->GetValue()) return i;  // selected, but off or not read: no view
    return -1;
}

void MyFrame::MarkViewStale() {
    // Only the checked channel matters; the view is brought in line at idle (below).
    m_viewOfOtherPanel = CheckedChannel() >= 0;
}

void MyFrame::BringViewInLine() {
    // A view built for a panel that is gone would show its last values as live, and its buttons
    // would write the old panel's type of parameters to whatever panel comes next. Run only when
    // nothing waits below (no view handler, request or dialog is on the stack): while connected
    // the checked channel's view is built from the panel now connected; otherwise it goes, the
    // channel staying checked.
    m_viewOfOtherPanel = false;
    const int channel = CheckedChannel();
    RemoveRegulatorView();
    m_selectedRegType = -1;
    if (m_connected && channel >= 0) ShowChannelView(channel);
    FitToPanel();
}
