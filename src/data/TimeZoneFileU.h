#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The system's time-zone database: its compiled zone files (TZif) and the list of its zone
// names. Nothing here keeps state; every call reads the files afresh.

// The folder of the compiled zones: $TZDIR when set and not empty (tests point it at files of
// their own), else /usr/share/zoneinfo. No other part of the program asks where zones live.
std::string ZoneInfoDir();

// Whether a text can name a zone: components of letters, digits, '_', '-', '+' and '.',
// separated by single '/', none of them "." or "..", so that the name stays inside the folder.
bool IsZoneName(const std::string& name);

// One change of the clock, as the zone file lists it.
struct TZoneTransition {
    std::int64_t At = 0;     // seconds since 1970-01-01 UTC
    std::int32_t Offset = 0; // seconds east of UTC from that instant on
    bool IsDst = false;

    bool operator==(const TZoneTransition&) const = default;
};

// What the program takes from a compiled zone: its 64-bit transitions and the POSIX TZ string
// that describes the clock after the last of them.
struct TZoneFile {
    int Version = 0;                          // 2, 3, 4, ...
    std::string Footer;                       // the TZ string; empty when the file gives none
    std::int32_t InitialOffset = 0;           // before the first transition
    std::vector<TZoneTransition> Transitions; // ascending
};

// Reads a whole zone file from its bytes. Files of version 1 carry no TZ string and are
// refused, as are files that are cut short or inconsistent; false with a reason in words then,
// and out untouched.
bool ParseZoneFile(std::string_view bytes, TZoneFile& out, std::string& why);
// The same from a file; refuses files larger than any zone file could be.
bool ReadZoneFile(const std::string& path, TZoneFile& out, std::string& why);
// A zone by its name ("Europe/Berlin") from ZoneInfoDir().
bool ReadZone(const std::string& name, TZoneFile& out, std::string& why);

// A zone of the database with the ISO 3166 codes of the countries it serves (none for names
// such as "Etc/GMT+5" or "EST5EDT").
struct TZoneName {
    std::string Name;
    std::vector<std::string> Countries;
    // Where the zone stands in the country lists of zone.tab (then zone1970.tab): the principal
    // zone of a country comes first there. -1 for zones listed in neither.
    int TabOrder = -1;

    bool operator==(const TZoneName&) const = default;
};

// Every zone and link name of the database in dir, sorted by name, with its countries: names
// from tzdata.zi, zone.tab and zone1970.tab, each file used when present. Empty when none is.
std::vector<TZoneName> ListZones(const std::string& dir = ZoneInfoDir());

// The same list with the zones of one country first, its principal zone leading; the rest keep
// their order. An empty or unknown code leaves the list as it is.
std::vector<TZoneName> ZonesCountryFirst(std::vector<TZoneName> zones, const std::string& code);
