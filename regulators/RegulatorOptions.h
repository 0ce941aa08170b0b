// The option lists of the three regulator types: null-terminated UTF-8 texts, each the option
// code in decimal, " - " and a name.
#pragma once

#include <wx/string.h>

extern const char* const ThresholdOptionList[];
extern const char* const PidOptionList[];
extern const char* const TimedOptionList[];

// The text a view shows for an option code: its entry, or entry 0 when the code is not listed.
wxString OptionName(const char* const list[], int code);
