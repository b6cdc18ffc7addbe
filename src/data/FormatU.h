#pragma once

#include "data/DateTimeU.h"

#include <array>
#include <string>

// The locale settings the texts depend on; the program fills them from the system locale.
struct TLocaleFacts {
    char DecimalSeparator = '.';
    char DateSeparator = '/';
    char TimeSeparator = ':';
    std::array<std::string, 7> ShortDayNames{"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    std::array<std::string, 7> LongDayNames{"Monday", "Tuesday",  "Wednesday", "Thursday",
                                            "Friday", "Saturday", "Sunday"};
    std::array<std::string, 12> ShortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<std::string, 12> LongMonthNames{"January",   "February", "March",    "April",
                                               "May",       "June",     "July",     "August",
                                               "September", "October",  "November", "December"};
    // Formats in the pattern language of FormatDateTimeText.
    std::string ShortDateFormat = "dd/mm/yyyy";
    std::string LongDateFormat = "dddd, d mmmm yyyy";
    std::string LongTimeFormat = "h:nn:ss";
};

// The shortest form of a number with up to 15 significant digits, with the locale's separator.
std::string FormatGeneral(double value, const TLocaleFacts& locale);

// Quarter-hour class of an offset: 0..6, 3 meaning whole hours, below 3 negative fractions.
int OffsetFraction(double hours);
// "+" or "-" and the fraction byte (0xBC, 0xBD, 0xBE) of a class; empty for whole hours.
std::string OffsetSign(int code);
std::string OffsetFractionChar(int code);
std::string OffsetMarks(int code);

// An hour folded to 1 .. 12.
int Hour12(int hour);

// Renders a date-time with a pattern: d dd ddd dddd, m mm mmm mmmm (minutes after an hour),
// yy yyyy, h hh, n nn, s ss, z zzz, am/pm a/p ampm, "/" and ":" as the locale's separators,
// text in quotes as it stands.
std::string FormatDateTimeText(const std::string& pattern, TDateTime dt,
                               const TLocaleFacts& locale);

// The centre date: "Mon 7 Dec 2026" for style 0, "Mon Dec 7 2026" for style 1, and the locale's
// long date for style 2.
std::string FormatCentreDate(TDateTime dt, int dateStyle, const TLocaleFacts& locale);
