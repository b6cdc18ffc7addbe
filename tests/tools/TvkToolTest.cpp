#include "CityListU.h"
#include "TvkToolU.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
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

    fs::resize_file(copy, 100);
    ToolRun r = Tool({"dump", copy});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "Stream read error\n");
    r = Tool({"copy", File, (Dir / "no" / "such.tvk").string()});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "Cannot create file " + (Dir / "no" / "such.tvk").string() + "\n");
    EXPECT_EQ(Tool({"dump", (Dir / "missing.tvk").string()}).Status, 1);
    EXPECT_EQ(Tool({}).Status, 2);
    EXPECT_EQ(Tool({"dump"}).Status, 2);
    EXPECT_EQ(Tool({"frobnicate", File}).Status, 2);
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
