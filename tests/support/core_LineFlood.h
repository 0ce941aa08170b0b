// A peer that floods a descriptor with short panel lines from a thread of its own, as fast as
// the descriptor takes them, until Stop (or its destruction) or for at most maxSeconds. The
// descriptor is made non-blocking.
#pragma once

#include <atomic>
#include <string>
#include <thread>

class LineFlood {
public:
    LineFlood(int fd, int linesPerWrite, int maxSeconds = 4);
    ~LineFlood() { Stop(); }
    LineFlood(const LineFlood&) = delete;
    LineFlood& operator=(const LineFlood&) = delete;
    void Stop();

private:
    std::atomic<bool> flooding{true};
    std::thread worker;
};
