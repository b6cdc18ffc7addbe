#pragma once

#include "clock/CityLabelLayoutU.h"
#include "data/CityListU.h"
#include "data/DateTimeU.h"
#include "prefs/TavikOptionsU.h"

#include <cstdint>
#include <string>

// What decides, on the tick and when the window comes to the front, whether the city labels
// are built again and whether the difference sentence is made again.

// Whether two layouts put the same labels in the same places with the same captions and hints,
// the hints' times of day apart: a hint tells the moment its label was built.
bool SameCityLabels(const TCityLabelLayout& a, const TCityLabelLayout& b);

// What a layout was built from. While it holds and the data is unchanged, building the layout
// again gives the same labels: their columns and bands turn with the hours only.
struct TCityLabelsSource {
    TDisplayOptions Options;
    std::string TimeFormat;
    const TCity* Current = nullptr;
    double UtcHour = 0;
    double LocalHour = 0;
    // The store's generation then: the data may have changed since, or the current city be a
    // new record in a deleted one's slot. The window compares it.
    std::uint64_t Generation = 0;
};

TCityLabelsSource CityLabelsSourceOf(const TDisplayOptions& options, const std::string& timeFormat,
                                     const TCity* current, TDateTime utcNow,
                                     TDateTime currentLocalTime);
bool CityLabelsSourceHolds(const TCityLabelsSource& built, const TDisplayOptions& options,
                           const std::string& timeFormat, const TCity* current, TDateTime utcNow,
                           TDateTime currentLocalTime);

// The minute by which the labels are checked, counted in whole milliseconds as the times of
// day are decoded, so that it turns where the bands and columns do; 0 for a time out of range.
std::int64_t LabelCheckMinute(TDateTime utc);

// What the difference sentence follows from; it is made again only when one of these changes.
struct TDifferenceSource {
    // The store's generation: a city may be a new record in a deleted one's slot.
    std::uint64_t Generation = 0;
    const TCity* Current = nullptr;
    const TCity* My = nullptr;
    bool MyPlaceFound = false;
    double CurrentOffset = 0;
    double MyOffset = 0;
    int Comparison = 0; // 1 when the current city's time is ahead of My City's, -1 behind
    bool AnalogClock = false;
    bool operator==(const TDifferenceSource&) const = default;
};

// The source a sentence was made from, with the cities' names as they were then: a record is
// edited in place.
struct TDifferenceKey {
    TDifferenceSource Source;
    std::string CurrentName;
    std::string MyName;
};

bool DifferenceKeyHolds(const TDifferenceKey& made, const TDifferenceSource& now);
void RememberDifference(TDifferenceKey& made, const TDifferenceSource& now);
// -1, 0 or 1 as a is before, at or after b.
int CompareTimes(TDateTime a, TDateTime b);
