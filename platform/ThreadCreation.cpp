#include "platform/ThreadCreation.h"

#include <atomic>
#include <cerrno>

namespace platform {

namespace {
std::atomic<int> failuresPending{0};
}  // namespace

void FailThreadCreations(int count) { failuresPending = count > 0 ? count : 0; }

bool ThreadCreationAllowed() {
    int pending = failuresPending.load();
    while (pending > 0) {
        if (failuresPending.compare_exchange_weak(pending, pending - 1)) {
            errno = EAGAIN;
            return false;
        }
    }
    return true;
}

}  // namespace platform
