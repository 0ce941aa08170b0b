// Chooses the data format of the panel's T500 bus output.
#pragma once

#include "dialogs/ConfigDialog.h"

struct ParamValue;

class DlgT500Format : public ConfigDialog {
public:
    // record: the output format (225).
    DlgT500Format(wxWindow* parent, const wxString& title, ParamValue* record, long style, wxWindowID id);

    int GetFormat() const { return result; }

    // The formats the panel knows, "code - name", codes 0..6.
    static std::vector<wxString> FormatItems();

private:
    int result = 0;
};
