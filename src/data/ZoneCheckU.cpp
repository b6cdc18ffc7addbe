#include "data/ZoneCheckU.h"

#include "data/AnsiTextU.h"
#include "data/FormatU.h"
#include "data/StreamU.h"
#include "data/TimeZoneFileU.h"
#include "data/ZoneRulesU.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace {

// No side file of a world comes near this; a larger one is not read at all.
constexpr std::size_t ZoneMapLimit = 16u << 20;

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos)
            return fields;
        start = tab + 1;
    }
}

TDateTime FromSeconds(std::int64_t s) {
    return FromUnixMilliseconds(s * 1000);
}

std::int32_t ModelOffset(double utcOffset, const TSummerTimeRule& start, const TSummerTimeRule& end,
                         std::int64_t s) {
    const TDateTime utc = FromSeconds(s);
    const double d = (PlaceLocalTime(utcOffset, start, end, utc) - utc) * 86400.0;
    if (!std::isfinite(d) || std::fabs(d) > 1e7)
        return 0x7fffffff; // an offset no zone has: never agrees
    return static_cast<std::int32_t>(std::llround(d));
}

int YearOf(std::int64_t s) {
    TDateParts p;
    return TryDecodeDate(FromSeconds(s), p) ? p.Year : 0;
}

// A system zone as the check needs it: its listed changes, and the yearly rule after them.
struct TZoneModel {
    bool Read = false;
    TZoneFile File;
    TZoneDerivation Rules;

    std::int32_t Offset(std::int64_t s) const {
        const auto& t = File.Transitions;
        if (!t.empty() && s < t.back().At) {
            const auto it = std::upper_bound(
                t.begin(), t.end(), s,
                [](std::int64_t x, const TZoneTransition& tr) { return x < tr.At; });
            return it == t.begin() ? File.InitialOffset : std::prev(it)->Offset;
        }
        if (Rules.Ok)
            return ModelOffset(Rules.UTCOffset, Rules.DSTStart, Rules.DSTEnd, s);
        return t.empty() ? File.InitialOffset : t.back().Offset;
    }
};

// The offsets of one side at the check's daily instants, and how to ask it in between.
template <typename F> struct TSide {
    F Offset;
    std::vector<std::int32_t> Days;
};

bool Near(std::int32_t a, std::int32_t b) {
    return std::abs(static_cast<std::int64_t>(a) - b) <= 1;
}

// The first second in (lo, hi] at which offset differs from offset(lo); one change assumed.
template <typename F> std::int64_t FirstChange(std::int64_t lo, std::int64_t hi, const F& offset) {
    const std::int32_t before = offset(lo);
    while (hi - lo > 1) {
        const std::int64_t mid = lo + (hi - lo) / 2;
        if (offset(mid) == before)
            lo = mid;
        else
            hi = mid;
    }
    return hi;
}

std::vector<std::int64_t> DayInstants(std::int64_t from, std::int64_t span) {
    std::vector<std::int64_t> t;
    for (std::int64_t s = from; s < from + span; s += 86400)
        t.push_back(s);
    t.push_back(from + span);
    return t;
}

// The first instant at which the two sides disagree, if any. Between two daily instants each
// side changes at most once (no clock moves twice in a day), so the change instants decide.
template <typename P, typename S>
std::optional<std::int64_t> FirstDisagreement(const std::vector<std::int64_t>& t,
                                              const std::vector<std::int32_t>& p, const P& pf,
                                              const std::vector<std::int32_t>& s, const S& sf) {
    if (!Near(p[0], s[0]))
        return t[0];
    for (std::size_t k = 1; k < t.size(); ++k) {
        const bool pc = p[k] != p[k - 1], sc = s[k] != s[k - 1];
        if (!pc && !sc)
            continue;
        // Plain values rather than optionals: GCC 12 warns falsely about the optionals here.
        const std::int64_t cp = pc ? FirstChange(t[k - 1], t[k], pf) : t[k];
        const std::int64_t cs = sc ? FirstChange(t[k - 1], t[k], sf) : t[k];
        if (!Near(p[k], s[k]))
            return std::min(cp, cs);
        if (pc && sc && cp != cs)
            return std::min(cp, cs);
    }
    return std::nullopt;
}

std::string OffsetWords(double hours) {
    return "UTC " + std::string(hours >= 0 ? "+" : "") + FormatGeneral(hours, TLocaleFacts{});
}

} // namespace

TZoneMap ParseZoneMap(std::string_view text) {
    TZoneMap map;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        const auto f = SplitTabs(line);
        if (f.size() != 4 || f[0].empty())
            continue;
        const std::string zone(f[3]);
        if (!IsZoneName(zone))
            continue;
        map[TZoneKey{std::string(f[0]), std::string(f[1]), std::string(f[2])}] = zone;
    }
    return map;
}

bool ReadZoneMapFile(const std::string& path, TZoneMap& into) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadFileBytes(path, ZoneMapLimit + 1);
    } catch (const EStreamError&) {
        return false;
    }
    if (bytes.size() > ZoneMapLimit)
        return false;
    TZoneMap read =
        ParseZoneMap(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    for (auto& [key, zone] : read)
        into[key] = std::move(zone);
    return true;
}

std::string FormatZoneMap(const TZoneMap& map) {
    std::string out = "# Tavik: the time zone of each city, one a line:\n"
                      "# COUNTRY<TAB>STATE<TAB>CITY<TAB>ZONE (an empty CITY: the whole place)\n";
    for (const auto& [key, zone] : map) {
        // A name holding a tab or a line break cannot be told apart again; leave it out.
        const auto bad = [](const std::string& s) {
            return s.find_first_of("\t\r\n") != std::string::npos;
        };
        if (key.Country.empty() || bad(key.Country) || bad(key.State) || bad(key.City) ||
            !IsZoneName(zone))
            continue;
        out += key.Country + '\t' + key.State + '\t' + key.City + '\t' + zone + '\n';
    }
    return out;
}

bool WriteZoneMapFile(const std::string& path, const TZoneMap& map) {
    const std::string text = FormatZoneMap(map);
    try {
        ReplaceFileContent(path, std::vector<std::uint8_t>(text.begin(), text.end()));
    } catch (const EStreamError&) {
        return false;
    }
    return true;
}

TZoneKey PlaceZoneKey(const TCityList& data, const TPlace& place) {
    TZoneKey key;
    if (place.State) {
        key.State = AnsiToUtf8(place.State->Name);
        if (const TCountry* c = data.Countries.FindById(place.State->CountryId))
            key.Country = AnsiToUtf8(c->Name);
    } else if (place.Country) {
        key.Country = AnsiToUtf8(place.Country->Name);
    }
    return key;
}

TZoneKey CityZoneKey(const TCityList& data, const TCity& city) {
    TZoneKey key = PlaceZoneKey(data, PlaceOfCity(data, city));
    key.City = AnsiToUtf8(city.LongName);
    return key;
}

std::string ZoneOfCity(const TCityList& data, const TZoneMap& map, const TCity& city) {
    TZoneKey key = CityZoneKey(data, city);
    auto it = map.find(key);
    if (it != map.end())
        return it->second;
    key.City.clear();
    it = map.find(key);
    return it != map.end() ? it->second : std::string();
}

std::size_t TZoneCheckResult::Count(TZoneCheckItem::TKind kind) const {
    return static_cast<std::size_t>(std::count_if(
        Places.begin(), Places.end(), [&](const TZoneCheckItem& i) { return i.Kind == kind; }));
}

std::string PlaceRulesWords(double utcOffset, const TSummerTimeRule& start,
                            const TSummerTimeRule& end) {
    if (start.Kind == RuleKindNone)
        return OffsetWords(utcOffset) + " all year";
    return OffsetWords(utcOffset) + " with daylight saving from " + RuleWords(start) + " to " +
           RuleWords(end);
}

TZoneCheckResult CheckZones(const TCityList& data, const TZoneMap& map, std::int64_t fromUtc,
                            std::int64_t span, const std::vector<std::int32_t>& onlyCities) {
    TZoneCheckResult result;
    if (span < 86400)
        span = 86400;

    // The places that govern cities, each with the zones of its cities in the order first met.
    struct TPlaceCities {
        TPlace Place;
        std::size_t Cities = 0;
        std::vector<std::pair<std::string, std::size_t>> Zones; // zone, cities in it
        std::string CapitalZone;
        bool Wanted = false;
    };
    std::map<std::pair<const void*, const void*>, TPlaceCities> places;
    for (const auto& c : data.Cities) {
        const TPlace place = PlaceOfCity(data, *c);
        if (!place)
            continue;
        TPlaceCities& pc = places[{place.State, place.Country}];
        pc.Place = place;
        ++pc.Cities;
        if (onlyCities.empty() ||
            std::find(onlyCities.begin(), onlyCities.end(), c->UniqueID) != onlyCities.end())
            pc.Wanted = true;
        const std::string zone = ZoneOfCity(data, map, *c);
        if (zone.empty())
            continue;
        ++result.CitiesChecked;
        auto z = std::find_if(pc.Zones.begin(), pc.Zones.end(),
                              [&](const auto& e) { return e.first == zone; });
        if (z == pc.Zones.end())
            pc.Zones.emplace_back(zone, 1);
        else
            ++z->second;
        const TCountry* country =
            data.Countries.FindById(place.State ? place.State->CountryId : c->CountryId);
        if (country && country->CapitalCity == c->UniqueID)
            pc.CapitalZone = zone;
    }

    const std::vector<std::int64_t> instants = DayInstants(fromUtc, span);
    std::map<std::string, TZoneModel> zones;
    std::map<std::string, std::vector<std::int32_t>> zoneDays;
    auto model = [&](const std::string& name) -> const TZoneModel& {
        auto it = zones.find(name);
        if (it != zones.end())
            return it->second;
        TZoneModel m;
        std::string why;
        m.Read = ReadZone(name, m.File, why);
        m.Rules = m.Read ? DeriveZoneFile(m.File, fromUtc) : TZoneDerivation{};
        if (!m.Read)
            m.Rules.Reason = "the system has no zone " + name + " (" + why + ")";
        it = zones.emplace(name, std::move(m)).first;
        if (it->second.Rules.Ok) {
            std::vector<std::int32_t>& days = zoneDays[name];
            for (std::int64_t s : instants)
                days.push_back(it->second.Offset(s));
        }
        return it->second;
    };

    auto judge = [&](const TPlaceCities& pc) {
        TZoneCheckItem item;
        item.Cities = pc.Cities;
        if (pc.Place.State) {
            item.StateId = pc.Place.State->UniqueID;
            item.CountryId = pc.Place.State->CountryId;
            const TZoneKey key = PlaceZoneKey(data, pc.Place);
            item.Place = key.State + (key.Country.empty() ? "" : ", " + key.Country);
        } else {
            item.CountryId = pc.Place.Country->UniqueId;
            item.Place = AnsiToUtf8(pc.Place.Country->Name);
        }
        if (pc.Zones.empty()) {
            item.Kind = TZoneCheckItem::Unchecked;
            item.Reason = "no city of this place has a time zone";
            return item;
        }
        // The capital's zone first, then by the number of cities in it.
        std::vector<std::pair<std::string, std::size_t>> order = pc.Zones;
        std::stable_sort(order.begin(), order.end(), [&](const auto& a, const auto& b) {
            const bool ca = a.first == pc.CapitalZone, cb = b.first == pc.CapitalZone;
            return ca != cb ? ca : a.second > b.second;
        });
        item.Zone = order.front().first;
        const double off = pc.Place.UTCOffset();
        const TSummerTimeRule &start = pc.Place.DSTStart(), &end = pc.Place.DSTEnd();
        const auto placeOffset = [&](std::int64_t s) { return ModelOffset(off, start, end, s); };
        std::vector<std::int32_t> placeDays;
        for (std::int64_t s : instants)
            placeDays.push_back(placeOffset(s));
        std::optional<TZoneCheckItem> apart;
        for (const auto& [name, count] : order) {
            const TZoneModel& m = model(name);
            if (!m.Rules.Ok) {
                if (!apart) {
                    apart = item;
                    apart->Kind = TZoneCheckItem::CannotExpress;
                    apart->Zone = name;
                    apart->Reason = m.Rules.Reason;
                }
                continue;
            }
            const auto sys = [&](std::int64_t s) { return m.Offset(s); };
            const auto at =
                FirstDisagreement(instants, placeDays, placeOffset, zoneDays[name], sys);
            if (!at)
                continue;
            item.Kind = TZoneCheckItem::Differs;
            item.Zone = name;
            item.FirstDifference = *at;
            item.Here = PlaceRulesWords(off, start, end);
            item.System = PlaceRulesWords(m.Rules.UTCOffset, m.Rules.DSTStart, m.Rules.DSTEnd);
            const auto& t = m.File.Transitions;
            if (m.Rules.DSTStart.Kind == RuleKindNone) {
                auto last = std::find_if(t.rbegin(), t.rend(), [&](const TZoneTransition& tr) {
                    return tr.At <= fromUtc;
                });
                if (last != t.rend() && YearOf(last->At) > 0)
                    item.System += " since " + std::to_string(YearOf(last->At));
            }
            item.UTCOffset = m.Rules.UTCOffset;
            item.DSTStart = m.Rules.DSTStart;
            item.DSTEnd = m.Rules.DSTEnd;
            return item;
        }
        return apart ? *apart : item;
    };

    for (const auto& c : data.Countries) {
        auto it = places.find({nullptr, static_cast<const void*>(c)});
        if (it != places.end() && it->second.Wanted)
            result.Places.push_back(judge(it->second));
    }
    for (const auto& s : data.States) {
        auto it = places.find({static_cast<const void*>(s), nullptr});
        if (it != places.end() && it->second.Wanted)
            result.Places.push_back(judge(it->second));
    }
    return result;
}

std::string DialZoneNote(const TCityList& data, const TZoneMap& map, std::int64_t nowUtc) {
    std::vector<std::int32_t> dial;
    for (const auto& c : data.Cities)
        if (c->Default || c == data.MyCity)
            dial.push_back(c->UniqueID);
    if (dial.empty())
        return {};
    const TZoneCheckResult r = CheckZones(data, map, nowUtc, ZoneCheckMonth, dial);
    std::vector<std::string> names;
    for (const TZoneCheckItem& i : r.Places)
        if (i.Kind == TZoneCheckItem::Differs)
            names.push_back(i.Place);
    if (names.empty())
        return {};
    std::string list = names[0];
    if (names.size() == 2)
        list += " and " + names[1];
    else if (names.size() > 2)
        list += " and " + std::to_string(names.size() - 1) + " more places";
    return "The clock's rules for " + list +
           " differ from the system's time zones within 30 days. Location > Check Time Zones... "
           "shows what differs and updates them.";
}

bool UpdatePlace(TLocationStore& store, const TZoneCheckItem& item) {
    if (item.Kind != TZoneCheckItem::Differs)
        return false;
    TCityList& data = store.Data();
    if (item.StateId != 0) {
        TState* s = data.States.FindById(item.StateId);
        if (!s)
            return false;
        TStateChange change{s, *s};
        change.Value.UTCOffset = item.UTCOffset;
        change.Value.DSTStart = item.DSTStart;
        change.Value.DSTEnd = item.DSTEnd;
        store.ApplyState(change);
    } else {
        TCountry* c = data.Countries.FindById(item.CountryId);
        if (!c)
            return false;
        TCountryChange change{c, *c};
        change.Value.UTCOffset = item.UTCOffset;
        change.Value.DSTStart = item.DSTStart;
        change.Value.DSTEnd = item.DSTEnd;
        store.ApplyCountry(change);
    }
    return true;
}
