// The threshold regulator view (type 1): process value, set point and alarms of the active zone,
// the switching thresholds of outputs A and B, inversion, alarm enable, zone and outputs; its
// buttons edit the header, the thresholds and the alarms.
#pragma once

#include "regulators/RegX.h"

class Reg1 : public RegX {
public:
    Reg1(wxWindow* parent, PanelClient* client, int index);
    ~Reg1() override;

    // h1a, h0a, h1b, h0b.
    jwxNVUDisp* ThresholdReadout(int i) const { return m_thresholds[i]; }

protected:
    void ReadValues() override;
    void OnChangeRegulation() override;

private:
    jwxNVUDisp* m_thresholds[4] = {};
};
