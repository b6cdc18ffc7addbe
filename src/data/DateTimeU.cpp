#include "data/DateTimeU.h"

#include <cmath>
#include <limits>

namespace {

// Day number of 0001-01-01 is 1 in this count; the date-time epoch 1899-12-30 is 693594.
constexpr std::int64_t DateDelta = 693594;
constexpr double MinDate = -693593.0; // 0001-01-01
constexpr double MaxDate = 2958466.0; // 10000-01-01, exclusive

std::int64_t DaysBeforeYear(std::int64_t y) {
    const std::int64_t p = y - 1;
    return p * 365 + p / 4 - p / 100 + p / 400;
}

const int MonthDays[2][13] = {{0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                              {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

} // namespace

bool IsLeapYear(int year) {
    return (year % 4 == 0) && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
    if (month < 1 || month > 12)
        return 0;
    return MonthDays[IsLeapYear(year) ? 1 : 0][month];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& out) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month))
        return false;
    std::int64_t n = DaysBeforeYear(year);
    const int leap = IsLeapYear(year) ? 1 : 0;
    for (int m = 1; m < month; ++m)
        n += MonthDays[leap][m];
    n += day;
    out = static_cast<double>(n - DateDelta);
    return true;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& out) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        msec < 0 || msec > 999)
        return false;
    const double ms = ((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + msec;
    out = ms / MSecsPerDay;
    return true;
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time) {
    return date >= 0 ? date + time : date - time;
}

bool TryEncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec,
                       TDateTime& out) {
    TDateTime d = 0, t = 0;
    if (!TryEncodeDate(year, month, day, d) || !TryEncodeTime(hour, minute, second, msec, t))
        return false;
    out = ComposeDateTime(d, t);
    return true;
}

bool TryDecodeDate(TDateTime dt, TDateParts& out) {
    if (!std::isfinite(dt) || dt <= MinDate - 1.0 || dt >= MaxDate)
        return false;
    std::int64_t n = static_cast<std::int64_t>(std::trunc(dt)) + DateDelta; // 1 = 0001-01-01
    if (n < 1)
        return false;
    // Civil-from-days on the proleptic Gregorian calendar, counted from 0001-01-01.
    std::int64_t d = n - 1;
    const std::int64_t y400 = d / 146097;
    d %= 146097;
    std::int64_t y100 = d / 36524;
    if (y100 == 4)
        y100 = 3;
    d -= y100 * 36524;
    const std::int64_t y4 = d / 1461;
    d %= 1461;
    std::int64_t y1 = d / 365;
    if (y1 == 4)
        y1 = 3;
    d -= y1 * 365;
    const int year = static_cast<int>(y400 * 400 + y100 * 100 + y4 * 4 + y1 + 1);
    const int leap = IsLeapYear(year) ? 1 : 0;
    int month = 1;
    while (d >= MonthDays[leap][month]) {
        d -= MonthDays[leap][month];
        ++month;
    }
    out.Year = year;
    out.Month = month;
    out.Day = static_cast<int>(d) + 1;
    return true;
}

TTimeParts DecodeTime(TDateTime dt) {
    TTimeParts t;
    if (!std::isfinite(dt))
        return t;
    const double frac = std::fabs(dt - std::trunc(dt));
    std::int64_t ms = static_cast<std::int64_t>(std::llround(frac * MSecsPerDay));
    if (ms >= 86400000)
        ms = 86400000 - 1; // a fraction a hair below 1 stays on its own day
    t.Hour = static_cast<int>(ms / 3600000);
    t.Minute = static_cast<int>(ms / 60000 % 60);
    t.Second = static_cast<int>(ms / 1000 % 60);
    t.MSec = static_cast<int>(ms % 1000);
    return t;
}

int DayOfTheWeek(TDateTime dt) {
    if (!std::isfinite(dt) || std::fabs(dt) > 1e15)
        return 1;
    const std::int64_t n = static_cast<std::int64_t>(std::trunc(dt)) + DateDelta;
    std::int64_t r = (n - 1) % 7;
    if (r < 0)
        r += 7;
    return static_cast<int>(r) + 1;
}

double DateTimeToDays(TDateTime dt) {
    if (!(dt < 0) || !std::isfinite(dt))
        return dt;
    const double day = std::trunc(dt);
    return day + (day - dt);
}

TDateTime DaysToDateTime(double days) {
    if (!(days < 0) || !std::isfinite(days))
        return days;
    const double day = std::floor(days);
    return day - (days - day);
}

TDateTime IncDateTime(TDateTime dt, double days) {
    const TDateTime plain = dt + days;
    if (dt >= 0 && plain >= 0)
        return plain;
    return DaysToDateTime(DateTimeToDays(dt) + days);
}

std::int64_t ToMilliseconds(TDateTime dt) {
    // Far beyond any calendar date; keeps the conversion defined for every double.
    constexpr double Limit = 1e9;
    if (std::isnan(dt))
        return std::numeric_limits<std::int64_t>::min();
    if (dt > Limit)
        return static_cast<std::int64_t>(Limit * MSecsPerDay);
    if (dt < -Limit)
        return -static_cast<std::int64_t>(Limit * MSecsPerDay);
    return std::llround(DateTimeToDays(dt) * MSecsPerDay);
}

TDateTime FromUnixMilliseconds(std::int64_t ms) {
    constexpr double UnixEpoch = 25569.0; // 1970-01-01
    const std::int64_t days = ms >= 0 ? ms / 86400000 : -((-ms + 86400000 - 1) / 86400000);
    const std::int64_t rest = ms - days * 86400000;
    const double day = UnixEpoch + static_cast<double>(days);
    if (day >= 0)
        return day + static_cast<double>(rest) / MSecsPerDay;
    return ComposeDateTime(day, static_cast<double>(rest) / MSecsPerDay);
}
