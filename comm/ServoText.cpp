#include "comm/ServoText.h"

#include <cstdarg>
#include <cstdio>

namespace {

std::string Printf(const char* format, ...) {
    char buffer[64];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

double Seconds(uint32_t tenths) { return (tenths & 0xFFFF) * 0.1; }

// One line of a pair: the closing time, then the opening time or " -?- " while it is not known;
// empty while neither is.
std::string PairLine(char letter, uint16_t close, uint16_t open) {
    if (open != 0) return Printf("%c %5.1f/%5.1f", letter, Seconds(close), Seconds(open));
    if (close != 0) return Printf("%c %5.1f/ -?- ", letter, Seconds(close));
    return std::string();
}

}  // namespace

std::string ServoOperationText(uint32_t error, uint32_t operation, uint32_t timeTenths) {
    switch (operation) {
        case 0: return std::string();
        case 1: return Printf("CLSE %.1f", Seconds(timeTenths));
        case 2: return Printf("OPEN %.1f", Seconds(timeTenths));
        case 3: return Printf("CORR %.1f", Seconds(timeTenths));
        case 4: return "STOP";
        case 5: return Printf("DONE %.1f", Seconds(timeTenths));
        case 6: return Printf("ERR %02x", static_cast<unsigned>(error & 0xFF));
        default: return Printf("UNK OP=%02x", static_cast<unsigned>(operation));
    }
}

void ServoTravelTimes::Apply(uint32_t phase, uint32_t a, uint32_t b) {
    const uint16_t first = static_cast<uint16_t>(a);
    const uint16_t second = static_cast<uint16_t>(b);
    switch (phase) {
        case 1:
            cT1 = first;
            cT2 = second;
            nT1 = 0;
            nT2 = 0;
            break;
        case 2:
            nT1 = first;
            break;
        case 3:
            cT1 = nT1;
            cT2 = nT2;
            nT1 = first;
            nT2 = second;
            break;
        default:
            break;
    }
}

ServoLines ServoTravelTimes::Lines(uint32_t error, uint32_t phase) const {
    if (phase == 0) return {Printf("ERR %02x", static_cast<unsigned>(error)), std::string()};
    return {PairLine('c', cT1, cT2), PairLine(phase == 3 ? 'N' : 'n', nT1, nT2)};
}

ServoLines ServoTravelTimes::Report(uint32_t error, uint32_t phase, uint32_t a, uint32_t b) {
    Apply(phase, a, b);
    return Lines(error, phase);
}
