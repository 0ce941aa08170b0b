// The clock interval the panel offers as a zone-switching signal: a start and an end time of
// day in 10-minute steps, stored as slots of the day (hour * 6 + minute / 10). Any start and end
// are accepted, an end before the start included.
#pragma once

#include <cstdint>

#include "dialogs/ConfigDialog.h"

struct ParamValue;

class DlgNZoneRng : public ConfigDialog {
public:
    // records: [0] start (222), [1] end (223).
    DlgNZoneRng(wxWindow* parent, const wxString& title, ParamValue** records, long style, wxWindowID id);

    // 0: start, 1: end slot.
    uint8_t GetSlot(int i) const { return results[i]; }

private:
    bool TakeResults() override;

    // [0] start hour, [1] start minute, [2] end hour, [3] end minute.
    wxTextCtrl* texts[4] = {};
    uint8_t results[2] = {};
};
