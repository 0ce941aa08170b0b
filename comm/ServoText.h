// Texts of a PID regulator's servo (three-position) output, built from its pushed reports: the
// operation under way (report 0xA8) and the travel times the panel measures while it learns
// how long the valve takes to close and to open (report 0xA9). No windows: the view shows the
// two lines these functions give.
#pragma once

#include <cstdint>
#include <string>

// The line for an operation report: error code, operation, time in tenths of a second (low 16
// bits used). An unknown operation is named by its code; operation 0 gives an empty text.
std::string ServoOperationText(uint32_t error, uint32_t operation, uint32_t timeTenths);

// The two travel-time lines.
struct ServoLines {
    std::string first;
    std::string second;
};

// The travel times learnt so far, in tenths of a second: the current pair on the first line
// (cT1 close, cT2 open) and the pair being measured on the second (nT1, nT2). Starts at zero.
class ServoTravelTimes {
public:
    // Applies one travel-time report: phase 1 starts a measurement with the pair in force (a, b)
    // and clears the new pair; phase 2 gives the new closing time a; phase 3 moves the new pair
    // up to the first line and gives the next new pair (a, b). Phase 0 is an error report and
    // any other phase is unknown: both leave the times as they are. Times use their low 16 bits.
    void Apply(uint32_t phase, uint32_t a, uint32_t b);
    // The lines after a report of this phase: phase 0 shows the error code (the whole field)
    // and an empty second line; otherwise the pairs, a missing opening time as " -?- " and a
    // missing pair as an empty line. A phase-3 report marks the new pair with 'N', other
    // phases with 'n'.
    ServoLines Lines(uint32_t error, uint32_t phase) const;
    // Apply then Lines, as one report is handled.
    ServoLines Report(uint32_t error, uint32_t phase, uint32_t a, uint32_t b);

    uint16_t CurrentClose() const { return cT1; }
    uint16_t CurrentOpen() const { return cT2; }
    uint16_t NewClose() const { return nT1; }
    uint16_t NewOpen() const { return nT2; }

private:
    uint16_t cT1 = 0;
    uint16_t nT1 = 0;
    uint16_t cT2 = 0;
    uint16_t nT2 = 0;
};
