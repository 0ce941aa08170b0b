#include "comm/LineAssembler.h"

#include <cstring>

void LineAssembler::Commit(int32_t count, const std::function<void(const uint8_t*, int32_t)>& onLine) {
    if (count <= 0) return;
    if (count > kCapacity - fill) count = kCapacity - fill;
    int32_t scan = fill;
    fill += count;
    while (scan < fill) {
        if (buffer[scan] != terminator) {
            ++scan;
            continue;
        }
        int32_t lineLength = scan + 1;
        onLine(buffer, lineLength);
        std::memmove(buffer, buffer + lineLength, static_cast<size_t>(fill - lineLength));
        fill -= lineLength;
        scan = 0;
    }
    if (fill == kCapacity) fill = 0;
}

void LineAssembler::Append(const uint8_t* bytes, int32_t count,
                           const std::function<void(const uint8_t*, int32_t)>& onLine) {
    while (count > 0) {
        int32_t chunk = count < FreeCount() ? count : FreeCount();
        std::memcpy(FreeSpace(), bytes, static_cast<size_t>(chunk));
        Commit(chunk, onLine);
        bytes += chunk;
        count -= chunk;
    }
}
