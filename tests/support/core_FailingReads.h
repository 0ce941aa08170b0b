// Makes the kernel refuse reads of one file after the first few, so that code reading it meets
// a real read error part way through, after it has read the start of the file. It answers the
// kernel's fanotify permission events for reads of that file, which needs CAP_SYS_ADMIN (root
// outside a user namespace) and a kernel with fanotify permission events.
//
//     FailingReads reads;
//     if (!reads.Start(path, 1)) GTEST_SKIP() << reads.Error();
//     ... the first read of path returns its bytes, every later one fails with EPERM ...
//
// Reads go on as usual once the object is gone.
#pragma once

#include <atomic>
#include <string>
#include <thread>

class FailingReads {
public:
    FailingReads() = default;
    FailingReads(const FailingReads&) = delete;
    FailingReads& operator=(const FailingReads&) = delete;
    ~FailingReads() { Stop(); }

    // Lets allowedReads reads of path through and refuses every later one. False, with the
    // reason in Error(), when the kernel does not let this process watch reads.
    bool Start(const std::string& path, int allowedReads);
    void Stop();

    const std::string& Error() const { return error; }
    int Allowed() const { return allowed.load(); }
    int Refused() const { return refused.load(); }

private:
    void Answer(int allowedReads);

    int notify = -1;
    int stopPipe[2] = {-1, -1};
    std::thread answering;
    std::atomic<int> allowed{0};
    std::atomic<int> refused{0};
    std::string error;
};
