// The program's log. Diagnostics (driver errors, warnings and verbose texts) never open a
// window: they go to standard error and to a log file in the XDG state directory, each line
// with a time stamp. The file is kept to a bounded size: when it grows past the limit it is
// moved to "<name>.1" (replacing an older one) and a new file is started.
#pragma once

#include <wx/log.h>

#include <cstdio>
#include <string>

class LogTarget : public wxLog {
public:
    static constexpr long kDefaultMaxBytes = 1024 * 1024;

    // An empty path, or one that cannot be opened, leaves standard error alone.
    explicit LogTarget(const std::string& path, long maxBytes = kDefaultMaxBytes, bool toStderr = true);
    ~LogTarget() override;
    LogTarget(const LogTarget&) = delete;
    LogTarget& operator=(const LogTarget&) = delete;

    const std::string& GetPath() const { return path; }

protected:
    void DoLogRecord(wxLogLevel level, const wxString& message, const wxLogRecordInfo& info) override;

private:
    void OpenFile();
    void RotateIfFull();
    // "2024-05-01 13:45:07.123"; the date and time part is formatted once per second.
    const std::string& Stamp(const wxLogRecordInfo& info);

    std::string path;
    long maxBytes;
    bool toStderr;
    std::FILE* file = nullptr;
    long fileBytes = 0;  // counted as written, so that no line has to ask the file for its size
    long long stampSecond = -1;
    std::string stampSecondText;
    std::string stamp;
    std::string line;  // reused: a verbose line comes with every received report
};

// $XDG_STATE_HOME/mirex/mirex.log, or ~/.local/state/mirex/mirex.log when the variable is unset
// or not an absolute path.
std::string LogFilePath();

// Makes LogTarget the active log target (verbose texts included) for the program's lifetime.
void InstallLogTarget();
