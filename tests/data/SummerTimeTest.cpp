#include "data/CountryU.h"
#include "data/FormatU.h"
#include "data/StateU.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <tuple>

namespace {

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    TDateTime t = 0;
    EXPECT_TRUE(TryEncodeDateTime(y, mo, d, h, mi, s, 0, t));
    return t;
}

std::string Text(TDateTime t) {
    return FormatDateTimeText("yyyy-mm-dd hh:nn:ss", t, TLocaleFacts{});
}

TSummerTimeRule Weekday(std::uint8_t ordinal, std::uint16_t weekDay, std::uint16_t month,
                        double hours, std::uint16_t afterDay = 0) {
    return {RuleKindWeekday, 0, 0, ordinal, weekDay, afterDay, month, hours / 24};
}

TSummerTimeRule Fixed(std::uint16_t day, std::uint16_t month, double hours) {
    return {RuleKindFixed, day, month, 0, 0, 0, 0, hours / 24};
}

TSummerTimeRule WithKind(TSummerTimeRule r, std::uint8_t kind) {
    r.Kind = kind;
    return r;
}

// The rule's date in a year, "none" when it has none.
std::string RuleDate(const TSummerTimeRule& r, int year) {
    TDateTime out = 0;
    const bool ok = r.Kind ? WeekdayRuleDate(year, r, out) : FixedRuleDate(year, r, out);
    return ok ? Text(out) : "none";
}

// Last Sunday of March 02:00 to last Sunday of October 03:00; and a southern pair, first Sunday
// of October 02:00 to first Sunday of April 03:00.
const TSummerTimeRule NorthStart = Weekday(3, 7, 3, 2), NorthEnd = Weekday(3, 7, 10, 3);
const TSummerTimeRule SouthStart = Weekday(0, 7, 10, 2), SouthEnd = Weekday(0, 7, 4, 3);

} // namespace

TEST(RuleDates, WeekdayFixedAndAfterDayRules) {
    const struct {
        TSummerTimeRule Rule;
        int Year;
        const char* Date;
    } cases[] = {
        {NorthStart, 2026, "2026-03-29 02:00:00"}, // March 2026 begins on a Sunday
        {Weekday(1, 7, 3, 2), 2026, "2026-03-15 02:00:00"},
        {Weekday(0, 7, 11, 1.5), 2026, "2026-11-08 01:30:00"},
        {NorthEnd, 2026, "2026-10-25 03:00:00"},
        {NorthEnd, 2027, "2027-10-31 03:00:00"},
        {Weekday(3, 1, 6, 0), 2026, "2026-06-22 00:00:00"}, // "Last" is the 4th of five Mondays
        {Weekday(4, 7, 3, 2), 2026, "2026-04-05 02:00:00"}, // a fifth week may leave the month
        {Weekday(5, 7, 3, 2), 2026, "none"},
        {Weekday(0, 7, 3, 2, 7), 2026, "2026-03-08 02:00:00"},
        {Weekday(0, 7, 3, 2, 8), 2026, "2026-03-15 02:00:00"}, // the 8th itself does not count
        {Weekday(1, 6, 3, 1, 7), 2026, "2026-03-21 01:00:00"},
        {Weekday(0, 9, 3, 2, 7), 2026, "2026-03-08 02:00:00"}, // weekdays beyond 6: Sunday
        {Fixed(1, 4, 2.5), 2026, "2026-04-01 02:30:00"},
        {Fixed(1, 4, 2 + 50.0 / 3600), 2026, "2026-04-01 02:00:00"}, // seconds are dropped
        {Fixed(29, 2, 2), 2028, "2028-02-29 02:00:00"},
        {Fixed(29, 2, 2), 2027, "none"},
        {Fixed(31, 4, 2), 2026, "none"},
        {Fixed(1, 13, 2), 2026, "none"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.Date, RuleDate(c.Rule, c.Year)) << c.Date;

    TDateTime out = 0;
    ASSERT_TRUE(NthWeekdayOfMonth(2026, 1, 1, 1, out)); // January 2026 begins on a Thursday
    EXPECT_EQ("2025-12-29 00:00:00", Text(out));
    ASSERT_TRUE(NthWeekdayOfMonth(2026, 5, 1, 5, out)); // May 2026 begins on a Friday
    EXPECT_EQ("2026-05-08 00:00:00", Text(out));
    for (const auto& b :
         {std::array{2026, 5, 0, 5}, {2026, 5, 1, 8}, {2026, 13, 1, 5}, {0, 5, 1, 5}}) {
        out = 42;
        EXPECT_FALSE(NthWeekdayOfMonth(b[0], b[1], b[2], b[3], out));
        EXPECT_EQ(42, out) << "failures leave the output alone";
    }
    out = 42;
    EXPECT_FALSE(FixedRuleDate(2027, Fixed(29, 2, 2), out));
    EXPECT_EQ(42, out);

    // 30 February does not exist: the count runs on from the zero date-time (a Saturday), no
    // time of day is applied, and the answer is false.
    out = 0;
    EXPECT_FALSE(WeekdayRuleDate(2026, Weekday(0, 7, 2, 2, 30), out));
    EXPECT_EQ(1.0, out);
    out = 0;
    EXPECT_FALSE(WeekdayRuleDate(2026, Weekday(1, 7, 2, 2, 30), out));
    EXPECT_EQ(8.0, out);
}

TEST(IsInDST, NorthernSouthernAndNoSaving) {
    // The end moves an hour earlier: 03:00 on the daylight clock is 02:00 standard.
    const struct {
        TSummerTimeRule Start, End;
        TDateTime When;
        bool In;
    } cases[] = {
        {NorthStart, NorthEnd, At(2026, 3, 29, 1, 59, 59), false},
        {NorthStart, NorthEnd, At(2026, 3, 29, 2), true},
        {NorthStart, NorthEnd, At(2026, 10, 25, 1, 59, 59), true},
        {NorthStart, NorthEnd, At(2026, 10, 25, 2), false},
        {NorthStart, NorthEnd, At(1, 7, 1), true}, // the ends of the year range
        {NorthStart, NorthEnd, At(9999, 7, 1), true},
        {SouthStart, SouthEnd, At(2026, 1, 15), true},
        {SouthStart, SouthEnd, At(2026, 12, 28), true},
        {SouthStart, SouthEnd, At(2026, 6, 15), false},
        {SouthStart, SouthEnd, At(2026, 4, 5, 1, 59), true},
        {SouthStart, SouthEnd, At(2026, 4, 5, 2), false},
        {SouthStart, SouthEnd, At(2026, 10, 4, 2), true},
        // The start rule's kind decides how both rules are read.
        {NorthStart, WithKind(NorthEnd, RuleKindFixed), At(2026, 7, 1), true},
        {Fixed(1, 4, 2), WithKind(Fixed(1, 10, 3), RuleKindWeekday), At(2026, 7, 1), true},
        // A start on 29 February stays at the zero date-time in other years.
        {Fixed(29, 2, 2), Fixed(1, 10, 3), At(2027, 1, 10), true},
        {Fixed(29, 2, 2), Fixed(1, 10, 3), At(2028, 1, 10), false},
        {Fixed(29, 2, 2), Fixed(1, 10, 3), At(2028, 3, 1), true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.In, IsInDST(c.Start, c.End, c.When)) << Text(c.When);

    const TSummerTimeRule none = WithKind(NorthStart, RuleKindNone), zero{.Kind = RuleKindWeekday};
    for (int month = 1; month <= 12; ++month) {
        EXPECT_FALSE(IsInDST(none, NorthEnd, At(2026, month, 15))) << month;
        EXPECT_FALSE(IsInDST(zero, zero, At(2026, month, 1))) << month;
    }
}

TEST(LocalTime, WorkedExamplesAndWholeHours) {
    TCountry c;
    c.UTCOffset = 1;
    c.DSTStart = NorthStart;
    c.DSTEnd = NorthEnd;
    EXPECT_EQ("2026-03-29 01:59:00", Text(c.LocalTime(At(2026, 3, 29, 0, 59))));
    EXPECT_EQ("2026-03-29 03:00:00", Text(c.LocalTime(At(2026, 3, 29, 1))));
    EXPECT_EQ("2026-10-25 02:59:00", Text(c.LocalTime(At(2026, 10, 25, 0, 59))));
    EXPECT_EQ("2026-10-25 02:00:00", Text(c.LocalTime(At(2026, 10, 25, 1))));
    c.DSTStart.Kind = RuleKindNone;
    EXPECT_EQ("2026-07-01 13:00:00", Text(c.LocalTime(At(2026, 7, 1, 12))));

    // The in-force test runs on the value shown: 02:10 exact is daylight, 01:40 is not yet.
    c.DSTStart = NorthStart;
    c.UTCOffset = 1.5;
    EXPECT_EQ("2026-03-29 03:10:00", Text(c.LocalTime(At(2026, 3, 29, 0, 40))));
    EXPECT_EQ("2026-03-29 01:40:00", Text(c.LocalTimeWholeHours(At(2026, 3, 29, 0, 40))));

    for (auto [offset, exact, whole] :
         {std::tuple{-3.5, "08:30:00", "09:00:00"}, {5.75, "17:45:00", "17:00:00"}}) {
        TState s;
        s.UTCOffset = offset;
        EXPECT_EQ(std::string("2026-06-01 ") + exact, Text(s.LocalTime(At(2026, 6, 1, 12))));
        EXPECT_EQ(std::string("2026-06-01 ") + whole,
                  Text(s.LocalTimeWholeHours(At(2026, 6, 1, 12))));
    }
}

TEST(LocalTime, BeforeTheEpochTheFractionIsTheTimeOfThatDay) {
    // -1.25 is 1899-12-29 06:00; moved as an instant it stays on the right day and hour.
    EXPECT_EQ("1899-12-29 06:00:00", Text(-1.25));
    EXPECT_DOUBLE_EQ(-0.75, DateTimeToDays(-1.25));
    EXPECT_DOUBLE_EQ(-1.25, DaysToDateTime(-0.75));
    EXPECT_EQ("1899-12-29 23:00:00", Text(IncDateTime(At(1899, 12, 30, 1), -2.0 / 24)));
    EXPECT_EQ("1899-12-30 01:00:00", Text(IncDateTime(At(1899, 12, 29, 23), 2.0 / 24)));
    EXPECT_EQ("1899-12-28 18:00:00", Text(IncDateTime(At(1899, 12, 29, 6), -0.5)));
    EXPECT_LT(ToMilliseconds(At(1899, 12, 29, 6)), ToMilliseconds(At(1899, 12, 29, 18)));
    EXPECT_EQ(ToMilliseconds(At(1899, 12, 29, 23)) + 3600000, ToMilliseconds(0.0));

    TCountry c;
    c.UTCOffset = -5;
    const TDateTime local = c.LocalTime(At(1850, 6, 1, 12));
    EXPECT_EQ("1850-06-01 07:00:00", Text(local));
    EXPECT_EQ(6, DayOfTheWeek(local)) << "a Saturday";
    c.UTCOffset = 5.75;
    EXPECT_EQ("1850-06-01 17:45:00", Text(c.LocalTime(At(1850, 6, 1, 12))));
    EXPECT_EQ("1850-06-01 17:00:00", Text(c.LocalTimeWholeHours(At(1850, 6, 1, 12))));

    // Daylight saving in 1850 switches at the same local hours as in 2026.
    c.UTCOffset = 1;
    c.DSTStart = NorthStart;
    c.DSTEnd = NorthEnd;
    TDateTime start = 0;
    ASSERT_TRUE(WeekdayRuleDate(1850, NorthStart, start));
    EXPECT_EQ("1850-03-31 02:00:00", Text(start));
    EXPECT_EQ("1850-03-31 01:59:00", Text(c.LocalTime(At(1850, 3, 31, 0, 59))));
    EXPECT_EQ("1850-03-31 03:00:00", Text(c.LocalTime(At(1850, 3, 31, 1))));
    EXPECT_EQ("1850-07-01 14:00:00", Text(c.LocalTime(At(1850, 7, 1, 12))));
    EXPECT_EQ("1850-10-27 02:59:00", Text(c.LocalTime(At(1850, 10, 27, 0, 59))));
    EXPECT_EQ("1850-10-27 02:00:00", Text(c.LocalTime(At(1850, 10, 27, 1))));

    // The clock's conversion from the system's milliseconds follows the same rule.
    EXPECT_EQ("1850-06-01 12:00:00", Text(FromUnixMilliseconds(-3773736000000)));
    EXPECT_EQ("1899-12-29 23:59:59", Text(FromUnixMilliseconds(-2209161601000)));
    EXPECT_EQ("1899-12-30 00:00:00", Text(FromUnixMilliseconds(-2209161600000)));
}

TEST(SummerTimeRule, TwentyByteLittleEndianRecord) {
    // Field by field at its offset; a rule without saving keeps its unused fields.
    const TSummerTimeRule r{2, 0x0201, 0x0403, 0x05, 0x0706, 0x0908, 0x0B0A, 1.5};
    std::uint8_t b[TSummerTimeRule::StoredSize];
    r.ToBytes(b);
    const std::uint8_t expected[20] = {2,  1,  2, 3, 4, 5, 6, 7, 8,    9,
                                       10, 11, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F};
    EXPECT_EQ(0, std::memcmp(b, expected, 20));
    EXPECT_EQ(r, TSummerTimeRule::FromBytes(b));
    TSummerTimeRule().ToBytes(b);
    EXPECT_EQ(2, b[0]) << "a fresh rule has no saving, all else zero";
    EXPECT_EQ(std::vector<std::uint8_t>(19, 0), std::vector<std::uint8_t>(b + 1, b + 20));
}

TEST(IsInDST, OddRulesAndTimesStayHarmless) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<TSummerTimeRule> rules = {NorthStart, Fixed(65535, 65535, -7),
                                          Weekday(255, 7, 3, 2, 1), Weekday(255, 7, 3, 2),
                                          Weekday(2, 7, 0, 2, 31)};
    for (double t : {nan, inf, -inf, -1e300, 1e300}) {
        rules.push_back(Weekday(3, 7, 3, t));
        rules.push_back(Fixed(1, 4, t));
    }
    for (std::uint16_t wd : {0, 9, 65535})
        rules.push_back(Weekday(255, wd, 13, 2, 65535));
    const TDateTime times[] = {At(1, 1, 1), At(9999, 12, 31, 23, 59), 0, -1e6, 3e6, nan, inf, -inf};
    // Neither crash nor hang; outside the calendar nothing is in force.
    for (int kind : {0, 1, 2, 7})
        for (auto start : rules)
            for (const auto& end : rules)
                for (TDateTime x : times) {
                    start.Kind = static_cast<std::uint8_t>(kind);
                    const bool in = IsInDST(start, end, x);
                    PlaceLocalTimeWholeHours(-3.5, start, end, x);
                    EXPECT_FALSE(in && (std::isnan(x) || x < -693594 || x > 2958466));
                }
}
