#pragma once

// A large made-up world for the benchmarks that open windows on it.
#include "data/CityListU.h"

#include <random>
#include <string>

namespace bench {

// Names put together from common syllables, so that a word matches as it would in a real list.
inline std::string MadeUpName(std::mt19937& rng) {
    static const char* const parts[] = {"san", "ta",  "mar",  "ko",   "ber", "lin", "ka",   "tho",
                                        "rio", "de",  "port", "vil",  "le",  "ham", "burg", "ost",
                                        "al",  "mi",  "na",   "gor",  "sk",  "an",  "el",   "to",
                                        "cas", "tel", "new",  "ford", "lu",  "pe",  "ri",   "jo"};
    std::uniform_int_distribution<int> part(0, 31), count(2, 4);
    std::string name;
    for (int i = count(rng); i > 0; --i)
        name += parts[part(rng)];
    name[0] = static_cast<char>(name[0] - 'a' + 'A');
    return name;
}

// 250 countries, 5,000 states, 100,000 cities (a third of them in a state) and 20,000
// airports.
inline void Fill(TCityList& d) {
    d.MyCity = d.CurrentCity = nullptr;
    d.Cities.Clear();
    d.States.Clear();
    d.Countries.Clear();
    d.Airports.Clear();
    std::mt19937 rng(7);
    for (int i = 0; i < 250; ++i) {
        TCountry& c = d.Countries.Add();
        c.UniqueId = i + 1;
        c.Name = MadeUpName(rng) + " Republic";
        c.UTCOffset = (i % 27) - 12;
    }
    for (int i = 0; i < 5000; ++i) {
        TState& s = d.States.Add();
        s.UniqueID = i + 1;
        s.Name = MadeUpName(rng) + " Province";
        s.CountryId = i % 250 + 1;
        s.UTCOffset = (i % 53) * 0.5 - 12;
    }
    for (int i = 0; i < 100000; ++i) {
        TCity& c = d.Cities.Add();
        c.UniqueID = i + 1;
        c.LongName = MadeUpName(rng);
        c.StateId = i % 3 == 0 ? i % 5000 + 1 : 0;
        c.CountryId = c.StateId ? 0 : i % 250 + 1;
    }
    for (int i = 0; i < 20000; ++i) {
        TAirport& a = d.Airports.Add();
        a.UniqueID = i + 1;
        a.Name = MadeUpName(rng) + " Airport";
        a.CountryId = i % 250 + 1;
        a.StateId = i % 2 ? 0 : i % 5000 + 1;
        for (int k = 1; k <= 3; ++k)
            a.SetClosestCities(k, (i * 5 + k) % 100000 + 1);
    }
}

} // namespace bench
