#pragma once

#include "data/DateTimeU.h"

#include <array>
#include <cstdint>

// A daylight-saving rule: the 20-byte record stored in the city-list file.
struct TSummerTimeRule {
    static constexpr std::size_t StoredSize = 20;

    std::uint8_t Kind = 2; // 0 = fixed date, 1 = weekday of a month, 2 = none
    std::uint16_t FixedDay = 0;
    std::uint16_t FixedMonth = 0;
    std::uint8_t WeekOrdinal = 0; // 0 First, 1 Second, 2 Third, 3 Last (the fourth week)
    std::uint16_t WeekDay = 0;    // 1 = Monday .. 7 = Sunday
    std::uint16_t AfterDay = 0;   // 0 = count weeks; else count weekdays after this day
    std::uint16_t RuleMonth = 0;
    double ChangeTime = 0.0; // fraction of a day

    bool operator==(const TSummerTimeRule&) const = default;

    // Field by field, little-endian, whatever the compiler's layout.
    void ToBytes(std::uint8_t* out) const;
    static TSummerTimeRule FromBytes(const std::uint8_t* in);
};

enum : std::uint8_t { RuleKindFixed = 0, RuleKindWeekday = 1, RuleKindNone = 2 };

// Each writes its result into out only on success (WeekdayRuleDate has one exception, see there).
bool FixedRuleDate(int year, const TSummerTimeRule& rule, TDateTime& out);
bool NthWeekdayOfMonth(int year, int month, int n, int weekDay, TDateTime& out);
// With AfterDay naming a day that does not exist, the forward count still runs from what out
// held and leaves out on the counted day while answering false; stored rules rely on it.
bool WeekdayRuleDate(int year, const TSummerTimeRule& rule, TDateTime& out);

// Whether daylight saving is in force at a local standard time; Start's kind rules both dates.
bool IsInDST(const TSummerTimeRule& start, const TSummerTimeRule& end, TDateTime localStandard);

// A place's local time from UTC with its exact offset, or with the offset cut to whole hours.
TDateTime PlaceLocalTime(double utcOffset, const TSummerTimeRule& start, const TSummerTimeRule& end,
                         TDateTime utcNow);
TDateTime PlaceLocalTimeWholeHours(double utcOffset, const TSummerTimeRule& start,
                                   const TSummerTimeRule& end, TDateTime utcNow);
// Whether the exact local time of a place is on daylight saving.
bool PlaceInDST(double utcOffset, const TSummerTimeRule& start, const TSummerTimeRule& end,
                TDateTime utcNow);
