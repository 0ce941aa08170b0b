#include "comm/ValueEncoding.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <clocale>
#include <ctime>
#include <limits>
#include <string>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Seconds from 1970 to the panel epoch 2000-01-01 00:00:00 UTC.
constexpr time_t kPanelEpoch = 946684800;

CalendarTime Calendar(unsigned year, unsigned month, unsigned day, unsigned hour = 0, unsigned minute = 0,
                      unsigned second = 0)
{
    CalendarTime c;
    c.year = static_cast<uint16_t>(year);
    c.month = static_cast<uint16_t>(month);
    c.day = static_cast<uint16_t>(day);
    c.hour = static_cast<uint16_t>(hour);
    c.minute = static_cast<uint16_t>(minute);
    c.second = static_cast<uint16_t>(second);
    return c;
}

std::string Format(int width, int mantissa, int decimals)
{
    char buffer[kDecimalTextSize];
    DecimalValue v;
    v.mantissa = static_cast<int16_t>(mantissa);
    v.decimals = static_cast<uint8_t>(decimals);
    return decimal_format(width, v, buffer);
}

TEST(DecimalValueTest, FromDoubleKeepsFourDigitsAndTheBoundariesOfEachSign)
{
    struct Case {
        double x;
        int requested;
        int mantissa;
        int decimals;
    } cases[] = {
        {12.345, 3, 1235, 2},
        {1.0, 2, 100, 2},
        {999.5, 3, 1000, 0},
        {999.49, 3, 9995, 1},
        {-999.5, 3, -9995, 1},
        {-999.51, 3, -1000, 0},
        {0.05, 4, 500, 4},
        {0.05, 9, 500, 4},  // anything above 3 counts as 4
        {0.0, 5, 0, 3},
        {0.0, 2, 0, 2},
        {9999.49, 1, 9999, 0},
        {9999.5, 1, 10000, 0},
        {1e300, 0, 10000, 0},
        {-9999.39, 0, -9999, 0},
        {-9999.4, 0, -10000, 0},
        {2.5, 0, 3, 0},   // positive halves round away from zero
        {-2.5, 0, -2, 0}, // negative halves toward it
        {-2.51, 0, -3, 0},
        {1.23456, 0, 1, 0},
        {1e-9, 3, 0, 3},
        {-1e-9, 4, 0, 4},
        {kInf, 2, 10000, 0},
        {-kInf, 2, -10000, 0},
        {kNaN, 2, 0, 0},
        {3.7, -1, 4, 0},  // a negative request means no decimals, not a wrapped count
        {0.0, -1, 0, 0},
    };
    for (const Case& c : cases) {
        const DecimalValue v = decimal_from_double(c.x, c.requested);
        EXPECT_EQ(v.mantissa, c.mantissa) << c.x << " requested " << c.requested;
        EXPECT_EQ(v.decimals, c.decimals) << c.x << " requested " << c.requested;
    }
}

TEST(DecimalValueTest, ParseReadsTheLeadingNumberAndCountsDecimalsAfterTheLastPoint)
{
    struct Case {
        const char* text;
        int mantissa;
        int decimals;
    } cases[] = {
        {"1.2345", 1235, 3},
        {"12", 12, 0},
        {"12,", 12, 0},
        {"12,5", 12, 0},
        {"-3.5", -35, 1},
        {"  7.25", 725, 2},
        {"+0.5", 5, 1},
        {".5", 5, 1},
        {"-.25", -25, 2},
        {"1.5kg", 1500, 3},  // every character after the point counts
        {"1.5.7", 15, 1},    // the number stops at the second point, the count starts after it
        {"2.", 2, 0},
        {"1e3", 1000, 0},
        {"1.5e2", 1500, 1},  // four digits at most, whatever the count asked for
        {"1e99999", 10000, 0},
        {"-1e99999", -10000, 0},
        {"0e99999", 0, 0},
        {"1e-99999", 0, 0},
        {"12e", 12, 0},
        {"000000000000000000000000012.5", 125, 1},
        {"123456789012345678901234567890", 10000, 0},
        {"0.00000000000000000000000000000000000000001", 0, 3},
        {"", 0, 0},
        {"abc", 0, 0},
        {"-", 0, 0},
        {".", 0, 0},
        {"inf", 0, 0},
        {"nan", 0, 0},
    };
    for (const Case& c : cases) {
        const DecimalValue v = decimal_parse(c.text);
        EXPECT_EQ(v.mantissa, c.mantissa) << '"' << c.text << '"';
        EXPECT_EQ(v.decimals, c.decimals) << '"' << c.text << '"';
    }
    const DecimalValue none = decimal_parse(nullptr);
    EXPECT_EQ(none.mantissa, 0);
    EXPECT_EQ(none.decimals, 0);
}

TEST(DecimalValueTest, FormatPrintsAtMostThreePlacesRightAlignedInTheWidth)
{
    struct Case {
        int width;
        int mantissa;
        int decimals;
        const char* text;
    } cases[] = {
        {0, 1235, 4, "0.123"},  // 0.1235 is stored just below the half
        {0, 1236, 4, "0.124"},
        {0, 1234, 2, "12.34"},
        {0, -10, 1, "-1.0"},
        {0, 42, 0, "42"},
        {-5, 42, 0, "42"},
        {1, 1234, 2, "12.34"},
        {6, -10, 1, "  -1.0"},
        {8, -32768, 3, " -32.768"},
        {0, -32768, 0, "-32768"},
        {0, -1, 4, "-0.000"},
        {0, 5, 255, "0.000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Format(c.width, c.mantissa, c.decimals), c.text)
            << c.width << " " << c.mantissa << "/" << c.decimals;

    // A width the buffer cannot hold is narrowed to the buffer, never written past it.
    for (int width : {kDecimalTextSize - 1, kDecimalTextSize, 1000, std::numeric_limits<int>::max()}) {
        const std::string text = Format(width, -32768, 3);
        EXPECT_EQ(text.size(), size_t(kDecimalTextSize - 1)) << width;
        EXPECT_EQ(text.substr(text.size() - 7), "-32.768");
    }
}

// Texts go to and come from files and the wire, so a locale with a decimal comma must not change them.
TEST(DecimalValueTest, TextsUseAPointWhateverTheLocale)
{
    // The test set-up builds the locale (localedef from Debian's locale data).
    const std::string saved = UsePolishLocale();
    ASSERT_FALSE(saved.empty()) << "pl_PL.UTF-8 is missing from " << TestLocalePath();
    const char* commaLocale = "pl_PL.UTF-8";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");

    const std::string text = Format(0, -1234, 2);
    const DecimalValue parsed = decimal_parse("-12.34");
    RestoreLocale(saved);
    EXPECT_EQ(text, "-12.34") << commaLocale;
    EXPECT_EQ(parsed.mantissa, -1234) << commaLocale;
    EXPECT_EQ(parsed.decimals, 2) << commaLocale;
}

TEST(DecimalValueTest, PackedFormSplitsMantissaAndDecimals)
{
    struct Case {
        uint32_t packed;
        int mantissa;
        int decimals;
        double value;
    } cases[] = {
        {0xFFF601, -10, 1, -1.0},
        {0x04D202, 1234, 2, 12.34},
        {0x800000, -32768, 0, -32768.0},
        {0x7FFF03, 32767, 3, 32.767},
        {0xAB04D202, 1234, 2, 12.34},  // bits above 23 are not part of it
        {0x000504, 5, 4, 0.0005},
        {0x0001FF, 1, 255, 1e-255},
    };
    for (const Case& c : cases) {
        const DecimalValue v = decimal_from_packed(c.packed);
        EXPECT_EQ(v.mantissa, c.mantissa) << std::hex << c.packed;
        EXPECT_EQ(v.decimals, c.decimals) << std::hex << c.packed;
        EXPECT_DOUBLE_EQ(decimal_to_double(v), c.value) << std::hex << c.packed;
    }
}

TEST(PackedFloatTest, DecodesTheSinglePrecisionLayoutWithTheNoValuePatterns)
{
    struct Case {
        PackedFloat packed;
        double value;
    } cases[] = {
        {0x3F800000, 1.0},
        {0xC0200000, -2.5},
        {0x00000000, 0.0},
        {0x7FFFFFFF, 0.0},
        {0x80000000, -std::ldexp(1.0, -127)},  // the hidden bit is always taken
        {0x7F800000, std::ldexp(1.0, 128)},    // exponent 255 is no infinity here
        {0x3FC00000, 1.5},
        {0x42C80000, 100.0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(packed_float_to_double(c.packed), c.value) << std::hex << c.packed;
}

TEST(PackedFloatTest, EncodingTruncatesAndMapsWhatDoesNotFit)
{
    struct Case {
        double x;
        PackedFloat packed;
    } cases[] = {
        {1.0, 0x3F800000},
        {-2.5, 0xC0200000},
        {100.0, 0x42C80000},
        {0.0, 0},
        {-0.0, 0},
        {1.0 + std::ldexp(1.0, -24), 0x3F800000},  // truncated, not rounded up
        {-(1.0 + std::ldexp(1.0, -23) * 0.99), 0xBF800000},
        {std::ldexp(1.0, 128), 0x7F800000},
        {std::ldexp(1.0, 129), 0x7FFFFFFF},
        {-1e300, 0x7FFFFFFF},
        {std::ldexp(1.0, -126), 0x00800000},
        {std::ldexp(1.0, -127), 0},  // too small: no denormals
        {1e-300, 0},
        {kInf, 0x7FFFFFFF},
        {-kInf, 0x7FFFFFFF},
        {kNaN, 0x7FFFFFFF},
    };
    for (const Case& c : cases)
        EXPECT_EQ(double_to_packed_float(c.x), c.packed) << c.x;

    // Every normal float survives the round trip.
    for (float f : {3.14159f, -0.001f, 65504.0f, 1e30f, -1e-30f, 123456.789f}) {
        uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        EXPECT_EQ(double_to_packed_float(f), bits) << f;
        EXPECT_EQ(packed_float_to_double(bits), double(f)) << f;
    }
}

TEST(ClockTest, CalendarMatchesTheCivilCalendarThroughout2000To2099)
{
    // Every day of the century, each at a different time of day, against the C library's UTC.
    const uint32_t lastDay = 36524;  // 2099-12-31
    for (uint32_t day = 0; day <= lastDay; ++day) {
        const ClockTime t = day * 86400u + (day * 7919u) % 86400u;
        const time_t unixTime = kPanelEpoch + static_cast<time_t>(t);
        std::tm tm{};
        ASSERT_NE(gmtime_r(&unixTime, &tm), nullptr);
        const CalendarTime c = clock_to_calendar(t);
        ASSERT_EQ(c.year, tm.tm_year - 100) << t;
        ASSERT_EQ(c.month, tm.tm_mon + 1) << t;
        ASSERT_EQ(c.day, tm.tm_mday) << t;
        ASSERT_EQ(c.hour, tm.tm_hour) << t;
        ASSERT_EQ(c.minute, tm.tm_min) << t;
        ASSERT_EQ(c.second, tm.tm_sec) << t;
        ASSERT_EQ(calendar_check(c), 0) << t;
        ASSERT_EQ(calendar_to_clock(c), t);
        ASSERT_EQ(clock_seconds_of_day(t), t % 86400u);
    }
}

TEST(ClockTest, KnownDatesAndTexts)
{
    struct Case {
        ClockTime t;
        const char* date;
        const char* time;
        int daysInMonth;
    } cases[] = {
        {0, "01-01-2000", "00:00:00", 31},
        {5097600, "29-02-2000", "00:00:00", 29},
        {5097600 - 1, "28-02-2000", "23:59:59", 29},
        {31622400, "01-01-2001", "00:00:00", 31},
        {31622400 + 31 * 86400 + 3723, "01-02-2001", "01:02:03", 28},
        {4294967295u, "06-02-2136", "06:28:15", 29},  // the last second the clock holds (2100 counts as leap)
    };
    char date[kClockTextSize];
    char time[kClockTextSize];
    for (const Case& c : cases) {
        EXPECT_STREQ(clock_format_date(c.t, date), c.date) << c.t;
        EXPECT_STREQ(clock_format_time(c.t, time), c.time) << c.t;
        EXPECT_EQ(clock_days_in_month(c.t), c.daysInMonth) << c.t;
    }
    EXPECT_EQ(calendar_to_clock(clock_to_calendar(4294967295u)), 4294967295u);
}

TEST(ClockTest, CalendarCheckAndConversionOfInvalidDates)
{
    struct Case {
        CalendarTime calendar;
        int valid;
    } cases[] = {
        {Calendar(4, 2, 29), 0},
        {Calendar(0, 2, 29), 0},
        {Calendar(5, 2, 29), -1},
        {Calendar(4, 2, 30), -1},
        {Calendar(5, 13, 1), -1},
        {Calendar(5, 0, 1), -1},
        {Calendar(5, 1, 0), -1},
        {Calendar(5, 4, 31), -1},
        {Calendar(5, 12, 31, 23, 59, 59), 0},
        {Calendar(5, 1, 1, 0, 0, 60), -1},
        {Calendar(5, 1, 1, 0, 60, 0), -1},
        {Calendar(5, 1, 1, 24, 0, 0), -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(calendar_check(c.calendar), c.valid)
            << c.calendar.year << "-" << c.calendar.month << "-" << c.calendar.day;
        if (c.valid != 0) {
            EXPECT_EQ(calendar_to_clock(c.calendar), 0u);
        }
    }
    // Valid dates beyond the clock's range give 0 rather than a wrapped date near 2000.
    EXPECT_EQ(calendar_to_clock(Calendar(136, 2, 6, 6, 28, 16)), 0u);
    EXPECT_EQ(calendar_to_clock(Calendar(65535, 12, 31)), 0u);
}

TEST(ClockTest, PeriodsStepByDayWeekAndCalendarMonth)
{
    const ClockTime feb29 = calendar_to_clock(Calendar(4, 2, 29, 13, 45, 10));
    const ClockTime mar31 = calendar_to_clock(Calendar(4, 3, 31, 23, 59, 59));
    const ClockTime jan15 = calendar_to_clock(Calendar(5, 1, 15, 8));
    struct Case {
        ClockTime t;
        int period;
        ClockTime floor;
        ClockTime next;
        ClockTime prev;
    } cases[] = {
        {feb29, CLOCK_PERIOD_DAY, calendar_to_clock(Calendar(4, 2, 29)), calendar_to_clock(Calendar(4, 3, 1)),
         calendar_to_clock(Calendar(4, 2, 28))},
        {feb29, CLOCK_PERIOD_MONTH, calendar_to_clock(Calendar(4, 2, 1)), calendar_to_clock(Calendar(4, 3, 1)),
         calendar_to_clock(Calendar(4, 1, 1))},
        {mar31, CLOCK_PERIOD_MONTH, calendar_to_clock(Calendar(4, 3, 1)), calendar_to_clock(Calendar(4, 4, 1)),
         calendar_to_clock(Calendar(4, 2, 1))},
        {jan15, CLOCK_PERIOD_MONTH, calendar_to_clock(Calendar(5, 1, 1)), calendar_to_clock(Calendar(5, 2, 1)),
         calendar_to_clock(Calendar(4, 12, 1))},
        // Weeks start on Saturday; 2000-01-01 was one.
        {7 * 86400 + 5 * 3600, CLOCK_PERIOD_WEEK, 604800, 2 * 604800, 0},
        {604800 - 1, CLOCK_PERIOD_WEEK, 0, 604800, 0},
        {feb29, 7, feb29, feb29, feb29},  // unknown period: unchanged
        // At the start of the range there is no earlier period to step back to.
        {3600, CLOCK_PERIOD_DAY, 0, 86400, 0},
        {3600, CLOCK_PERIOD_MONTH, 0, 31 * 86400, 0},
        // Nor a later one at its end: 2136-02 is the last month the clock holds.
        {4294967295u, CLOCK_PERIOD_MONTH, calendar_to_clock(Calendar(136, 2, 1)),
         calendar_to_clock(Calendar(136, 2, 1)), calendar_to_clock(Calendar(136, 1, 1))},
        {4294967295u, CLOCK_PERIOD_DAY, calendar_to_clock(Calendar(136, 2, 6)),
         calendar_to_clock(Calendar(136, 2, 6)), calendar_to_clock(Calendar(136, 2, 5))},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(clock_period_floor(c.t, c.period), c.floor) << c.t << " period " << c.period;
        EXPECT_EQ(clock_period_next(c.t, c.period), c.next) << c.t << " period " << c.period;
        EXPECT_EQ(clock_period_prev(c.t, c.period), c.prev) << c.t << " period " << c.period;
    }
    const ClockTime sat = calendar_to_clock(Calendar(24, 1, 6));  // 2024-01-06 was a Saturday
    EXPECT_EQ(clock_period_floor(sat + 6 * 86400 + 86399, CLOCK_PERIOD_WEEK), sat);
}

}  // namespace
