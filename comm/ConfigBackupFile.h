// The configuration backup file: a text file of the panel's parameters, one line each.
//
//     # QM-352 ver=000305 sn=1234        identification of the panel it was saved from
//     # 2026-12-07 23:50:12              local date and time of the save
//     P00cc = 01u                        parameter code (hex) = value text
//
// The value text is 2, 4, 6 or 8 lower-case hex digits by the kind (8-bit, 16-bit, packed
// decimal, 32-bit) and a letter, "s" for a signed value, else "u". Lines end with LF; a file
// with CR LF endings reads the same. The header lines are informative: loading does not compare
// them with the connected panel.
//
// Plain functions without windows, so that the rules can be tested and fuzzed on their own.
#pragma once

#include <wx/datetime.h>
#include <wx/string.h>

#include <cstdint>
#include <string>

#include "comm/ParamValue.h"

class wxFile;

// Longest value text ("ffffffffs") with its terminator, rounded up.
constexpr int kParamValueTextSize = 12;
// Line buffer of the load: longer lines are cut to 79 characters.
constexpr int kBackupLineSize = 80;
// ReadFileLine at the end of the file (nothing left to read).
constexpr int kFileLineEnd = -2;

// Writes the value text of value into buffer (kParamValueTextSize bytes), or into one static
// buffer when buffer is null (the next such call overwrites it); returns the text. A kind
// other than 1-4 (low four bits of the type byte) gives the letter alone.
const char* FormatParamValue(const ParamValue* value, char* buffer);

// Reads a value text that starts at its first hex digit. Returns a new record (the caller sets
// its code and deletes it), or null when the digit count is not 2, 4, 6 or 8 or no character
// follows the digits.
ParamValue* ParseParamValue(const char* text);

// Reads one line of an open file byte by byte into buffer. Returns the count of bytes before the
// line feed (carriage returns and the bytes cut off included; 0 for an empty line),
// kFileLineEnd when the file has no further line, or -1 on a read error. Carriage returns are
// dropped wherever they stand; at most size - 1 characters are stored and the rest of the line
// is read and dropped; the buffer always holds a terminated text. A last line without a line
// feed counts as a line.
int ReadFileLine(wxFile& file, char* buffer, int size);

// The parameter on one line of a backup file: a new record with its code set, or null when the
// line is not a parameter line (header, comment, anything else) or its value does not parse.
ParamValue* ParseBackupLine(const char* line);

// "P%04x = <value text>\n"; empty when the value's kind has no value text (nothing to restore).
std::string FormatBackupLine(const ParamValue* value);

// The two header lines, each with its line feed.
std::string FormatBackupHeader(uint16_t panelType, uint8_t fwLetter, uint8_t fwMajor, uint8_t fwMinor, uint32_t serial,
                               const wxDateTime& when);

// The file name the save offers, e.g. "qm352-1234-261207-2350.conf".
wxString DefaultBackupFileName(uint16_t panelType, uint32_t serial, const wxDateTime& when);
