#include "data/SummerTimeU.h"

#include "data/ByteIoU.h"

#include <cmath>
#include <cstring>

void TSummerTimeRule::ToBytes(std::uint8_t* out) const {
    out[0] = Kind;
    PutU16(out + 1, FixedDay);
    PutU16(out + 3, FixedMonth);
    out[5] = WeekOrdinal;
    PutU16(out + 6, WeekDay);
    PutU16(out + 8, AfterDay);
    PutU16(out + 10, RuleMonth);
    PutF64(out + 12, ChangeTime);
}

TSummerTimeRule TSummerTimeRule::FromBytes(const std::uint8_t* in) {
    TSummerTimeRule r;
    r.Kind = in[0];
    r.FixedDay = GetU16(in + 1);
    r.FixedMonth = GetU16(in + 3);
    r.WeekOrdinal = in[5];
    r.WeekDay = GetU16(in + 6);
    r.AfterDay = GetU16(in + 8);
    r.RuleMonth = GetU16(in + 10);
    r.ChangeTime = GetF64(in + 12);
    return r;
}

bool FixedRuleDate(int year, const TSummerTimeRule& rule, TDateTime& out) {
    const TTimeParts t = DecodeTime(rule.ChangeTime); // the seconds are dropped
    return TryEncodeDateTime(year, rule.FixedMonth, rule.FixedDay, t.Hour, t.Minute, 0, 0, out);
}

bool NthWeekdayOfMonth(int year, int month, int n, int weekDay, TDateTime& out) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || n < 1 || n > 5 || weekDay < 1 ||
        weekDay > 7)
        return false;
    TDateTime d1 = 0;
    TryEncodeDate(year, month, 1, d1);
    const int f = DayOfTheWeek(d1);
    // Weeks run Monday to Sunday; week 1 holds the month's first Thursday.
    const int weeks = f <= 4 ? n - 1 : n;
    out = d1 + weeks * 7 + (weekDay - f);
    return true;
}

namespace {

// A date and a new time of day; the time counts backwards on negative date-times.
TDateTime ReplaceTimeOfDay(TDateTime dt, double time) {
    const double date = std::trunc(dt);
    const double frac = std::isfinite(time) ? std::fabs(time - std::trunc(time)) : time;
    return date >= 0 ? date + frac : date - frac;
}

} // namespace

bool WeekdayRuleDate(int year, const TSummerTimeRule& rule, TDateTime& out) {
    bool ok = false;
    if (rule.AfterDay == 0) {
        ok = NthWeekdayOfMonth(year, rule.RuleMonth, rule.WeekOrdinal + 1, rule.WeekDay, out);
    } else {
        ok = TryEncodeDate(year, rule.RuleMonth, rule.AfterDay, out);
        const int target = (rule.WeekDay >= 1 && rule.WeekDay <= 6) ? rule.WeekDay : 7;
        int counter = rule.WeekOrdinal + 1;
        // Seven days hold every weekday once; the bound only matters for a caller's odd start.
        int steps = counter * 7 + 7;
        while (counter > 0 && steps-- > 0) {
            out += 1.0;
            if (DayOfTheWeek(out) == target)
                --counter;
        }
    }
    if (ok)
        out = ReplaceTimeOfDay(out, rule.ChangeTime);
    return ok;
}

namespace {

void RuleDates(const TSummerTimeRule& rule, std::uint8_t kind, int year, TDateTime& out) {
    if (kind == RuleKindFixed)
        FixedRuleDate(year, rule, out);
    else if (kind == RuleKindWeekday)
        WeekdayRuleDate(year, rule, out);
}

} // namespace

bool IsInDST(const TSummerTimeRule& start, const TSummerTimeRule& end, TDateTime x) {
    TDateParts p;
    if (!TryDecodeDate(x, p))
        return false;
    const int y = p.Year;
    TDateTime s[3] = {0, 0, 0}; // years y-1, y, y+1
    TDateTime e[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        RuleDates(start, start.Kind, y - 1 + i, s[i]);
        RuleDates(end, start.Kind, y - 1 + i, e[i]);
        e[i] = IncDateTime(e[i], -OneHour); // the end rule's time is read on the daylight clock
    }
    // Whole minutes built from sums of doubles: compare at millisecond resolution so that a
    // boundary instant does not land one unit short of its period.
    const std::int64_t xm = ToMilliseconds(x);
    const std::int64_t sPrev = ToMilliseconds(s[0]), sCur = ToMilliseconds(s[1]);
    const std::int64_t eCur = ToMilliseconds(e[1]), eNext = ToMilliseconds(e[2]);
    if (sCur <= eCur)
        return sCur <= xm && xm < eCur;
    if (xm <= eCur)
        return sPrev <= xm && xm < eCur;
    return sCur <= xm && xm < eNext;
}

TDateTime PlaceLocalTime(double utcOffset, const TSummerTimeRule& start, const TSummerTimeRule& end,
                         TDateTime utcNow) {
    const TDateTime t = IncDateTime(utcNow, utcOffset / HoursPerDay);
    if (start.Kind != RuleKindNone && IsInDST(start, end, t))
        return IncDateTime(t, OneHour);
    return t;
}

TDateTime PlaceLocalTimeWholeHours(double utcOffset, const TSummerTimeRule& start,
                                   const TSummerTimeRule& end, TDateTime utcNow) {
    return PlaceLocalTime(std::trunc(utcOffset), start, end, utcNow);
}

bool PlaceInDST(double utcOffset, const TSummerTimeRule& start, const TSummerTimeRule& end,
                TDateTime utcNow) {
    return start.Kind != RuleKindNone &&
           IsInDST(start, end, IncDateTime(utcNow, utcOffset / HoursPerDay));
}
