#include "support/core_FailingReads.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/fanotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

bool FailingReads::Start(const std::string& path, int allowedReads) {
    Stop();
    notify = fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC, O_RDONLY | O_CLOEXEC);
    if (notify < 0) {
        error = std::string("fanotify_init: ") + std::strerror(errno) + " (reads are watched only with CAP_SYS_ADMIN)";
        return false;
    }
    if (fanotify_mark(notify, FAN_MARK_ADD, FAN_ACCESS_PERM, AT_FDCWD, path.c_str()) != 0) {
        error = "fanotify_mark " + path + ": " + std::strerror(errno);
        Stop();
        return false;
    }
    if (pipe2(stopPipe, O_CLOEXEC) != 0) {
        error = std::string("pipe2: ") + std::strerror(errno);
        Stop();
        return false;
    }
    answering = std::thread(&FailingReads::Answer, this, allowedReads);
    return true;
}

void FailingReads::Stop() {
    if (answering.joinable()) {
        const char byte = 0;
        while (write(stopPipe[1], &byte, 1) < 0 && errno == EINTR) {
        }
        answering.join();
    }
    // Closing the group lets any read still waiting for an answer through.
    for (int* fd : {&notify, &stopPipe[0], &stopPipe[1]}) {
        if (*fd >= 0) close(*fd);
        *fd = -1;
    }
}

void FailingReads::Answer(int allowedReads) {
    alignas(fanotify_event_metadata) char buffer[4096];
    for (;;) {
        pollfd fds[2] = {{notify, POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents) return;
        if (!(fds[0].revents & POLLIN)) continue;
        ssize_t length = read(notify, buffer, sizeof buffer);
        if (length <= 0) {
            if (length < 0 && errno == EINTR) continue;
            return;
        }
        auto* event = reinterpret_cast<fanotify_event_metadata*>(buffer);
        for (; FAN_EVENT_OK(event, length); event = FAN_EVENT_NEXT(event, length)) {
            if (event->fd < 0) continue;
            fanotify_response response{};
            response.fd = event->fd;
            if (allowed.load() < allowedReads) {
                response.response = FAN_ALLOW;
                ++allowed;
            } else {
                response.response = FAN_DENY;
                ++refused;
            }
            while (write(notify, &response, sizeof response) < 0 && errno == EINTR) {
            }
            close(event->fd);
        }
    }
}
