// The read-out boxes follow the panel now connected: they are rebuilt whenever a connection's
// configuration differs from the one they were built for, and blanked while no reports arrive
// (no panel connected, or its reports not switched on again), so that the window never shows
// one panel's values under another's boxes, nor values standing still as if live.
#include <cstring>

#include "app/MyFrame.h"
#include "regulators/RegX.h"
#include "widgets/jwxNVUDisp.h"

void MyFrame::FitReadoutsToConfiguration() {
    const uint8_t wanted[3] = {m_inputConfig[0], m_slotConfig[0], m_slotConfig[1]};
    if (m_readoutsBuilt && std::memcmp(wanted, m_readoutLayout, sizeof wanted) == 0) return;
    RemoveReadoutBoxes();
    BuildReadoutPanel();  // refits the window
    std::memcpy(m_readoutLayout, wanted, sizeof wanted);
}

void MyFrame::RemoveReadoutBoxes() {
    if (!m_readoutsBuilt) return;
    // Destroys the read-outs' windows; each box sizer takes its static box along.
    m_readoutSizer->Clear(true);
    for (int i = 0; i < kRelayReadout; ++i) m_readouts[i] = nullptr;
    m_readoutsBuilt = false;
}

void MyFrame::BlankReadouts() {
    for (jwxNVUDisp* readout : m_readouts)
        if (readout) readout->SetValueText(wxEmptyString);
    if (m_regPanel) m_regPanel->BlankLiveValues();
}
