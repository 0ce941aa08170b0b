// Chooses the binary signal that drives each indicator lamp, D1 and D2.
#pragma once

#include "dialogs/ConfigDialog.h"

struct ParamValue;

class DlgDispLEDs : public ConfigDialog {
public:
    // records: [0] D1 (230), [1] D2 (231).
    DlgDispLEDs(wxWindow* parent, const wxString& title, ParamValue** records, long style, wxWindowID id);

    // 0: D1, 1: D2.
    int GetSource(int i) const { return results[i]; }

private:
    int results[2] = {};
};
