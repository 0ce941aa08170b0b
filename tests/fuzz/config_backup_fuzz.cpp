// A backup file as the load reads it: the bytes go into an in-memory file, are cut into lines
// by ReadFileLine and every line goes through the parameter-line rules. Each record that
// parses must format back into a line that parses to the same record. The same bytes also go
// straight into the value parser.
#include <sys/mman.h>
#include <unistd.h>
#include <wx/file.h>
#include <wx/init.h>
#include <wx/log.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "comm/ConfigBackupFile.h"

namespace {

class DiscardingLog : public wxLog {
protected:
    void DoLogTextAtLevel(wxLogLevel, const wxString& text) override { (void)text.length(); }
};

bool IsHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

// The record holds exactly the digits of the line's value text.
void CheckDigits(const char* line, const ParamValue& value) {
    const char* text = line + 5;
    while (!IsHex(*text)) ++text;
    std::string digits;
    for (; IsHex(*text); ++text) digits += static_cast<char>(std::tolower(static_cast<unsigned char>(*text)));
    std::string formatted = FormatParamValue(&value, nullptr);
    formatted.pop_back();  // the letter
    if (formatted != digits) std::abort();
}

void CheckRoundTrip(const ParamValue& value) {
    const std::string line = FormatBackupLine(&value);
    if (line.empty() || line.back() != '\n') std::abort();
    std::unique_ptr<ParamValue> again(ParseBackupLine(line.substr(0, line.size() - 1).c_str()));
    if (!again || again->code != value.code || FormatBackupLine(again.get()) != line) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static wxInitializer init;
    delete wxLog::SetActiveTarget(new DiscardingLog);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<ParamValue> direct(ParseParamValue(text.c_str()));
    if (direct) FormatParamValue(direct.get(), nullptr);

    const int fd = memfd_create("backup", MFD_CLOEXEC);
    if (fd < 0) return 0;
    if (write(fd, data, size) != static_cast<ssize_t>(size) || lseek(fd, 0, SEEK_SET) != 0) {
        close(fd);
        return 0;
    }
    wxFile file(fd);  // closes the descriptor
    char line[kBackupLineSize];
    size_t consumed = 0;
    for (;;) {
        const int result = ReadFileLine(file, line, sizeof line);
        if (result == kFileLineEnd) break;
        if (result < 0) std::abort();  // a memory file does not fail to read
        const size_t stored = std::strlen(line);
        if (stored > kBackupLineSize - 1 || stored > static_cast<size_t>(result)) std::abort();
        consumed += static_cast<size_t>(result) + 1;
        std::unique_ptr<ParamValue> value(ParseBackupLine(line));
        if (!value) continue;
        CheckDigits(line, *value);
        CheckRoundTrip(*value);
    }
    // Every byte was read: the line feeds counted above, plus a missing one at the end.
    if (consumed < size || consumed > size + 1) std::abort();
    return 0;
}
