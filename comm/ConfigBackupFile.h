// The configuration backup file: a text file of the panel's parameters, one line each.
//
//     # QM-352 ver=000305 sn=1234        identification of the panel it was saved from
//     # 2026-12-07 23:50:12              local date and time of the save
//     P00cc = 01u                        parameter code (hex) = value text
//
// The value text is 2, 4, 6 or 8 lower-case hex digits by the kind (8-bit, 16-bit, packed
// decimal, 32-bit) and a letter, "s" for a signed value, else "u". Lines end with LF; a file
// with CR LF endings reads the same. The header lines are informative: loading does not compare
// them with the connected panel. Loading takes only lines of exactly this form (see
// ParseBackupLine); comments and blank lines are passed over, every other line is counted as
// skipped.
//
// Plain functions and readers without windows, so that the rules can be tested and fuzzed on
// their own.
#pragma once

#include <wx/datetime.h>
#include <wx/string.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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

// Reads an open file line by line through a buffer of its own (one read per chunk, not per
// byte). A UTF-8 byte-order mark at the very start of the file is not part of the first line.
class FileLineReader {
public:
    static constexpr size_t kChunkSize = 4096;

    // chunkSize is the most read from the file at once (small sizes let tests cut lines
    // across reads).
    explicit FileLineReader(wxFile& file, size_t chunkSize = kChunkSize);

    // Reads the next line into buffer. Returns the count of bytes before the line feed
    // (carriage returns and the bytes cut off included; 0 for an empty line), kFileLineEnd when
    // the file has no further line, or -1 on a read error. Carriage returns are dropped wherever
    // they stand; at most size - 1 bytes are stored and the rest of the line is read and
    // dropped; the buffer always holds a terminated text. A last line without a line feed
    // counts as a line.
    int ReadFileLine(char* buffer, int size);

    // The text in the buffer is the whole last line: nothing was cut off and it held no NUL
    // byte (which would end the text early, as in every line of a UTF-16 file).
    bool LastLineWhole() const { return m_lastWhole; }

private:
    bool Fill();  // false at the end of the file or on a read error (m_failed)

    wxFile& m_file;
    std::vector<char> m_chunk;
    size_t m_pos = 0;
    size_t m_end = 0;
    bool m_started = false;
    bool m_failed = false;
    bool m_lastWhole = true;
};

// A parameter line exactly as the save writes it, with some slack a hand edit may bring: "P",
// four hex digits, blanks, "=", blanks, 2, 4, 6 or 8 hex digits, the letter "u" or "s", then
// blanks only (hex digits in either case; blanks are spaces and tabs, none needed). Returns a
// new record with its code set, or null for any other line; a line that differs is never
// taken for some other parameter or value.
ParamValue* ParseBackupLine(const char* line);

// A line the load passes over without counting it: a comment ("#", the header lines) or a
// line of blanks only.
bool IsBackupNoteLine(const char* line);

// Reads the parameters of a backup file in file order. Comments and blank lines are passed
// over; every other line that is not a parameter line is skipped and counted, so that the load
// can tell the user what was left out.
class BackupFileReader {
public:
    explicit BackupFileReader(wxFile& file, size_t chunkSize = FileLineReader::kChunkSize);

    // The next parameter (a new record with its code set), or null at the end of the file or
    // on a read error.
    std::unique_ptr<ParamValue> NextParam();

    bool ReadFailed() const { return m_failed; }
    int ParamLines() const { return m_params; }
    int SkippedLines() const { return m_skipped; }
    // Line number (from 1) of the first skipped line; 0 when none was skipped.
    int FirstSkippedLine() const { return m_firstSkipped; }

private:
    FileLineReader m_lines;
    int m_lineNumber = 0;
    int m_params = 0;
    int m_skipped = 0;
    int m_firstSkipped = 0;
    bool m_failed = false;
};

// "P%04x = <value text>\n"; empty when the value's kind has no value text (nothing to restore).
std::string FormatBackupLine(const ParamValue* value);

// The two header lines, each with its line feed.
std::string FormatBackupHeader(uint16_t panelType, uint8_t fwLetter, uint8_t fwMajor, uint8_t fwMinor, uint32_t serial,
                               const wxDateTime& when);

// The file name the save offers, e.g. "qm352-1234-261207-2350.conf".
wxString DefaultBackupFileName(uint16_t panelType, uint32_t serial, const wxDateTime& when);
