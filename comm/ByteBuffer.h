// A heap block of bytes with its length. It travels between the GUI thread, a driver's worker
// and the remote-assistance socket; whoever receives one deletes it.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

class ByteBuffer {
public:
    explicit ByteBuffer(int32_t length);
    ~ByteBuffer();
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;

    // Copies min(count, length) bytes to the start of the block.
    void CopyIn(const void* source, int32_t count);
    int32_t GetLength() const { return length; }
    // Adds the length to a shared count now and takes it off again when the buffer is freed,
    // wherever that happens: the sender learns how much still waits in a worker's queue.
    void CountWhileAlive(std::shared_ptr<std::atomic<long>> counter);

    uint8_t* data;

private:
    int32_t length;
    std::shared_ptr<std::atomic<long>> aliveCount;
};
