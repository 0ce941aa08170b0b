#include "comm/ProxyResponse.h"

namespace {

uint32_t Mix(uint32_t a) {
    a = ((a & 0x55555555u) << 1) | ((a >> 1) & 0x55555555u);  // swap neighbouring bits
    a = a + ((a & 0x7E00u) >> 9);                              // add bits 9..14 as a number
    return (a >> 10) | (a << 22);                              // rotate right by 10
}

// Shift right by s (0..31) filling with the sign bit, on the two's-complement pattern w.
uint32_t ShiftRightArithmetic(uint32_t w, unsigned s) {
    uint32_t shifted = w >> s;
    if (s != 0 && (w & 0x80000000u) != 0) shifted |= ~(0xFFFFFFFFu >> s);
    return shifted;
}

}  // namespace

long ProxyResponse(uint32_t challenge, const char* password) {
    uint32_t a = challenge;
    unsigned s = 3;
    unsigned lane = 0;
    for (unsigned i = 0;; ++i) {
        a = Mix(a);
        if (password == nullptr || password[i] == '\0') return static_cast<long>(a & 0x7FFFFFFFu);
        // The byte as a signed 8-bit value widened to 32 bits: 0x80..0xFF become 0xFFFFFF80..
        const unsigned byte = static_cast<unsigned char>(password[i]);
        const uint32_t ch = byte >= 0x80u ? (0xFFFFFF00u | byte) : byte;
        const uint32_t v = ShiftRightArithmetic((ch << 8) | ch, s) & 0xFFu;
        a ^= v << (8 * lane);
        s = (s + 1) % 5;
        lane = (lane + 1) % 4;
    }
}
