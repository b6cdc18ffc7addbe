#include "TvkToolU.h"
#include "VerifyU.h"
#include "WorldCheckU.h"
#include "WorldTablesU.h"
#include "data/CityListU.h"
#include "data/StreamU.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <numeric>
#include <set>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const fs::path& p, const std::string& text) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << text;
}

TSummerTimeRule Rule(const std::string& text) {
    TSummerTimeRule r;
    std::string why;
    EXPECT_TRUE(ParseRule(text, r, why)) << text << ": " << why;
    return r;
}

class WorldTables : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() /
              ("tavik-world-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(Dir);
        fs::create_directories(Dir / "tables");
    }
    void TearDown() override { fs::remove_all(Dir); }

    // A small world in table form, correct in every respect.
    void WriteTables(const fs::path& d) {
        WriteAll(d / "countries.csv",
                 "UniqueId,Name,Code,UTCOffset,CapitalCity,DSTStart,DSTEnd,Zone\n"
                 "1,Germany,DE,1,1,First Sunday after 24 March 02:00,"
                 "First Sunday after 24 October 03:00,Europe/Berlin\n"
                 "2,United States,US,-5,0,none,none,\n");
        WriteAll(d / "states.csv",
                 "UniqueID,Name,Code,CountryId,UTCOffset,Reserved,DSTStart,DSTEnd,Zone\n"
                 "1,New York,NY,2,-5,0,First Sunday after 7 March 02:00,"
                 "First Sunday after 31 October 02:00,America/New_York\n");
        WriteAll(d / "cities.csv", "UniqueID,ShortName,LongName,StateId,CountryId,Default,Zone\n"
                                   "1,Berlin,Berlin,0,1,1,Europe/Berlin\n"
                                   "2,New York,\"New York, NY\",1,2,0,America/New_York\n");
        WriteAll(d / "airports.csv",
                 "UniqueID,Name,Codes,ClosestCities,StateId,CountryId,Latitude,Longitude\n"
                 "1,John F. Kennedy,JFK|KJFK,2,1,2,40.64,-73.78\n");
        WriteAll(d / "mycity.csv", "MyCity\n0\n");
    }

    // The fault that building the tables of a folder reports.
    std::string BuildError(const fs::path& d) {
        std::ostringstream err;
        EXPECT_EQ(BuildWorld(d.string(), (Dir / "out.tvk").string(), err), 1);
        return err.str();
    }

    fs::path Dir;
};

// --- Rule text -----------------------------------------------------------------------------

TEST(WorldRuleText, ReadableFormsMapToTheirFieldsAndBack) {
    const TSummerTimeRule none = Rule("none");
    EXPECT_EQ(none, TSummerTimeRule{});

    const TSummerTimeRule after = Rule("Second Sunday after 7 March 02:00");
    EXPECT_EQ(after.Kind, RuleKindWeekday);
    EXPECT_EQ(after.WeekOrdinal, 1);
    EXPECT_EQ(after.WeekDay, 7);
    EXPECT_EQ(after.AfterDay, 7);
    EXPECT_EQ(after.RuleMonth, 3);
    EXPECT_EQ(after.ChangeTime, 120 / 1440.0);

    const TSummerTimeRule last = Rule("Last Friday October 23:59");
    EXPECT_EQ(last.WeekOrdinal, 3);
    EXPECT_EQ(last.WeekDay, 5);
    EXPECT_EQ(last.AfterDay, 0);
    EXPECT_EQ(last.ChangeTime, (23 * 60 + 59) / 1440.0);

    const TSummerTimeRule fixed = Rule("fixed 21 March 00:30");
    EXPECT_EQ(fixed.Kind, RuleKindFixed);
    EXPECT_EQ(fixed.FixedDay, 21);
    EXPECT_EQ(fixed.FixedMonth, 3);

    for (const char* text :
         {"none", "Second Sunday after 7 March 02:00", "Last Friday October 23:59",
          "fixed 21 March 00:30", "First Monday January 00:00"})
        EXPECT_EQ(FormatRule(Rule(text)), text);
}

TEST(WorldRuleText, OddRecordsGoRawAndComeBackBitForBit) {
    std::vector<TSummerTimeRule> odd;
    TSummerTimeRule r = Rule("Last Sunday March 01:00");
    r.FixedDay = 3; // unused by the weekday kind, still stored
    odd.push_back(r);
    r = Rule("Last Sunday March 01:00");
    r.ChangeTime = 1.0 / 24.0 + 1e-9; // not a whole minute
    odd.push_back(r);
    r = Rule("none");
    r.ChangeTime = -0.0;
    odd.push_back(r);
    r.ChangeTime = std::numeric_limits<double>::quiet_NaN();
    odd.push_back(r);
    r = TSummerTimeRule{};
    r.Kind = 1; // what the editor writes for "no daylight saving"
    odd.push_back(r);
    r.Kind = 255;
    r.WeekOrdinal = 9;
    r.WeekDay = 65535;
    r.RuleMonth = 13;
    r.ChangeTime = 1.0;
    odd.push_back(r);
    for (const auto& o : odd) {
        const std::string text = FormatRule(o);
        EXPECT_EQ(text.rfind("raw ", 0), 0u) << text;
        TSummerTimeRule back;
        std::string why;
        ASSERT_TRUE(ParseRule(text, back, why)) << text << ": " << why;
        std::uint8_t a[20], b[20];
        o.ToBytes(a);
        back.ToBytes(b);
        EXPECT_EQ(std::string(a, a + 20), std::string(b, b + 20)) << text;
    }
}

TEST(WorldRuleText, MalformedRulesAreRefusedWithAReason) {
    for (const char* text :
         {"", "Fifth Sunday March 02:00", "Last Sundy March 02:00", "Last Sunday Marhc 02:00",
          "Last Sunday March 24:00", "Last Sunday March 2:00", "First Sunday after 0 March 02:00",
          "fixed 32 March 02:00", "none 02:00", "raw 1 2 3", "raw 256 0 0 0 0 0 0 0",
          "raw 1 0 0 0 0 0 0 x"}) {
        TSummerTimeRule r;
        std::string why;
        EXPECT_FALSE(ParseRule(text, r, why)) << text;
        EXPECT_FALSE(why.empty()) << text;
    }
}

// --- CSV -----------------------------------------------------------------------------------

TEST(WorldCsv, QuotedFieldsKeepCommasQuotesAndLineBreaks) {
    const auto rows = ParseCsv("\xEF\xBB\xBF"
                               "a,b\r\n\"x, \"\"y\"\"\",\"two\nlines\"\n plain ,\n",
                               "t.csv");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].Fields, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(rows[1].Fields, (std::vector<std::string>{"x, \"y\"", "two\nlines"}));
    EXPECT_EQ(rows[1].Line, 2);
    EXPECT_EQ(rows[2].Fields, (std::vector<std::string>{" plain ", ""}));
    EXPECT_EQ(rows[2].Line, 4); // the quoted line break counts
    for (const std::string v : {"plain", "a,b", "say \"hi\"", "cr\rlf\n"}) {
        const auto back = ParseCsv(CsvField(v) + "\n", "t.csv");
        ASSERT_EQ(back.size(), 1u);
        EXPECT_EQ(back[0].Fields, std::vector<std::string>{v});
    }
}

TEST(WorldCsv, BrokenQuotingNamesTheLine) {
    try {
        ParseCsv("a\n\"open\n", "t.csv");
        FAIL();
    } catch (const EWorldTableError& e) {
        EXPECT_STREQ(e.what(), "t.csv:2: quoted field not closed");
    }
    EXPECT_THROW(ParseCsv("\"a\"b\n", "t.csv"), EWorldTableError);
}

// --- Reading the tables --------------------------------------------------------------------

TEST_F(WorldTables, GoodTablesBuildTheDatabaseWithItsLinks) {
    WriteTables(Dir / "tables");
    TCityList d;
    TWorldExtras ex;
    ReadWorldTables((Dir / "tables").string(), d, &ex);
    ASSERT_EQ(d.Countries.Count(), 2);
    ASSERT_EQ(d.Cities.Count(), 2);
    EXPECT_EQ(d.Cities.Items(1).LongName, "New York, NY");
    EXPECT_TRUE(d.Cities.Items(0).Default);
    EXPECT_EQ(d.Airports.Items(0).Codes(2), "KJFK");
    EXPECT_EQ(d.Airports.Items(0).ClosestCities(1), 2);
    EXPECT_EQ(d.Airports.Items(0).ClosestCities(2), 0);
    EXPECT_EQ(ex.CityZones, (std::vector<std::string>{"Europe/Berlin", "America/New_York"}));
    EXPECT_EQ(ex.AirportLatitudes[0], "40.64");
    EXPECT_EQ(d.MyCity, nullptr);

    // New York's daylight saving begins on the second Sunday, 8 March 2026, 02:00 EST.
    const TPlace ny = PlaceOfCity(d, d.Cities.Items(1));
    double utc = 0;
    ASSERT_TRUE(ParseUtcInstant("2026-03-08T06:59:00Z", utc));
    EXPECT_FALSE(ny.InDST(utc));
    ASSERT_TRUE(ParseUtcInstant("2026-03-08T07:00:00Z", utc));
    EXPECT_TRUE(ny.InDST(utc));
}

TEST_F(WorldTables, FaultsNameFileLineAndField) {
    struct Case {
        const char* File;
        std::string From, To, Expected;
    };
    const std::vector<Case> cases = {
        {"states.csv", "-5,0,First", "-5x,0,First", "states.csv:2: UTCOffset: not a number"},
        {"countries.csv", "First Sunday after 24 October", "First Sunday after 24 Octobre",
         "countries.csv:2: DSTEnd: not a month"},
        {"cities.csv", "1,Berlin,Berlin", "1,Berlin,\xC5\x81\xC3\xB3\x64\xC5\xBA",
         "cities.csv:2: LongName: text not storable in Windows-1252"},
        {"cities.csv", "0,1,1,Europe", "0,1,2,Europe", "cities.csv:2: Default: expected 0 or 1"},
        {"cities.csv", "2,New York,", "2,New York City,", "cities.csv:3: ShortName: longer than 8"},
        {"airports.csv", "JFK|KJFK", "JFK|KJFKXY", "airports.csv:2: Codes: longer than 5"},
        {"airports.csv", "KJFK,2,", "KJFK,2|x,", "airports.csv:2: ClosestCities: not a 32-bit"},
        {"cities.csv", "UniqueID,", "Id,", "cities.csv:1: Id: unknown column"},
        {"states.csv", "Reserved,", "", "states.csv:1: Reserved: column missing"},
        {"countries.csv", "2,United States", "9999999999,United States",
         "countries.csv:3: UniqueId: not a 32-bit integer"},
        {"mycity.csv", "0", "7", "mycity.csv:2: MyCity: no city has id 7"},
    };
    for (const auto& c : cases) {
        WriteTables(Dir / "tables");
        const fs::path file = Dir / "tables" / c.File;
        std::string text = ReadAll(file);
        const auto at = text.find(c.From);
        ASSERT_NE(at, std::string::npos) << c.From;
        text.replace(at, c.From.size(), c.To);
        WriteAll(file, text);
        EXPECT_NE(BuildError(Dir / "tables").find(c.Expected), std::string::npos)
            << BuildError(Dir / "tables") << " expected " << c.Expected;
    }
    WriteTables(Dir / "tables");
    WriteAll(Dir / "tables" / "cities.csv",
             "UniqueID,ShortName,LongName,StateId,CountryId,Default,Zone\n"
             "1,Berlin,\"" +
                 std::string(56, 'x') + "\",0,1,1,\n");
    EXPECT_NE(BuildError(Dir / "tables").find("cities.csv:2: LongName: longer than 55"),
              std::string::npos);
    WriteAll(Dir / "tables" / "cities.csv",
             "UniqueID,ShortName,LongName,StateId,CountryId,Default,Zone,Population\n"
             "1,Berlin,Berlin,0,1,1,,many\n");
    EXPECT_NE(BuildError(Dir / "tables").find("cities.csv:2: Population: not a count: 'many'"),
              std::string::npos);
}

// --- Export and build ----------------------------------------------------------------------

TEST_F(WorldTables, ExportThenBuildReproducesTheFileByteForByte) {
    TCityList d;
    TCountry& c = d.Countries.AddWithNewId();
    c.Name = "C\xF4te d'Ivoire, \"quoted\"\n\x80 \xBD"; // code-page bytes, comma, line break
    c.Code = " CI";                                     // codes are not trimmed
    c.UTCOffset = -0.0;
    c.CapitalCity = -7;
    c.DSTStart = Rule("First Sunday after 24 March 02:00");
    c.DSTEnd.Kind = 1;
    c.DSTEnd.ChangeTime = std::numeric_limits<double>::quiet_NaN();
    TCountry& c2 = d.Countries.Add();
    c2.UniqueId = -2147483647 - 1;
    c2.Name = std::string(255, 'n');
    c2.UTCOffset = 0.1 + 0.2; // not the shortest decimal of 0.3
    TState& s = d.States.AddWithNewId();
    s.Name = "Chatham Islands";
    s.CountryId = 1;
    s.UTCOffset = 12.75;
    s.Reserved = 123456;
    s.DSTStart = Rule("fixed 29 February 02:45");
    s.DSTEnd.Kind = 0;
    s.DSTEnd.WeekDay = 3;
    TCity& a = d.Cities.AddWithNewId();
    a.SetShortName("K\xF6ln,\"x\"");
    a.LongName = "K\xF6ln";
    a.CountryId = 1;
    a.Default = true;
    TCity& b = d.Cities.AddWithNewId();
    b.LongName = "";
    b.StateId = 1;
    TAirport& ap = d.Airports.AddWithNewId();
    ap.Name = "Port, \"A\"";
    ap.SetCodes(1, "ABC");
    ap.SetCodes(3, " X ");
    ap.SetClosestCities(2, 2);
    ap.SetClosestCities(5, -1);
    d.Airports.AddWithNewId(); // all slots empty
    d.MyCity = &b;

    const fs::path original = Dir / "original.tvk";
    SaveCityListFile(original.string(), d);
    std::ostringstream err;
    ASSERT_EQ(ExportWorld(original.string(), (Dir / "tables").string(), err), 0) << err.str();
    ASSERT_EQ(BuildWorld((Dir / "tables").string(), (Dir / "rebuilt.tvk").string(), err), 0)
        << err.str();
    EXPECT_EQ(ReadAll(Dir / "rebuilt.tvk"), ReadAll(original));

    // The export names the records in readable form where that is exact.
    const std::string countries = ReadAll(Dir / "tables" / "countries.csv");
    EXPECT_NE(countries.find(",First Sunday after 24 March 02:00,raw 1 0 0 0 0 0 0 bits:"),
              std::string::npos)
        << countries;
    EXPECT_NE(countries.find(",0.30000000000000004,"), std::string::npos);
    EXPECT_NE(ReadAll(Dir / "tables" / "airports.csv").find(",ABC|| X ,0|2|0|0|-1,"),
              std::string::npos);
    EXPECT_EQ(ReadAll(Dir / "tables" / "mycity.csv"), "MyCity\n2\n");
}

TEST_F(WorldTables, ToolBuildsFromTablesAndExportsWithEmptyExtraColumns) {
    WriteTables(Dir / "tables");
    const std::string tvk = (Dir / "w.tvk").string();
    std::ostringstream out, err;
    ASSERT_EQ(RunTvkTool({"build", (Dir / "tables").string(), tvk}, out, err), 0) << err.str();
    ASSERT_EQ(RunTvkTool({"export", tvk, (Dir / "again").string()}, out, err), 0) << err.str();
    const std::string cities = ReadAll(Dir / "again" / "cities.csv");
    EXPECT_NE(cities.find("1,Berlin,Berlin,0,1,1,,\n"), std::string::npos) << cities;
    ASSERT_EQ(RunTvkTool({"build", (Dir / "again").string(), (Dir / "w2.tvk").string()}, out, err),
              0);
    EXPECT_EQ(ReadAll(Dir / "w2.tvk"), ReadAll(tvk));
    EXPECT_EQ(
        RunTvkTool({"export", (Dir / "missing.tvk").string(), (Dir / "x").string()}, out, err), 1);
}

// --- The check against the system's zones --------------------------------------------------

TEST_F(WorldTables, CheckFindsACountingMistakeAndHonoursListedExceptions) {
    WriteTables(Dir / "tables");
    std::ostringstream out, err;
    ASSERT_EQ(RunTvkTool({"check", (Dir / "tables").string()}, out, err), 0)
        << out.str() << err.str();
    EXPECT_EQ(out.str(), "2 of 2 cities agree with the system's zones; 0 differ as listed in "
                         "exceptions.csv (0 zones); 0 unexpected\n");

    // "Second Sunday March" counted by weeks is 15 March 2026, a week late.
    const fs::path states = Dir / "tables" / "states.csv";
    std::string text = ReadAll(states);
    text.replace(text.find("First Sunday after 7 March"), 26, "Second Sunday March");
    WriteAll(states, text);
    out.str("");
    EXPECT_EQ(RunTvkTool({"check", (Dir / "tables").string()}, out, err), 1);
    EXPECT_EQ(out.str(), "unexpected: New York, NY\tAmerica/New_York\t2026-03-08 07:00:00 UTC\t"
                         "program 2026-03-08 02:00:00\tsystem 2026-03-08 03:00:00\n"
                         "1 of 2 cities agree with the system's zones; 0 differ as listed in "
                         "exceptions.csv (0 zones); 1 unexpected (listed above)\n");

    // Listed, the same difference is expected and told apart; a listed zone that agrees is
    // worth a note.
    WriteAll(Dir / "tables" / "exceptions.csv",
             "Zone,Reason\nAmerica/New_York,testing\nEurope/Berlin,\"unused, now\"\n");
    out.str("");
    EXPECT_EQ(RunTvkTool({"check", (Dir / "tables").string()}, out, err), 0) << out.str();
    EXPECT_EQ(out.str(), "expected: America/New_York (New York, NY): testing\n"
                         "note: Europe/Berlin is listed in exceptions.csv but agrees now\n"
                         "1 of 2 cities agree with the system's zones; 1 differ as listed in "
                         "exceptions.csv (1 zone); 0 unexpected\n");
    out.str("");
    EXPECT_EQ(RunTvkTool({"check", "--brief", (Dir / "tables").string()}, out, err), 0);
    EXPECT_EQ(out.str().find("expected:"), std::string::npos) << out.str();

    // A listing never hides a broken city: one without a place stays unexpected.
    text = ReadAll(Dir / "tables" / "cities.csv");
    text.replace(text.find("2,New York,\"New York, NY\",1"), 27, "2,New York,\"New York, NY\",7");
    WriteAll(Dir / "tables" / "cities.csv", text);
    out.str("");
    EXPECT_EQ(RunTvkTool({"check", (Dir / "tables").string()}, out, err), 1);
    EXPECT_NE(out.str().find("unexpected: New York, NY\tAmerica/New_York\tno place\n"),
              std::string::npos)
        << out.str();
}

TEST_F(WorldTables, CheckRefusesUnknownZonesAndBrokenLinks) {
    WriteTables(Dir / "tables");
    WriteAll(Dir / "tables" / "cities.csv",
             "UniqueID,ShortName,LongName,StateId,CountryId,Default,Zone\n"
             "1,Berlin,Berlin,0,1,1,Europe/Nowhere\n"
             "2,New York,New York,1,1,0,\n");
    std::ostringstream out, err;
    EXPECT_EQ(RunTvkTool({"check", (Dir / "tables").string()}, out, err), 1);
    EXPECT_NE(out.str().find("unexpected: Berlin\tEurope/Nowhere\tunknown zone"), std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("unexpected: link: city New York names a missing country or state"),
              std::string::npos);
    EXPECT_NE(out.str().find("0 of 1 cities agree with the system's zones (1 without a zone)"),
              std::string::npos);

    // Faults in the tables name the file with its folder.
    WriteAll(Dir / "tables" / "exceptions.csv", "Zone,Reason\nEurope/Berlin,\n");
    out.str("");
    err.str("");
    EXPECT_EQ(RunTvkTool({"check", (Dir / "tables").string()}, out, err), 1);
    EXPECT_EQ(err.str(), "tvktool: " + (Dir / "tables" / "exceptions.csv").string() +
                             ":2: Reason: a reason is required\n");
    fs::remove(Dir / "tables" / "cities.csv");
    err.str("");
    EXPECT_EQ(RunTvkTool({"build", (Dir / "tables").string(), (Dir / "x.tvk").string()}, out, err),
              1);
    EXPECT_EQ(err.str(), "tvktool: " + (Dir / "tables" / "cities.csv").string() +
                             ": cannot open (No such file or directory)\n");
}

TEST(WorldZoneSamples, HoursAndBothSidesOfEachTransition) {
    const auto berlin = ZoneSamples("Europe/Berlin");
    // Five years of hours plus the closing hour, and three samples for each of ten changes.
    EXPECT_EQ(berlin.size(), 43825u + 10 * 2);
    const auto at = std::find_if(berlin.begin(), berlin.end(), [](const auto& s) {
        return s.first == 1774746000 - 60; // 2026-03-29 01:00 UTC, one minute before
    });
    ASSERT_NE(at, berlin.end());
    EXPECT_EQ(at->second, 3600);
    EXPECT_EQ((at + 1)->second, 7200);
    EXPECT_TRUE(ZoneSamples("Mars/Olympus_Mons").empty());
}

// --- The default world database ------------------------------------------------------------

// The tables that ship, as the build reads them, with the generator's columns.
class DefaultWorld : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Data = new TCityList;
        Extras = new TWorldExtras;
        ReadWorldTables(std::string(TAVIK_TEST_DATA) + "/../../resources/world", *Data, Extras);
    }
    static void TearDownTestSuite() {
        delete Data;
        delete Extras;
    }

    static long long Population(int city) {
        return std::stoll(Extras->CityPopulations.at(static_cast<std::size_t>(city)));
    }
    static const TCity* CityNamed(const std::string& country, const std::string& name) {
        for (const auto& c : Data->Cities) {
            const TCountry* k = Data->Countries.FindById(c->CountryId);
            if (k && k->Code == country && c->LongName == name)
                return c;
        }
        return nullptr;
    }

    static TCityList* Data;
    static TWorldExtras* Extras;
};
TCityList* DefaultWorld::Data = nullptr;
TWorldExtras* DefaultWorld::Extras = nullptr;

TEST_F(DefaultWorld, AStateNameIsACityNameOnlyForARealCityOfThatState) {
    // "Bahia" is a state, not a city; "São Paulo" is both, and the city lies in the state.
    for (int i = 0; i < Data->Cities.Count(); ++i) {
        const TCity& c = Data->Cities.Items(i);
        for (const auto& s : Data->States)
            if (s->CountryId == c.CountryId && s->Name == c.LongName) {
                EXPECT_EQ(c.StateId, s->UniqueID) << c.LongName << " lies in another state";
                EXPECT_GT(Population(i), 0) << c.LongName << " is no city of the source data";
            }
    }
}

TEST_F(DefaultWorld, ShortLabelsAreUniqueWithinEachCountry) {
    std::set<std::pair<std::int32_t, std::string>> seen;
    for (const auto& c : Data->Cities) {
        EXPECT_FALSE(c->ShortName().empty()) << c->LongName;
        EXPECT_TRUE(seen.emplace(c->CountryId, c->ShortName()).second)
            << c->ShortName() << " given twice, again to " << c->LongName;
    }
}

TEST_F(DefaultWorld, NoLabelOfTheLargestCitiesIsCutInsideAWord) {
    std::vector<int> order(static_cast<std::size_t>(Data->Cities.Count()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [](int a, int b) { return Population(a) > Population(b); });
    auto letter = [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return std::isalpha(u) || u >= 0xC0; // accented letters of the code page
    };
    for (std::size_t k = 0; k < 500; ++k) {
        const TCity& c = Data->Cities.Items(order[k]);
        const std::string& name = c.LongName;
        const bool cut = name.size() > 8 && c.ShortName() == name.substr(0, 8) && letter(name[7]) &&
                         letter(name[8]);
        EXPECT_FALSE(cut) << name << " shows as " << c.ShortName();
    }
}

TEST_F(DefaultWorld, EveryCountryNamesItsCapitalAmongItsCities) {
    const std::set<std::string> uninhabited = {"AQ", "BV", "HM", "UM"};
    for (const auto& k : Data->Countries) {
        if (uninhabited.count(k->Code)) {
            EXPECT_EQ(k->CapitalCity, 0) << k->Name;
            continue;
        }
        const TCity* capital = Data->Cities.FindById(k->CapitalCity);
        ASSERT_NE(capital, nullptr) << k->Name;
        EXPECT_EQ(capital->CountryId, k->UniqueId) << k->Name;
    }
}

TEST_F(DefaultWorld, EveryStateWithRulesOfItsOwnHasACity) {
    std::set<std::int32_t> withCity;
    for (const auto& c : Data->Cities)
        withCity.insert(c->StateId);
    for (const auto& s : Data->States) {
        const TCountry* k = Data->Countries.FindById(s->CountryId);
        ASSERT_NE(k, nullptr) << s->Name;
        const bool own = s->UTCOffset != k->UTCOffset || !(s->DSTStart == k->DSTStart) ||
                         !(s->DSTEnd == k->DSTEnd);
        if (own && k->Code != "UM") { // the Minor Outlying Islands have no towns
            EXPECT_TRUE(withCity.count(s->UniqueID)) << s->Name << " (" << k->Name << ")";
        }
    }
}

TEST_F(DefaultWorld, RoundTripsByteForByteAndHoldsNothingOdd) {
    const fs::path dir =
        fs::temp_directory_path() / ("tavik-default-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ostringstream err;
    ASSERT_EQ(BuildWorld(std::string(TAVIK_TEST_DATA) + "/../../resources/world",
                         (dir / "default.tvk").string(), err),
              0)
        << err.str();
    ASSERT_EQ(ExportWorld((dir / "default.tvk").string(), (dir / "tables").string(), err), 0);
    ASSERT_EQ(BuildWorld((dir / "tables").string(), (dir / "again.tvk").string(), err), 0);
    const std::string bytes = ReadAll(dir / "default.tvk");
    EXPECT_EQ(ReadAll(dir / "again.tvk"), bytes);
    const std::vector<std::string> found =
        VerifyCityListBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    EXPECT_TRUE(found.empty()) << found.front();
    fs::remove_all(dir);
}

TEST_F(DefaultWorld, WellKnownPlacesAreThereInTheirOwnRegions) {
    for (const auto& [country, name] :
         std::vector<std::pair<std::string, std::string>>{{"AU", "Cairns"},
                                                          {"AU", "Townsville"},
                                                          {"AU", "Alice Springs"},
                                                          {"NZ", "Dunedin"},
                                                          {"NZ", "Queenstown"},
                                                          {"NZ", "Tauranga"},
                                                          {"US", "Fargo"},
                                                          {"IN", "Panaji"},
                                                          {"IN", "Shimla"},
                                                          {"BR", "S\xE3o Carlos"},
                                                          {"BR", "Salvador"}})
        EXPECT_NE(CityNamed(country, name), nullptr) << name;
    const TCity* wellington = CityNamed("NZ", "Wellington");
    ASSERT_NE(wellington, nullptr);
    EXPECT_EQ(Data->States.FindById(wellington->StateId)->Name, "Wellington");
    // Cities named after a zone rather than a town are gone.
    EXPECT_EQ(CityNamed("US", "Center, North Dakota"), nullptr);
    EXPECT_EQ(CityNamed("BR", "Bahia"), nullptr);
}

} // namespace
