#pragma once

#include "data/CityListU.h"
#include "data/FormatU.h"

#include <cstdint>
#include <string>

// The place names in the centre of the dial, set when the dial is refreshed.
struct TCentreCaptions {
    std::string City;
    std::string Country;
    std::string State;
    std::string Airport;
    const TCountry* PopupCountry = nullptr;
    const TAirport* PopupAirport = nullptr;
};

// What can be found of the current city's place; links to missing records leave their
// captions empty.
TCentreCaptions CentreCaptions(const TCityList& data, const TCity& current);

// "Kathmandu is 5¾ hours later than London", "A and B are on the same time", or empty when
// there is no My City or it is the current city.
std::string DifferenceText(const TCityList& data, const TCity* current, const TCity* myCity,
                           double currentUtcOffset, TDateTime currentExactLocalTime,
                           TDateTime utcNow);

// What a screen reader is told of the face, in words. The name is the place; the description
// holds the time to the minute, the date and the difference, so that it changes once a minute
// and not with every second shown. While the face is turned away from now it begins "Showing
// 18:00, 3 hours from now".
struct TFaceSpeech {
    std::string Name;
    std::string Description;
    bool operator==(const TFaceSpeech&) const = default;
};

TFaceSpeech FaceSpeech(const TCityList& data, const TCity* current, TDateTime localTime,
                       bool twelveHour, int dateStyle, const std::string& difference,
                       const TLocaleFacts& locale, std::int64_t viewedOffsetSeconds = 0);
