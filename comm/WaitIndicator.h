// What the panel client shows while a request waits for the panel. The window layer supplies it
// (the wait window over the main window), so the communication code needs no windows.
#pragma once

#include <memory>

// One shown indication; destroying it takes it down. It may outlive whatever it was shown over.
class WaitIndication {
public:
    virtual ~WaitIndication() = default;
};

class WaitIndicator {
public:
    virtual ~WaitIndicator() = default;
    // Shows the indication at once; null when nothing could be shown.
    virtual std::unique_ptr<WaitIndication> ShowWait() = 0;
};
