// Per-thread message queues: the Linux stand-in for posting messages to a thread by its id.
//
// A thread gets its queue on its first PeekThreadMessage (or WaitDeviceOrMessage /
// GetThreadMessage). Other threads post (message, wParam, lParam) triples to it by id; the
// owner takes them in order. WaitDeviceOrMessage sleeps in one poll() on a device descriptor
// and the queue's eventfd at once, so a worker needs no polling loop.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

using ThreadId = unsigned long;

struct ThreadMessage {
    unsigned message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

enum class WaitResult {
    Device,   // the device descriptor is readable, or reports hang-up / error
    Message,  // at least one message is queued for this thread
    Timeout,  // neither within the time-out
    Failed    // poll itself failed; errno tells why
};

// Id of the calling thread (the same value wxThread::GetId() gives for a wx thread).
ThreadId CurrentThreadId();

// Queues a message for the thread; false (errno ESRCH) when that thread has no open queue.
bool PostThreadMessage(ThreadId thread, unsigned message, uintptr_t wParam, intptr_t lParam);

// Looks at the first queued message of the calling thread, creating the queue on first use.
// With remove the message is taken off the queue. False when the queue is empty.
bool PeekThreadMessage(ThreadMessage* out, bool remove);

// Blocks until a message numbered first..last (inclusive) is queued and takes it; other
// messages stay queued in their order. first = last = 0 accepts any message.
void GetThreadMessage(ThreadMessage* out, unsigned first, unsigned last);

// One wait on a device descriptor (fd < 0: none) and the calling thread's queue.
// timeoutMs < 0 waits without limit. A device that is ready wins over a queued message.
WaitResult WaitDeviceOrMessage(int fd, int timeoutMs);
// The same; on Device, *deviceEvents receives the poll events of the descriptor (POLLIN,
// POLLHUP, POLLERR, POLLNVAL), so that a hang-up can be told from data.
WaitResult WaitDeviceOrMessage(int fd, int timeoutMs, short* deviceEvents);

// Removes the calling thread's queue: later posts to it fail. The messages still queued are
// handed back so the caller can free what they carry.
std::vector<ThreadMessage> CloseThreadQueue();

}  // namespace platform
