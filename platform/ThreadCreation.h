// Creation of the drivers' worker threads can be made to fail on purpose, so that the road taken
// when the system refuses a new thread (memory or the thread limit exhausted) can be tried.
#pragma once

namespace platform {

// The next count thread creations asked about fail; 0 ends failures still pending.
void FailThreadCreations(int count);

// Asked by code about to create a thread: false when this creation is to fail (errno EAGAIN, as
// pthread_create gives when the system has no room for another thread).
bool ThreadCreationAllowed();

}  // namespace platform
