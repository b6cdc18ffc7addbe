#include "TestWorld.h"
#include "data/ClockChangesU.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TDateTime Utc(int y, int mo, int d, int h = 0, int mi = 0) {
    TDateTime dt = 0;
    EXPECT_TRUE(TryEncodeDateTime(y, mo, d, h, mi, 0, 0, dt));
    return dt;
}

std::string Iso(TDateTime dt) {
    TDateParts p;
    if (!TryDecodeDate(std::floor(dt + 0.5 / MSecsPerDay), p))
        return "?";
    const TTimeParts t = DecodeTime(dt);
    char b[40];
    std::snprintf(b, sizeof b, "%04d-%02d-%02d %02d:%02d", p.Year, p.Month, p.Day, t.Hour,
                  t.Minute);
    return b;
}

struct TRules {
    const char* Name;
    double Offset;
    TSummerTimeRule Start, End;
};

TSummerTimeRule Fixed(int day, int month, int hour) {
    TSummerTimeRule r;
    r.Kind = RuleKindFixed;
    r.FixedDay = static_cast<std::uint16_t>(day);
    r.FixedMonth = static_cast<std::uint16_t>(month);
    r.ChangeTime = hour / 24.0;
    return r;
}

// The places the clock meets: both hemispheres, "after day" and last-week rules, fixed dates,
// quarter-hour offsets, and places without daylight saving in both stored forms.
std::vector<TRules> Places() {
    TSummerTimeRule editorNone;
    editorNone.Kind = RuleKindWeekday;
    return {
        {"Berlin", 1, WeekRule(3, 7, 0, 3, 2), WeekRule(3, 7, 0, 10, 3)},
        {"London", 0, WeekRule(0, 7, 24, 3, 1), WeekRule(0, 7, 24, 10, 2)},
        {"New York", -5, WeekRule(1, 7, 0, 3, 2), WeekRule(0, 7, 0, 11, 2)},
        {"St. John's", -3.5, WeekRule(1, 7, 0, 3, 2), WeekRule(0, 7, 0, 11, 2)},
        {"Sydney", 10, WeekRule(0, 7, 0, 10, 2), WeekRule(0, 7, 0, 4, 3)},
        {"Santiago", -4, WeekRule(0, 7, 1, 9, 0), WeekRule(0, 7, 1, 4, 0)},
        {"Chatham", 12.75, WeekRule(3, 7, 0, 9, 2), WeekRule(0, 7, 0, 4, 3)},
        {"Tehran", 3.5, Fixed(22, 3, 0), Fixed(22, 9, 0)},
        {"Kathmandu", 5.75, TSummerTimeRule{}, TSummerTimeRule{}},
        {"Delhi", 5.5, editorNone, editorNone},
    };
}

// The offset the clock shows at an instant, read off its own local time.
double ShownOffset(const TRules& p, std::int64_t ms) {
    const TDateTime utc = DaysToDateTime(static_cast<double>(ms) / MSecsPerDay);
    const TDateTime local = PlaceLocalTime(p.Offset, p.Start, p.End, utc);
    return std::round((DateTimeToDays(local) - DateTimeToDays(utc)) * 96.0) / 4.0;
}

} // namespace

TEST(ClockChanges, AgreeWithTheLocalTimeHourByHourOverTenYears) {
    const TDateTime from = Utc(2025, 1, 1), to = Utc(2035, 1, 1);
    const auto fromMs = ToMilliseconds(from), toMs = ToMilliseconds(to);
    constexpr std::int64_t Hour = 3600000;
    for (const TRules& p : Places()) {
        // The reference: step through every hour and pin each jump down to the millisecond.
        std::vector<std::int64_t> expected;
        for (std::int64_t m = fromMs; m < toMs; m += Hour) {
            if (ShownOffset(p, m) == ShownOffset(p, std::min(m + Hour, toMs - 1)))
                continue;
            std::int64_t lo = m, hi = std::min(m + Hour, toMs - 1);
            while (hi - lo > 1) {
                const std::int64_t mid = lo + (hi - lo) / 2;
                (ShownOffset(p, mid) == ShownOffset(p, lo) ? lo : hi) = mid;
            }
            expected.push_back(hi);
        }
        const auto changes = PlaceClockChanges(p.Offset, p.Start, p.End, from, to);
        ASSERT_EQ(changes.size(), expected.size()) << p.Name;
        for (std::size_t i = 0; i < changes.size(); ++i) {
            const TClockChange& c = changes[i];
            EXPECT_EQ(c.UtcMs, expected[i]) << p.Name << " change " << i;
            EXPECT_EQ(c.OffsetBefore, ShownOffset(p, c.UtcMs - 1)) << p.Name;
            EXPECT_EQ(c.OffsetAfter, ShownOffset(p, c.UtcMs)) << p.Name;
            EXPECT_EQ(std::fabs(c.ShiftHours()), 1.0);
        }
        const bool saves = p.Start.Kind != RuleKindNone && p.Start.RuleMonth + p.Start.FixedMonth;
        EXPECT_EQ(changes.size(), saves ? 20u : 0u) << p.Name;
    }
}

TEST(ClockChanges, InstantsAndClockReadingsOfKnownChanges) {
    const std::vector<TRules> places = Places();
    auto one = [&](int i, TDateTime from, TDateTime to) {
        const auto c =
            PlaceClockChanges(places[i].Offset, places[i].Start, places[i].End, from, to);
        EXPECT_EQ(c.size(), 1u) << places[i].Name;
        return c.empty() ? TClockChange{} : c.front();
    };
    // Last Sunday of March 2026 at 02:00 in Berlin: 01:00 UTC, 02:00 becomes 03:00.
    TClockChange c = one(0, Utc(2026, 3, 1), Utc(2026, 4, 1));
    EXPECT_EQ(Iso(c.Utc), "2026-03-29 01:00");
    EXPECT_EQ(Iso(c.LocalBefore), "2026-03-29 02:00");
    EXPECT_EQ(Iso(c.LocalAfter), "2026-03-29 03:00");
    EXPECT_TRUE(c.Forward());
    EXPECT_EQ(ChangeLine("Berlin", c, true),
              "Sun 29 Mar 2026, Berlin: clocks go forward 1 hour at 02:00 (local)");
    // October: the end rule's 03:00 is read on the daylight clock and becomes 02:00.
    c = one(0, Utc(2026, 10, 1), Utc(2026, 11, 1));
    EXPECT_EQ(Iso(c.Utc), "2026-10-25 01:00");
    EXPECT_EQ(Iso(c.LocalBefore), "2026-10-25 03:00");
    EXPECT_EQ(Iso(c.LocalAfter), "2026-10-25 02:00");
    EXPECT_EQ(ChangeSentence(c, true), "clocks go back 1 hour at 03:00 (local)");
    EXPECT_EQ(ChangeSentence(c, false), "clocks go back 1 hour at 3:00 am (local)");
    // First Sunday after 24 March 2026 is the 29th.
    c = one(1, Utc(2026, 3, 1), Utc(2026, 4, 1));
    EXPECT_EQ(Iso(c.Utc), "2026-03-29 01:00");
    // The quarter-hour place changes half an hour after New York.
    c = one(3, Utc(2026, 3, 1), Utc(2026, 4, 1));
    EXPECT_EQ(Iso(c.Utc), "2026-03-15 05:30");
    EXPECT_EQ(c.OffsetBefore, -3.5);
    EXPECT_EQ(c.OffsetAfter, -2.5);
    // South: Sydney goes back in April and forward in October.
    c = one(4, Utc(2027, 4, 1), Utc(2027, 5, 1));
    EXPECT_EQ(Iso(c.LocalBefore), "2027-04-04 03:00");
    EXPECT_EQ(Iso(c.Utc), "2027-04-03 16:00");
    EXPECT_FALSE(c.Forward());
    // A change at midnight is dated on the day it happens.
    c = one(7, Utc(2026, 3, 1), Utc(2026, 4, 1));
    EXPECT_EQ(ChangeLine("Tehran", c, true),
              "Sun 22 Mar 2026, Tehran: clocks go forward 1 hour at 00:00 (local)");
    EXPECT_EQ(ChangeHint(c, false), "Clocks go forward 1 hour on Sunday at 12:00 am");
    // The span is half open.
    EXPECT_EQ(PlaceClockChanges(1, places[0].Start, places[0].End, Utc(2026, 3, 29, 1),
                                Utc(2026, 3, 29, 2))
                  .size(),
              1u);
    EXPECT_TRUE(PlaceClockChanges(1, places[0].Start, places[0].End, Utc(2026, 3, 29, 0),
                                  Utc(2026, 3, 29, 1))
                    .empty());
}

TEST(ClockChanges, TextsInWords) {
    EXPECT_EQ(ShiftInWords(1), "1 hour");
    EXPECT_EQ(ShiftInWords(-2), "2 hours");
    EXPECT_EQ(ShiftInWords(0.5), "30 minutes");
    EXPECT_EQ(ShiftInWords(1.5), "1 hour 30 minutes");
    EXPECT_EQ(ChangeDateText(Utc(2027, 3, 8, 2)), "Mon 8 Mar 2027");
    EXPECT_EQ(ChangeTimeText(Utc(2027, 3, 8, 14, 30), false), "2:30 pm");
    EXPECT_EQ(ChangeTimeText(Utc(2027, 3, 8, 14, 30), true), "14:30");
    EXPECT_EQ(OffsetDifferenceText("Kathmandu", "London", 5.75),
              "Kathmandu is 5\xBE hours later than London");
    EXPECT_EQ(OffsetDifferenceText("New York", "London", -1),
              "New York is 1 hour earlier than London");
    EXPECT_EQ(OffsetDifferenceText("Lagos", "Berlin", 0), "Lagos and Berlin are on the same time");
}

TEST(ClockChanges, WindowEntriesSortedWithTheDifferenceToMyCity) {
    TCityList d;
    BuildTestWorld(d, 1); // My City London
    TCountry& us = d.Countries.AddWithNewId();
    us.Name = "United States";
    us.UTCOffset = -5;
    us.DSTStart = WeekRule(1, 7, 0, 3, 2);
    us.DSTEnd = WeekRule(0, 7, 0, 11, 2);
    TCity& ny = d.Cities.AddWithNewId();
    ny.LongName = "New York";
    ny.CountryId = us.UniqueId;
    ny.Default = true;
    TCity& off = d.Cities.AddWithNewId(); // not on the dial
    off.LongName = "Boston";
    off.CountryId = us.UniqueId;
    for (TCity* c : d.Cities)
        if (c->LongName != "London" && c->LongName != "New York" && c->LongName != "Berlin" &&
            c->LongName != "Delhi" && c->LongName != "Lost")
            c->Default = false;

    const auto e = ClockChangeEntries(d, Utc(2026, 3, 1), 90, true);
    std::vector<std::string> text, detail;
    for (const auto& x : e) {
        text.push_back(x.Text);
        detail.push_back(x.Detail);
    }
    const std::vector<std::string> expected = {
        "Sun 15 Mar 2026, New York: clocks go forward 1 hour at 02:00 (local)",
        "Sun 29 Mar 2026, London: clocks go forward 1 hour at 01:00 (local)",
        "Sun 29 Mar 2026, Berlin: clocks go forward 1 hour at 02:00 (local)",
        "Delhi: No clock changes in the next 90 days",
    };
    EXPECT_EQ(text, expected);
    ASSERT_EQ(detail.size(), 4u);
    EXPECT_EQ(detail[0],
              "New York is 4 hours earlier than London instead of 5, 15 Mar \x96 29 Mar");
    EXPECT_EQ(detail[1], "") << "My City's own change";
    EXPECT_EQ(detail[2], "") << "Berlin changes with London: the difference stays";

    // In autumn London goes back first; New York follows a week later and the winter
    // difference holds until the spring.
    const auto autumn = ClockChangeEntries(d, Utc(2026, 10, 1), 90, false);
    ASSERT_GE(autumn.size(), 3u);
    EXPECT_EQ(autumn[2].Text, "Sun 8 Nov 2026, New York: clocks go back 1 hour at 2:00 am (local)");
    EXPECT_EQ(autumn[2].Detail,
              "New York is 5 hours earlier than London instead of 4, 8 Nov 2026 \x96 14 Mar 2027");

    TClockChange next;
    ASSERT_TRUE(NextClockChange(d, ny, Utc(2026, 3, 9), 7, next));
    EXPECT_EQ(ChangeHint(next, true), "Clocks go forward 1 hour on Sunday at 02:00");
    EXPECT_FALSE(NextClockChange(d, ny, Utc(2026, 3, 8), 7, next)) << "eight days ahead";
    EXPECT_FALSE(NextClockChange(d, *d.Cities.FindById(9), Utc(2026, 3, 9), 7, next));
}
