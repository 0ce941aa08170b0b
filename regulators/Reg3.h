// The timed regulator view (type 3): process value, set point and alarms of the active zone,
// the times t1, t2 (each in tenths of a second or whole minutes) and t3, inversion, zone, the
// control inputs Pri, Sec and Gate, alarm enable and outputs; its buttons edit the header, the
// timing and the alarms, and open the "Algorytm" box that shows the mode reports' letters.
#pragma once

#include "regulators/RegX.h"

class Reg3 : public RegX {
public:
    static constexpr int kModeReadouts = 6;

    Reg3(wxWindow* parent, PanelClient* client, int index);
    ~Reg3() override;

    // t1, t2, t3.
    jwxNVUDisp* TimeReadout(int i) const { return m_times[i]; }
    // Pri, Sec, Gate.
    wxStaticText* InputText(int i) const { return m_inputs[i]; }
    // The algorithm box's read-outs 1..6 (index 0..5); null until the box is built.
    jwxNVUDisp* ModeReadout(int i) const { return m_algorithmBox ? m_modes[i] : nullptr; }

    // Also the "Algorytm" box's status letters.
    void BlankLiveValues() override;

protected:
    void ReadValues() override;
    void OnReport(const RegulatorReport& report) override;
    void OnChangeRegulation() override;
    void OnAlgorithm() override;

private:
    void ShowTime(int i, const ParamValue* time, bool minutes);

    jwxNVUDisp* m_times[3] = {};
    wxStaticText* m_inputs[3] = {};
    jwxNVUDisp* m_modes[kModeReadouts] = {};
};
