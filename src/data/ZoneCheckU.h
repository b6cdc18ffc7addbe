#pragma once

#include "data/CityListU.h"
#include "data/LocationStoreU.h"
#include "data/SummerTimeU.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// Which system zone each city lies in, and whether the offset and rules of the places agree
// with those zones over the coming months. The data file has no room for a zone, so the zones
// live in a text file of their own beside it ("default.zones" beside "default.tvk", the user's
// "user.zones" beside "user.tvk"):
//
//   # a comment; blank lines are skipped
//   COUNTRY<TAB>STATE<TAB>CITY<TAB>ZONE
//
// Names in UTF-8 as the location data window shows them: the country's name, the state's name
// (empty for a city without a state) and the city's long name. An empty CITY gives the zone of
// the place itself, used for its cities that have no line of their own. A line that does not
// have four fields or whose zone is no zone name is skipped; a later line replaces an earlier
// one with the same names.

// The names a line matches on.
struct TZoneKey {
    std::string Country, State, City;

    auto operator<=>(const TZoneKey&) const = default;
};

using TZoneMap = std::map<TZoneKey, std::string>;

// Any bytes are read; what cannot be a line is skipped.
TZoneMap ParseZoneMap(std::string_view text);
// The file's lines added to (and replacing those of) into; false when the file cannot be read or
// is larger than such a file could sensibly be (into is then unchanged).
bool ReadZoneMapFile(const std::string& path, TZoneMap& into);
std::string FormatZoneMap(const TZoneMap& map);
// Replaces the file safely; false when it cannot be written.
bool WriteZoneMapFile(const std::string& path, const TZoneMap& map);

// The key of a city, and of the place that governs it (City empty), in UTF-8.
TZoneKey CityZoneKey(const TCityList& data, const TCity& city);
TZoneKey PlaceZoneKey(const TCityList& data, const TPlace& place);
// The city's own line, else its place's line; empty when neither exists.
std::string ZoneOfCity(const TCityList& data, const TZoneMap& map, const TCity& city);

// One place of the data as the check judges it.
struct TZoneCheckItem {
    enum TKind { Agrees, Differs, CannotExpress, Unchecked };

    TKind Kind = Agrees;
    std::int32_t CountryId = 0; // the place: its country, or
    std::int32_t StateId = 0;   // its state when not 0
    std::string Place;          // "Mexico", "Texas, United States", in UTF-8
    std::string Zone;           // the zone an update takes; empty when unchecked
    std::size_t Cities = 0;     // cities of the place in the data
    // Differs: the place's rules and the zone's, in words; the first instant they disagree.
    std::string Here, System;
    std::int64_t FirstDifference = 0; // seconds since 1970 UTC
    // CannotExpress: why the zone cannot be held; Unchecked: why nothing was compared.
    std::string Reason;
    // Differs: what an update stores in the place.
    double UTCOffset = 0;
    TSummerTimeRule DSTStart, DSTEnd;
};

struct TZoneCheckResult {
    std::vector<TZoneCheckItem> Places; // in the data's order: countries, then states
    std::size_t CitiesChecked = 0;      // cities with a zone
    std::size_t Count(TZoneCheckItem::TKind kind) const;
};

// The span the check window looks at, and the one the clock warns about at start.
constexpr std::int64_t ZoneCheckYear = 365LL * 86400;
constexpr std::int64_t ZoneCheckMonth = 30LL * 86400;

// Compares every place that governs a city with the zones of its cities, at every instant from
// fromUtc to fromUtc + span. A place whose cities have no zone is unchecked; a zone the program's
// rules cannot hold is told apart. When onlyCities is not empty, only the places of those city
// ids are judged. Reads the zones from ZoneInfoDir(), each once.
TZoneCheckResult CheckZones(const TCityList& data, const TZoneMap& map, std::int64_t fromUtc,
                            std::int64_t span = ZoneCheckYear,
                            const std::vector<std::int32_t>& onlyCities = {});

// The line the clock shows once at start when a place of a city on the dial (or of My City)
// differs from its zone now or within ZoneCheckMonth; empty when none does.
std::string DialZoneNote(const TCityList& data, const TZoneMap& map, std::int64_t nowUtc);

// Has the store keep what the item says the zone gives in its place (which tells); false when
// the item does not differ or its place is gone.
bool UpdatePlace(TLocationStore& store, const TZoneCheckItem& item);

// A place's offset and rules in words: "UTC -6 with daylight saving from First Sunday after
// 1 April 02:00 to Last Sunday October 02:00", "UTC +5.5 all year".
std::string PlaceRulesWords(double utcOffset, const TSummerTimeRule& start,
                            const TSummerTimeRule& end);
