// Edits a regulator channel's header: its option (a code of its type's option list) and the
// process variable it regulates (a display-source code).
#pragma once

#include "dialogs/ConfigDialog.h"

struct ParamValue;

class DlgRInfoChng : public ConfigDialog {
public:
    // items: [0] option, [1] process variable (8-bit); optionList: null-terminated texts.
    DlgRInfoChng(wxWindow* parent, const wxString& title, ParamValue** items, const char* const* optionList,
                 long style, wxWindowID id);

    // 0: option, 1: process variable; a list left without a selection gives the code read.
    int GetResult(int i) const { return results[i]; }

private:
    int results[2] = {};
};
