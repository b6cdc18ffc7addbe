#pragma once

#include <cstdint>

// Date-times count days since 1899-12-30 00:00; the fraction is the time of day.
using TDateTime = double;

constexpr double HoursPerDay = 24.0;
constexpr double MinutesPerDay = 24.0 * 60.0;
constexpr double MSecsPerDay = 24.0 * 60.0 * 60.0 * 1000.0;
constexpr double OneHour = 1.0 / 24.0;

struct TDateParts {
    int Year = 0;
    int Month = 0;
    int Day = 0;
};

struct TTimeParts {
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int MSec = 0;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// Gregorian date to a day number; false (out untouched) when the date does not exist in 1..9999.
bool TryEncodeDate(int year, int month, int day, TDateTime& out);
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& out);
bool TryEncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec,
                       TDateTime& out);

// Joins a date and a time of day the way negative date-times read back (time counted backwards).
TDateTime ComposeDateTime(TDateTime date, TDateTime time);

// Splitting a date-time: false for values outside 0001-01-01 .. 9999-12-31 or not finite.
bool TryDecodeDate(TDateTime dt, TDateParts& out);
// The time of day, rounded to the millisecond; any value is accepted (non-finite gives 00:00).
TTimeParts DecodeTime(TDateTime dt);

// ISO weekday 1 = Monday .. 7 = Sunday; valid for any finite value in the date range.
int DayOfTheWeek(TDateTime dt);

// Before 1899-12-30 a date-time's fraction still counts forward from the start of its day
// (-1.25 is 1899-12-29 06:00), so such values cannot be compared or moved by plain arithmetic.
// These give the instant as a steady count of days since 1899-12-30 00:00 (-1.25 becomes -0.75)
// and back; from the epoch on both are the identity.
double DateTimeToDays(TDateTime dt);
TDateTime DaysToDateTime(double days);
// Moves a date-time by a span of days (an hour is 1/24) as an instant.
TDateTime IncDateTime(TDateTime dt, double days);

// Whole milliseconds of the instant since 1899-12-30 00:00, saturated for values beyond any
// calendar date; orders date-times on both sides of the epoch.
std::int64_t ToMilliseconds(TDateTime dt);

// The date-time of a UTC instant given in milliseconds since 1970-01-01.
TDateTime FromUnixMilliseconds(std::int64_t ms);
