// The panel's four regulator channels as parameters: each channel n (0..3) has a type
// (parameter 211 + n) and owns the 32 parameter codes 0x200 + 32n .. 0x21F + 32n.
#pragma once

#include <cstdint>

constexpr int kRegulatorCount = 4;

enum RegulatorType { REGULATOR_OFF = 0, REGULATOR_THRESHOLD = 1, REGULATOR_PID = 2, REGULATOR_TIMED = 3 };

inline uint16_t RegulatorTypeCode(int regulator) { return static_cast<uint16_t>(211 + regulator); }

// Offsets within a channel's block.
namespace RegParamOffset {
enum : int {
    PV_VAR = 0x00,
    OPTION = 0x01,
    INVERSION = 0x02,
    ALARM_ENABLE = 0x03,  // bit 0 AL, bit 1 AH
    SP1 = 0x04,
    AL1 = 0x05,
    AH1 = 0x06,
    T1 = 0x07,
    T2 = 0x08,
    T3 = 0x09,
    SP2 = 0x0A,
    AL2 = 0x0B,
    AH2 = 0x0C,
    H1A = 0x10,
    H0A = 0x11,
    H1B = 0x12,
    H0B = 0x13,
    KP = 0x14,
    TI = 0x15,
    TD = 0x16,
    IN_MIN = 0x17,
    IN_MAX = 0x18,
    IN_PRI = 0x19,
    IN_SEC = 0x1A,
    IN_GATE = 0x1B,
    T1_MINUTES = 0x1C,
    T2_MINUTES = 0x1D,
};
}  // namespace RegParamOffset

inline uint16_t RegulatorParamCode(int regulator, int offset) {
    return static_cast<uint16_t>(0x200 + 32 * regulator + offset);
}
