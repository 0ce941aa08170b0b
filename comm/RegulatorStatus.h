// The regulator channels' pushed status reports (kind 2, codes 0xA4..0xAC) decoded into typed
// values, so the frame and every regulator view read the same fields the same way.
#pragma once

#include <cstdint>

class ReplyRecord;

enum RegulatorReportCode : int {
    REG_STATUS_THRESHOLD = 0xA4,
    REG_STATUS_PID = 0xA5,
    REG_STATUS_TIMED = 0xA6,
    REG_OUTPUTS = 0xA7,
    REG_SERVO_OP = 0xA8,
    REG_SERVO_TIMES = 0xA9,
    REG_TIMED_MODE_FIRST = 0xAA,  // 0xAA, 0xAB and 0xAC carry the timed regulator's mode
    REG_TIMED_MODE_LAST = 0xAC,
};

// Field count (field 0, the regulator index, included) of the report with this code; 0 when
// the code is no regulator report.
int RegulatorReportFieldCount(int code);
// Kind 2, a regulator report code and exactly that code's field count.
bool IsRegulatorReport(int kind, int code, int fieldCount);
bool IsMainStatusCode(int code);

// Flag bit of the main status report: the process value is not valid (shown as "---").
constexpr uint32_t kRegFlagPvInvalid = 0x10;

struct RegulatorReport {
    int code = 0;
    int regulator = 0;  // field 0, 0..3

    // Main status 0xA4 / 0xA5 / 0xA6 (fields 1..3 are the same in all three).
    struct Main {
        uint32_t flags = 0;
        int zone = 0;        // 0 zone 1, 1 zone 2
        bool pvValid = false;
        double pv = 0;       // only when pvValid
    } main;
    // 0xA5 only: the PID algorithm's twelve internal values (npv .. cv).
    double pidInternals[12] = {};

    // Outputs 0xA7.
    bool outputA = false;
    bool outputB = false;

    // Servo operation 0xA8.
    struct ServoOp {
        uint32_t error = 0;
        uint32_t operation = 0;
        uint16_t timeTenths = 0;
    } servoOp;

    // Servo travel times 0xA9.
    struct ServoTimes {
        uint32_t error = 0;
        uint32_t phase = 0;
        uint16_t a = 0;  // tenths of a second
        uint16_t b = 0;
    } servoTimes;

    // Timed mode 0xAA..0xAC.
    struct TimedMode {
        uint32_t state = 0;
        uint32_t init = 0;
        uint16_t flags = 0;
    } timedMode;
};

// Decodes a report of the given kind and code; false (out untouched) for anything that is not a
// regulator report with its exact field count.
bool DecodeRegulatorReport(int kind, int code, const ReplyRecord& record, RegulatorReport* out);
