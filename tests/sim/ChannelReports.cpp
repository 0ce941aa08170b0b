#include "sim/ChannelReports.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

// Set point 1 of the default table's channel block, in degrees.
double SetPoint(unsigned channel) { return 21.5 + channel; }

double ProcessValue(unsigned channel, unsigned tick) {
    return SetPoint(channel) + 1.5 * std::sin(tick * 0.1 + channel * 1.3);
}

// The status fields every type shares: flags (none set), zone in bit 0, PV as a packed float.
std::vector<uint32_t> MainStatus(unsigned channel, unsigned tick) {
    unsigned zone = (tick / 20 + channel) % 2;
    return {0, zone, FloatBits(static_cast<float>(ProcessValue(channel, tick)))};
}

// Output A on while below the set point, B while more than one degree above it.
SimReport Outputs(unsigned channel, unsigned tick) {
    double pv = ProcessValue(channel, tick);
    double sp = SetPoint(channel);
    unsigned bits = (pv < sp ? 1u : 0u) | (pv > sp + 1.0 ? 2u : 0u);
    return RegulatorStatusReport(0xA7, channel, {bits});
}

// Normalised control error (0..1 over 0..100 degrees) at a tick; earlier ticks give the
// derivatives.
double Error(unsigned channel, unsigned tick) {
    return (SetPoint(channel) - ProcessValue(channel, tick)) / 100.0;
}

std::vector<SimReport> Pid(unsigned channel, unsigned tick) {
    const unsigned before = tick > 0 ? tick - 1 : 0;
    const unsigned twoBefore = tick > 1 ? tick - 2 : 0;
    const double e = Error(channel, tick);
    const double der = e - Error(channel, before);
    const double dder = der - (Error(channel, before) - Error(channel, twoBefore));
    const double vp = 2.5 * e;
    const double vi = 0.45 + 0.05 * std::sin(tick * 0.025 + channel);
    const double vd = 30.0 * der;
    const double cva = vp + vi + vd;
    const double cv = std::min(1.0, std::max(0.0, cva));
    std::vector<uint32_t> fields = MainStatus(channel, tick);
    for (double x : {ProcessValue(channel, tick) / 100.0, SetPoint(channel) / 100.0, e, 0.5, der, dder, vp, vi, vd,
                     cv - vi, cva, cv})
        fields.push_back(FloatBits(static_cast<float>(x)));

    std::vector<SimReport> reports = {RegulatorStatusReport(0xA5, channel, fields), Outputs(channel, tick)};
    // Sixteen periods a round: for ten the servo works (closing, opening, correcting, done or
    // stopped, one operation a round), for six it reports the travel times it learns: a first
    // pair, a second close time, then a whole second pair.
    const unsigned round = tick % 16;
    if (round < 10) {
        static const unsigned kOperations[] = {1, 2, 3, 5, 4};
        reports.push_back(RegulatorStatusReport(0xA8, channel, {0, kOperations[tick / 16 % 5], round * 5}));
    } else {
        const unsigned phase = round < 12 ? 1 : round < 14 ? 2 : 3;
        const unsigned closeTime = 312 + channel + (phase == 1 ? 0 : round - 12);
        reports.push_back(RegulatorStatusReport(0xA9, channel, {0, phase, closeTime, phase == 1 ? 298u : 301u}));
    }
    return reports;
}

std::vector<SimReport> Timed(unsigned channel, uint8_t option, unsigned tick) {
    // Forty periods a round: initialisation, then running (state 2) and holding (state 3).
    const unsigned round = tick % 40;
    const unsigned state = round < 4 ? 1 : round < 22 ? 2 : 3;
    const unsigned initBits = 3;
    const unsigned flags = (tick / 3 & 1) | (tick / 5 & 1) << 1 | (tick / 7 & 1) << 5 | (tick / 2 & 1) << 6 |
                           (tick / 11 & 1) << 7;
    const uint8_t mode = static_cast<uint8_t>(0xAA + std::min<unsigned>(option, 2));
    return {
        RegulatorStatusReport(0xA6, channel, MainStatus(channel, tick)),
        Outputs(channel, tick),
        RegulatorStatusReport(mode, channel, {state, initBits, flags}),
    };
}

}  // namespace

std::vector<SimReport> ChannelReports(unsigned channel, uint8_t type, uint8_t option, unsigned tick) {
    switch (type) {
    case 1: return {RegulatorStatusReport(0xA4, channel, MainStatus(channel, tick)), Outputs(channel, tick)};
    case 2: return Pid(channel, tick);
    case 3: return Timed(channel, option, tick);
    default: return {};
    }
}

}  // namespace sim
