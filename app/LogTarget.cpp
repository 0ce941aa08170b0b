#include "app/LogTarget.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace {

const char* LevelName(wxLogLevel level) {
    switch (level) {
        case wxLOG_FatalError:
            return "fatal";
        case wxLOG_Error:
            return "error";
        case wxLOG_Warning:
            return "warning";
        case wxLOG_Info:
        case wxLOG_Status:
            return "verbose";
        case wxLOG_Debug:
        case wxLOG_Trace:
            return "debug";
        default:
            return "info";
    }
}

// mkdir -p with private permissions; existing directories are fine.
void MakeDirectories(const std::string& dir) {
    for (size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
        const std::string part = dir.substr(0, slash);
        if (!part.empty() && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return;
        if (slash == std::string::npos) return;
    }
}

}  // namespace

LogTarget::LogTarget(const std::string& path, long maxBytes, bool toStderr)
    : path(path), maxBytes(maxBytes), toStderr(toStderr) {
    OpenFile();
}

LogTarget::~LogTarget() {
    if (file) std::fclose(file);
}

void LogTarget::OpenFile() {
    if (path.empty()) return;
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0) MakeDirectories(path.substr(0, slash));
    file = std::fopen(path.c_str(), "a");
    fileBytes = 0;
    if (file && std::fseek(file, 0, SEEK_END) == 0) fileBytes = std::ftell(file);
}

const std::string& LogTarget::Stamp(const wxLogRecordInfo& info) {
    const wxLongLong_t ms = info.timestampMS;
    const time_t seconds = static_cast<time_t>(ms / 1000);
    if (seconds != stampSecond) {
        tm local{};
        localtime_r(&seconds, &local);
        char text[32];
        const size_t used = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
        stampSecondText.assign(text, used);
        stampSecond = seconds;
    }
    char milliseconds[8];
    std::snprintf(milliseconds, sizeof milliseconds, ".%03d", static_cast<int>(ms % 1000));
    stamp = stampSecondText;
    stamp += milliseconds;
    return stamp;
}

void LogTarget::RotateIfFull() {
    if (!file || fileBytes < maxBytes) return;
    std::fclose(file);
    file = nullptr;
    std::rename(path.c_str(), (path + ".1").c_str());
    OpenFile();
}

void LogTarget::DoLogRecord(wxLogLevel level, const wxString& message, const wxLogRecordInfo& info) {
    line = Stamp(info);
    line += ' ';
    line += LevelName(level);
    line += ": ";
    const wxScopedCharBuffer text = message.utf8_str();
    line.append(text.data(), text.length());
    line += '\n';
    // Verbose texts are for the file; standard error gets what the user might need to see.
    if (toStderr && level <= wxLOG_Message) {
        std::fputs(line.c_str(), stderr);
        std::fflush(stderr);
    }
    if (file) {
        std::fwrite(line.data(), 1, line.size(), file);
        std::fflush(file);  // the log must survive a crash that follows
        fileBytes += static_cast<long>(line.size());
        RotateIfFull();
    }
}

std::string LogFilePath() {
    const char* state = std::getenv("XDG_STATE_HOME");
    std::string dir;
    if (state && state[0] == '/') {
        dir = state;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) return std::string();
        dir = std::string(home) + "/.local/state";
    }
    return dir + "/mirex/mirex.log";
}

void InstallLogTarget() {
    wxLog::SetVerbose(true);
    delete wxLog::SetActiveTarget(new LogTarget(LogFilePath()));
}
