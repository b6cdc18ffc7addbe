#pragma once

#include "data/CityListU.h"
#include "data/FormatU.h"

#include <string>

// "Kathmandu, Bagmati, Nepal (UTC +5.75)"; "None" for no city. Links to missing records show
// what can be found.
std::string FullCityName(const TCityList& data, const TCity* city, const TLocaleFacts& locale);
// " (UTC +5.75)", " (UTC -3.5)": what follows the places in a full name.
std::string OffsetSuffix(double offset, const TLocaleFacts& locale);
