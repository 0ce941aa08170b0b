// Builders for the lines the panel pushes on its own (sequence 00) once its reports are started.
//
// A report is a kind byte (2 readings and regulator status, 3 the clock), a code byte and its
// ':'-separated hex fields. Field widths matter: the program reads signed fields sign-extended from
// their own width, so each builder writes every field at the width the panel uses.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

struct SimReport {
    uint8_t kind = 2;
    uint8_t code = 0;
    std::vector<std::string> fields;
};

// Kind 2 code 0x02: thermometer board. Temperatures in signed hundredths of a degree, humidity in
// unsigned hundredths of a percent. Fields: 0 (unused), t1, t2, humidity.
SimReport ThermometerReport(int t1Hundredths, int t2Hundredths, unsigned humidityHundredths);

// Kind 2 code 0x97: relays P1..P5, E1, E2 as bits 0..6 of one field.
SimReport RelayReport(unsigned mask);

// Kind 2 code 0xA0 (14 fields): 0, error mask (bit n = input n failed), then per input n the type
// (1 0-10 V, 2 0-1 V, 3 4-20 mA), an unused field and the raw reading.
struct AnalogInputReading {
    unsigned type = 1;
    uint32_t raw = 0;
};
SimReport AnalogInputReport(unsigned errorMask, const std::array<AnalogInputReading, 4>& inputs);

// Kind 2 code 0xA1 (6 fields): 0, error mask, the four second values as packed decimals.
SimReport AnalogSecondReport(unsigned errorMask, const std::array<uint32_t, 4>& packedDecimals);

// Kind 2 code 0xA2: T500 bus input of an extension slot: slot, 0, 0, error mask, parameter count,
// then the parameters as packed decimals (padded with zeros to at least 6 fields in all).
SimReport BusInputReport(unsigned slot, unsigned errorMask, unsigned count, const std::vector<uint32_t>& packedDecimals);

// Kind 2 code 0xB3 (3 fields): analog output position, value and normalised value (fraction, shown
// ×100 as a percentage) as single-precision bit patterns.
SimReport AnalogOutputReport(unsigned position, float value, float normalized);

// Field count of the regulator status report with this code (0xA4..0xAC: 4, 16, 4, 2, 4, 5, 4, 4,
// 4); 0 for any other code.
int RegulatorStatusFieldCount(uint8_t code);
// Kind 2 regulator status report: field 0 the regulator index, then `fields` (8 digits each),
// padded with zeros or cut to the code's field count.
SimReport RegulatorStatusReport(uint8_t code, unsigned regulator, const std::vector<uint32_t>& fields);

// Kind 3 code 0x00: the panel clock, 0 and the seconds since 2000-01-01 (2 fields).
SimReport ClockReport(uint32_t secondsSince2000);
// The clock report the panel sends when its clock has failed: a single field.
SimReport ClockFaultReport();
// The local time now as panel clock seconds (every year divisible by 4 a leap year, which holds for
// 2000..2099).
uint32_t ClockSecondsNow();

// 32-bit bit pattern of a float, the panel's packed float.
uint32_t FloatBits(float value);

// A fixed report set for tests: thermometers, relays, an analog output, a bus input, the clock and
// a threshold regulator's status.
std::vector<SimReport> DefaultReports();

// The reports of DefaultReports as a running panel sends them, for the benchmarks: their values
// move from one period to the next (the readings drift, the relays switch now and then, the
// clock ticks every second period, a 500 ms period). period counts from 0.
std::vector<SimReport> LiveReports(int period);
// One regulator channel's own reports for one period, by its type (1 threshold, 2 PID, 3 timed),
// moving the same way: its main status and outputs, and the PID's servo operation and travel
// times or the timed regulator's mode.
std::vector<SimReport> LiveRegulatorReports(int type, unsigned regulator, int period);

}  // namespace sim
