// A heap block of bytes with its length. It travels between the GUI thread, a driver's worker
// and the remote-assistance socket; whoever receives one deletes it.
#pragma once

#include <cstdint>

class ByteBuffer {
public:
    explicit ByteBuffer(int32_t length);
    ~ByteBuffer();
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;

    // Copies min(count, length) bytes to the start of the block.
    void CopyIn(const void* source, int32_t count);
    int32_t GetLength() const { return length; }

    uint8_t* data;

private:
    int32_t length;
};
