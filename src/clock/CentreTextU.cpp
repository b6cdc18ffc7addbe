#include "clock/CentreTextU.h"

#include "clock/ViewedTimeU.h"
#include "data/FormatU.h"

#include <cmath>
#include <cstdio>

namespace {

std::string First18(const std::string& s) {
    return s.substr(0, 18);
}

// The last airport in collection order that names the city and lies in its place.
const TAirport* AirportOf(const TCityList& data, const TCity& c, bool compareState,
                          std::int32_t countryId) {
    const TAirport* found = nullptr;
    for (const TAirport* a : data.Airports)
        for (int i = 1; i <= TAirport::SlotCount; ++i)
            if (a->ClosestCities(i) == c.UniqueID && (!compareState || a->StateId == c.StateId) &&
                a->CountryId == countryId)
                found = a;
    return found;
}

} // namespace

TCentreCaptions CentreCaptions(const TCityList& data, const TCity& c) {
    TCentreCaptions r;
    if (c.StateId != 0) {
        const TState* s = data.States.FindById(c.StateId);
        if (s == nullptr)
            return r;
        const TCountry* k = data.Countries.FindById(s->CountryId);
        r.PopupCountry = k;
        r.City = First18(c.LongName) + OffsetMarks(OffsetFraction(s->UTCOffset));
        r.Country = k ? First18(k->Name) : std::string();
        r.State = First18(s->Name);
        r.PopupAirport = AirportOf(data, c, true, s->CountryId);
    } else if (c.CountryId != 0) {
        const TCountry* k = data.Countries.FindById(c.CountryId);
        if (k == nullptr)
            return r;
        r.PopupCountry = k;
        r.City = First18(c.LongName) + OffsetMarks(OffsetFraction(k->UTCOffset));
        r.Country = First18(k->Name);
        r.PopupAirport = AirportOf(data, c, false, k->UniqueId);
    }
    if (r.PopupAirport)
        r.Airport = First18(r.PopupAirport->Name);
    return r;
}

std::string DifferenceText(const TCityList& data, const TCity* current, const TCity* myCity,
                           double currentUtcOffset, TDateTime currentExact, TDateTime utcNow) {
    if (myCity == nullptr || current == nullptr || myCity == current)
        return "";
    const TPlace place = PlaceOfCity(data, *myCity);
    if (!place)
        return "";
    const double offM = place.UTCOffset();
    const TDateTime timeM = place.LocalTime(utcNow);
    const double d = std::fabs(currentUtcOffset - offM);
    if (!std::isfinite(d))
        return "";
    if (d == 0)
        return current->LongName + " and " + myCity->LongName + " are on the same time";
    char whole[32];
    std::snprintf(whole, sizeof whole, "%.0f", std::trunc(d));
    const int code = OffsetFraction(d);
    const std::string fraction = code >= 4 ? OffsetFractionChar(code) : "";
    const std::string unit = std::nearbyint(d) == 1.0 ? " hour" : " hours";
    std::string comparison;
    // Compared as instants: before 1899-12-30 the raw values do not order the times of a day.
    const double shown = DateTimeToDays(currentExact), mine = DateTimeToDays(timeM);
    if (shown < mine)
        comparison = " earlier than ";
    else if (shown > mine)
        comparison = " later than ";
    else // offsets apart by just the daylight-saving hour, one of them on it
        return current->LongName + " and " + myCity->LongName + " are on the same time just now";
    return current->LongName + " is " + whole + fraction + unit + comparison + myCity->LongName;
}

TFaceSpeech FaceSpeech(const TCityList& data, const TCity* current, TDateTime localTime,
                       bool twelveHour, int dateStyle, const std::string& difference,
                       const TLocaleFacts& locale, std::int64_t viewedOffsetSeconds) {
    TFaceSpeech r;
    if (current == nullptr) {
        r.Name = "No city chosen";
        return r;
    }
    // The whole names: the face cuts them to fit, a voice need not.
    r.Name = current->LongName;
    const TState* state = current->StateId != 0 ? data.States.FindById(current->StateId) : nullptr;
    const std::int32_t countryId = state != nullptr ? state->CountryId : current->CountryId;
    const TCountry* country = countryId != 0 ? data.Countries.FindById(countryId) : nullptr;
    if (state != nullptr && !state->Name.empty())
        r.Name += ", " + state->Name;
    if (country != nullptr && !country->Name.empty())
        r.Name += ", " + country->Name;
    if (current->StateId != 0 ? state == nullptr : country == nullptr)
        return r; // no place, so no time
    const std::string time =
        FormatDateTimeText(twelveHour ? "h:nn am/pm" : "h:nn", localTime, locale);
    const std::string viewed = ViewedSpeech(time, viewedOffsetSeconds);
    r.Description = (viewed.empty() ? time : viewed) + ", " +
                    FormatDateTimeText(dateStyle == 1 ? "dddd, mmmm d, yyyy" : "dddd d mmmm yyyy",
                                       localTime, locale) +
                    ".";
    if (!difference.empty())
        r.Description += " " + difference + ".";
    return r;
}
