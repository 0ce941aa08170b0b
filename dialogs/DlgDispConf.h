// Chooses the value each front display shows (display B; display A from firmware 3.03 on).
#pragma once

#include "dialogs/ConfigDialog.h"

struct ParamValue;

class DlgDispConf : public ConfigDialog {
public:
    // records: [0] display B (176), [1] display A (180, only from version 303 on).
    DlgDispConf(wxWindow* parent, const wxString& title, ParamValue** records, int version, long style, wxWindowID id);

    // 0: display B, 1: display A.
    int GetSource(int i) const { return i == 0 ? resultB : resultA; }

    // Firmware from which the panel has display A.
    static constexpr int kDisplayAVersion = 303;

private:
    int resultB = 0;
    int resultA = 0;
};
