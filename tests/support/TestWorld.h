#pragma once

#include "data/CityListU.h"

#include <string>

// A small world for the window tests. Cities by id: 1 London (UK, 0, EU rules), 2 Kathmandu
// (Bagmati +5.75), 3 Delhi (India +5.5), 4 St. John's (Newfoundland -3.5), 5 Berlin (+1, EU),
// 6 Lagos (+1), 7 Johannesburg (+2), 8 Cairo (+2), 9 Lost (a state that is missing).
inline TSummerTimeRule WeekRule(int ordinal, int weekday, int afterDay, int month, int hour) {
    TSummerTimeRule r;
    r.Kind = RuleKindWeekday;
    r.WeekOrdinal = static_cast<std::uint8_t>(ordinal);
    r.WeekDay = static_cast<std::uint16_t>(weekday);
    r.AfterDay = static_cast<std::uint16_t>(afterDay);
    r.RuleMonth = static_cast<std::uint16_t>(month);
    r.ChangeTime = hour / 24.0;
    return r;
}

inline void BuildTestWorld(TCityList& d, int myCityId) {
    auto country = [&](const char* name, double off) -> TCountry& {
        TCountry& c = d.Countries.AddWithNewId();
        c.Name = name;
        c.UTCOffset = off;
        return c;
    };
    TCountry& uk = country("United Kingdom", 0);
    uk.DSTStart = WeekRule(0, 7, 24, 3, 1);
    uk.DSTEnd = WeekRule(0, 7, 24, 10, 2);
    TCountry& nepal = country("Nepal", 5.75);
    TCountry& india = country("India", 5.5);
    TCountry& canada = country("Canada", -5);
    TCountry& germany = country("Germany", 1);
    germany.DSTStart = WeekRule(0, 7, 24, 3, 2);
    germany.DSTEnd = WeekRule(0, 7, 24, 10, 3);
    TCountry& nigeria = country("Nigeria", 1);
    TCountry& sa = country("South Africa", 2);
    TCountry& egypt = country("Egypt", 2);
    TState& bagmati = d.States.AddWithNewId();
    bagmati.Name = "Bagmati";
    bagmati.CountryId = nepal.UniqueId;
    bagmati.UTCOffset = 5.75;
    TState& nl = d.States.AddWithNewId();
    nl.Name = "Newfoundland";
    nl.CountryId = canada.UniqueId;
    nl.UTCOffset = -3.5;
    auto city = [&](const char* name, std::int32_t state, std::int32_t country) {
        TCity& c = d.Cities.AddWithNewId();
        c.LongName = name;
        c.SetShortName(name);
        c.StateId = state;
        c.CountryId = state ? 0 : country;
        c.Default = true;
    };
    city("London", 0, uk.UniqueId);
    city("Kathmandu", bagmati.UniqueID, 0);
    city("Delhi", 0, india.UniqueId);
    city("St. John's", nl.UniqueID, 0);
    city("Berlin", 0, germany.UniqueId);
    city("Lagos", 0, nigeria.UniqueId);
    city("Johannesburg", 0, sa.UniqueId);
    city("Cairo", 0, egypt.UniqueId);
    city("Lost", 77, 0);
    TAirport& ktm = d.Airports.AddWithNewId();
    ktm.Name = "Tribhuvan International Airport";
    ktm.StateId = bagmati.UniqueID;
    ktm.CountryId = nepal.UniqueId;
    ktm.SetClosestCities(1, 2);
    TAirport& lhr = d.Airports.AddWithNewId();
    lhr.Name = "Heathrow";
    lhr.CountryId = uk.UniqueId;
    lhr.SetClosestCities(2, 1);
    d.MyCity = d.Cities.FindById(myCityId);
    d.CurrentCity = d.MyCity;
}

inline void WriteTestWorld(const std::string& file, int myCityId) {
    TCityList d;
    BuildTestWorld(d, myCityId);
    SaveCityListFile(file, d);
}
