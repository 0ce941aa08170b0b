#include "regulators/TimedTimeText.h"

wxString TimedTimeText(unsigned stored, bool minutes) {
    if (minutes) return wxString::Format(wxASCII_STR("%u"), stored);
    return wxString::Format(wxASCII_STR("%.1f"), stored * 0.1);
}

wxString TimedTimeUnit(bool minutes) { return wxASCII_STR(minutes ? "min" : "sek"); }
