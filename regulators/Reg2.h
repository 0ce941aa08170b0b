// The view of a PID regulator channel: the controller's settings (set point, Kp, ti, td, servo
// times, input range, inversion), its alarms and outputs, its live state from the pushed
// reports and, once asked for, the "Algorytm" box with the controller's internal values and the
// servo output's state.
#pragma once

#include "comm/ServoText.h"
#include "regulators/RegX.h"

class Reg2 : public RegX {
public:
    static constexpr int kInternalCount = 12;  // npv, nsp, e, dt, der, dder, vp, vi, vd, dcv, cva, cv

    Reg2(wxWindow* parent, PanelClient* client, int index);
    ~Reg2() override;

    // For the main window's tests: the view's own read-outs (the algorithm ones null until the
    // box is built).
    jwxNVUDisp* KpReadout() const { return m_kp; }
    jwxNVUDisp* TimeReadout(int which) const { return m_times[which]; }  // ti, td, t1, t2, t3
    jwxNVUDisp* InputRangeReadout(int which) const { return which == 0 ? m_inMin : m_inMax; }
    jwxNVUDisp* InternalReadout(int i) const { return m_internals[i]; }
    jwxNVUDisp* StatusLine(int line) const { return m_statusLines[line]; }
    const ServoTravelTimes& TravelTimes() const { return m_travelTimes; }

    // Also the "Algorytm" box's internals and servo status lines; the learnt travel times are
    // kept.
    void BlankLiveValues() override;

protected:
    void ReadValues() override;
    void OnReport(const RegulatorReport& report) override;
    void OnChangeRegulation() override;
    void OnAlgorithm() override;

private:
    void ShowStatusLines(const std::string& first, const std::string& second);

    jwxNVUDisp* m_kp = nullptr;
    jwxNVUDisp* m_times[5] = {};  // ti, td, t1/close, t2/open, t3/min
    jwxNVUDisp* m_inMin = nullptr;
    jwxNVUDisp* m_inMax = nullptr;
    jwxNVUDisp* m_internals[kInternalCount] = {};
    jwxNVUDisp* m_statusLines[2] = {};
    // Kept while the algorithm box is closed, so it shows both pairs once opened.
    ServoTravelTimes m_travelTimes;
};
