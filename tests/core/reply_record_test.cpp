// Splitting a reply line into fields and reading the fields.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "comm/ReplyRecord.h"

namespace {

std::vector<std::string> FieldsOf(const ReplyRecord& record) {
    std::vector<std::string> fields;
    for (int i = 0; i < record.GetFieldCount(); ++i) fields.emplace_back(record.GetFieldText(i));
    return fields;
}

TEST(HexDigitsTest, DigitValuesAndBytes) {
    const std::string digits = "0123456789abcdefABCDEF";
    const int values[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 10, 11, 12, 13, 14, 15};
    for (size_t i = 0; i < digits.size(); ++i) EXPECT_EQ(HexDigitValue(digits[i]), values[i]) << digits[i];
    for (char other : {'g', 'G', ':', ' ', '\0', '/', '@', '`', static_cast<char>(0xe1)}) {
        EXPECT_EQ(HexDigitValue(other), 0) << static_cast<int>(other);
        EXPECT_FALSE(IsHexDigit(other)) << static_cast<int>(other);
    }

    struct Case {
        const char* text;
        int value;
    } bytes[] = {{"ff", 255}, {"FF", 255}, {"0a", 10}, {"123", 0x12}, {"7z", 7}, {"z1", 0}, {"", 0}, {":12", 0}};
    for (const Case& c : bytes) EXPECT_EQ(ParseHexByte(c.text), c.value) << '"' << c.text << '"';
}

TEST(ReplyRecordTest, SplitsFieldsAfterTheHead) {
    struct Case {
        const char* text;
        std::vector<std::string> fields;
    } cases[] = {
        {"020a01:12:ab:CDEF", {"12", "ab", "CDEF"}},
        {"0200000A:12:zz", {"12"}},               // "0A" before the first ':' is no field; ends at 'z'
        {"020a01:12 :34", {"12"}},                // the first other character ends the scan
        {"020a01::12:", {"12"}},                  // ':' before a non-hex character starts nothing
        {"020a01:zz:12", {}},
        {"020a01", {}},
        {"020a01:", {}},
        {"020a010203", {}},                       // request-style parameters are no fields
    };
    for (const Case& c : cases) {
        ReplyRecord record(c.text);
        EXPECT_EQ(FieldsOf(record), c.fields) << c.text;
    }
}

TEST(ReplyRecordTest, HeadValues) {
    ReplyRecord reply("03A4FF:01");
    EXPECT_EQ(reply.GetKind(), 3);
    EXPECT_EQ(reply.GetCode(), 0xa4);
    EXPECT_EQ(reply.GetSequence(), 0xff);

    // Five characters or fewer leave no room for a head: an empty record.
    for (const char* shortText : {"", "02a40", ":1:2:"}) {
        ReplyRecord empty(shortText);
        EXPECT_EQ(empty.GetKind(), 0) << shortText;
        EXPECT_EQ(empty.GetCode(), 0) << shortText;
        EXPECT_EQ(empty.GetSequence(), 0) << shortText;
        EXPECT_EQ(empty.GetFieldCount(), 0) << shortText;
    }
    ReplyRecord none(nullptr);
    EXPECT_EQ(none.GetFieldCount(), 0);
}

TEST(ReplyRecordTest, KeepsAtMost24Fields) {
    std::string text = "020a01";
    for (int i = 0; i < 30; ++i) {
        char field[8];
        std::snprintf(field, sizeof field, ":%02x", i);
        text += field;
    }
    ReplyRecord record(text.c_str());
    ASSERT_EQ(record.GetFieldCount(), 24);
    EXPECT_EQ(record.GetUnsigned(23), 23u);
    EXPECT_STREQ(record.GetFieldText(23), "17");  // cut off from the 25th on
}

TEST(ReplyRecordTest, ExplicitLengthEndsAtLengthOrNul) {
    const char text[] = "020a01:12:34\0:56";
    EXPECT_EQ(FieldsOf(ReplyRecord(text, sizeof text - 1)), (std::vector<std::string>{"12", "34"}));
    EXPECT_EQ(FieldsOf(ReplyRecord(text, 9)), (std::vector<std::string>{"12"}));
    EXPECT_EQ(FieldsOf(ReplyRecord(text, 8)), (std::vector<std::string>{"1"}));
    EXPECT_EQ(ReplyRecord(text, -5).GetFieldCount(), 0);
}

TEST(ReplyRecordTest, IntegerFieldValues) {
    struct Case {
        const char* field;
        uint32_t asUnsigned;
        int32_t asSigned;
    } cases[] = {
        {"8000", 32768u, -32768},
        {"ff", 255u, -1},
        {"7f", 127u, 127},
        {"fff6", 0xfff6u, -10},
        {"FFF6", 0xfff6u, -10},
        {"0", 0u, 0},
        {"80000000", 0x80000000u, INT32_MIN},
        {"7fffffff", 0x7fffffffu, INT32_MAX},
        {"123456789", 0x23456789u, 0x23456789},  // more than 8 digits keep the last 8
        {"fffffffff", 0xffffffffu, -1},
        {"812345678", 0x12345678u, 0x12345678},  // sign from the field's own first digit, then wrapped
    };
    for (const Case& c : cases) {
        ReplyRecord record((std::string("020a01:") + c.field).c_str());
        ASSERT_EQ(record.GetFieldCount(), 1) << c.field;
        EXPECT_EQ(record.GetUnsigned(0), c.asUnsigned) << c.field;
        EXPECT_EQ(record.GetSigned(0), c.asSigned) << c.field;
    }
}

TEST(ReplyRecordTest, PackedFieldValues) {
    ReplyRecord record("02a401:3f800000:7fffffff:0:04d202:ff3801:ab04d202");
    EXPECT_DOUBLE_EQ(record.GetFloat(0), 1.0);
    EXPECT_DOUBLE_EQ(record.GetFloat(1), 0.0);  // the panel's second zero
    EXPECT_DOUBLE_EQ(record.GetFloat(2), 0.0);
    EXPECT_DOUBLE_EQ(record.GetDecimal(3), 12.34);  // mantissa 0x04d2, 2 decimals
    EXPECT_DOUBLE_EQ(record.GetDecimal(4), -20.0);  // mantissa -200, 1 decimal
    EXPECT_DOUBLE_EQ(record.GetDecimal(5), 12.34);  // only the low 24 bits count
}

TEST(ReplyRecordTest, OutOfRangeFieldsReadAsZero) {
    ReplyRecord record("020a01:12");
    for (int i : {-1, 1, 24, 1000}) {
        EXPECT_STREQ(record.GetFieldText(i), "") << i;
        EXPECT_EQ(record.GetUnsigned(i), 0u) << i;
        EXPECT_EQ(record.GetSigned(i), 0) << i;
        EXPECT_EQ(record.GetFloat(i), 0.0) << i;
        EXPECT_EQ(record.GetDecimal(i), 0.0) << i;
    }
}

}  // namespace
