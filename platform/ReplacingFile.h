// Writes a file so that it replaces its target in one step, or not at all.
//
// The data goes to a new temporary file in the target's directory; Commit flushes it to disk
// and renames it over the target (rename(2) replaces the old file atomically). Until then, and
// whenever anything fails, the target stays exactly as it was; a temporary file that is not
// committed is removed. A crash leaves at worst a stray temporary file beside the target, never
// a shortened one.
//
//     ReplacingFile file;
//     if (!file.Open(path) || !file.Write(text) || !file.Commit()) report(file.Error());
#pragma once

#include <string>

namespace platform {

class ReplacingFile {
public:
    ReplacingFile() = default;
    ~ReplacingFile();  // discards what was not committed
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the temporary file for target (mode 0666 less the umask for a new file, the
    // target's own mode when it exists). A symbolic link as target is followed, so the file it
    // points to is replaced and the link stays.
    bool Open(const std::string& target);
    // Appends data; false (and the file is spoilt) after any write error, e.g. a full disk.
    bool Write(const std::string& data);
    // Flushes, closes and renames over the target; false when any step failed or an earlier
    // write did. The temporary file is gone afterwards either way.
    bool Commit();
    // Removes the temporary file; the target is left alone.
    void Discard();

    // What failed last, for the log.
    const std::string& Error() const { return error; }
    const std::string& TempPath() const { return tempPath; }

private:
    bool Fail(const char* what);

    int fd = -1;
    bool failed = false;
    std::string targetPath;
    std::string tempPath;
    std::string error;
};

}  // namespace platform
