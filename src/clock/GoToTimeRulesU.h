#pragma once

#include "data/CityListU.h"
#include "data/FormatU.h"

#include <string>

// The rules of the Go to Time dialog: what its two edits accept, which instant a date and time
// in a city names, and what the line under the edits says.

// A date as people write it: "8 Dec 2026", "Dec 8, 2026", "Tue 8 December 2026" (a weekday in
// front is passed over), "2026-12-08", and with numbers alone day first ("8/12/2026") or, for
// the month-first date style 1, month first ("12/8/2026"). Month and day names are those of the
// locale or English ones, in any case; a month may be shortened to three letters or more. Without
// a year the date falls in defaultYear. False for anything else and for dates that do not exist.
bool ParseGoToDate(const std::string& text, int dateStyle, int defaultYear,
                   const TLocaleFacts& locale, TDateParts& out);

// A time of day: "15:30", "15.30", "1530", "15", "3:30 pm", "3 PM", "3:30 p.m.", seconds
// allowed ("15:30:20"). False for anything else.
bool ParseGoToTime(const std::string& text, const TLocaleFacts& locale, TTimeParts& out);

// How a local time maps onto the place's clock on that day.
enum class TLocalTimeFit {
    Exact,    // it happens once
    Skipped,  // the clocks go forward over it: the instant is read on the standard clock, an
              // hour after the same time before the change, so the clock then reads it + 1 h
    Repeated, // the clocks go back over it: the first of the two, still on daylight saving
};

struct TLocalInstant {
    TDateTime Utc = 0;
    TLocalTimeFit Fit = TLocalTimeFit::Exact;
    TDateTime Shown = 0; // the place's local time at Utc, exact offset and daylight saving
};

// The UTC instant at which the place's clock, exact offset and daylight saving, reads local.
TLocalInstant LocalToUtc(const TPlace& place, TDateTime local);

// The texts the edits open with, in forms ParseGoToDate and ParseGoToTime read back: "8 Dec
// 2026" ("Dec 8 2026" for date style 1), "15:07" or "3:07 pm".
std::string GoToDateText(TDateTime local, int dateStyle, const TLocaleFacts& locale);
std::string GoToTimeText(TDateTime local, bool twelveHour, const TLocaleFacts& locale);

struct TGoToRequest {
    std::string Date;
    std::string Time;
    const TCity* City = nullptr; // the city the date and time are in
    TPlace Place;                // the city's place; none when its records are missing
    int DateStyle = 0;
    bool TwelveHour = false;
    int DefaultYear = 2026;
    TDateTime RealUtc = 0; // now, for the distance told under the edits
};

enum class TGoToField { None, Date, Time, City };

struct TGoToOutcome {
    bool Ok = false;
    TGoToField BadField = TGoToField::None;
    // When not Ok, what is wrong; when Ok, what the face will show: "Tue 8 Dec 2026 15:00 in
    // London, 3 hours from now.", with a sentence more for a skipped or repeated time.
    std::string Text;
    TDateTime Utc = 0;
};

// Checks the date, then the time, then the city; the first that fails is told.
TGoToOutcome CheckGoTo(const TGoToRequest& request, const TLocaleFacts& locale);
