#pragma once

#include "data/CityListU.h"
#include "data/FormatU.h"

#include <string>
#include <vector>

class TListTarget;

// The offset filter's value for "any": a filter is in force only above it.
constexpr double AnyOffset = -99.0;

// Cuts a text at every blank: two blanks in a row give an empty word, a leading blank an empty
// first word, a trailing blank no extra word. Answers the number of words, -1 for an empty
// text. There is no limit on the number of words.
int SplitWords(const std::string& text, std::vector<std::string>& words);

// Windows-1252 letters folded to lower case, accented ones and the few in 0x80..0x9F included.
char FoldAnsiCase(char c);
// A letter folded to lower case and stripped of its accent ("\xC3" to "a"), one character for
// one so that whatever matched before still matches; other characters stay as they are.
char FoldAnsiLetter(char c);
// Whether one of the airport's codes is the text, case ignored (Windows-1252).
bool AirportHasCode(const TAirport& airport, const std::string& code);

// Adds to results every city that passes all given filters, with its full name as the text.
// A country, state or airport of none and an offset of AnyOffset (or below) are no condition.
// A city passes the keyword filter when each non-empty word of the text occurs in its LongName,
// case and accents ignored ("Sao" finds "S\xE3o Paulo"); a text of blanks only is no condition. The
// airport narrows like the others: the city must also be one of the cities it serves. The results
// are not cleared first.
void FilterCities(const TCityList& data, const TCountry* country, const TState* state,
                  const TAirport* airport, TListTarget& results, const std::string& keywords,
                  double offset, const TLocaleFacts& locale);

// The offsets the offset filter offers, in their order.
const std::vector<double>& SearchOffsets();
// "+5.75", "0", "-3.5" with the locale's separator.
std::string SearchOffsetText(double offset, const TLocaleFacts& locale);

// The filter lists: each empties the list, adds its "any" entry with no record, then the
// records, and selects the first entry. Id 0 is no condition.
void FillCountryFilter(const TCityList& data, TListTarget& list);
void FillStateFilter(const TCityList& data, TListTarget& list, std::int32_t countryId);
void FillAirportFilter(const TCityList& data, TListTarget& list, std::int32_t countryId,
                       std::int32_t stateId);
// "Any" and the offsets; the entries carry no record.
void FillOffsetFilter(TListTarget& list, const TLocaleFacts& locale);
