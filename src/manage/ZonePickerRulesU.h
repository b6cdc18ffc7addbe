#pragma once

#include "data/TimeZoneFileU.h"
#include "data/ZoneRulesU.h"
#include "manage/DSTPanelRulesU.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The rules of the "From time zone" dialog: which zones its list shows in which order, what its
// preview says, and what its Ok hands the country or state page.

// A line of the list: "Europe/Berlin (DE)", "Europe/Zurich (CH, DE, LI)", or the bare name of a
// zone that serves no country ("Etc/GMT+5").
std::string ZoneLineText(const TZoneName& zone);

// The country code a page's text gives for ordering the list: two letters A to Z in either
// case, upper-cased as the database writes them; anything else gives none.
std::string ZoneCountryCode(const std::string& text);

// The zones the search keeps, best first, as indexes into zones. Three ranks, each in the list's
// own order: a zone serving the country whose two-letter code was typed, or with a part of its
// name beginning with the text ("lis" finds Europe/Lisbon, "york" America/New_York); then zones
// with the text anywhere in the name. Letters A to Z match in either case and a blank matches an
// underscore. An empty search keeps every zone in its order.
std::vector<std::size_t> FilterZones(const std::vector<TZoneName>& zones,
                                     const std::string& search);

// What Ok gives the page: the zone's standard offset and its two rules.
struct TZonePick {
    double UTCOffset = 0;
    TSummerTimeRule DSTStart, DSTEnd;

    bool operator==(const TZonePick&) const = default;
};

// Nothing for a zone that the rules cannot hold; Ok is not offered then.
std::optional<TZonePick> PickOfZone(const TZoneDerivation& zone);

// The page after Ok, as if the user had entered the zone: the offset edit in the locale's
// general format, and the daylight-saving panel loaded the way a stored record loads it, so that
// Apply stores what the zone gives.
void ShowZonePick(const TZonePick& pick, std::string& offsetText, TDSTPanelState& panel,
                  const TDSTSummaryContext& context);

// Seconds since 1970-01-01 UTC of a UTC date-time, the instant the zone's rules are read from.
std::int64_t UnixSeconds(TDateTime utc);
