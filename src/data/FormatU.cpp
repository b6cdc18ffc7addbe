#include "data/FormatU.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

std::string FormatGeneral(double value, const TLocaleFacts& locale) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    if (value == 0)
        return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", value); // 15 significant digits
    // Split into sign, digits and exponent.
    std::string s(buf);
    const bool negative = s[0] == '-';
    if (negative)
        s.erase(0, 1);
    const std::size_t ePos = s.find('e');
    int exponent = std::atoi(s.c_str() + ePos + 1);
    std::string digits;
    for (std::size_t i = 0; i < ePos; ++i)
        if (std::isdigit(static_cast<unsigned char>(s[i])))
            digits += s[i];
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    std::string out = negative ? "-" : "";
    if (exponent >= 15 || exponent < -5) {
        out += digits[0];
        if (digits.size() > 1) {
            out += locale.DecimalSeparator;
            out += digits.substr(1);
        }
        out += 'E';
        if (exponent < 0)
            out += '-';
        out += std::to_string(std::abs(exponent));
        return out;
    }
    if (exponent < 0) {
        out += '0';
        out += locale.DecimalSeparator;
        out += std::string(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
        return out;
    }
    const std::size_t intDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= intDigits) {
        out += digits + std::string(intDigits - digits.size(), '0');
    } else {
        out += digits.substr(0, intDigits);
        out += locale.DecimalSeparator;
        out += digits.substr(intDigits);
    }
    return out;
}

int OffsetFraction(double hours) {
    const double hundredths = std::trunc(hours * 100.0);
    if (!std::isfinite(hundredths))
        return 3;
    const double q = std::trunc(hundredths / 25.0);
    const double r = std::fmod(q, 4.0); // keeps the sign of q
    return static_cast<int>(r) + 3;
}

std::string OffsetSign(int code) {
    if (code < 3)
        return "-";
    if (code > 3)
        return "+";
    return "";
}

std::string OffsetFractionChar(int code) {
    switch (code) {
    case 0:
    case 6:
        return "\xBE";
    case 1:
    case 5:
        return "\xBD";
    case 2:
    case 4:
        return "\xBC";
    default:
        return "";
    }
}

std::string OffsetMarks(int code) {
    return OffsetSign(code) + OffsetFractionChar(code);
}

int Hour12(int hour) {
    const int h = hour % 12;
    return h == 0 ? 12 : h;
}

namespace {

std::string Two(int v) {
    char b[16];
    std::snprintf(b, sizeof b, "%02d", v);
    return b;
}

bool StartsWithNoCase(const std::string& s, std::size_t i, const char* word) {
    for (std::size_t k = 0; word[k]; ++k) {
        if (i + k >= s.size() || std::tolower(static_cast<unsigned char>(s[i + k])) !=
                                     static_cast<unsigned char>(word[k]))
            return false;
    }
    return true;
}

// Whether the pattern writes an am/pm marker, which puts the hours on the 12-hour clock.
bool HasAmPm(const std::string& p) {
    for (std::size_t i = 0; i < p.size(); ++i)
        if (StartsWithNoCase(p, i, "am/pm") || StartsWithNoCase(p, i, "a/p") ||
            StartsWithNoCase(p, i, "ampm"))
            return true;
    return false;
}

} // namespace

std::string FormatDateTimeText(const std::string& pattern, TDateTime dt,
                               const TLocaleFacts& locale) {
    TDateParts d;
    const bool dateOk = TryDecodeDate(dt, d);
    const TTimeParts t = DecodeTime(dt);
    const int weekday = DayOfTheWeek(dt);
    const bool twelve = HasAmPm(pattern);
    std::string out;
    bool lastWasHour = false;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        const char lc = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::size_t run = 1;
        while (i + run < pattern.size() &&
               std::tolower(static_cast<unsigned char>(pattern[i + run])) == lc)
            ++run;
        if (c == '"' || c == '\'') {
            const std::size_t close = pattern.find(c, i + 1);
            const std::size_t stop = close == std::string::npos ? pattern.size() : close;
            out += pattern.substr(i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        if (lc == 'a' &&
            (StartsWithNoCase(pattern, i, "am/pm") || StartsWithNoCase(pattern, i, "a/p") ||
             StartsWithNoCase(pattern, i, "ampm"))) {
            const bool pm = t.Hour >= 12;
            if (StartsWithNoCase(pattern, i, "am/pm")) {
                out += pm ? "pm" : "am";
                i += 5;
            } else if (StartsWithNoCase(pattern, i, "a/p")) {
                out += pm ? "p" : "a";
                i += 3;
            } else {
                out += pm ? "PM" : "AM";
                i += 4;
            }
            continue;
        }
        switch (lc) {
        case 'd':
            if (run == 1)
                out += dateOk ? std::to_string(d.Day) : "";
            else if (run == 2)
                out += dateOk ? Two(d.Day) : "";
            else if (run == 3)
                out += locale.ShortDayNames[static_cast<std::size_t>(weekday - 1)];
            else
                out += locale.LongDayNames[static_cast<std::size_t>(weekday - 1)];
            i += run;
            lastWasHour = false;
            continue;
        case 'm':
            if (lastWasHour && run <= 2) {
                out += run == 1 ? std::to_string(t.Minute) : Two(t.Minute);
            } else if (dateOk) {
                if (run == 1)
                    out += std::to_string(d.Month);
                else if (run == 2)
                    out += Two(d.Month);
                else if (run == 3)
                    out += locale.ShortMonthNames[static_cast<std::size_t>(d.Month - 1)];
                else
                    out += locale.LongMonthNames[static_cast<std::size_t>(d.Month - 1)];
            }
            i += run;
            lastWasHour = false;
            continue;
        case 'y':
            if (dateOk)
                out += run <= 2 ? Two(d.Year % 100) : std::to_string(d.Year);
            i += run;
            continue;
        case 'h': {
            int h = t.Hour;
            if (twelve)
                h = Hour12(h);
            out += run == 1 ? std::to_string(h) : Two(h);
            i += run;
            lastWasHour = true;
            continue;
        }
        case 'n':
            out += run == 1 ? std::to_string(t.Minute) : Two(t.Minute);
            i += run;
            lastWasHour = false;
            continue;
        case 's':
            out += run == 1 ? std::to_string(t.Second) : Two(t.Second);
            i += run;
            lastWasHour = false;
            continue;
        case 'z': {
            char b[8];
            std::snprintf(b, sizeof b, run >= 3 ? "%03d" : "%d", t.MSec);
            out += b;
            i += run;
            continue;
        }
        case '/':
            out += locale.DateSeparator;
            ++i;
            continue;
        case ':':
            out += locale.TimeSeparator;
            ++i;
            continue;
        default:
            out += c;
            ++i;
            continue;
        }
    }
    return out;
}

std::string FormatCentreDate(TDateTime dt, int dateStyle, const TLocaleFacts& locale) {
    static const char* const Days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char* const Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    TDateParts d;
    if (!TryDecodeDate(dt, d))
        return "";
    const std::string day = Days[DayOfTheWeek(dt) - 1];
    const std::string month = Months[d.Month - 1];
    switch (dateStyle) {
    case 0:
        return day + " " + std::to_string(d.Day) + " " + month + " " + std::to_string(d.Year);
    case 1:
        return day + " " + month + " " + std::to_string(d.Day) + " " + std::to_string(d.Year);
    default:
        return FormatDateTimeText(locale.LongDateFormat, dt, locale);
    }
}
