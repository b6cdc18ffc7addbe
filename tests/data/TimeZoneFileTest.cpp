#include "data/TimeZoneFileU.h"

#include "ZoneFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace fs = std::filesystem;

namespace {

// Berlin's last few changes as a small zone: standard, summer, standard again.
TZifLayout Berlin(char version) {
    TZifLayout s;
    s.Version = version;
    s.Types = {{3600, false, 0}, {7200, true, 4}};
    s.Chars = std::string("CET\0CEST\0", 9);
    s.Transitions = {{1774746000, 1}, {1792890000, 0}}; // 2026-03-29 01:00, 2026-10-25 01:00 UTC
    s.Footer = "CET-1CEST,M3.5.0,M10.5.0/3";
    return s;
}

} // namespace

TEST(ZoneFile, VersionsTwoAndThreeAreRead) {
    for (char version : {'2', '3'}) {
        TZifLayout layout = Berlin(version);
        layout.Leaps = 2; // leap-second records and the two indicator arrays are skipped
        layout.Indicators = true;
        layout.OldBlockTransitions = 1; // the 32-bit block need not match the 64-bit one
        TZoneFile z;
        std::string why;
        ASSERT_TRUE(ParseZoneFile(BuildTZif(layout), z, why)) << version << ": " << why;
        EXPECT_EQ(z.Version, version - '0');
        EXPECT_EQ(z.Footer, "CET-1CEST,M3.5.0,M10.5.0/3");
        EXPECT_EQ(z.InitialOffset, 3600);
        EXPECT_EQ(z.Transitions, (std::vector<TZoneTransition>{{1774746000, 7200, true},
                                                               {1792890000, 3600, false}}));
    }
    // A zone with no rule for the years ahead has an empty TZ string; reading it still works.
    TZifLayout none = Berlin('2');
    none.Footer = "";
    TZoneFile z;
    std::string why;
    ASSERT_TRUE(ParseZoneFile(BuildTZif(none), z, why)) << why;
    EXPECT_EQ(z.Footer, "");
}

TEST(ZoneFile, VersionOneIsRefusedForItsMissingRules) {
    TZoneFile z;
    z.Version = 77; // untouched on refusal
    std::string why;
    EXPECT_FALSE(ParseZoneFile(BuildTZif(Berlin('\0')), z, why));
    EXPECT_NE(why.find("version 1"), std::string::npos) << why;
    EXPECT_EQ(z.Version, 77);
}

TEST(ZoneFile, EveryCutIsRefusedAndNoneCrashes) {
    const std::string whole = BuildTZif(Berlin('2'));
    TZoneFile z;
    std::string why;
    ASSERT_TRUE(ParseZoneFile(whole, z, why));
    for (std::size_t n = 0; n < whole.size(); ++n) {
        why.clear();
        EXPECT_FALSE(ParseZoneFile(std::string_view(whole).substr(0, n), z, why)) << n;
        EXPECT_EQ(why, "the zone file is cut short") << n;
    }
}

TEST(ZoneFile, InconsistentFilesAreRefused) {
    auto refused = [](TZifLayout layout, const std::string& reason) {
        TZoneFile z;
        std::string why;
        EXPECT_FALSE(ParseZoneFile(BuildTZif(layout), z, why)) << reason;
        EXPECT_EQ(why, reason);
    };
    TZifLayout s = Berlin('2');
    s.Transitions[1].second = 2; // a type that does not exist
    refused(s, "the zone file is damaged");
    s = Berlin('2');
    s.Transitions[1].first = s.Transitions[0].first; // times must rise
    refused(s, "the zone file is damaged");
    s = Berlin('2');
    s.Types[1].Offset = 200000; // beyond any clock on earth
    refused(s, "the zone file is damaged");
    s = Berlin('2');
    s.Types.clear();
    s.Transitions.clear();
    refused(s, "the zone file is damaged");
    s = Berlin('2');
    s.Footer = "CET-1\nCEST"; // a second line in the footer
    refused(s, "the zone file is damaged");

    std::string bytes = BuildTZif(Berlin('2'));
    TZoneFile z;
    std::string why;
    EXPECT_FALSE(ParseZoneFile(bytes + "more", z, why));
    EXPECT_EQ(why, "the zone file is damaged");
    bytes[4] = 'x';
    EXPECT_FALSE(ParseZoneFile(bytes, z, why));
    EXPECT_EQ(why, "the zone file is of an unknown version");
    EXPECT_FALSE(
        ParseZoneFile("PK\3\4 a zip file, not a zone at all, long enough for a header", z, why));
    EXPECT_EQ(why, "not a compiled zone file");
}

TEST(ZoneFile, RandomDamageNeverCrashes) {
    TZifLayout layout = Berlin('3');
    layout.Leaps = 1;
    layout.Indicators = true;
    const std::string whole = BuildTZif(layout);
    std::mt19937 random(19);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = whole;
        for (int k = 0; k < 1 + round % 4; ++k)
            bytes[random() % bytes.size()] = static_cast<char>(random());
        TZoneFile z;
        std::string why;
        if (!ParseZoneFile(bytes, z, why)) {
            EXPECT_FALSE(why.empty());
        }
    }
}

class ZoneFolder : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() /
              ("tavik-zones-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(Dir);
        fs::create_directories(Dir / "Test");
        Tzdir = std::make_unique<TScopedTzdir>(Dir.string());
    }
    void TearDown() override {
        Tzdir.reset();
        fs::remove_all(Dir);
    }

    fs::path Dir;
    std::unique_ptr<TScopedTzdir> Tzdir;
};

TEST_F(ZoneFolder, ZonesAreFoundByNameInsideTheFolderOnly) {
    EXPECT_EQ(ZoneInfoDir(), Dir.string());
    WriteFile(Dir / "Test/Berlin", BuildTZif(Berlin('2')));
    WriteFile(Dir / "Test/Old", BuildTZif(Berlin('\0')));
    WriteFile(Dir / "outside", BuildTZif(Berlin('2')));
    TZoneFile z;
    std::string why;
    ASSERT_TRUE(ReadZone("Test/Berlin", z, why)) << why;
    EXPECT_EQ(z.Footer, "CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_FALSE(ReadZone("Test/Old", z, why));
    EXPECT_NE(why.find("version 1"), std::string::npos);
    for (const char* name : {"Test/../outside", "/etc/passwd", "Test//Berlin", "", "Test/",
                             "Test/./Berlin", "Test/Ber lin", "Test\\Berlin"}) {
        EXPECT_FALSE(ReadZone(name, z, why)) << name;
        EXPECT_EQ(why, "not a zone name") << name;
    }
    for (const char* name : {"Test/Nowhere", "Test"}) { // missing, and a folder
        EXPECT_FALSE(ReadZone(name, z, why)) << name;
        EXPECT_EQ(why, "no such zone") << name;
    }
    // Something the size of no zone file is not read in full.
    WriteFile(Dir / "Test/Huge", std::string(2u << 20, 'T'));
    EXPECT_FALSE(ReadZone("Test/Huge", z, why));
    EXPECT_EQ(why, "too large for a zone file");
}

TEST_F(ZoneFolder, ListHoldsZonesAndLinksWithTheirCountries) {
    WriteFile(Dir / "tzdata.zi", "# version test\n"
                                 "R d 1916 o - Jun 14 23s 1 S\n"
                                 "Z America/New_York -4:56:2 - LMT 1883 N 18 17u\n"
                                 "-5 u E%sT\n"
                                 "Z Europe/Berlin 0:53:28 - LMT 1893 Ap\n"
                                 "Z Europe/Helsinki 1:39:49 - LMT 1878 May 31\n"
                                 "Z America/Chicago -5:50:36 - LMT 1883 N 18 18u\n"
                                 "Z Etc/UTC 0 - UTC\n"
                                 "L Europe/Helsinki Europe/Mariehamn\n"
                                 "L Etc/UTC ../escape\n");
    WriteFile(Dir / "zone.tab", "# comment\n"
                                "AX\t+6006+01957\tEurope/Mariehamn\n"
                                "DE\t+5230+01322\tEurope/Berlin\tmost of Germany\n"
                                "FI\t+6010+02458\tEurope/Helsinki\n"
                                "US\t+404251-0740023\tAmerica/New_York\tEastern (most areas)\n"
                                "US\t+415100-0873900\tAmerica/Chicago\tCentral (most areas)\r\n");
    WriteFile(Dir / "zone1970.tab", "FI,AX\t+6010+02458\tEurope/Helsinki\n"
                                    "DE,DK\t+5230+01322\tEurope/Berlin\n"
                                    "US\t+404251-0740023\tAmerica/New_York\n");
    const std::vector<TZoneName> zones = ListZones(Dir.string());
    std::vector<std::string> names;
    for (const auto& z : zones)
        names.push_back(z.Name);
    EXPECT_EQ(names,
              (std::vector<std::string>{"America/Chicago", "America/New_York", "Etc/UTC",
                                        "Europe/Berlin", "Europe/Helsinki", "Europe/Mariehamn"}));
    EXPECT_EQ(zones[3].Countries, (std::vector<std::string>{"DE", "DK"}));
    EXPECT_EQ(zones[4].Countries, (std::vector<std::string>{"FI", "AX"}));
    EXPECT_EQ(zones[5].Countries, (std::vector<std::string>{"AX"}));
    EXPECT_TRUE(zones[2].Countries.empty());

    // The country's zones first, its principal one leading; then the others as they were.
    auto order = [](const std::vector<TZoneName>& list) {
        std::string s;
        for (const auto& z : list)
            s += z.Name + " ";
        return s;
    };
    EXPECT_EQ(order(ZonesCountryFirst(zones, "US")),
              "America/New_York America/Chicago Etc/UTC Europe/Berlin Europe/Helsinki "
              "Europe/Mariehamn ");
    EXPECT_EQ(order(ZonesCountryFirst(zones, "AX")),
              "Europe/Mariehamn Europe/Helsinki America/Chicago America/New_York Etc/UTC "
              "Europe/Berlin ");
    // A zone the country shares comes after its own, wherever zone.tab lists it.
    const std::vector<TZoneName> shared = {{"Europe/Berlin", {"DE", "DK"}, 5},
                                           {"Europe/Zurich", {"CH", "DE", "LI"}, 2}};
    EXPECT_EQ(order(ZonesCountryFirst(shared, "DE")), "Europe/Berlin Europe/Zurich ");
    EXPECT_EQ(order(ZonesCountryFirst(shared, "CH")), "Europe/Zurich Europe/Berlin ");
    EXPECT_EQ(ZonesCountryFirst(zones, ""), zones);
    EXPECT_EQ(ZonesCountryFirst(zones, "ZZ"), zones);

    // Without the files the list is empty; with one of them it is what that one gives.
    fs::remove(Dir / "tzdata.zi");
    fs::remove(Dir / "zone.tab");
    EXPECT_EQ(ListZones(Dir.string()).size(), 3u);
    EXPECT_TRUE(ListZones((Dir / "Test").string()).empty());
}
