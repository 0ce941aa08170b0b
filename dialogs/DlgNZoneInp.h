// Chooses the binary signal that switches the regulators between their two zones.
#pragma once

#include "dialogs/ConfigDialog.h"

struct ParamValue;

class DlgNZoneInp : public ConfigDialog {
public:
    // record: the switching variable (224).
    DlgNZoneInp(wxWindow* parent, const wxString& title, ParamValue* record, long style, wxWindowID id);

    int GetSource() const { return result; }

private:
    int result = 0;
};
