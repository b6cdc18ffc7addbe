#include "TvkToolU.h"
#include "VerifyU.h"
#include "data/CityListU.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <limits>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int Status;
    std::string Out, Err;
};

ToolRun Tool(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int rc = RunTvkTool(args, out, err);
    return {rc, out.str(), err.str()};
}

TSummerTimeRule LastSunday(int month, int hour) {
    TSummerTimeRule r;
    r.Kind = RuleKindWeekday;
    r.WeekOrdinal = 3;
    r.WeekDay = 7;
    r.RuleMonth = static_cast<std::uint16_t>(month);
    r.ChangeTime = hour / 24.0;
    return r;
}

class TvkTool : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() / ("tavik-tool-" + std::to_string(::getpid()));
        fs::create_directories(Dir);
        TCityList d;
        TCountry& uk = d.Countries.AddWithNewId();
        uk.Name = "United Kingdom";
        uk.Code = "GB";
        uk.UTCOffset = 0;
        uk.DSTStart = LastSunday(3, 1);
        uk.DSTEnd = LastSunday(10, 2);
        TCountry& de = d.Countries.AddWithNewId();
        de.Name = "Germany";
        de.UTCOffset = 1;
        de.DSTStart = LastSunday(3, 2);
        de.DSTEnd = LastSunday(10, 3);
        TCountry& in = d.Countries.AddWithNewId();
        in.Name = "India";
        in.UTCOffset = 5.5;
        TState& nl = d.States.AddWithNewId();
        nl.Name = "Newfoundland";
        nl.CountryId = 99;
        nl.UTCOffset = -3.5;
        auto city = [&](const char* name, int state, int country) -> TCity& {
            TCity& c = d.Cities.AddWithNewId();
            c.LongName = name;
            c.SetShortName(name);
            c.StateId = state;
            c.CountryId = country;
            return c;
        };
        TCity& london = city("London", 0, uk.UniqueId);
        city("Berlin", 0, de.UniqueId).Default = true;
        city("Mumbai", 0, in.UniqueId);
        city("St. John\xB4s \"NL\"", nl.UniqueID, 0);
        city("Nowhere", 0, 0);
        city("Lost", 42, 0);
        TAirport& a = d.Airports.AddWithNewId();
        a.Name = "Heathrow";
        a.SetCodes(1, "LHR");
        a.SetCodes(2, "EGLL");
        a.SetClosestCities(1, london.UniqueID);
        d.MyCity = &london;
        File = (Dir / "small.tvk").string();
        SaveCityListFile(File, d);
    }
    void TearDown() override { fs::remove_all(Dir); }

    fs::path Dir;
    std::string File;
};

} // namespace

TEST_F(TvkTool, DumpWritesEveryFieldAsJson) {
    const ToolRun r = Tool({"dump", File});
    ASSERT_EQ(r.Status, 0) << r.Err;
    const std::string& j = r.Out;
    EXPECT_EQ(j.front(), '{');
    for (const char* key :
         {"\"countries\":[", "\"states\":[", "\"cities\":[", "\"airports\":[", "\"MyCity\":1}",
          "\"UniqueId\":1,\"Name\":\"United Kingdom\"", "\"Code\":\"GB\"", "\"UTCOffset\":5.5",
          "\"UTCOffset\":-3.5", "\"Reserved\":0", "\"Default\":true", "\"Default\":false",
          "\"Codes\":[\"LHR\",\"EGLL\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"]",
          "\"ClosestCities\":[1,0,0,0,0,0,0,0,0,0]",
          "\"DSTStart\":{\"Kind\":1,\"FixedDay\":0,\"FixedMonth\":0,"
          "\"WeekOrdinal\":3,\"WeekDay\":7,\"AfterDay\":0,\"RuleMonth\":3,"
          "\"ChangeTime\":0.041666666666666664}"})
        EXPECT_NE(j.find(key), std::string::npos) << key;
    // Texts are UTF-8 with JSON escapes.
    EXPECT_NE(j.find("\"St. John\xC2\xB4s \\\"NL\\\"\""), std::string::npos);
}

TEST_F(TvkTool, TimesFollowPlacesAndDaylightSaving) {
    ToolRun r = Tool({"times", File, "--utc", "2026-03-29T01:00:00Z"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    std::istringstream lines(r.Out);
    std::vector<std::string> l;
    for (std::string s; std::getline(lines, s);)
        l.push_back(s);
    ASSERT_EQ(l.size(), 6u);
    EXPECT_EQ(l[0], "1\tLondon\t2026-03-29 02:00:00\t2026-03-29 02:00:00\t1");
    EXPECT_EQ(l[1], "2\tBerlin\t2026-03-29 03:00:00\t2026-03-29 03:00:00\t1");
    EXPECT_EQ(l[2], "3\tMumbai\t2026-03-29 06:30:00\t2026-03-29 06:00:00\t0");
    EXPECT_EQ(l[3], "4\tSt. John\xC2\xB4s \"NL\"\t2026-03-28 21:30:00\t2026-03-28 22:00:00\t0");
    EXPECT_EQ(l[4], "5\tNowhere\t-\t-\t-");
    EXPECT_EQ(l[5], "6\tLost\t-\t-\t-");

    r = Tool({"times", File, "--utc", "2026-03-29T00:59:00Z"});
    EXPECT_NE(r.Out.find("2\tBerlin\t2026-03-29 01:59:00\t2026-03-29 01:59:00\t0"),
              std::string::npos);
    r = Tool({"times", File, "--utc", "1899-12-29T12:00:00Z"});
    EXPECT_NE(r.Out.find("3\tMumbai\t1899-12-29 17:30:00\t1899-12-29 17:00:00\t0"),
              std::string::npos)
        << r.Out;
    EXPECT_NE(r.Out.find("4\tSt. John\xC2\xB4s \"NL\"\t1899-12-29 08:30:00\t1899-12-29 09:00:00"),
              std::string::npos)
        << r.Out;
    EXPECT_EQ(Tool({"times", File, "--utc", "2026-02-30T00:00:00Z"}).Status, 2);
    EXPECT_EQ(Tool({"times", File, "--utc", "yesterday"}).Status, 2);
}

TEST_F(TvkTool, CopyIsByteExactAndErrorsUseProgramTexts) {
    const std::string copy = (Dir / "copy.tvk").string();
    ASSERT_EQ(Tool({"copy", File, copy}).Status, 0);
    std::ifstream a(File, std::ios::binary), b(copy, std::ios::binary);
    const std::string ba{std::istreambuf_iterator<char>(a), {}};
    const std::string bb{std::istreambuf_iterator<char>(b), {}};
    EXPECT_EQ(ba, bb);

    // Errors name the tool and the file, keep the program's text and add the system's reason.
    fs::resize_file(copy, 100);
    ToolRun r = Tool({"dump", copy});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "tvktool: " + copy + ": Stream read error\n");
    const std::string nowhere = (Dir / "no" / "such.tvk").string();
    r = Tool({"copy", File, nowhere});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "tvktool: " + nowhere + ": Cannot create file " + nowhere +
                         " (No such file or directory)\n");
    const std::string missing = (Dir / "missing.tvk").string();
    r = Tool({"times", missing, "--utc", "2026-01-01T00:00Z"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "tvktool: " + missing + ": Cannot open file " + missing +
                         " (No such file or directory)\n");
    r = Tool({"dump", Dir.string()});
    EXPECT_EQ(r.Err, "tvktool: " + Dir.string() + ": Cannot open file " + Dir.string() +
                         " (Is a directory)\n");
}

TEST_F(TvkTool, AFifoIsRefusedAtOnce) {
    const std::string fifo = (Dir / "fifo.tvk").string();
    ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0666));
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"dump", fifo}, {"verify", fifo}, {"copy", fifo, File}}) {
        auto run = std::async(std::launch::async, [&] { return Tool(args); });
        if (run.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
            // Lets a reader that waits in open go on, so the test can end.
            const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            ::close(fd);
            ADD_FAILURE() << args[0] << " waits on the FIFO";
        }
        const ToolRun r = run.get();
        EXPECT_EQ(r.Status, 1) << args[0];
        EXPECT_EQ(r.Err,
                  "tvktool: " + fifo + ": Cannot open file " + fifo + " (not a regular file)\n")
            << args[0];
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST_F(TvkTool, HelpAndVersionGoToStandardOutput) {
    for (const char* help : {"--help", "-h", "help"}) {
        const ToolRun r = Tool({help});
        EXPECT_EQ(r.Status, 0) << help;
        EXPECT_EQ(r.Err, "");
        for (const char* line : {"\n  dump FILE ", "\n  times FILE --utc INSTANT ",
                                 "\n  copy IN OUT ", "\n  build DIR OUT ", "\n  export FILE DIR ",
                                 "\n  check DIR [--sample N] [--brief] ", "\n  verify FILE "})
            EXPECT_NE(r.Out.find(line), std::string::npos) << help << line;
    }
    // A command's own help wins over its other arguments, even wrong ones.
    for (const std::vector<std::string>& args : {std::vector<std::string>{"check", "--help"},
                                                 {"check", "x", "-h", "--frob"},
                                                 {"help", "check"}}) {
        const ToolRun r = Tool(args);
        EXPECT_EQ(r.Status, 0);
        EXPECT_EQ(r.Out.rfind("usage: tvktool check DIR [--sample N] [--brief]\n\n", 0), 0u)
            << r.Out;
        EXPECT_NE(r.Out.find("--brief     leave out"), std::string::npos);
    }
    const ToolRun v = Tool({"--version"});
    EXPECT_EQ(v.Status, 0);
    EXPECT_EQ(v.Out.rfind("tvktool ", 0), 0u);
    EXPECT_GT(v.Out.find_first_of("0123456789"), 0u);
}

TEST_F(TvkTool, WrongUsageSaysWhatWasWrong) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "tvktool: a command is missing\n"},
        {{"frob", "x"}, "tvktool: unknown command 'frob'\n"},
        {{"dump"}, "tvktool: dump: FILE missing\nusage: tvktool dump FILE\n"},
        {{"dump", File, "extra"}, "tvktool: dump: unexpected argument 'extra'\n"},
        {{"dump", "--fast", File}, "tvktool: dump: unknown option '--fast'\n"},
        {{"copy", File}, "tvktool: copy: OUT missing\n"},
        {{"times", File}, "tvktool: times: --utc INSTANT missing\n"},
        {{"times", File, "--utc"}, "tvktool: times: --utc needs a value\n"},
        {{"times", File, "--utc", "2026-02-30T00:00:00Z"},
         "tvktool: times: not a UTC instant: '2026-02-30T00:00:00Z'"},
        {{"check", "dir", "--sample", "-3"}, "tvktool: check: --sample needs a city count"},
        {{"check", "--sample=0", "dir"}, "tvktool: check: --sample needs a city count"},
        {{"verify"}, "tvktool: verify: FILE missing\n"},
    };
    for (const auto& [args, expected] : cases) {
        const ToolRun r = Tool(args);
        EXPECT_EQ(r.Status, 2) << expected;
        EXPECT_EQ(r.Out, "");
        EXPECT_EQ(r.Err.rfind(expected, 0), 0u) << r.Err;
        EXPECT_NE(r.Err.find("--help'.\n"), std::string::npos) << r.Err;
    }
    // Options may stand anywhere, in both forms.
    EXPECT_EQ(Tool({"times", "--utc=2026-01-01T00:00Z", File}).Status, 0);
}

TEST(TvkToolText, NumbersAndInstants) {
    EXPECT_EQ(JsonNumber(5.75), "5.75");
    EXPECT_EQ(JsonNumber(-99), "-99");
    EXPECT_EQ(JsonNumber(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(JsonNumber(std::numeric_limits<double>::quiet_NaN()), "NaN");
    double t = 0;
    ASSERT_TRUE(ParseUtcInstant("2026-12-31T23:59:59.6Z", t));
    EXPECT_EQ(FormatIsoSeconds(t), "2027-01-01 00:00:00");
    ASSERT_TRUE(ParseUtcInstant("1899-12-30T00:00", t));
    EXPECT_EQ(t, 0.0);
    // Before 1899-12-30 the fraction is still the time of that day.
    ASSERT_TRUE(ParseUtcInstant("1899-12-29T12:00:00Z", t));
    EXPECT_EQ(FormatIsoSeconds(t), "1899-12-29 12:00:00");
    ASSERT_TRUE(ParseUtcInstant("1850-06-01T23:59:59.6Z", t));
    EXPECT_EQ(FormatIsoSeconds(t), "1850-06-02 00:00:00");
    ASSERT_TRUE(ParseUtcInstant("0001-01-01T00:00:00Z", t));
    EXPECT_EQ(FormatIsoSeconds(t), "0001-01-01 00:00:00");
}

// --- verify --------------------------------------------------------------------------------

namespace {

// One country with one state, two cities and one airport, all linked and plausible.
void FillCleanWorld(TCityList& d) {
    TCountry& au = d.Countries.AddWithNewId();
    au.Name = "Australia";
    au.UTCOffset = 10;
    au.DSTStart = LastSunday(10, 2);
    au.DSTEnd = LastSunday(4, 3);
    TState& wa = d.States.AddWithNewId();
    wa.Name = "Western Australia";
    wa.CountryId = au.UniqueId;
    wa.UTCOffset = 8;
    TCity& sydney = d.Cities.AddWithNewId();
    sydney.LongName = "Sydney";
    sydney.CountryId = au.UniqueId;
    TCity& perth = d.Cities.AddWithNewId();
    perth.LongName = "Perth";
    perth.StateId = wa.UniqueID;
    perth.CountryId = au.UniqueId;
    au.CapitalCity = sydney.UniqueID;
    TAirport& syd = d.Airports.AddWithNewId();
    syd.Name = "Sydney Airport";
    syd.SetClosestCities(1, sydney.UniqueID);
    syd.CountryId = au.UniqueId;
    d.MyCity = &perth;
}

std::vector<std::uint8_t> Bytes(const TCityList& d) {
    TMemoryOutStream out;
    WriteCityList(out, d);
    return out.Bytes;
}

// Where the blocks of a file with one country, one state, two cities and an airport begin.
constexpr std::size_t CountryAt = 4, StateCountAt = 4 + 318, StateAt = StateCountAt + 4,
                      CityCountAt = StateAt + 122, CityAt = CityCountAt + 4,
                      AirportCountAt = CityAt + 2 * 78, AirportAt = AirportCountAt + 4,
                      MyCityAt = AirportAt + 168;

std::vector<std::uint8_t> CleanBytes() {
    TCityList d;
    FillCleanWorld(d);
    return Bytes(d);
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines)
        s += l + "\n";
    return s;
}

} // namespace

TEST(TvkToolVerify, ACleanFileHasNothingToTell) {
    EXPECT_TRUE(VerifyCityListBytes(CleanBytes()).empty());
    EXPECT_EQ(CleanBytes().size(), MyCityAt + 4);
    // The empty file of four empty collections is clean too.
    EXPECT_TRUE(VerifyCityListBytes(std::vector<std::uint8_t>(20, 0)).empty());
}

TEST(TvkToolVerify, LayoutTheReaderPassesOver) {
    std::vector<std::uint8_t> b = CleanBytes();
    b[CountryAt + 260] = 9;        // code length beyond 5
    b[CityAt + 78 + 4] = 200;      // short name length of the second city beyond 8
    b[AirportAt + 60 + 6 * 9] = 6; // the tenth code slot
    b.insert(b.end(), {1, 2, 3});
    auto found = Joined(VerifyCityListBytes(b));
    EXPECT_NE(found.find("country 1 (id 1): Code length 9 at byte 264 is beyond its capacity 5: "
                         "read as 5\n"),
              std::string::npos)
        << found;
    EXPECT_NE(found.find("city 2 (id 2): ShortName length 200 at byte " +
                         std::to_string(CityAt + 78 + 4) + " is beyond its capacity 8"),
              std::string::npos)
        << found;
    EXPECT_NE(found.find("airport 1 (id 1): Codes[10] length 6"), std::string::npos) << found;
    EXPECT_NE(found.find("3 bytes after the My City id at byte " + std::to_string(MyCityAt + 4) +
                         ": ignored\n"),
              std::string::npos)
        << found;

    // A negative count reads as none; the blocks after it follow at once.
    TCityList d;
    FillCleanWorld(d);
    d.Airports.Clear();
    b = Bytes(d);
    b[AirportCountAt] = 0xFE;
    b[AirportCountAt + 1] = b[AirportCountAt + 2] = b[AirportCountAt + 3] = 0xFF;
    found = Joined(VerifyCityListBytes(b));
    EXPECT_EQ(found, "airports count -2 at byte " + std::to_string(AirportCountAt) +
                         " is negative: read as none\n");

    // A file that ends early: inside a record, and just before the My City id.
    b = CleanBytes();
    b.resize(CityAt + 100);
    found = Joined(VerifyCityListBytes(b));
    EXPECT_EQ(found, "the file ends inside city 2 of 2 at byte " + std::to_string(CityAt + 78) +
                         ": the program stops with \"Stream read error\"\n");
    b = CleanBytes();
    b.resize(MyCityAt);
    EXPECT_EQ(Joined(VerifyCityListBytes(b)), "the file ends before the My City id at byte " +
                                                  std::to_string(MyCityAt) + ": read as none\n");
}

TEST(TvkToolVerify, RecordsTheProgramReadsWithoutAWord) {
    TCityList d;
    FillCleanWorld(d);
    TCountry& au = d.Countries.Items(0);
    au.UTCOffset = std::numeric_limits<double>::quiet_NaN();
    au.CapitalCity = 77;
    TCountry& nz = d.Countries.AddWithNewId();
    nz.Name = "New Zealand";
    nz.UTCOffset = 14.5;
    TCountry& dup = d.Countries.Add();
    dup.UniqueId = nz.UniqueId;
    dup.Name = "Twin";
    dup.UTCOffset = -99;
    TState& wa = d.States.Items(0);
    wa.UTCOffset = std::numeric_limits<double>::infinity();
    wa.CountryId = 5;
    d.Cities.Items(0).StateId = 9;
    TCity& lost = d.Cities.AddWithNewId();
    lost.LongName = "Lost";
    TCity& astray = d.Cities.AddWithNewId();
    astray.LongName = "Astray";
    astray.StateId = wa.UniqueID;
    astray.CountryId = nz.UniqueId;
    d.Airports.Items(0).SetClosestCities(3, 55);
    d.Airports.Items(0).StateId = 4;
    const std::string found = Joined(VerifyCityListBytes(Bytes(d)));
    for (const char* line : {
             "country 3 (id 2, Twin): same id as country 2 (id 2, New Zealand), which the program "
             "finds instead\n",
             "country 1 (id 1, Australia): UTCOffset is not a number\n",
             "country 2 (id 2, New Zealand): UTCOffset 14.5 is outside -12..14\n",
             "country 3 (id 2, Twin): UTCOffset -99 means not set\n",
             "state 1 (id 1, Western Australia): UTCOffset is infinite\n",
             "country 1 (id 1, Australia): capital city 77 does not exist\n",
             "state 1 (id 1, Western Australia): country 5 does not exist\n",
             "city 1 (id 1, Sydney): state 9 does not exist: the city has no time\n",
             "city 2 (id 2, Perth): state 1 belongs to country 5, the city to country 1\n",
             "city 3 (id 3, Lost): neither state nor country: the city has no time\n",
             "city 4 (id 4, Astray): state 1 belongs to country 5, the city to country 2\n",
             "airport 1 (id 1, Sydney Airport): closest city 55 in slot 3 does not exist\n",
             "airport 1 (id 1, Sydney Airport): state 4 does not exist\n",
         })
        EXPECT_NE(found.find(line), std::string::npos) << line << "in\n" << found;
    EXPECT_EQ(std::count(found.begin(), found.end(), '\n'), 13) << found;

    // My City names no city.
    std::vector<std::uint8_t> b = CleanBytes();
    b[MyCityAt] = 42;
    EXPECT_EQ(Joined(VerifyCityListBytes(b)), "My City 42 does not exist: read as none\n");
}

TEST(TvkToolVerify, RulesWhoseDatesCannotExist) {
    struct Case {
        std::function<void(TSummerTimeRule& start, TSummerTimeRule& end)> Change;
        std::string Expected; // empty: nothing to tell
    };
    auto fixed = [](TSummerTimeRule& r, int day, int month) {
        r = TSummerTimeRule{};
        r.Kind = RuleKindFixed;
        r.FixedDay = static_cast<std::uint16_t>(day);
        r.FixedMonth = static_cast<std::uint16_t>(month);
    };
    const std::vector<Case> cases = {
        {[&](auto& s, auto& e) { fixed(s, 31, 3), fixed(e, 31, 10); }, ""},
        {[&](auto& s, auto& e) { fixed(s, 31, 4), fixed(e, 1, 10); },
         "DSTStart: day 31 of April does not exist"},
        {[&](auto& s, auto& e) { fixed(s, 1, 4), fixed(e, 29, 2); },
         "DSTEnd: 29 February exists only in leap years"},
        {[&](auto& s, auto& e) { fixed(s, 1, 13), fixed(e, 1, 10); },
         "DSTStart: month 13 does not exist"},
        // The start's kind decides how the end is read, whatever the end's own kind says.
        {[&](auto& s, auto& e) { fixed(s, 1, 4), e = LastSunday(10, 2); },
         "DSTEnd: month 0 does not exist"},
        {[](auto& s, auto&) { s.RuleMonth = 0; }, "DSTStart: month 0 does not exist"},
        {[](auto&, auto& e) { e.WeekDay = 8; }, "DSTEnd: weekday 8 does not exist"},
        {[](auto& s, auto&) { s.WeekOrdinal = 4; }, ""}, // a fifth week may still exist
        {[](auto& s, auto&) { s.WeekOrdinal = 5; }, "DSTStart: week 6 of a month does not exist"},
        {[](auto&, auto& e) { e.AfterDay = 31; }, "DSTEnd: day 31 of April does not exist"},
        {[](auto&, auto& e) { e.AfterDay = 30; }, ""},
        {[](auto& s, auto&) { s.AfterDay = 24, s.WeekDay = 0; },
         "DSTStart: weekday 0 does not exist (counted as Sunday)"},
        {[](auto&, auto& e) { e.ChangeTime = 1.5; }, "DSTEnd: change time 1.5 is no time of day"},
        {[](auto& s, auto&) { s.Kind = 7; },
         "DSTStart kind 7 is none of 0 (fixed date), 1 (weekday), 2 (none): no daylight saving"},
        // Without daylight saving the other fields mean nothing.
        {[](auto& s, auto& e) { s.Kind = RuleKindNone, s.RuleMonth = 99, e.WeekDay = 99; }, ""},
    };
    for (const Case& c : cases) {
        TCityList d;
        FillCleanWorld(d);
        TCountry& au = d.Countries.Items(0);
        c.Change(au.DSTStart, au.DSTEnd);
        const std::string found = Joined(VerifyCityListBytes(Bytes(d)));
        EXPECT_EQ(found,
                  c.Expected.empty() ? "" : "country 1 (id 1, Australia): " + c.Expected + "\n");
    }
}

TEST_F(TvkTool, VerifyPrintsOneFindingPerLine) {
    ToolRun r = Tool({"verify", File});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Out, "state 1 (id 1, Newfoundland): country 99 does not exist\n"
                     "city 5 (id 5, Nowhere): neither state nor country: the city has no time\n"
                     "city 6 (id 6, Lost): state 42 does not exist: the city has no time\n");
    const std::string clean = (Dir / "clean.tvk").string();
    TCityList d;
    FillCleanWorld(d);
    SaveCityListFile(clean, d);
    r = Tool({"verify", clean});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out + r.Err, "");
    r = Tool({"verify", (Dir / "none.tvk").string()});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("Cannot open file"), std::string::npos);
}

TEST(TvkToolCheckFile, AStalePlaceIsListedAndTheExitStatusSaysSo) {
    if (!fs::exists("/usr/share/zoneinfo/America/Mexico_City"))
        GTEST_SKIP() << "no time-zone database installed";
    const fs::path dir =
        fs::temp_directory_path() / ("tavik-checkfile-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    TCityList d;
    TCountry& mx = d.Countries.AddWithNewId();
    mx.Name = "Mexico";
    mx.UTCOffset = -6;
    mx.DSTStart = LastSunday(4, 2); // saving as before 2022
    mx.DSTEnd = LastSunday(10, 2);
    TCity& city = d.Cities.AddWithNewId();
    city.LongName = "Guadalajara";
    city.CountryId = mx.UniqueId;
    TCountry& own = d.Countries.AddWithNewId();
    own.Name = "Handland";
    own.UTCOffset = 2;
    d.Cities.AddWithNewId().CountryId = own.UniqueId;
    const std::string file = (dir / "user.tvk").string();
    SaveCityListFile(file, d);
    { std::ofstream(dir / "default.zones") << "Mexico\t\t\tAmerica/Mexico_City\n"; }

    ToolRun r = Tool({"check-file", file, "--utc", "2027-01-01T00:00Z"});
    EXPECT_EQ(r.Status, 1) << r.Err;
    EXPECT_NE(r.Out.find("differs: Mexico\tAmerica/Mexico_City\there UTC -6 with daylight saving"),
              std::string::npos)
        << r.Out;
    EXPECT_NE(r.Out.find("the system UTC -6 all year since 2022"), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find("unchecked: Handland"), std::string::npos) << r.Out;

    // The user's own side file gives the hand-made place a zone of its own.
    { std::ofstream(dir / "user.zones") << "Handland\t\t\tEtc/GMT-2\n"; }
    r = Tool({"check-file", file, "--utc", "2027-01-01T00:00Z"});
    EXPECT_EQ(r.Out.find("unchecked:"), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find("1 places agree with the system's zones; 1 differ"), std::string::npos)
        << r.Out;

    // A zone file named on the command line must be readable.
    r = Tool({"check-file", file, "--zones", (dir / "missing.zones").string()});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("missing.zones"), std::string::npos);
    EXPECT_EQ(Tool({"check-file", file, "--utc", "tomorrow"}).Status, 2);
    fs::remove_all(dir);
}

// --- changes -------------------------------------------------------------------------------

namespace {

std::vector<std::vector<std::string>> Rows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> cells;
        std::istringstream cellStream(line);
        for (std::string cell; std::getline(cellStream, cell, '\t');)
            cells.push_back(cell);
        rows.push_back(cells);
    }
    return rows;
}

// The offset that "times" shows for a city at an instant: its exact local time minus UTC.
double TimesOffset(const std::string& file, const std::string& id, double utc) {
    std::string instant = FormatIsoSeconds(utc);
    instant[10] = 'T';
    const ToolRun r = Tool({"times", file, "--utc", instant + "Z"});
    for (const auto& row : Rows(r.Out))
        if (row.size() == 5 && row[0] == id) {
            double local = 0;
            std::string iso = row[2];
            iso[10] = 'T';
            EXPECT_TRUE(ParseUtcInstant(iso, local)) << row[2];
            return std::round((local - utc) * 96.0) / 4.0;
        }
    ADD_FAILURE() << "no city " << id << " in\n" << r.Out;
    return 0;
}

} // namespace

TEST_F(TvkTool, ChangesAgreeWithTimesAroundEachInstant) {
    const ToolRun r = Tool({"changes", File, "--from", "2026-01-01", "--days", "365"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "2026-03-29T01:00:00Z\t1\tLondon\t0\t1\n"
                     "2026-03-29T01:00:00Z\t2\tBerlin\t1\t2\n"
                     "2026-10-25T01:00:00Z\t1\tLondon\t1\t0\n"
                     "2026-10-25T01:00:00Z\t2\tBerlin\t2\t1\n");
    // Ten years of them, each checked against the local times a minute before and at the
    // instant.
    const ToolRun ten = Tool({"changes", File, "--from=2026-01-01", "--days=3652"});
    const auto rows = Rows(ten.Out);
    EXPECT_EQ(rows.size(), 40u);
    for (const auto& row : rows) {
        ASSERT_EQ(row.size(), 5u);
        double at = 0;
        ASSERT_TRUE(ParseUtcInstant(row[0], at)) << row[0];
        EXPECT_EQ(TimesOffset(File, row[1], at - 1.0 / 1440), std::stod(row[3])) << row[0];
        EXPECT_EQ(TimesOffset(File, row[1], at), std::stod(row[4])) << row[0];
    }
    // A span without changes prints nothing; the span starts at midnight UTC of its day.
    EXPECT_EQ(Tool({"changes", File, "--from", "2026-04-01", "--days", "30"}).Out, "");
    EXPECT_EQ(Tool({"changes", File, "--from", "2026-03-29", "--days", "1"}).Out.size(),
              r.Out.size() / 2);

    for (const auto& [args, expected] :
         std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"changes", File, "--days", "0"}, "--days needs a day count of 1 to 36500, not '0'"},
             {{"changes", File, "--days", "9x"}, "--days needs a day count"},
             {{"changes", File, "--from", "2026-02-30"}, "not a date: '2026-02-30' (YYYY-MM-DD)"},
             {{"changes", File, "--from", "2026-01-01T00:00"}, "not a date"},
             {{"changes"}, "FILE missing"}}) {
        const ToolRun bad = Tool(args);
        EXPECT_EQ(bad.Status, 2);
        EXPECT_EQ(bad.Err.rfind("tvktool: changes: " + expected, 0), 0u) << bad.Err;
    }
    const ToolRun help = Tool({"--help"});
    EXPECT_NE(help.Out.find("\n  changes FILE [--days N] [--from YYYY-MM-DD] "), std::string::npos)
        << help.Out;
    EXPECT_NE(Tool({"changes", "--help"}).Out.find("--from YYYY-MM-DD  the span's first day"),
              std::string::npos);
}
