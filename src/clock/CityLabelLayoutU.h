#pragma once

#include "data/CityListU.h"
#include "data/FormatU.h"
#include "prefs/TavikOptionsU.h"

#include <array>
#include <string>
#include <vector>

// One label in the hour columns under the dial, worked out before any widget exists.
struct TCityLabelPlan {
    std::int32_t Id = 0;
    int Column = 0; // 1 .. 11
    int Slot = 0;   // 1 .. 44 in its band's table
    bool IsDay = false;
    int Left = 0;
    int Top = 0;
    int FixedWidth = 0; // 0: sized to its caption
    std::string Caption;
    std::string Hint; // lines joined with CR LF
    // "Clocks go forward 1 hour on Sunday at 02:00" when the city's clocks change within a
    // week; shown under the hint's lines.
    std::string ChangeHint;
};

struct TCityLabelLayout {
    std::array<std::int32_t, 45> DayCitySlots;   // 1 .. 44; -1 free
    std::array<std::int32_t, 45> NightCitySlots; // likewise
    std::vector<TCityLabelPlan> Labels;          // in the order they are created
};

// Every city on the dial in the column of its 12-hour local hour after the current city's,
// in its day or night band. Cities whose state or country is missing are skipped.
TCityLabelLayout BuildCityLabelLayout(const TCityList& data, const TDisplayOptions& options,
                                      TDateTime currentLocalTime, TDateTime utcNow,
                                      const std::string& timeFormat, const TLocaleFacts& locale);

// The label's whole hint: its lines and, under them, the coming clock change.
std::string CityLabelHint(const TCityLabelPlan& plan);

// The caption of a city in the columns: its short name, or its first six characters with the
// offset's sign and fraction.
std::string CityLabelCaption(const TCity& city, int fractionCode);
