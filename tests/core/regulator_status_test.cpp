// Decoding of the regulator channels' pushed status reports into typed values.
#include <gtest/gtest.h>

#include <string>

#include "comm/RegulatorStatus.h"
#include "comm/ReplyRecord.h"

namespace {

// A report line as the panel sends it: kind, code, sequence 00 and the fields.
ReplyRecord Report(const char* kindCode, const std::string& fields) {
    return ReplyRecord((std::string(kindCode) + "00:" + fields).c_str());
}

bool Decode(const ReplyRecord& record, RegulatorReport* out) {
    return DecodeRegulatorReport(record.GetKind(), record.GetCode(), record, out);
}

TEST(RegulatorStatus, OnlyRegulatorReportsWithTheirExactFieldCountAreDecoded) {
    struct Case {
        const char* kindCode;
        std::string fields;
        bool decoded;
    };
    const Case cases[] = {
        {"02a4", "01:00:00:00", true},
        {"02a4", "01:00:00:00:00", false},  // five fields
        {"02a4", "01:00:00", false},        // three
        {"03a4", "01:00:00:00", false},     // kind 3
        {"02a3", "01:00:00:00", false},     // not a regulator code
        {"02ad", "01:00:00:00", false},
        {"02a7", "01:03", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kindCode) + " " + c.fields);
        ReplyRecord record = Report(c.kindCode, c.fields);
        RegulatorReport report;
        report.regulator = 99;
        EXPECT_EQ(Decode(record, &report), c.decoded);
        if (!c.decoded) {
            EXPECT_EQ(report.regulator, 99);  // untouched
        }
    }
    const int counts[] = {4, 16, 4, 2, 4, 5, 4, 4, 4};
    for (int code = 0xA4; code <= 0xAC; ++code) EXPECT_EQ(RegulatorReportFieldCount(code), counts[code - 0xA4]);
    EXPECT_EQ(RegulatorReportFieldCount(0xA3), 0);
    EXPECT_EQ(RegulatorReportFieldCount(0xAD), 0);
}

TEST(RegulatorStatus, MainStatusGivesZonePvAndFlags) {
    // 2.5f is 0x40200000; the zone is bit 0 of the low 16 bits of field 2.
    RegulatorReport report;
    ASSERT_TRUE(Decode(Report("02a6", "02:00000001:00010003:40200000"), &report));
    EXPECT_EQ(report.code, 0xA6);
    EXPECT_EQ(report.regulator, 2);
    EXPECT_EQ(report.main.zone, 1);
    EXPECT_TRUE(report.main.pvValid);
    EXPECT_DOUBLE_EQ(report.main.pv, 2.5);

    ASSERT_TRUE(Decode(Report("02a4", "00:00000010:00010000:40200000"), &report));
    EXPECT_EQ(report.main.zone, 0);  // bit 16 is outside the low 16 bits
    EXPECT_FALSE(report.main.pvValid);
    EXPECT_EQ(report.main.flags, 0x10u);

    // 0x7FFFFFFF means zero in the panel's packed float.
    ASSERT_TRUE(Decode(Report("02a4", "00:00:01:7fffffff"), &report));
    EXPECT_DOUBLE_EQ(report.main.pv, 0.0);
}

TEST(RegulatorStatus, PidInternalsOutputsServoAndTimedFields) {
    std::string fields = "01:00:00:3fc00000";
    for (int i = 0; i < 12; ++i) fields += i == 3 ? ":3c4985f0" : ":3fc00000";  // 0.0123 for dt, else 1.5
    RegulatorReport report;
    ASSERT_TRUE(Decode(Report("02a5", fields), &report));
    EXPECT_DOUBLE_EQ(report.pidInternals[0], 1.5);
    EXPECT_NEAR(report.pidInternals[3], 0.0123, 1e-7);

    ASSERT_TRUE(Decode(Report("02a7", "01:00010002"), &report));
    EXPECT_FALSE(report.outputA);
    EXPECT_TRUE(report.outputB);

    ASSERT_TRUE(Decode(Report("02a8", "01:01a3:06:0001007b"), &report));
    EXPECT_EQ(report.servoOp.error, 0x1A3u);
    EXPECT_EQ(report.servoOp.operation, 6u);
    EXPECT_EQ(report.servoOp.timeTenths, 123);

    ASSERT_TRUE(Decode(Report("02a9", "01:00:03:83:fa"), &report));
    EXPECT_EQ(report.servoTimes.phase, 3u);
    EXPECT_EQ(report.servoTimes.a, 131);
    EXPECT_EQ(report.servoTimes.b, 250);

    ASSERT_TRUE(Decode(Report("02ab", "01:02:03:000100c1"), &report));
    EXPECT_EQ(report.timedMode.state, 2u);
    EXPECT_EQ(report.timedMode.init, 3u);
    EXPECT_EQ(report.timedMode.flags, 0xC1);
}

}  // namespace
