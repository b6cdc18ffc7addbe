#include "WorldCheckU.h"

#include "TvkToolU.h"
#include "WorldTablesU.h"
#include "data/AnsiTextU.h"
#include "data/CityListU.h"
#include "data/DateTimeU.h"
#include "data/TimeZoneFileU.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// The system's clock for one zone: sets TZ for as long as it lives.
class TZoneClock {
public:
    explicit TZoneClock(const std::string& zone) {
        if (const char* old = std::getenv("TZ"))
            Old_ = old;
        const fs::path file = fs::path(ZoneInfoDir()) / zone;
        // glibc quietly falls back to UTC for a zone it cannot find.
        std::error_code ec;
        Known_ =
            !zone.empty() && zone.find("..") == std::string::npos && fs::is_regular_file(file, ec);
        ::setenv("TZ", (":" + zone).c_str(), 1);
        ::tzset();
    }
    ~TZoneClock() {
        if (Old_)
            ::setenv("TZ", Old_->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }
    TZoneClock(const TZoneClock&) = delete;
    TZoneClock& operator=(const TZoneClock&) = delete;

    bool Known() const { return Known_; }
    std::int32_t Offset(std::int64_t s) const {
        const std::time_t t = static_cast<std::time_t>(s);
        std::tm tm{};
        ::localtime_r(&t, &tm);
        return static_cast<std::int32_t>(tm.tm_gmtoff);
    }

private:
    std::optional<std::string> Old_;
    bool Known_ = false;
};

// The first second in (lo, hi] at which offset(s) differs from offset(lo); one change assumed.
template <typename F> std::int64_t FirstChange(std::int64_t lo, std::int64_t hi, F offset) {
    const auto before = offset(lo);
    while (hi - lo > 1) {
        const std::int64_t mid = lo + (hi - lo) / 2;
        if (offset(mid) == before)
            lo = mid;
        else
            hi = mid;
    }
    return hi;
}

using TSamples = std::vector<std::pair<std::int64_t, std::int32_t>>;

TSamples Samples(const TZoneClock& clock) {
    TSamples hours;
    for (std::int64_t s = CheckSpanBegin; s <= CheckSpanEnd; s += 3600)
        hours.emplace_back(s, clock.Offset(s));
    TSamples all = hours;
    for (std::size_t i = 1; i < hours.size(); ++i) {
        if (hours[i].second == hours[i - 1].second)
            continue;
        const std::int64_t t = FirstChange(hours[i - 1].first, hours[i].first,
                                           [&](std::int64_t s) { return clock.Offset(s); });
        for (std::int64_t s : {t - 60, t, t + 60})
            all.emplace_back(s, clock.Offset(s));
    }
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    return all;
}

TDateTime FromSeconds(std::int64_t s) {
    return FromUnixMilliseconds(s * 1000);
}

// The program's offset at an instant, in whole seconds.
std::int64_t ModelOffset(const TPlace& place, std::int64_t s) {
    const TDateTime utc = FromSeconds(s);
    return std::llround((place.LocalTime(utc) - utc) * 86400.0);
}

struct TVerdict {
    bool Agrees = true;
    std::int64_t Instant = 0;
    TDateTime Program = 0, System = 0;
};

// Compares at the zone's samples, then around the program's own transitions, which the hourly
// samples alone would place only to the hour.
TVerdict Compare(const TPlace& place, const TSamples& samples, const TZoneClock& clock) {
    TVerdict v;
    auto differs = [&](std::int64_t s, std::int32_t off) {
        const TDateTime program = place.LocalTime(FromSeconds(s));
        const TDateTime system = FromSeconds(s + off);
        if (std::fabs(program - system) * 86400.0 <= 0.5)
            return false;
        if (v.Agrees || s < v.Instant) {
            v.Agrees = false;
            v.Instant = s;
            v.Program = program;
            v.System = system;
        }
        return true;
    };
    std::int64_t prevS = 0, prevOff = 0;
    bool first = true;
    for (const auto& [s, off] : samples) {
        differs(s, off);
        const std::int64_t modelOff = ModelOffset(place, s);
        if (!first && modelOff != prevOff) {
            const std::int64_t t =
                FirstChange(prevS, s, [&](std::int64_t x) { return ModelOffset(place, x); });
            for (std::int64_t x : {t - 60, t, t + 60})
                differs(x, clock.Offset(x));
        }
        first = false;
        prevS = s;
        prevOff = modelOff;
    }
    return v;
}

std::map<std::string, std::string> ReadExceptions(const fs::path& dir) {
    std::map<std::string, std::string> result;
    std::ifstream in(dir / "exceptions.csv", std::ios::binary);
    if (!in)
        return result;
    std::ostringstream text;
    text << in.rdbuf();
    const std::string name = (dir / "exceptions.csv").string();
    const auto rows = ParseCsv(text.str(), name);
    if (rows.empty() || rows[0].Fields != std::vector<std::string>{"Zone", "Reason"})
        throw EWorldTableError(name, 1, "", "header must be Zone,Reason");
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const auto& r = rows[i];
        if (r.Fields.size() == 1 && r.Fields[0].empty())
            continue;
        if (r.Fields.size() != 2)
            throw EWorldTableError(name, r.Line, "", "expected Zone,Reason");
        if (r.Fields[1].empty())
            throw EWorldTableError(name, r.Line, "Reason", "a reason is required");
        result[r.Fields[0]] = r.Fields[1];
    }
    return result;
}

// Links that the program follows without asking: each must name a record that exists.
int CheckLinks(const TCityList& d, std::ostream& out) {
    int faults = 0;
    auto fault = [&](const std::string& what) {
        out << "unexpected: link: " << what << '\n';
        ++faults;
    };
    std::set<std::int32_t> ids;
    for (const auto& c : d.Countries) {
        if (!ids.insert(c->UniqueId).second)
            fault("country id " + std::to_string(c->UniqueId) + " given twice");
        if (c->CapitalCity != 0 && !d.Cities.FindById(c->CapitalCity))
            fault("capital of " + AnsiToUtf8(c->Name) + " names no city");
    }
    ids.clear();
    for (const auto& s : d.States) {
        if (!ids.insert(s->UniqueID).second)
            fault("state id " + std::to_string(s->UniqueID) + " given twice");
        if (!d.Countries.FindById(s->CountryId))
            fault("state " + AnsiToUtf8(s->Name) + " names no country");
    }
    ids.clear();
    for (const auto& c : d.Cities) {
        if (!ids.insert(c->UniqueID).second)
            fault("city id " + std::to_string(c->UniqueID) + " given twice");
        const TState* st = d.States.FindById(c->StateId);
        if (!d.Countries.FindById(c->CountryId) || (c->StateId != 0 && !st) ||
            (st && st->CountryId != c->CountryId))
            fault("city " + AnsiToUtf8(c->LongName) + " names a missing country or state");
    }
    for (const auto& a : d.Airports)
        for (int i = 1; i <= TAirport::SlotCount; ++i)
            if (a->ClosestCities(i) != 0 && !d.Cities.FindById(a->ClosestCities(i)))
                fault("airport " + AnsiToUtf8(a->Name) + " names a missing city");
    return faults;
}

} // namespace

std::vector<std::pair<std::int64_t, std::int32_t>> ZoneSamples(const std::string& zone) {
    const TZoneClock clock(zone);
    if (!clock.Known())
        return {};
    return Samples(clock);
}

int RunWorldCheck(const std::string& dir, const TCheckOptions& options, std::ostream& out,
                  std::ostream& err) {
    TCityList data;
    TWorldExtras extras;
    std::map<std::string, std::string> exceptions;
    try {
        ReadWorldTables(dir, data, &extras);
        exceptions = ReadExceptions(dir);
    } catch (const std::exception& e) {
        err << "tvktool: " << e.what() << '\n';
        return 1;
    }
    const int linkFaults = CheckLinks(data, out);

    // The cities to check, grouped by zone: the system's side is computed once per zone, the
    // program's once per place within it.
    std::vector<std::size_t> chosen;
    const std::size_t n = static_cast<std::size_t>(data.Cities.Count());
    const std::size_t want = options.Sample == 0 ? n : std::min(options.Sample, n);
    for (std::size_t k = 0; k < want; ++k)
        chosen.push_back(k * n / want);
    std::map<std::string, std::vector<std::size_t>> byZone;
    for (std::size_t i : chosen)
        if (!extras.CityZones[i].empty())
            byZone[extras.CityZones[i]].push_back(i);

    std::map<std::size_t, std::string> lines; // unexpected, by city index: in table order
    struct TExpected {
        std::size_t Cities = 0;
        std::string FirstCity;
    };
    std::map<std::string, TExpected> expected;
    std::size_t agree = 0, unexpected = 0, listed = 0;
    for (const auto& [zone, cities] : byZone) {
        const TZoneClock clock(zone);
        const TSamples samples = clock.Known() ? Samples(clock) : TSamples{};
        std::map<std::pair<const void*, const void*>, TVerdict> byPlace;
        for (std::size_t i : cities) {
            const TCity& city = data.Cities.Items(static_cast<int>(i));
            const TPlace place = PlaceOfCity(data, city);
            std::string line;
            if (!clock.Known()) {
                line = "unknown zone";
            } else if (!place) {
                line = "no place";
            } else {
                const auto key = std::make_pair(static_cast<const void*>(place.State),
                                                static_cast<const void*>(place.Country));
                auto it = byPlace.find(key);
                if (it == byPlace.end())
                    it = byPlace.emplace(key, Compare(place, samples, clock)).first;
                const TVerdict& v = it->second;
                if (!v.Agrees)
                    line = FormatIsoSeconds(FromSeconds(v.Instant)) + " UTC\tprogram " +
                           FormatIsoSeconds(v.Program) + "\tsystem " + FormatIsoSeconds(v.System);
            }
            if (line.empty()) {
                ++agree;
            } else if (clock.Known() && place && exceptions.count(zone)) {
                ++listed;
                TExpected& e = expected[zone];
                if (e.Cities++ == 0)
                    e.FirstCity = AnsiToUtf8(city.LongName);
            } else {
                ++unexpected;
                lines[i] = AnsiToUtf8(city.LongName) + "\t" + zone + "\t" + line;
            }
        }
    }
    for (const auto& [i, line] : lines)
        out << "unexpected: " << line << '\n';
    if (!options.Brief)
        for (const auto& [zone, e] : expected)
            out << "expected: " << zone << " (" << e.FirstCity
                << (e.Cities > 1 ? " and " + std::to_string(e.Cities - 1) + " more" : "")
                << "): " << exceptions[zone] << '\n';
    if (options.Sample == 0)
        for (const auto& [zone, reason] : exceptions)
            if (!expected.count(zone))
                out << "note: " << zone << " is listed in exceptions.csv but agrees now\n";
    const std::size_t bad = unexpected + static_cast<std::size_t>(linkFaults);
    std::size_t checked = 0;
    for (const auto& [zone, cities] : byZone)
        checked += cities.size();
    out << agree << " of " << checked << " cities agree with the system's zones"
        << (chosen.size() < n ? " (a sample of " + std::to_string(n) + ")" : std::string())
        << (checked < chosen.size()
                ? " (" + std::to_string(chosen.size() - checked) + " without a zone)"
                : std::string())
        << "; " << listed << " differ as listed in exceptions.csv (" << expected.size()
        << (expected.size() == 1 ? " zone); " : " zones); ") << bad << " unexpected"
        << (bad > 0 ? " (listed above)" : "") << '\n';
    return bad == 0 ? 0 : 1;
}
