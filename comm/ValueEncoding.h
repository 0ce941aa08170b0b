// The panel's non-integer value forms: packed decimal numbers, packed single-precision floats
// and the panel clock (seconds since 2000-01-01 00:00:00, every 4th year a leap year).
// Plain functions without state.
#pragma once

#include <cstdint>

struct DecimalValue {
    int16_t mantissa = 0;
    uint8_t decimals = 0;  // value = mantissa / 10^decimals
};

using PackedFloat = uint32_t;
using ClockTime = uint32_t;

struct CalendarTime {
    uint16_t second = 0;
    uint16_t minute = 0;
    uint16_t hour = 0;
    uint16_t day = 1;    // 1..31
    uint16_t month = 1;  // 1..12
    uint16_t year = 0;   // counted from 2000
};

enum ClockPeriod { CLOCK_PERIOD_DAY = 0, CLOCK_PERIOD_WEEK = 1, CLOCK_PERIOD_MONTH = 2 };

// Longest text decimal_format writes for a width up to 32, with its terminator.
constexpr int kDecimalTextSize = 48;
constexpr int kClockTextSize = 12;

DecimalValue decimal_from_packed(uint32_t packed);
double decimal_to_double(DecimalValue value);
DecimalValue decimal_from_double(double x, int requestedDecimals);
DecimalValue decimal_parse(const char* text);
// buffer must hold kDecimalTextSize bytes.
char* decimal_format(int width, DecimalValue value, char* buffer);

double packed_float_to_double(PackedFloat packed);
PackedFloat double_to_packed_float(double x);

CalendarTime clock_to_calendar(ClockTime t);
int calendar_check(const CalendarTime& calendar);  // 0 valid, -1 invalid
ClockTime calendar_to_clock(const CalendarTime& calendar);  // 0 when invalid
// buffer must hold kClockTextSize bytes.
char* clock_format_time(ClockTime t, char* buffer);
char* clock_format_date(ClockTime t, char* buffer);
uint32_t clock_seconds_of_day(ClockTime t);
int clock_days_in_month(ClockTime t);
ClockTime clock_period_floor(ClockTime t, int period);
ClockTime clock_period_next(ClockTime t, int period);
ClockTime clock_period_prev(ClockTime t, int period);
