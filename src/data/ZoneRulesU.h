#pragma once

#include "data/FormatU.h"
#include "data/SummerTimeU.h"
#include "data/TimeZoneFileU.h"

#include <cstdint>
#include <string>
#include <string_view>

// A zone of the system's database turned into what a country or state holds: one UTC offset
// and a DSTStart/DSTEnd pair that is right in every year, not only in the one the rule editor
// previews.
//
// The rules hold at most one yearly saving of exactly one hour. Weekday rules are written as
// "First <weekday> after <day>", counted forward from a day of the month: the other ordinals
// count weeks ISO-style and "Last" means the fourth week, which is not the month's last weekday
// in every year. The start time is read on the standard clock, the end time on the daylight
// clock.

// One date rule of a POSIX TZ string.
struct TPosixRule {
    char Form = 'M'; // 'M' month.week.weekday, 'J' day 1..365 (no leap day), 'N' day 0..365
    int Month = 0;   // M: 1..12
    int Week = 0;    // M: 1..5, 5 being the month's last such weekday
    int WeekDay = 0; // M: 0 = Sunday .. 6 = Saturday
    int Day = 0;     // J and N
    std::int32_t Time = 7200; // seconds after midnight of the local clock before the change

    bool operator==(const TPosixRule&) const = default;
};

// A parsed POSIX TZ string such as "CET-1CEST,M3.5.0,M10.5.0/3"; offsets in seconds east of UTC.
struct TPosixTZ {
    std::int32_t StdOffset = 0;
    bool HasDst = false;
    std::int32_t DstOffset = 0;
    TPosixRule Start, End;
};

// False with a reason when the text is no TZ string or names daylight time without its dates.
bool ParsePosixTZ(std::string_view text, TPosixTZ& out, std::string& why);

// The outcome of turning a zone into the program's rules.
struct TZoneDerivation {
    bool Ok = false;
    // Hours east of UTC of the standard clock; when not Ok, the zone's standard offset as far as
    // it is known (0 when the zone could not be read).
    double UTCOffset = 0;
    // Both "none" (Kind 2, every field 0) for a zone without daylight saving; not Ok leaves
    // both none as well.
    TSummerTimeRule DSTStart, DSTEnd;
    // Why the zone cannot be used, in words ("daylight saving of 30 minutes"); empty when Ok.
    std::string Reason;
};

// From a TZ string alone.
TZoneDerivation DerivePosixTZ(std::string_view tz);

// From a read zone file: its TZ string, and its listed transitions from fromUtc (seconds since
// 1970 UTC) on. A zone whose TZ string keeps no saving while its list still moves the clock
// after fromUtc changes on dates no yearly rule gives (a pause for Ramadan) and is refused.
// Callers pass the present; the table check passes the first instant the tables are checked for.
TZoneDerivation DeriveZoneFile(const TZoneFile& file, std::int64_t fromUtc);

// A zone by name from the system's database (ZoneInfoDir()), as above; a zone that cannot be
// read is refused with the reader's reason.
TZoneDerivation DeriveZone(const std::string& name, std::int64_t fromUtc);

// A rule as the daylight-saving panel shows it: "First Sunday after 24 March 02:00",
// "21 March 00:00" for a fixed date, "none" for no rule.
std::string RuleWords(const TSummerTimeRule& rule);

// The preview of a zone in the panel's words: "UTC +1; daylight saving from First Sunday after
// 24 March 02:00 to First Sunday after 24 October 03:00", "UTC +5.75; no daylight saving", or
// "Cannot be used: " and the reason. The offset uses the locale's decimal separator.
std::string DescribeZone(const TZoneDerivation& zone, const TLocaleFacts& locale = {});
