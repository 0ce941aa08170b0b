// How the timed regulator's times read: t1 and t2 are stored either in whole minutes or in
// tenths of a second (their unit byte says which), t3 always in tenths of a second.
#pragma once

#include <wx/string.h>

// The stored number as the user reads and types it: "90" in minutes, "9.0" in seconds.
wxString TimedTimeText(unsigned stored, bool minutes);
// The unit shown beside it: "min" or "sek".
wxString TimedTimeUnit(bool minutes);
