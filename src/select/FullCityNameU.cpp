#include "select/FullCityNameU.h"

std::string OffsetSuffix(double offset, const TLocaleFacts& locale) {
    return (offset >= 0 ? " (UTC +" : " (UTC ") + FormatGeneral(offset, locale) + ")";
}

std::string FullCityName(const TCityList& data, const TCity* city, const TLocaleFacts& locale) {
    if (city == nullptr)
        return "None";
    std::string s = city->LongName;
    if (city->StateId != 0) {
        const TState* state = data.States.FindById(city->StateId);
        if (state == nullptr)
            return s;
        const TCountry* country = data.Countries.FindById(state->CountryId);
        s += ", " + state->Name;
        if (country != nullptr)
            s += ", " + country->Name;
        s += OffsetSuffix(state->UTCOffset, locale);
    } else if (city->CountryId != 0) {
        const TCountry* country = data.Countries.FindById(city->CountryId);
        if (country != nullptr)
            s += ", " + country->Name + OffsetSuffix(country->UTCOffset, locale);
    }
    return s;
}
