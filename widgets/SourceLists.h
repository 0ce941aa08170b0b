// The panel's signal vocabularies: each text is a code in decimal, " - " and a Polish name.
// The dialogs fill their jwxCombo lists from these tables (the combo's values are the codes)
// and the regulator views print the name of a configured code. Each table ends with a null.
#pragma once

#include <wx/string.h>

#include <vector>

extern const char* const DisplaySourceList[];     // 22 rows, codes 0..21
extern const char* const BinarySourceList[];      // 71 rows, codes 0..54 and 101..116
extern const char* const RelaySourceList[];       // 6 rows, codes 0..5
extern const char* const AnalogOutSourceList[];   // 5 rows, codes 0..4
extern const char* const AnalogSourceList[];      // 34 rows, codes 0..21, 68..71, 81..84, 101..104

// Rows of a null-terminated table.
int SourceListCount(const char* const list[]);
// The texts of a null-terminated table as the toolkit's strings, ready for jwxCombo.
std::vector<wxString> SourceListItems(const char* const list[]);
// The text of a process-variable code as the regulator views show it: a code at row 0 of the
// display list or not in it at all reads "0 - zero".
wxString ProcessVariableName(int code);
