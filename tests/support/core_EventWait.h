// Waiting in tests without sleeping: the active event loop runs (so that events queued by
// worker threads are delivered) until a condition holds or the time is up.
#pragma once

#include <functional>

// Dispatches events until done() is true; false when timeoutMs passed first. Uses the active
// event loop, or a temporary one when none is active.
bool RunLoopUntil(std::function<bool()> done, int timeoutMs);

// Dispatches events for the whole period (to show that something does NOT happen).
void RunLoopFor(int milliseconds);

