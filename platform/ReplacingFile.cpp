#include "platform/ReplacingFile.h"

#include "platform/SysfsFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace {

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Makes the rename itself durable; a directory that cannot be synced costs only that.
void SyncDirectory(const std::string& directory) {
    const int dirFd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) return;
    fsync(dirFd);
    close(dirFd);
}

}  // namespace

namespace platform {

ReplacingFile::~ReplacingFile() { Discard(); }

bool ReplacingFile::Fail(const char* what) {
    error = std::string(what) + ": " + std::strerror(errno);
    failed = true;
    return false;
}

bool ReplacingFile::Open(const std::string& target) {
    Discard();
    failed = false;
    error.clear();
    targetPath = target;
    struct stat existing;
    bool exists = lstat(target.c_str(), &existing) == 0;
    if (exists && S_ISLNK(existing.st_mode)) {
        targetPath = RealPath(target);
        if (targetPath.empty()) return Fail("cannot resolve the link");
        exists = stat(targetPath.c_str(), &existing) == 0;
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        errno = EINVAL;
        return Fail("not a regular file");
    }

    static std::atomic<unsigned> counter{0};
    const std::string stem = DirectoryOf(targetPath) + "/." + BaseName(targetPath) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = stem + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".tmp";
        fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) break;
    }
    if (fd < 0) {
        tempPath.clear();
        return Fail("cannot create the temporary file");
    }
    if (exists) fchmod(fd, existing.st_mode & 07777);
    return true;
}

bool ReplacingFile::Write(const std::string& data) {
    if (fd < 0 || failed) return false;
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return Fail("write failed");
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

bool ReplacingFile::Commit() {
    if (fd < 0) {
        if (error.empty()) error = "no file open";
        return false;
    }
    bool ok = !failed;
    if (ok && fsync(fd) != 0) ok = Fail("flush to disk failed");
    // close reports late write errors of some file systems (NFS).
    if (close(fd) != 0 && ok) ok = Fail("close failed");
    fd = -1;
    if (ok && rename(tempPath.c_str(), targetPath.c_str()) != 0) ok = Fail("cannot replace the target");
    if (!ok) {
        unlink(tempPath.c_str());
    } else {
        SyncDirectory(DirectoryOf(targetPath));
    }
    tempPath.clear();
    return ok;
}

void ReplacingFile::Discard() {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
    if (!tempPath.empty()) {
        unlink(tempPath.c_str());
        tempPath.clear();
    }
}

}  // namespace platform
