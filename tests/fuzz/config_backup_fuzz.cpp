// A backup file as the load reads it. The bytes go into an in-memory file and are read back
// through the line reader (with a chunk size taken from the first byte, so that lines straddle
// reads); each line must match the same bytes cut by hand. Every line the parameter-line rules
// accept must format back to the same code and value: with the blanks taken out and the hex
// digits in lower case, the line is exactly the one the save would write for its record. The
// file reader must hand out exactly the accepted lines, and count every other line that is
// not a comment or blank. The same bytes also go straight into the value parser.
#include <sys/mman.h>
#include <unistd.h>
#include <wx/file.h>
#include <wx/init.h>
#include <wx/log.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "comm/ConfigBackupFile.h"

namespace {

class DiscardingLog : public wxLog {
protected:
    void DoLogTextAtLevel(wxLogLevel, const wxString& text) override { (void)text.length(); }
};

void Check(bool ok) {
    if (!ok) std::abort();
}

struct ExpectedLine {
    int result;        // bytes before the line feed
    std::string text;  // what the buffer must hold
    bool whole;
};

// The lines of data cut by hand: a UTF-8 byte-order mark at the start dropped, split at line
// feeds, carriage returns dropped, at most kBackupLineSize - 1 bytes kept.
std::vector<ExpectedLine> CutLines(const std::string& data) {
    std::vector<ExpectedLine> lines;
    size_t start = data.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start < data.size()) {
        size_t feed = data.find('\n', start);
        if (feed == std::string::npos) feed = data.size();
        ExpectedLine line{static_cast<int>(feed - start), std::string(), true};
        for (size_t i = start; i < feed; ++i) {
            if (data[i] == '\r') continue;
            if (data[i] == '\0') line.whole = false;
            if (line.text.size() < kBackupLineSize - 1) {
                line.text += data[i];
            } else {
                line.whole = false;
            }
        }
        line.text = line.text.c_str();  // the buffer's text ends at a NUL byte
        lines.push_back(line);
        start = feed + 1;
    }
    return lines;
}

// The line with its blanks taken out and the hex letters A-F lowered; nothing else changes.
std::string Squeezed(const std::string& line) {
    std::string out;
    for (char c : line) {
        if (c == ' ' || c == '\t' || c == '\n') continue;
        out += (c >= 'A' && c <= 'F') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return out;
}

// An accepted line names the record's code and value and nothing else.
void CheckFormatsBack(const std::string& line, const ParamValue& value) {
    std::string saved = Squeezed(FormatBackupLine(&value));
    std::string read = Squeezed(line);
    Check(!saved.empty() && !read.empty());
    // A decimal loads as the decimal kind whatever its letter, and is saved with "u".
    if (ParamKind(value.type) == PARAM_DECIMAL) read.back() = 'u';
    Check(saved == read);
    // And the line the save writes for it reads back to the same record.
    const std::string written = FormatBackupLine(&value);
    std::unique_ptr<ParamValue> again(ParseBackupLine(written.substr(0, written.size() - 1).c_str()));
    Check(again && again->code == value.code && FormatBackupLine(again.get()) == written);
}

std::unique_ptr<wxFile> MemoryFile(const uint8_t* data, size_t size) {
    const int fd = memfd_create("backup", MFD_CLOEXEC);
    if (fd < 0) return nullptr;
    if (write(fd, data, size) != static_cast<ssize_t>(size) || lseek(fd, 0, SEEK_SET) != 0) {
        close(fd);
        return nullptr;
    }
    return std::make_unique<wxFile>(fd);  // closes the descriptor
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static wxInitializer init;
    delete wxLog::SetActiveTarget(new DiscardingLog);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<ParamValue> direct(ParseParamValue(bytes.c_str()));
    if (direct) FormatParamValue(direct.get(), nullptr);

    const size_t chunk = size == 0 || (data[0] & 0x80) ? FileLineReader::kChunkSize : data[0] % 16 + 1;
    const std::vector<ExpectedLine> expected = CutLines(bytes);

    // Line by line, and the parameters the rules accept.
    std::vector<std::string> accepted;
    int notes = 0;
    {
        std::unique_ptr<wxFile> file = MemoryFile(data, size);
        if (!file) return 0;
        FileLineReader reader(*file, chunk);
        char line[kBackupLineSize];
        for (const ExpectedLine& want : expected) {
            Check(reader.ReadFileLine(line, sizeof line) == want.result);
            Check(want.text == line && reader.LastLineWhole() == want.whole);
            if (line[0] == '#' || (want.whole && IsBackupNoteLine(line))) {
                ++notes;
                continue;
            }
            std::unique_ptr<ParamValue> value(want.whole ? ParseBackupLine(line) : nullptr);
            if (!value) continue;
            CheckFormatsBack(line, *value);
            accepted.push_back(FormatBackupLine(value.get()));
        }
        Check(reader.ReadFileLine(line, sizeof line) == kFileLineEnd);
    }

    // The whole file: the same parameters, every other line counted.
    std::unique_ptr<wxFile> file = MemoryFile(data, size);
    if (!file) return 0;
    BackupFileReader reader(*file, chunk);
    std::vector<std::string> params;
    while (std::unique_ptr<ParamValue> value = reader.NextParam()) params.push_back(FormatBackupLine(value.get()));
    Check(!reader.ReadFailed() && params == accepted);
    Check(reader.ParamLines() == static_cast<int>(accepted.size()));
    Check(reader.ParamLines() + reader.SkippedLines() + notes == static_cast<int>(expected.size()));
    Check((reader.SkippedLines() == 0) == (reader.FirstSkippedLine() == 0));
    Check(reader.FirstSkippedLine() <= static_cast<int>(expected.size()));
    return 0;
}
