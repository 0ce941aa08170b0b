#include "sim/SimReports.h"

#include "sim/ParamTable.h"
#include "sim/SimLine.h"

#include <cstring>
#include <ctime>

namespace sim {

namespace {
SimReport Make(uint8_t kind, uint8_t code, std::vector<std::string> fields) {
    SimReport report;
    report.kind = kind;
    report.code = code;
    report.fields = std::move(fields);
    return report;
}
}  // namespace

SimReport ThermometerReport(int t1Hundredths, int t2Hundredths, unsigned humidityHundredths) {
    return Make(2, 0x02,
                {Hex(0, 2), Hex(static_cast<uint32_t>(t1Hundredths), 4), Hex(static_cast<uint32_t>(t2Hundredths), 4),
                 Hex(humidityHundredths, 4)});
}

SimReport RelayReport(unsigned mask) { return Make(2, 0x97, {Hex(mask, 2)}); }

SimReport AnalogInputReport(unsigned errorMask, const std::array<AnalogInputReading, 4>& inputs) {
    std::vector<std::string> fields = {Hex(0, 2), Hex(errorMask, 2)};
    for (const AnalogInputReading& input : inputs) {
        fields.push_back(Hex(input.type, 2));
        fields.push_back(Hex(0, 4));
        fields.push_back(Hex(input.raw, 8));
    }
    return Make(2, 0xA0, fields);
}

SimReport AnalogSecondReport(unsigned errorMask, const std::array<uint32_t, 4>& packedDecimals) {
    std::vector<std::string> fields = {Hex(0, 2), Hex(errorMask, 2)};
    for (uint32_t value : packedDecimals) fields.push_back(Hex(value, 6));
    return Make(2, 0xA1, fields);
}

SimReport BusInputReport(unsigned slot, unsigned errorMask, unsigned count, const std::vector<uint32_t>& packedDecimals) {
    std::vector<std::string> fields = {Hex(slot, 2), Hex(0, 2), Hex(0, 2), Hex(errorMask, 2), Hex(count, 2)};
    for (uint32_t value : packedDecimals) fields.push_back(Hex(value, 6));
    while (fields.size() < 6) fields.push_back(Hex(0, 6));
    return Make(2, 0xA2, fields);
}

SimReport AnalogOutputReport(unsigned position, float value, float normalized) {
    return Make(2, 0xB3, {Hex(position, 2), Hex(FloatBits(value), 8), Hex(FloatBits(normalized), 8)});
}

int RegulatorStatusFieldCount(uint8_t code) {
    static const int kCounts[] = {4, 16, 4, 2, 4, 5, 4, 4, 4};
    if (code < 0xA4 || code > 0xAC) return 0;
    return kCounts[code - 0xA4];
}

SimReport RegulatorStatusReport(uint8_t code, unsigned regulator, const std::vector<uint32_t>& fields) {
    int count = RegulatorStatusFieldCount(code);
    std::vector<std::string> out = {Hex(regulator, 2)};
    for (size_t i = 0; static_cast<int>(out.size()) < count; ++i)
        out.push_back(Hex(i < fields.size() ? fields[i] : 0, 8));
    return Make(2, code, out);
}

SimReport ClockReport(uint32_t secondsSince2000) { return Make(3, 0x00, {Hex(0, 2), Hex(secondsSince2000, 8)}); }

SimReport ClockFaultReport() { return Make(3, 0x00, {Hex(1, 2)}); }

uint32_t ClockSecondsNow() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    int years = local.tm_year + 1900 - 2000;
    if (years < 0) return 0;
    uint32_t days = static_cast<uint32_t>(365 * years + (years + 3) / 4 + local.tm_yday);
    return days * 86400u + static_cast<uint32_t>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
}

uint32_t FloatBits(float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

std::vector<SimReport> DefaultReports() {
    return {
        ThermometerReport(2150, 2230, 4560),
        RelayReport(0x05),
        AnalogOutputReport(0, 5.0f, 0.5f),
        BusInputReport(1, 0, 3, {PackDecimal(1234, 2), PackDecimal(-56, 1), PackDecimal(7, 0)}),
        ClockReport(0x30000000),
        RegulatorStatusReport(0xA4, 0, {0, 1, FloatBits(21.5f)}),
    };
}

std::vector<SimReport> LiveReports(int period) {
    const int step = period % 40;
    const float drift = static_cast<float>(step) / 40.0f;
    return {
        ThermometerReport(2150 + step, 2230 - step, 4560 + 3u * static_cast<unsigned>(step)),
        RelayReport(0x05u ^ (static_cast<unsigned>(period / 4) & 0x03u)),
        AnalogOutputReport(0, 5.0f + drift, 0.5f + drift / 10.0f),
        BusInputReport(1, 0, 3, {PackDecimal(1234 + step, 2), PackDecimal(-56 - step, 1), PackDecimal(7, 0)}),
        ClockReport(0x30000000u + static_cast<uint32_t>(period / 2)),
    };
}

std::vector<SimReport> LiveRegulatorReports(int type, unsigned regulator, int period) {
    const float pv = 21.5f + static_cast<float>(period % 40) / 16.0f;
    const uint32_t zone = static_cast<uint32_t>(period / 20) & 1u;
    const uint32_t outputs = static_cast<uint32_t>(period / 3) & 3u;
    std::vector<SimReport> reports;
    switch (type) {
        case 1:
            reports.push_back(RegulatorStatusReport(0xA4, regulator, {0, zone, FloatBits(pv)}));
            break;
        case 2: {
            std::vector<uint32_t> fields = {0, zone, FloatBits(pv)};
            for (int i = 0; i < 12; ++i) fields.push_back(FloatBits(pv / static_cast<float>(10 + i)));
            reports.push_back(RegulatorStatusReport(0xA5, regulator, fields));
            const uint32_t tenths = static_cast<uint32_t>(10 + period % 50);
            reports.push_back(RegulatorStatusReport(0xA8, regulator, {0, 1u + static_cast<uint32_t>(period % 5), tenths}));
            reports.push_back(RegulatorStatusReport(0xA9, regulator, {0, 1u + static_cast<uint32_t>(period % 3), tenths, 2 * tenths}));
            break;
        }
        case 3:
            reports.push_back(RegulatorStatusReport(0xA6, regulator, {0, zone, FloatBits(pv)}));
            reports.push_back(RegulatorStatusReport(static_cast<uint8_t>(0xAA + period % 3), regulator,
                                                    {2u + static_cast<uint32_t>(period % 2), 0, 0x40u * static_cast<uint32_t>(period % 4)}));
            break;
        default:
            break;
    }
    reports.push_back(RegulatorStatusReport(0xA7, regulator, {outputs}));
    return reports;
}

}  // namespace sim
