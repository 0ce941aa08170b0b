#include "comm/ValueEncoding.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

constexpr uint32_t kSecondsPerDay = 86400;
constexpr uint32_t kSecondsPerWeek = 7 * kSecondsPerDay;
constexpr uint32_t kDaysPerCycle = 1461;
constexpr uint32_t kYearDays[4] = {366, 365, 365, 365};
constexpr uint16_t kMonthDays[2][12] = {
    {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
};

constexpr PackedFloat kNoValue = 0x7FFFFFFF;

double PowerOfTen(unsigned exponent)
{
    static constexpr double kExact[] = {1.0, 10.0, 100.0, 1000.0};
    return exponent < 4 ? kExact[exponent] : std::pow(10.0, static_cast<double>(exponent));
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads the leading number of a text with '.' as decimal point whatever the process locale is:
// optional blanks, sign, digits, fraction and exponent, stopping at the first character that
// cannot continue the number. A text without digits reads as 0.
double ReadLeadingNumber(const char* p)
{
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v')
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';

    // Up to 19 significant digits fit an uint64_t; further digits only move the exponent.
    uint64_t digits = 0;
    int significant = 0;
    long exponent = 0;
    bool anyDigit = false;
    for (; IsDigit(*p); ++p) {
        anyDigit = true;
        if (significant < 19) {
            digits = digits * 10 + static_cast<unsigned>(*p - '0');
            if (digits != 0)
                ++significant;
        } else {
            ++exponent;
        }
    }
    if (*p == '.') {
        ++p;
        for (; IsDigit(*p); ++p) {
            anyDigit = true;
            if (significant < 19) {
                digits = digits * 10 + static_cast<unsigned>(*p - '0');
                if (digits != 0)
                    ++significant;
                --exponent;
            }
        }
    }
    if (!anyDigit)
        return 0.0;
    if (digits == 0)
        return negative ? -0.0 : 0.0;  // whatever the exponent says

    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        bool negativeExponent = false;
        if (*q == '+' || *q == '-')
            negativeExponent = *q++ == '-';
        if (IsDigit(*q)) {
            long value = 0;
            for (; IsDigit(*q); ++q)
                if (value < 100000)  // far past any double's range; keeps the sum from overflowing
                    value = value * 10 + (*q - '0');
            exponent += negativeExponent ? -value : value;
        }
    }

    double result;
    if (digits <= (uint64_t(1) << 53) && exponent >= -22 && exponent <= 22) {
        // Both operands are exact, so one multiplication or division rounds correctly.
        const double scale = PowerOfTen(static_cast<unsigned>(exponent < 0 ? -exponent : exponent));
        result = exponent < 0 ? static_cast<double>(digits) / scale : static_cast<double>(digits) * scale;
    } else {
        if (exponent > 100000)
            exponent = 100000;
        if (exponent < -100000)
            exponent = -100000;
        result = static_cast<double>(static_cast<long double>(digits) *
                                     std::pow(10.0L, static_cast<long double>(exponent)));
    }
    return negative ? -result : result;
}

bool IsLeapYear(uint32_t year)
{
    return year % 4 == 0;
}

// Writes value as exactly `width` decimal digits with leading zeros, like "%0*u" for the calendar
// fields, which never have more digits than their width. Returns the end of the digits.
char* PutDigits(char* p, unsigned value, int width)
{
    for (int i = width - 1; i >= 0; --i) {
        p[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return p + width;
}

uint32_t MidnightOf(ClockTime t)
{
    return t - t % kSecondsPerDay;
}

}  // namespace

DecimalValue decimal_from_packed(uint32_t packed)
{
    const uint32_t raw = (packed >> 8) & 0xFFFF;
    DecimalValue value;
    value.mantissa = static_cast<int16_t>(raw >= 0x8000 ? static_cast<int32_t>(raw) - 0x10000
                                                        : static_cast<int32_t>(raw));
    value.decimals = static_cast<uint8_t>(packed & 0xFF);
    return value;
}

double decimal_to_double(DecimalValue value)
{
    return value.mantissa / PowerOfTen(value.decimals);
}

DecimalValue decimal_from_double(double x, int requestedDecimals)
{
    int requested = requestedDecimals > 3 ? 4 : requestedDecimals;
    if (requested < 0)
        requested = 0;

    DecimalValue value;
    if (std::isnan(x))
        return value;  // nothing to keep; 0 rather than an undefined conversion
    if (x >= 9999.5) {
        value.mantissa = 10000;
        return value;
    }
    if (x <= -9999.4) {
        value.mantissa = -10000;
        return value;
    }
    if (x == 0) {
        value.decimals = static_cast<uint8_t>(requested < 3 ? requested : 3);
        return value;
    }

    int n = 0;
    if (x > 0) {
        while (x < 999.5 && n < requested) {
            x *= 10;
            ++n;
        }
        value.mantissa = static_cast<int16_t>(std::trunc(x + 0.5));
    } else {
        double y = -x;
        while (y <= 999.5 && n < requested) {
            y *= 10;
            ++n;
        }
        value.mantissa = static_cast<int16_t>(-std::trunc(y + 0.49999999999999));
    }
    value.decimals = static_cast<uint8_t>(n);
    return value;
}

DecimalValue decimal_parse(const char* text)
{
    if (text == nullptr)
        return DecimalValue{};
    int count = 0;
    if (const char* point = std::strrchr(text, '.')) {
        const size_t after = std::strlen(point + 1);
        count = after > 3 ? 3 : static_cast<int>(after);
    }
    return decimal_from_double(ReadLeadingNumber(text), count);
}

char* decimal_format(int width, DecimalValue value, char* buffer)
{
    const int places = value.decimals < 3 ? value.decimals : 3;
    const double number = value.mantissa / PowerOfTen(value.decimals);

    // to_chars prints like "%.*f" but always with '.', so texts stay readable back whatever
    // locale the program runs in.
    char digits[kDecimalTextSize];
    const auto result = std::to_chars(digits, digits + sizeof digits - 1, number,
                                      std::chars_format::fixed, places);
    const int length = result.ec == std::errc() ? static_cast<int>(result.ptr - digits) : 0;

    int padding = 0;
    if (width >= 1) {
        const int maxWidth = kDecimalTextSize - 1;
        const int field = width < maxWidth ? width : maxWidth;
        padding = field > length ? field - length : 0;
    }
    std::memset(buffer, ' ', static_cast<size_t>(padding));
    std::memcpy(buffer + padding, digits, static_cast<size_t>(length));
    buffer[padding + length] = '\0';
    return buffer;
}

double packed_float_to_double(PackedFloat packed)
{
    if (packed == 0 || packed == kNoValue)
        return 0.0;
    const double mantissa = static_cast<double>((packed & 0x7FFFFF) | 0x800000);
    const int exponent = static_cast<int>((packed >> 23) & 0xFF);
    const double magnitude = std::ldexp(mantissa, exponent - 126 - 24);
    return (packed & 0x80000000u) ? -magnitude : magnitude;
}

PackedFloat double_to_packed_float(double x)
{
    if (!std::isfinite(x))
        return kNoValue;  // the same pattern as a value too large for the panel
    int e = 0;
    const double m = std::frexp(std::fabs(x), &e);
    if (m == 0)
        return 0;
    uint32_t fraction = static_cast<uint32_t>(m * 16777216.0);
    if (fraction > 0xFFFFFF)
        fraction = 0xFFFFFF;
    fraction &= 0x7FFFFF;
    const int biased = e + 126;
    if (biased >= 256)
        return kNoValue;
    if (biased <= 0)
        return 0;
    PackedFloat packed = fraction | static_cast<uint32_t>(biased) << 23;
    if (x < 0)
        packed |= 0x80000000u;
    return packed;
}

CalendarTime clock_to_calendar(ClockTime t)
{
    CalendarTime calendar;
    calendar.hour = static_cast<uint16_t>(t % kSecondsPerDay / 3600);
    calendar.minute = static_cast<uint16_t>(t % 3600 / 60);
    calendar.second = static_cast<uint16_t>(t % 60);

    const uint32_t days = t / kSecondsPerDay;
    uint32_t year = days / kDaysPerCycle * 4;
    uint32_t d = days % kDaysPerCycle;
    for (int i = 0; i < 4 && d >= kYearDays[i]; ++i) {
        d -= kYearDays[i];
        ++year;
    }
    const uint16_t* months = kMonthDays[IsLeapYear(year) ? 1 : 0];
    int month = 0;
    while (month < 11 && d >= months[month]) {
        d -= months[month];
        ++month;
    }
    calendar.month = static_cast<uint16_t>(month + 1);
    calendar.day = static_cast<uint16_t>(d + 1);
    calendar.year = static_cast<uint16_t>(year);
    return calendar;
}

int calendar_check(const CalendarTime& calendar)
{
    if (calendar.month < 1 || calendar.month > 12 || calendar.day < 1)
        return -1;
    const bool leapDay = calendar.month == 2 && calendar.day == 29 && IsLeapYear(calendar.year);
    if (calendar.day > kMonthDays[0][calendar.month - 1] && !leapDay)
        return -1;
    if (calendar.hour > 23 || calendar.minute > 59 || calendar.second > 59)
        return -1;
    return 0;
}

ClockTime calendar_to_clock(const CalendarTime& calendar)
{
    if (calendar_check(calendar) != 0)
        return 0;
    const uint64_t year = calendar.year;
    uint64_t days = year * 365 + year / 4 + (year % 4 != 0 ? 1 : 0);
    for (int m = 0; m < calendar.month - 1; ++m)
        days += kMonthDays[0][m];
    if (calendar.month > 2 && IsLeapYear(calendar.year))
        ++days;
    const uint64_t seconds = (days + calendar.day - 1) * kSecondsPerDay + calendar.hour * 3600u +
                             calendar.minute * 60u + calendar.second;
    // Dates past early 2136 do not fit the panel clock; report them like an invalid date
    // instead of wrapping round to a date near 2000.
    return seconds > UINT32_MAX ? 0 : static_cast<ClockTime>(seconds);
}

char* clock_format_time(ClockTime t, char* buffer)
{
    const CalendarTime c = clock_to_calendar(t);
    char* p = PutDigits(buffer, c.hour, 2);
    *p++ = ':';
    p = PutDigits(p, c.minute, 2);
    *p++ = ':';
    *PutDigits(p, c.second, 2) = '\0';
    return buffer;
}

char* clock_format_date(ClockTime t, char* buffer)
{
    const CalendarTime c = clock_to_calendar(t);
    char* p = PutDigits(buffer, c.day, 2);
    *p++ = '-';
    p = PutDigits(p, c.month, 2);
    *p++ = '-';
    *PutDigits(p, c.year + 2000u, 4) = '\0';
    return buffer;
}

uint32_t clock_seconds_of_day(ClockTime t)
{
    return t % kSecondsPerDay;
}

int clock_days_in_month(ClockTime t)
{
    const CalendarTime c = clock_to_calendar(t);
    return kMonthDays[IsLeapYear(c.year) ? 1 : 0][c.month - 1];
}

ClockTime clock_period_floor(ClockTime t, int period)
{
    switch (period) {
    case CLOCK_PERIOD_DAY:
        return MidnightOf(t);
    case CLOCK_PERIOD_WEEK:
        return t - t % kSecondsPerWeek;
    case CLOCK_PERIOD_MONTH:
        return MidnightOf(t) - (clock_to_calendar(t).day - 1u) * kSecondsPerDay;
    default:
        return t;
    }
}

// The clock's range ends in February 2136 and begins at the epoch: at either end the step stays
// on the period it started from instead of wrapping round the 32-bit count.
ClockTime clock_period_next(ClockTime t, int period)
{
    const ClockTime floor = clock_period_floor(t, period);
    uint64_t step = 0;
    switch (period) {
    case CLOCK_PERIOD_DAY:
        step = kSecondsPerDay;
        break;
    case CLOCK_PERIOD_WEEK:
        step = kSecondsPerWeek;
        break;
    case CLOCK_PERIOD_MONTH:
        step = static_cast<uint64_t>(clock_days_in_month(floor)) * kSecondsPerDay;
        break;
    default:
        return floor;
    }
    const uint64_t next = floor + step;
    return next > UINT32_MAX ? floor : static_cast<ClockTime>(next);
}

ClockTime clock_period_prev(ClockTime t, int period)
{
    const ClockTime floor = clock_period_floor(t, period);
    uint32_t step = 0;
    switch (period) {
    case CLOCK_PERIOD_DAY:
        step = kSecondsPerDay;
        break;
    case CLOCK_PERIOD_WEEK:
        step = kSecondsPerWeek;
        break;
    case CLOCK_PERIOD_MONTH:
        if (floor == 0)
            return 0;
        step = static_cast<uint32_t>(clock_days_in_month(floor - 1)) * kSecondsPerDay;
        break;
    default:
        return floor;
    }
    return floor < step ? floor : floor - step;
}
