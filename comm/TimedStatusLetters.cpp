#include "comm/TimedStatusLetters.h"

namespace {
constexpr const char* kEmpty = "";
constexpr const char* kOff = " ";

const char* Letter(bool on, const char* letter) { return on ? letter : kOff; }
}  // namespace

std::array<const char*, kTimedStatusSlots> TimedStatusLetters(int code, uint32_t state, uint32_t initBits,
                                                              uint32_t flagBits) {
    std::array<const char*, kTimedStatusSlots> slots = {kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty};
    if (code < REG_TIMED_MODE_FIRST || code > REG_TIMED_MODE_LAST) return slots;
    // State 1: the channel is starting up; only whether its initialisation completed is shown.
    if (state == 1) {
        slots[0] = (initBits & 3) == 3 ? "ini" : "err";
        return slots;
    }
    const auto bit = [flagBits](int n) { return (flagBits & (1u << n)) != 0; };
    switch (code) {
        case 0xAA:
            slots[3] = Letter(state == 3, "S");
            slots[4] = Letter(bit(0), "I");
            slots[5] = Letter(bit(1), "G");
            break;
        case 0xAB:
            slots[1] = bit(6) ? (bit(7) ? "S" : "s") : kOff;
            slots[2] = Letter(bit(0), "I");
            slots[3] = Letter(bit(1), "G");
            if (state == 2)
                slots[4] = Letter(bit(6), "E");
            else if (state == 3)
                slots[4] = Letter(bit(6), "e");
            else
                slots[4] = kOff;
            slots[5] = Letter(bit(5), "R");
            break;
        default:  // 0xAC
            slots[2] = Letter(bit(7), "T");
            slots[3] = Letter(bit(0), "I");
            slots[4] = Letter(bit(1), "G");
            slots[5] = Letter(bit(6), "R");
            break;
    }
    return slots;
}
