#pragma once

#include "data/CityListU.h"
#include "data/LocationStoreU.h"
#include "manage/DSTPanelRulesU.h"

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The rules of the location data window: what each page's Apply checks, in which order, and
// hands the store; what a deletion refuses. The window reads its controls into the inputs below
// (texts in UTF-8, as typed) and shows the outcome; the store keeps the record and tells the
// windows.

// The offsets a place may have, in hours east of UTC.
constexpr double MinUTCOffset = -12.0;
constexpr double MaxUTCOffset = 14.0;
// An airport serves at most this many cities.
constexpr int MaxClosestCities = TAirport::SlotCount;

// Where a refused Apply puts the keyboard.
enum class TManageField { None, Name, Code, Offset, Country, ShortName, LongName, Codes };

struct TApplyOutcome {
    bool Applied = false;
    std::string Message; // UTF-8; what the refusal says
    TManageField Focus = TManageField::None;
    int CodeRow = -1; // the grid row of a refused airport code
    // The offset text was out of range or no number: the edit shows the stored offset again.
    bool OffsetReset = false;
    std::string OffsetText;
};

// The stored form of a typed text; false with the refusal when a character cannot be stored.
bool StorableText(const std::string& utf8, std::string& ansi, std::string& refusal);

// A decimal number as typed, with the locale's separator (a point is taken too).
bool ParseOffset(const std::string& text, char decimalSeparator, double& out);
// The silent offset rule: a number within the limits is taken; anything else keeps the stored
// value and shows its text again.
double OffsetFromText(const std::string& text, double stored, const TLocaleFacts& locale,
                      TApplyOutcome& outcome);

struct TCountryInput {
    std::string Name;
    std::string Code;
    std::string Offset;
    std::int32_t CapitalCity = 0; // 0: "-- No City --" or no selection
    TDSTPanelState Panel;
};
// Checks and has the store keep it; in new mode the store adds the country and it becomes the
// edited one.
TApplyOutcome ApplyCountry(TLocationStore& store, TCountry*& edited, bool newMode,
                           const TCountryInput& input, const TDSTSummaryContext& context);
// The message that refuses the deletion, or empty when the country may go.
std::string CountryDeleteRefusal(const TCityList& data, const TCountry& country);

struct TStateInput {
    std::string Name;
    std::string Code;
    std::string Offset;
    std::int32_t CountryId = 0; // 0: none selected
    TDSTPanelState Panel;
};
TApplyOutcome ApplyState(TLocationStore& store, TState*& edited, bool newMode,
                         const TStateInput& input, const TDSTSummaryContext& context);
std::string StateDeleteRefusal(const TCityList& data, const TState& state);

struct TCityInput {
    std::string LongName;
    std::string ShortName;
    std::int32_t CountryId = 0; // the country selected, 0 none
    std::int32_t StateId = 0;   // the state selected, 0 none
    bool Capital = false;
    bool Default = false;
    // The airports of the check list with their marks.
    std::vector<std::pair<TAirport*, bool>> Airports;
};
TApplyOutcome ApplyCity(TLocationStore& store, TCity*& edited, bool newMode,
                        const TCityInput& input);
std::string CityDeleteRefusal(const TCity& city, const TCity* myCity);
// Whether the airport has no room left for the city (which it does not serve yet).
bool AirportIsFull(const TAirport& airport, std::int32_t cityId);
std::string FullAirportMessage(const TAirport& airport);

struct TAirportInput {
    std::string Name;
    std::array<std::string, TAirport::SlotCount> Codes;
    std::int32_t CountryId = 0;
    std::int32_t StateId = 0;
    std::vector<std::int32_t> Cities; // the checked cities in list order
};
TApplyOutcome ApplyAirport(TLocationStore& store, TAirport*& edited, bool newMode,
                           const TAirportInput& input);
std::string TooManyCitiesMessage();

// A digest of all that the window's lists and combos show (records, names, offsets, places and
// My City): equal digests mean the lists filled at the last one can be shown again unchanged.
std::uint64_t ListsFingerprint(const TCityList& data, const TCity* myCity);

// The country a city or an airport lies in: its state's country when it names a state.
const TCountry* CountryOfPlace(const TCityList& data, std::int32_t stateId, std::int32_t countryId);

// Refusal texts shared by the pages.
extern const char* const EmptyNameMessage;
extern const char* const SelectCountryMessage;
extern const char* const InvalidDSTMessage;
