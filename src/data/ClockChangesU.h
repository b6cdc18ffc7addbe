#pragma once

#include "data/CityListU.h"

#include <cstdint>
#include <string>
#include <vector>

// One change of a place's local offset, worked out from its offset and daylight-saving rules
// exactly as the clock applies them.
struct TClockChange {
    std::int64_t UtcMs = 0;    // the instant, whole milliseconds since 1899-12-30 00:00 UTC
    TDateTime Utc = 0;         // the same instant as a date-time
    TDateTime LocalBefore = 0; // what the clock reads at that instant on the old offset
    TDateTime LocalAfter = 0;  // and on the new one
    double OffsetBefore = 0;   // hours east of UTC, daylight saving included
    double OffsetAfter = 0;

    double ShiftHours() const { return OffsetAfter - OffsetBefore; }
    bool Forward() const { return OffsetAfter > OffsetBefore; }
};

// Every change with fromUtc <= instant < toUtc, in time order. A place without daylight saving
// has none.
std::vector<TClockChange> PlaceClockChanges(double utcOffset, const TSummerTimeRule& start,
                                            const TSummerTimeRule& end, TDateTime fromUtc,
                                            TDateTime toUtc);
std::vector<TClockChange> ClockChanges(const TPlace& place, TDateTime fromUtc, TDateTime toUtc);

// The offset in force at an instant, daylight saving included.
double PlaceOffsetAt(const TPlace& place, TDateTime utc);

// --- The texts, in English whatever the locale -----------------------------------------------

// "1 hour", "2 hours", "30 minutes", "1 hour 30 minutes".
std::string ShiftInWords(double hours);
// "Sun 8 Mar 2027".
std::string ChangeDateText(TDateTime local);
// "02:00" on the 24-hour clock, "2:00 am" on the 12-hour one.
std::string ChangeTimeText(TDateTime local, bool hour24);
// "clocks go forward 1 hour at 02:00 (local)".
std::string ChangeSentence(const TClockChange& change, bool hour24);
// "Sun 8 Mar 2027, New York: clocks go forward 1 hour at 02:00 (local)".
std::string ChangeLine(const std::string& cityName, const TClockChange& change, bool hour24);
// "Clocks go forward 1 hour on Sunday at 02:00": the hint of a city label.
std::string ChangeHint(const TClockChange& change, bool hour24);
// The difference of a city to My City in the clock's own words: "Kathmandu is 5¾ hours later
// than London", "New York is 4 hours earlier than London", "A and B are on the same time".
std::string OffsetDifferenceText(const std::string& cityName, const std::string& myCityName,
                                 double difference);

// --- The clock changes window ----------------------------------------------------------------

struct TClockChangeEntry {
    std::int32_t CityId = 0;
    bool HasChange = false; // false: the line says the city has none in the span
    TClockChange Change;
    std::string Text;   // the line
    std::string Detail; // how the difference to My City alters and until when; may be empty
    bool operator==(const TClockChangeEntry& o) const {
        return CityId == o.CityId && Text == o.Text && Detail == o.Detail;
    }
};

constexpr int ClockChangeDays = 90;

// The changes of My City and of every city on the dial in the days from utcNow, sorted by
// date (My City first among changes at the same instant, then collection order), followed by
// one line for each of those cities that has none. Cities without a place are left out.
std::vector<TClockChangeEntry> ClockChangeEntries(const TCityList& data, TDateTime utcNow, int days,
                                                  bool hour24);

// The first change of the city's place from utcNow within the days given, if any.
bool NextClockChange(const TCityList& data, const TCity& city, TDateTime utcNow, int days,
                     TClockChange& change);
