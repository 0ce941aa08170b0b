#include "comm/RegulatorStatus.h"

#include "comm/ReplyRecord.h"

namespace {
constexpr int kFieldCounts[] = {4, 16, 4, 2, 4, 5, 4, 4, 4};  // 0xA4..0xAC
}  // namespace

int RegulatorReportFieldCount(int code) {
    if (code < REG_STATUS_THRESHOLD || code > REG_TIMED_MODE_LAST) return 0;
    return kFieldCounts[code - REG_STATUS_THRESHOLD];
}

bool IsRegulatorReport(int kind, int code, int fieldCount) {
    const int expected = RegulatorReportFieldCount(code);
    return kind == 2 && expected > 0 && fieldCount == expected;
}

bool IsMainStatusCode(int code) {
    return code == REG_STATUS_THRESHOLD || code == REG_STATUS_PID || code == REG_STATUS_TIMED;
}

bool DecodeRegulatorReport(int kind, int code, const ReplyRecord& record, RegulatorReport* out) {
    if (!IsRegulatorReport(kind, code, record.GetFieldCount())) return false;
    RegulatorReport report;
    report.code = code;
    report.regulator = static_cast<int>(record.GetUnsigned(0));
    auto low16 = [&record](int i) { return static_cast<uint16_t>(record.GetUnsigned(i) & 0xFFFF); };
    if (IsMainStatusCode(code)) {
        report.main.flags = record.GetUnsigned(1);
        report.main.zone = low16(2) & 1;
        report.main.pvValid = (report.main.flags & kRegFlagPvInvalid) == 0;
        if (report.main.pvValid) report.main.pv = record.GetFloat(3);
        if (code == REG_STATUS_PID)
            for (int i = 0; i < 12; ++i) report.pidInternals[i] = record.GetFloat(4 + i);
    } else if (code == REG_OUTPUTS) {
        report.outputA = (low16(1) & 1) != 0;
        report.outputB = (low16(1) & 2) != 0;
    } else if (code == REG_SERVO_OP) {
        report.servoOp.error = record.GetUnsigned(1);
        report.servoOp.operation = record.GetUnsigned(2);
        report.servoOp.timeTenths = low16(3);
    } else if (code == REG_SERVO_TIMES) {
        report.servoTimes.error = record.GetUnsigned(1);
        report.servoTimes.phase = record.GetUnsigned(2);
        report.servoTimes.a = low16(3);
        report.servoTimes.b = low16(4);
    } else {
        report.timedMode.state = record.GetUnsigned(1);
        report.timedMode.init = record.GetUnsigned(2);
        report.timedMode.flags = low16(3);
    }
    *out = report;
    return true;
}
