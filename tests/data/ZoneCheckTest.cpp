#include "data/ZoneCheckU.h"

#include "ZoneFiles.h"
#include "data/TimeZoneFileU.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t Year2027 = 1798761600; // 2027-01-01 00:00 UTC

TSummerTimeRule Weekday(int ordinal, int afterDay, int month, double hours) {
    TSummerTimeRule r;
    r.Kind = RuleKindWeekday;
    r.WeekOrdinal = static_cast<std::uint8_t>(ordinal);
    r.WeekDay = 7; // Sunday
    r.AfterDay = static_cast<std::uint16_t>(afterDay);
    r.RuleMonth = static_cast<std::uint16_t>(month);
    r.ChangeTime = hours / 24.0;
    return r;
}

// A zone folder holding Mexico City as it is since its saving ended in October 2022.
class ZoneCheck : public ::testing::Test {
protected:
    void SetUp() override {
        Dir_ = fs::temp_directory_path() / ("tavik-zonecheck-" + std::to_string(::getpid()));
        TZifLayout mexico;
        mexico.Types = {{-21600, false, 0}, {-18000, true, 4}};
        mexico.Chars = std::string("CST\0CDT\0", 8);
        mexico.Transitions = {{1648972800, 1}, {1667116800, 0}}; // 2022-04-03, 2022-10-30
        mexico.Footer = "CST6";
        WriteFile(Dir_ / "America" / "Mexico_City", BuildTZif(mexico));
        Tzdir_.emplace(Dir_.string());

        TCountry& mx = Data.Countries.AddWithNewId();
        mx.Name = "Mexico";
        mx.UTCOffset = -6;
        // The rules before 2022: the first Sunday of April to the last of October.
        mx.DSTStart = Weekday(0, 0, 4, 2);
        mx.DSTEnd = Weekday(0, 24, 10, 2);
        TCity& city = Data.Cities.AddWithNewId();
        city.LongName = "Ciudad de M\xe9xico"; // the file's code page
        city.CountryId = mx.UniqueId;
        // A place the user made up by hand, with no zone anywhere.
        TCountry& own = Data.Countries.AddWithNewId();
        own.Name = "Handland";
        own.UTCOffset = 3.25;
        TCity& home = Data.Cities.AddWithNewId();
        home.LongName = "Hometown";
        home.CountryId = own.UniqueId;
        Map[{"Mexico", "", ""}] = "America/Mexico_City";
    }
    void TearDown() override {
        Tzdir_.reset();
        fs::remove_all(Dir_);
    }

    TLocationStore Store;
    TCityList& Data = Store.Data();
    TZoneMap Map;
    fs::path Dir_;
    std::optional<TScopedTzdir> Tzdir_;
};

TEST_F(ZoneCheck, AStalePlaceIsFoundUpdatedAndThenAgrees) {
    TZoneCheckResult r = CheckZones(Data, Map, Year2027);
    ASSERT_EQ(r.Places.size(), 2u);
    const TZoneCheckItem& mx = r.Places[0];
    EXPECT_EQ(mx.Kind, TZoneCheckItem::Differs);
    EXPECT_EQ(mx.Place, "Mexico");
    EXPECT_EQ(mx.Zone, "America/Mexico_City");
    EXPECT_EQ(mx.Here, "UTC -6 with daylight saving from First Sunday April 02:00 to First "
                       "Sunday after 24 October 02:00");
    EXPECT_EQ(mx.System, "UTC -6 all year since 2022");
    // Early April 2027, when the old rules would move the clock.
    EXPECT_GE(mx.FirstDifference, 1806537600); // 2027-04-01
    EXPECT_LT(mx.FirstDifference, 1807315200); // 2027-04-10
    // The hand-made place is left alone and said to be unchecked.
    EXPECT_EQ(r.Places[1].Kind, TZoneCheckItem::Unchecked);
    EXPECT_EQ(r.Places[1].Place, "Handland");
    EXPECT_EQ(r.CitiesChecked, 1u);

    // Within the month ahead of New Year the saving is still months away.
    EXPECT_EQ(CheckZones(Data, Map, Year2027, ZoneCheckMonth).Count(TZoneCheckItem::Differs), 0u);

    ASSERT_TRUE(UpdatePlace(Store, mx));
    EXPECT_TRUE(Data.Modified);
    EXPECT_EQ(Data.Countries.Items(0).UTCOffset, -6);
    EXPECT_EQ(Data.Countries.Items(0).DSTStart.Kind, RuleKindNone);
    EXPECT_EQ(Data.Countries.Items(1).UTCOffset, 3.25);
    r = CheckZones(Data, Map, Year2027);
    EXPECT_EQ(r.Places[0].Kind, TZoneCheckItem::Agrees);
    EXPECT_EQ(r.Count(TZoneCheckItem::Differs), 0u);
    // An item that does not differ changes nothing.
    Data.Modified = false;
    EXPECT_FALSE(UpdatePlace(Store, r.Places[0]));
    EXPECT_FALSE(Data.Modified);
}

TEST_F(ZoneCheck, TheStartNoteNamesADialPlaceThatDiffersWithinAMonth) {
    Data.Cities.Items(0).Default = true;
    EXPECT_EQ(DialZoneNote(Data, Map, Year2027), "");
    const std::int64_t march20 = 1805500800; // 2027-03-20
    EXPECT_EQ(DialZoneNote(Data, Map, march20),
              "The clock's rules for Mexico differ from the system's time zones within 30 days. "
              "Location > Check Time Zones... shows what differs and updates them.");
    // Not on the dial and not My City: no note.
    Data.Cities.Items(0).Default = false;
    EXPECT_EQ(DialZoneNote(Data, Map, march20), "");
}

TEST_F(ZoneCheck, ACityLineWinsOverItsPlaceAndUnknownZonesAreToldApart) {
    Map[{"Mexico", "", "Ciudad de M\xc3\xa9xico"}] = "America/Nowhere";
    EXPECT_EQ(ZoneOfCity(Data, Map, Data.Cities.Items(0)), "America/Nowhere");
    const TZoneCheckResult r = CheckZones(Data, Map, Year2027);
    EXPECT_EQ(r.Places[0].Kind, TZoneCheckItem::CannotExpress);
    EXPECT_NE(r.Places[0].Reason.find("no zone America/Nowhere"), std::string::npos);
    // Only the places of the cities asked about.
    const TZoneCheckResult one =
        CheckZones(Data, Map, Year2027, ZoneCheckYear, {Data.Cities.Items(1).UniqueID});
    ASSERT_EQ(one.Places.size(), 1u);
    EXPECT_EQ(one.Places[0].Place, "Handland");
}

TEST(ZoneMap, LinesReadBackAndAnyBytesAreSafe) {
    const TZoneMap map = ParseZoneMap("# comment\r\n"
                                      "Mexico\t\t\tAmerica/Mexico_City\r\n"
                                      "United States\tTexas\tEl Paso\tAmerica/Denver\n"
                                      "\n"
                                      "Too\tfew\tfields\n"
                                      "Bad\t\t\t../etc/passwd\n"
                                      "\t\tNo country\tEurope/Paris\n"
                                      "Mexico\t\t\tAmerica/Cancun"); // a later line wins
    ASSERT_EQ(map.size(), 2u);
    EXPECT_EQ(map.at({"Mexico", "", ""}), "America/Cancun");
    EXPECT_EQ(map.at({"United States", "Texas", "El Paso"}), "America/Denver");
    EXPECT_EQ(ParseZoneMap(FormatZoneMap(map)), map);
    // A name that a line cannot hold is left out rather than written wrong.
    TZoneMap odd = map;
    odd[{"A\tB", "", ""}] = "Europe/Paris";
    EXPECT_EQ(ParseZoneMap(FormatZoneMap(odd)), map);

    std::mt19937 random(28);
    for (int round = 0; round < 200; ++round) {
        std::string bytes(random() % 400, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random() % 4 == 0 ? "\t\n\r/"[random() % 4] : random());
        for (const auto& [key, zone] : ParseZoneMap(bytes))
            EXPECT_TRUE(IsZoneName(zone));
    }

    const fs::path file =
        fs::temp_directory_path() / ("tavik-zonemap-" + std::to_string(::getpid()));
    ASSERT_TRUE(WriteZoneMapFile(file.string(), map));
    TZoneMap read;
    ASSERT_TRUE(ReadZoneMapFile(file.string(), read));
    EXPECT_EQ(read, map);
    fs::remove(file);
    EXPECT_FALSE(ReadZoneMapFile(file.string(), read));
    EXPECT_FALSE(ReadZoneMapFile(fs::temp_directory_path().string(), read)); // a folder
    EXPECT_EQ(read, map);
}

} // namespace
