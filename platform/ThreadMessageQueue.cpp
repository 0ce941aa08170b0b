#include "platform/ThreadMessageQueue.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace platform {
namespace {

struct Queue {
    std::mutex lock;
    std::condition_variable changed;
    std::deque<ThreadMessage> messages;
    int wakeFd = -1;  // eventfd, written on every post
    bool closed = false;  // set once by the owner; posts fail from then on

    Queue() { wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK); }
    ~Queue() {
        if (wakeFd >= 0) close(wakeFd);
    }
};

std::mutex registryLock;
std::map<ThreadId, std::shared_ptr<Queue>>& Registry() {
    static auto* registry = new std::map<ThreadId, std::shared_ptr<Queue>>;
    return *registry;
}

std::shared_ptr<Queue> FindQueue(ThreadId thread) {
    std::lock_guard<std::mutex> guard(registryLock);
    auto it = Registry().find(thread);
    return it == Registry().end() ? nullptr : it->second;
}

std::shared_ptr<Queue> OwnQueue() {
    std::lock_guard<std::mutex> guard(registryLock);
    auto& slot = Registry()[CurrentThreadId()];
    if (!slot) slot = std::make_shared<Queue>();
    return slot;
}

void DrainWakeFd(const Queue& queue) {
    uint64_t count;
    while (read(queue.wakeFd, &count, sizeof count) == sizeof count) {
    }
}

}  // namespace

ThreadId CurrentThreadId() { return static_cast<ThreadId>(pthread_self()); }

bool PostThreadMessage(ThreadId thread, unsigned message, uintptr_t wParam, intptr_t lParam) {
    std::shared_ptr<Queue> queue = FindQueue(thread);
    if (!queue) {
        errno = ESRCH;
        return false;
    }
    {
        std::lock_guard<std::mutex> guard(queue->lock);
        if (queue->closed) {
            errno = ESRCH;
            return false;
        }
        queue->messages.push_back({message, wParam, lParam});
    }
    queue->changed.notify_all();
    const uint64_t one = 1;
    ssize_t written = write(queue->wakeFd, &one, sizeof one);
    (void)written;  // EAGAIN only when the counter is saturated: it is already signalled
    return true;
}

bool PeekThreadMessage(ThreadMessage* out, bool remove) {
    std::shared_ptr<Queue> queue = OwnQueue();
    std::lock_guard<std::mutex> guard(queue->lock);
    if (queue->messages.empty()) return false;
    if (out) *out = queue->messages.front();
    if (remove) queue->messages.pop_front();
    return true;
}

void GetThreadMessage(ThreadMessage* out, unsigned first, unsigned last) {
    std::shared_ptr<Queue> queue = OwnQueue();
    std::unique_lock<std::mutex> guard(queue->lock);
    for (;;) {
        for (auto it = queue->messages.begin(); it != queue->messages.end(); ++it) {
            bool matches = (first == 0 && last == 0) || (it->message >= first && it->message <= last);
            if (matches) {
                if (out) *out = *it;
                queue->messages.erase(it);
                return;
            }
        }
        queue->changed.wait(guard);
    }
}

WaitResult WaitDeviceOrMessage(int fd, int timeoutMs) { return WaitDeviceOrMessage(fd, timeoutMs, nullptr); }

WaitResult WaitDeviceOrMessage(int fd, int timeoutMs, short* deviceEvents) {
    if (deviceEvents) *deviceEvents = 0;
    std::shared_ptr<Queue> queue = OwnQueue();
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        bool queued;
        {
            std::lock_guard<std::mutex> guard(queue->lock);
            queued = !queue->messages.empty();
        }
        int wait = -1;
        if (queued) {
            wait = 0;
        } else if (timeoutMs >= 0) {
            // Rounded up: a wait cut short by rounding would only spin until the deadline.
            auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            wait = left > 0 ? static_cast<int>(left) : 0;
        }
        pollfd fds[2] = {{fd, POLLIN, 0}, {queue->wakeFd, POLLIN, 0}};
        int ready = poll(fds, 2, wait);
        if (ready < 0) {
            if (errno == EINTR) continue;
            return WaitResult::Failed;
        }
        if (fd >= 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL))) {
            if (deviceEvents) *deviceEvents = fds[0].revents;
            return WaitResult::Device;
        }
        if (fds[1].revents & POLLIN) DrainWakeFd(*queue);
        {
            std::lock_guard<std::mutex> guard(queue->lock);
            if (!queue->messages.empty()) return WaitResult::Message;
        }
        if (ready == 0 && !queued && (timeoutMs >= 0 && Clock::now() >= deadline)) return WaitResult::Timeout;
    }
}

std::vector<ThreadMessage> CloseThreadQueue() {
    std::shared_ptr<Queue> queue;
    {
        std::lock_guard<std::mutex> guard(registryLock);
        auto it = Registry().find(CurrentThreadId());
        if (it == Registry().end()) return {};
        queue = it->second;
        Registry().erase(it);
    }
    std::lock_guard<std::mutex> guard(queue->lock);
    queue->closed = true;
    std::vector<ThreadMessage> left(queue->messages.begin(), queue->messages.end());
    queue->messages.clear();
    return left;
}

}  // namespace platform
