// The pushed reports of one regulator channel, as the panel sends them every report period for
// the type the channel is configured with (parameter 211 + channel):
//   1 threshold: status 0xA4 and outputs 0xA7
//   2 PID:       status 0xA5 (with the twelve controller internals), outputs 0xA7, and in turn
//                (ten periods, then six) the servo's operation 0xA8 or its learnt travel times 0xA9
//   3 timed:     status 0xA6, outputs 0xA7 and one mode report, tied to the channel's option
//                (0 -> 0xAA, 1 -> 0xAB, 2 and up -> 0xAC)
//   any other type (0 switched off): nothing.
// Field 0 of every report is the channel. The values drift with `tick` (one step per period) so
// that a view fed by them visibly changes; each channel runs at its own phase.
#pragma once

#include "sim/SimReports.h"

#include <cstdint>
#include <vector>

namespace sim {

std::vector<SimReport> ChannelReports(unsigned channel, uint8_t type, uint8_t option, unsigned tick);

}  // namespace sim
