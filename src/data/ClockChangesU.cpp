#include "data/ClockChangesU.h"

#include "data/FormatU.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

constexpr std::int64_t MsPerDay = 86400000;

TDateTime FromMs(std::int64_t ms) {
    return DaysToDateTime(static_cast<double>(ms) / MSecsPerDay);
}

// The rule dates exactly as the in-force test forms them: the start rule's kind decides both,
// and a failed date keeps the zero date-time (or the counted day) it was given.
TDateTime RuleDate(const TSummerTimeRule& rule, std::uint8_t kind, int year) {
    TDateTime out = 0;
    if (kind == RuleKindFixed)
        FixedRuleDate(year, rule, out);
    else if (kind == RuleKindWeekday)
        WeekdayRuleDate(year, rule, out);
    return out;
}

int YearOf(TDateTime dt, int fallback) {
    TDateParts p;
    return TryDecodeDate(dt, p) ? p.Year : fallback;
}

} // namespace

std::vector<TClockChange> PlaceClockChanges(double utcOffset, const TSummerTimeRule& start,
                                            const TSummerTimeRule& end, TDateTime fromUtc,
                                            TDateTime toUtc) {
    std::vector<TClockChange> r;
    if (start.Kind == RuleKindNone || !std::isfinite(utcOffset) || std::fabs(utcOffset) > 1e6 ||
        !std::isfinite(fromUtc) || !std::isfinite(toUtc))
        return r;
    const std::int64_t fromMs = ToMilliseconds(fromUtc), toMs = ToMilliseconds(toUtc);
    if (fromMs >= toMs)
        return r;
    auto inDst = [&](std::int64_t ms) { return PlaceInDST(utcOffset, start, end, FromMs(ms)); };
    const double offDays = utcOffset / HoursPerDay;
    const int y0 = YearOf(IncDateTime(fromUtc, offDays - 1), 1);
    const int y1 = YearOf(IncDateTime(toUtc, offDays + 1), 9999);

    // The in-force test only changes its answer at a rule date of the year it looks at or the
    // years beside it, or where the year of the local time changes.
    std::vector<TDateTime> candidates;
    for (int y = std::max(1, y0 - 1); y <= std::min(9999, y1 + 1); ++y) {
        candidates.push_back(RuleDate(start, start.Kind, y));
        candidates.push_back(IncDateTime(RuleDate(end, start.Kind, y), -OneHour));
        TDateTime jan1 = 0;
        if (TryEncodeDate(y, 1, 1, jan1))
            candidates.push_back(jan1);
    }
    candidates.push_back(0);
    candidates.push_back(-OneHour);

    const auto offsetMs = static_cast<std::int64_t>(std::llround(utcOffset * 3600000.0));
    std::vector<std::int64_t> instants;
    for (TDateTime localStandard : candidates) {
        const std::int64_t u = ToMilliseconds(localStandard) - offsetMs;
        // The sums of doubles behind the test can move its edge by a millisecond.
        for (std::int64_t d : {0, 1, -1, 2, -2}) {
            const std::int64_t m = u + d;
            if (m < fromMs || m >= toMs)
                continue;
            if (inDst(m - 1) != inDst(m)) {
                instants.push_back(m);
                break;
            }
        }
    }
    std::sort(instants.begin(), instants.end());
    instants.erase(std::unique(instants.begin(), instants.end()), instants.end());
    for (std::int64_t m : instants) {
        TClockChange c;
        c.UtcMs = m;
        c.Utc = FromMs(m);
        const bool before = inDst(m - 1);
        c.OffsetBefore = utcOffset + (before ? 1 : 0);
        c.OffsetAfter = utcOffset + (before ? 0 : 1);
        c.LocalBefore = IncDateTime(c.Utc, c.OffsetBefore / HoursPerDay);
        c.LocalAfter = IncDateTime(c.Utc, c.OffsetAfter / HoursPerDay);
        r.push_back(c);
    }
    return r;
}

std::vector<TClockChange> ClockChanges(const TPlace& place, TDateTime fromUtc, TDateTime toUtc) {
    if (!place)
        return {};
    return PlaceClockChanges(place.UTCOffset(), place.DSTStart(), place.DSTEnd(), fromUtc, toUtc);
}

double PlaceOffsetAt(const TPlace& place, TDateTime utc) {
    return place.UTCOffset() + (place.InDST(utc) ? 1 : 0);
}

// --- Texts -----------------------------------------------------------------------------------

namespace {

const char* const DayNames[7] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                 "Friday", "Saturday", "Sunday"};
const char* const MonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The local date of a date-time, its time of day rounded to the minute first.
bool LocalDate(TDateTime local, TDateParts& p, int& weekDay) {
    const double minutes = std::round(DateTimeToDays(local) * MinutesPerDay);
    const TDateTime day = std::floor(minutes / MinutesPerDay);
    if (!TryDecodeDate(day, p))
        return false;
    weekDay = DayOfTheWeek(day);
    return true;
}

// "8 Mar", with the year when asked.
std::string DayMonth(TDateTime local, bool withYear) {
    TDateParts p;
    int wd = 0;
    if (!LocalDate(local, p, wd))
        return "?";
    char b[32];
    if (withYear)
        std::snprintf(b, sizeof b, "%d %s %d", p.Day, MonthNames[p.Month - 1], p.Year);
    else
        std::snprintf(b, sizeof b, "%d %s", p.Day, MonthNames[p.Month - 1]);
    return b;
}

// "5", "5¾", "1"; the fraction in the clock's quarter-hour marks.
std::string Amount(double d) {
    char whole[32];
    std::snprintf(whole, sizeof whole, "%.0f", std::trunc(d));
    const int code = OffsetFraction(d);
    return whole + (code >= 4 ? OffsetFractionChar(code) : std::string());
}

std::string Unit(double d) {
    return std::nearbyint(d) == 1.0 ? " hour" : " hours";
}

} // namespace

std::string ShiftInWords(double hours) {
    const long minutes = std::lround(std::fabs(hours) * 60.0);
    const long h = minutes / 60, m = minutes % 60;
    std::string s;
    if (h > 0)
        s = std::to_string(h) + (h == 1 ? " hour" : " hours");
    if (m > 0)
        s += (s.empty() ? "" : " ") + std::to_string(m) + (m == 1 ? " minute" : " minutes");
    return s.empty() ? "0 minutes" : s;
}

std::string ChangeDateText(TDateTime local) {
    TDateParts p;
    int wd = 0;
    if (!LocalDate(local, p, wd))
        return "?";
    return std::string(DayNames[wd - 1]).substr(0, 3) + " " + DayMonth(local, true);
}

std::string ChangeTimeText(TDateTime local, bool hour24) {
    const double minutes = std::round(DateTimeToDays(local) * MinutesPerDay);
    const auto inDay = static_cast<long>(minutes - std::floor(minutes / MinutesPerDay) * 1440.0);
    const long h = inDay / 60, m = inDay % 60;
    char b[48];
    if (hour24)
        std::snprintf(b, sizeof b, "%02ld:%02ld", h, m);
    else
        std::snprintf(b, sizeof b, "%d:%02ld %s", Hour12(static_cast<int>(h)), m,
                      h < 12 ? "am" : "pm");
    return b;
}

std::string ChangeSentence(const TClockChange& c, bool hour24) {
    return std::string("clocks go ") + (c.Forward() ? "forward " : "back ") +
           ShiftInWords(c.ShiftHours()) + " at " + ChangeTimeText(c.LocalBefore, hour24) +
           " (local)";
}

std::string ChangeLine(const std::string& cityName, const TClockChange& c, bool hour24) {
    return ChangeDateText(c.LocalBefore) + ", " + cityName + ": " + ChangeSentence(c, hour24);
}

std::string ChangeHint(const TClockChange& c, bool hour24) {
    TDateParts p;
    int wd = 0;
    const std::string day = LocalDate(c.LocalBefore, p, wd) ? DayNames[wd - 1] : "?";
    return std::string("Clocks go ") + (c.Forward() ? "forward " : "back ") +
           ShiftInWords(c.ShiftHours()) + " on " + day + " at " +
           ChangeTimeText(c.LocalBefore, hour24);
}

std::string OffsetDifferenceText(const std::string& city, const std::string& my, double diff) {
    const double d = std::fabs(diff);
    if (d == 0 || !std::isfinite(d))
        return city + " and " + my + " are on the same time";
    return city + " is " + Amount(d) + Unit(d) + (diff > 0 ? " later than " : " earlier than ") +
           my;
}

namespace {

// " instead of 5", or the whole former difference when its direction was another.
std::string InsteadOf(double before, double after) {
    if (before == 0)
        return " instead of the same time";
    if ((before > 0) == (after > 0) && after != 0)
        return " instead of " + Amount(std::fabs(before));
    return " instead of " + Amount(std::fabs(before)) + Unit(std::fabs(before)) +
           (before > 0 ? " later" : " earlier");
}

// How far past the listed span the end of an altered difference is looked for.
constexpr double EndSearchDays = 800;

struct TCityChanges {
    const TCity* City;
    TPlace Place;
    std::vector<TClockChange> Changes; // over the span and the end search beyond it
};

} // namespace

std::vector<TClockChangeEntry> ClockChangeEntries(const TCityList& data, TDateTime utcNow, int days,
                                                  bool hour24) {
    std::vector<TClockChangeEntry> entries;
    if (days <= 0 || !std::isfinite(utcNow))
        return entries;
    const TDateTime spanEnd = IncDateTime(utcNow, days);
    const TDateTime searchEnd = IncDateTime(spanEnd, EndSearchDays);
    const std::int64_t spanEndMs = ToMilliseconds(spanEnd);

    std::vector<TCityChanges> cities;
    auto add = [&](const TCity* c) {
        const TPlace place = PlaceOfCity(data, *c);
        if (place)
            cities.push_back({c, place, ClockChanges(place, utcNow, searchEnd)});
    };
    if (data.MyCity)
        add(data.MyCity);
    for (const TCity* c : data.Cities)
        if (c->Default && c != data.MyCity)
            add(c);
    const TCityChanges* my =
        !cities.empty() && cities.front().City == data.MyCity ? &cities.front() : nullptr;

    std::vector<TClockChangeEntry> none;
    for (const TCityChanges& cc : cities) {
        bool any = false;
        for (const TClockChange& ch : cc.Changes) {
            if (ch.UtcMs >= spanEndMs)
                break;
            any = true;
            TClockChangeEntry e;
            e.CityId = cc.City->UniqueID;
            e.HasChange = true;
            e.Change = ch;
            e.Text = ChangeLine(cc.City->LongName, ch, hour24);
            if (my != nullptr && &cc != my) {
                const double myBefore = PlaceOffsetAt(my->Place, FromMs(ch.UtcMs - 1));
                const double myAfter = PlaceOffsetAt(my->Place, ch.Utc);
                const double before = ch.OffsetBefore - myBefore;
                const double after = ch.OffsetAfter - myAfter;
                if (before != after) {
                    // It holds until the next change of either city.
                    const TClockChange* next = nullptr;
                    for (const TClockChange& o : cc.Changes)
                        if (o.UtcMs > ch.UtcMs) {
                            next = &o;
                            break;
                        }
                    for (const TClockChange& o : my->Changes)
                        if (o.UtcMs > ch.UtcMs) {
                            if (next == nullptr || o.UtcMs < next->UtcMs)
                                next = &o;
                            break;
                        }
                    std::string period;
                    if (next != nullptr) {
                        const bool years =
                            YearOf(ch.LocalBefore, 0) != YearOf(next->LocalBefore, 0);
                        period = DayMonth(ch.LocalBefore, years) + " \x96 " +
                                 DayMonth(next->LocalBefore, years);
                    } else {
                        period = "from " + DayMonth(ch.LocalBefore, true);
                    }
                    e.Detail = OffsetDifferenceText(cc.City->LongName, my->City->LongName, after) +
                               InsteadOf(before, after) + ", " + period;
                }
            }
            entries.push_back(std::move(e));
        }
        if (!any) {
            TClockChangeEntry e;
            e.CityId = cc.City->UniqueID;
            e.Text = cc.City->LongName + ": No clock changes in the next " + std::to_string(days) +
                     " days";
            none.push_back(std::move(e));
        }
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const TClockChangeEntry& a, const TClockChangeEntry& b) {
                         return a.Change.UtcMs < b.Change.UtcMs;
                     });
    entries.insert(entries.end(), none.begin(), none.end());
    return entries;
}

bool NextClockChange(const TCityList& data, const TCity& city, TDateTime utcNow, int days,
                     TClockChange& change) {
    const TPlace place = PlaceOfCity(data, city);
    if (!place || days <= 0)
        return false;
    const std::vector<TClockChange> c = ClockChanges(place, utcNow, IncDateTime(utcNow, days));
    if (c.empty())
        return false;
    change = c.front();
    return true;
}
