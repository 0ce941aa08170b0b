// Cuts received bytes into lines ending in the terminator byte (LF), with a fixed 1024-byte
// buffer: a line longer than the buffer is dropped with everything the full buffer held.
#pragma once

#include <cstdint>
#include <functional>

class LineAssembler {
public:
    static constexpr int32_t kCapacity = 1024;

    explicit LineAssembler(uint8_t terminator = 10) : terminator(terminator) {}

    // Where the next bytes go and how many fit (the driver reads straight into the buffer).
    uint8_t* FreeSpace() { return buffer + fill; }
    int32_t FreeCount() const { return kCapacity - fill; }

    // Accounts for count bytes just stored at FreeSpace() and emits every complete line
    // (with its terminator) in order. A full buffer without a terminator is emptied.
    void Commit(int32_t count, const std::function<void(const uint8_t*, int32_t)>& onLine);

    // Stores bytes (as many as fit, repeatedly) and emits lines; for drivers that do not read
    // into the buffer directly.
    void Append(const uint8_t* bytes, int32_t count, const std::function<void(const uint8_t*, int32_t)>& onLine);

    int32_t GetFill() const { return fill; }
    void Clear() { fill = 0; }

private:
    uint8_t buffer[kCapacity];
    int32_t fill = 0;
    uint8_t terminator;
};
