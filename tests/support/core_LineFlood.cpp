#include "support/core_LineFlood.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>

LineFlood::LineFlood(int fd, int linesPerWrite, int maxSeconds) {
    std::string chunk;
    for (int i = 0; i < linesPerWrite; ++i) chunk += "029700:15*6B\n";
    // Never blocked by a reader that stopped: the flood must end when told.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    worker = std::thread([this, fd, chunk, maxSeconds] {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(maxSeconds);
        while (flooding && std::chrono::steady_clock::now() < end) {
            pollfd ready = {fd, POLLOUT, 0};
            if (poll(&ready, 1, 20) == 1) (void)!write(fd, chunk.data(), chunk.size());
        }
    });
}

void LineFlood::Stop() {
    flooding = false;
    if (worker.joinable()) worker.join();
}
