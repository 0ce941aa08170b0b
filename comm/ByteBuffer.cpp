#include "comm/ByteBuffer.h"

#include <cstring>
#include <utility>

ByteBuffer::ByteBuffer(int32_t length) : data(nullptr), length(length < 0 ? 0 : length) {
    data = new uint8_t[this->length > 0 ? this->length : 1];
}

ByteBuffer::~ByteBuffer() {
    delete[] data;
    if (aliveCount) aliveCount->fetch_sub(length);
}

void ByteBuffer::CountWhileAlive(std::shared_ptr<std::atomic<long>> counter) {
    if (aliveCount) aliveCount->fetch_sub(length);
    aliveCount = std::move(counter);
    if (aliveCount) aliveCount->fetch_add(length);
}

void ByteBuffer::CopyIn(const void* source, int32_t count) {
    if (count > length) count = length;
    if (count > 0 && source) std::memcpy(data, source, static_cast<size_t>(count));
}
