#include "TvkToolU.h"
#include "WorldCheckU.h"
#include "WorldTablesU.h"
#include "data/CityListU.h"
#include "data/ZoneRulesU.h"

#include "../data/ZoneFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const fs::path World = TAVIK_WORLD_DIR;

bool HaveZones() {
    return fs::exists("/usr/share/zoneinfo/Europe/Berlin");
}

std::map<std::string, std::string> Exceptions() {
    std::ifstream in(World / "exceptions.csv", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::map<std::string, std::string> result;
    const auto rows = ParseCsv(text.str(), "exceptions.csv");
    for (std::size_t i = 1; i < rows.size(); ++i)
        if (rows[i].Fields.size() == 2)
            result[rows[i].Fields[0]] = rows[i].Fields[1];
    return result;
}

// What a table row holds against what its zone derives; empty when they agree.
std::string Compare(const std::string& what, const std::string& zone, double offset,
                    const TSummerTimeRule& start, const TSummerTimeRule& end,
                    const std::map<std::string, std::string>& exceptions) {
    static std::map<std::string, TZoneDerivation> derived; // many places share a zone
    auto it = derived.find(zone);
    if (it == derived.end())
        it = derived.emplace(zone, DeriveZone(zone, CheckSpanBegin)).first;
    const TZoneDerivation& d = it->second;
    if (!d.Ok) {
        // The tables keep the standard time of a zone the rules cannot hold, and say why.
        if (!exceptions.count(zone))
            return what + " (" + zone + "): refused but not listed: " + d.Reason;
        if (offset != d.UTCOffset || start != TSummerTimeRule{} || end != TSummerTimeRule{})
            return what + " (" + zone + "): not the zone's standard time alone";
        return "";
    }
    if (offset != d.UTCOffset || start != d.DSTStart || end != d.DSTEnd)
        return what + " (" + zone + "): table " + FormatRule(start) + " / " + FormatRule(end) +
               ", zone " + FormatRule(d.DSTStart) + " / " + FormatRule(d.DSTEnd);
    return "";
}

} // namespace

TEST(ZoneTables, EveryCountryAndStateHoldsWhatItsZoneDerives) {
    const TScopedTzdir usual("");
    if (!HaveZones())
        GTEST_SKIP() << "no time-zone database installed";
    TCityList data;
    TWorldExtras extras;
    ReadWorldTables(World.string(), data, &extras);
    const auto exceptions = Exceptions();
    int compared = 0;
    for (int i = 0; i < data.Countries.Count(); ++i) {
        const TCountry& c = data.Countries.Items(i);
        const std::string& zone = extras.CountryZones[static_cast<std::size_t>(i)];
        if (zone.empty())
            continue;
        ++compared;
        EXPECT_EQ(Compare("country " + std::to_string(c.UniqueId), zone, c.UTCOffset, c.DSTStart,
                          c.DSTEnd, exceptions),
                  "");
    }
    for (int i = 0; i < data.States.Count(); ++i) {
        const TState& s = data.States.Items(i);
        const std::string& zone = extras.StateZones[static_cast<std::size_t>(i)];
        if (zone.empty())
            continue;
        ++compared;
        EXPECT_EQ(Compare("state " + std::to_string(s.UniqueID), zone, s.UTCOffset, s.DSTStart,
                          s.DSTEnd, exceptions),
                  "");
    }
    EXPECT_GT(compared, 250);
    // Each listed exception is refused by the derivation too.
    for (const auto& [zone, reason] : exceptions)
        EXPECT_FALSE(DeriveZone(zone, CheckSpanBegin).Ok) << zone;
}

TEST(ZoneTables, EveryCityHoldsWhatItsZoneDerives) {
    const TScopedTzdir usual("");
    if (!HaveZones())
        GTEST_SKIP() << "no time-zone database installed";
    TCityList data;
    TWorldExtras extras;
    ReadWorldTables(World.string(), data, &extras);
    const auto exceptions = Exceptions();
    for (int i = 0; i < data.Cities.Count(); ++i) {
        const TCity& city = data.Cities.Items(i);
        const std::string& zone = extras.CityZones[static_cast<std::size_t>(i)];
        const TPlace place = PlaceOfCity(data, city);
        ASSERT_TRUE(place) << city.UniqueID;
        EXPECT_EQ(Compare("city " + std::to_string(city.UniqueID), zone, place.UTCOffset(),
                          place.DSTStart(), place.DSTEnd(), exceptions),
                  "");
    }
}

TEST(ZoneTables, ToolPrintsTheTableTextOrTheReason) {
    const TScopedTzdir usual("");
    if (!HaveZones())
        GTEST_SKIP() << "no time-zone database installed";
    auto run = [](const std::vector<std::string>& args, std::string& out, std::string& err) {
        std::ostringstream o, e;
        const int rc = RunTvkTool(args, o, e);
        out = o.str();
        err = e.str();
        return rc;
    };
    std::string out, err;
    EXPECT_EQ(run({"zone", "Europe/Lisbon"}, out, err), 0);
    EXPECT_EQ(out, "0,First Sunday after 24 March 01:00,First Sunday after 24 October 02:00\n");
    EXPECT_EQ(run({"zone", "Pacific/Honolulu"}, out, err), 0);
    EXPECT_EQ(out, "-10,none,none\n");
    EXPECT_EQ(run({"zone", "Asia/Kathmandu"}, out, err), 0);
    EXPECT_EQ(out, "5.75,none,none\n");
    EXPECT_EQ(run({"zone", "Australia/Lord_Howe"}, out, err), 1);
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, "tvktool: Australia/Lord_Howe: daylight saving of 30 minutes\n");
    EXPECT_EQ(run({"zone", "Mars/Olympus_Mons"}, out, err), 1);
    EXPECT_EQ(err, "tvktool: Mars/Olympus_Mons: no such zone\n");
    EXPECT_EQ(run({"zone", "../../etc/passwd"}, out, err), 1);
    EXPECT_EQ(err, "tvktool: ../../etc/passwd: not a zone name\n");
    EXPECT_EQ(run({"zone"}, out, err), 2);
}
