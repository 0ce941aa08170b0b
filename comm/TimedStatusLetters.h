// The letters a timed regulator's mode reports (0xAA, 0xAB, 0xAC) put in
// the six read-outs of its algorithm box. Kept apart from the view so the whole table can be
// checked without a window.
#pragma once

#include <array>
#include <cstdint>

#include "comm/RegulatorStatus.h"

constexpr int kTimedStatusSlots = 6;

// Texts for read-outs 1..6 (index 0..5) from a mode report's code, state (field 1), init bits
// (field 2) and flag bits (field 3). A letter that is off reads
// " "; a read-out the report does not use is emptied (""). A code outside 0xAA-0xAC empties all.
std::array<const char*, kTimedStatusSlots> TimedStatusLetters(int code, uint32_t state, uint32_t initBits,
                                                              uint32_t flagBits);
