#include "data/LocationStoreU.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Records what the store tells, in order.
struct TLog : TLocationListener {
    std::vector<std::string> Heard;
    void LocationsChanged() override { Heard.push_back("changed"); }
    void LocationRemoved(TRecordKind kind, std::int32_t id) override {
        Heard.push_back("removed " + std::to_string(static_cast<int>(kind)) + " " +
                        std::to_string(id));
    }
    void LocationsReplaced() override { Heard.push_back("replaced"); }
};

struct LocationStore : ::testing::Test {
    TLocationStore Store;
    TLog Log;
    TCity* Home = nullptr;
    TCity* Away = nullptr;

    void SetUp() override {
        TCityList& d = Store.Data();
        TCountry& c = d.Countries.AddWithNewId();
        c.Name = "Land";
        Home = &d.Cities.AddWithNewId();
        Home->LongName = "Home";
        Home->CountryId = c.UniqueId;
        Away = &d.Cities.AddWithNewId();
        Away->LongName = "Away";
        Away->CountryId = c.UniqueId;
        c.CapitalCity = Away->UniqueID;
        TAirport& a = d.Airports.AddWithNewId();
        a.SetClosestCities(1, Away->UniqueID);
        a.SetClosestCities(2, Home->UniqueID);
        d.MyCity = Home;
        d.CurrentCity = Home;
        Store.AddListener(&Log);
    }
};

TEST_F(LocationStore, EachIntentTellsOnceMarksModifiedAndMovesTheGeneration) {
    std::uint64_t g = Store.Generation();
    Store.SetOnDial(Away, true);
    EXPECT_TRUE(Away->Default);
    EXPECT_TRUE(Store.Modified());
    EXPECT_GT(Store.Generation(), g);
    g = Store.Generation();
    Store.SetOnDial(Away, true); // already so: nothing to tell
    EXPECT_EQ(Store.Generation(), g);

    EXPECT_TRUE(Store.SetCurrentCity(Away));
    EXPECT_EQ(Store.Data().CurrentCity, Away);
    Store.SetMyCity(Away);
    EXPECT_EQ(Store.Data().MyCity, Away);
    Store.Edited();
    EXPECT_FALSE(Store.SetCurrentCity(nullptr));
    EXPECT_EQ(Log.Heard, (std::vector<std::string>{"changed", "changed", "changed", "changed"}));
}

TEST_F(LocationStore, CityDeleteLeavesNothingNamingItsIdAndTheCentreReturnsHome) {
    const std::int32_t id = Away->UniqueID;
    ASSERT_TRUE(Store.SetCurrentCity(Away));
    Log.Heard.clear();
    const std::uint64_t g = Store.Generation();
    ASSERT_TRUE(Store.Delete(TRecordKind::City, id));
    const TCityList& d = Store.Data();
    EXPECT_EQ(d.Cities.FindById(id), nullptr);
    EXPECT_EQ(d.Countries.Items(0).CapitalCity, 0);
    EXPECT_EQ(d.Airports.Items(0).ClosestCities(1), Home->UniqueID); // packed
    EXPECT_EQ(d.Airports.Items(0).ClosestCities(2), 0);
    EXPECT_EQ(d.CurrentCity, Home);
    EXPECT_GT(Store.Generation(), g);
    EXPECT_EQ(Log.Heard, (std::vector<std::string>{"removed 2 " + std::to_string(id)}));

    // The next new city takes the same id, but the generation tells the two apart.
    TCity& again = Store.Data().Cities.AddWithNewId();
    EXPECT_EQ(again.UniqueID, id);
    EXPECT_FALSE(Store.Delete(TRecordKind::State, 99)); // no such record: nothing told
    EXPECT_EQ(Log.Heard.size(), 1u);
}

TEST_F(LocationStore, OtherKindsAndRemovedListeners) {
    const std::int32_t country = Store.Data().Countries.Items(0).UniqueId;
    const std::int32_t airport = Store.Data().Airports.Items(0).UniqueID;
    EXPECT_TRUE(Store.Delete(TRecordKind::Airport, airport));
    Store.RemoveListener(&Log);
    EXPECT_TRUE(Store.Delete(TRecordKind::Country, country));
    EXPECT_EQ(Log.Heard, (std::vector<std::string>{"removed 3 " + std::to_string(airport)}));
    EXPECT_EQ(Store.Data().Countries.Count(), 0);
}

TEST_F(LocationStore, SaveAsAndOpenReplaceAndKeepTheFileName) {
    const std::string file = "/tmp/tavik-store-" + std::to_string(getpid()) + ".tvk";
    Store.SetOnDial(Away, true);
    Store.SaveAs(file, TBackup::None);
    EXPECT_FALSE(Store.Modified());
    EXPECT_EQ(Store.FileName(), file);

    TLocationStore other;
    TLog heard;
    other.AddListener(&heard);
    other.Open(file);
    EXPECT_EQ(other.FileName(), file);
    EXPECT_EQ(other.Data().Cities.Count(), 2);
    ASSERT_NE(other.Data().MyCity, nullptr);
    EXPECT_EQ(other.Data().MyCity->LongName, "Home");
    EXPECT_EQ(heard.Heard, (std::vector<std::string>{"replaced"}));

    // A file that cannot be opened leaves the name as it was, and nothing is told.
    EXPECT_ANY_THROW(other.Open(file + ".missing"));
    EXPECT_EQ(other.FileName(), file);
    EXPECT_EQ(heard.Heard.size(), 1u);
    std::remove(file.c_str());
}

TEST_F(LocationStore, ApplyStoresTheCheckedRecordUnderItsIdAndTellsOnce) {
    TCityList& d = Store.Data();
    TCountry& land = d.Countries.Items(0);
    TCountryChange country;
    country.Value.Name = "Sea";
    country.Value.UniqueId = 77; // the store gives the id, not the change
    const std::uint64_t g = Store.Generation();
    TCountry& sea = Store.ApplyCountry(country);
    EXPECT_EQ(sea.UniqueId, 2);
    EXPECT_EQ(sea.Name, "Sea");
    EXPECT_TRUE(Store.Modified());
    EXPECT_GT(Store.Generation(), g);

    // An edit keeps the record where it is.
    TStateChange state;
    state.Value.Name = "Coast";
    TState& coast = Store.ApplyState(state);
    state = {&coast, coast};
    state.Value.CountryId = sea.UniqueId;
    EXPECT_EQ(&Store.ApplyState(state), &coast);
    EXPECT_EQ(coast.UniqueID, 1);
    EXPECT_EQ(coast.CountryId, sea.UniqueId);

    // A new city is linked under the id it got: capital and airports (a full one stays full).
    TAirport& full = d.Airports.AddWithNewId();
    for (int slot = 1; slot <= TAirport::SlotCount; ++slot)
        full.SetClosestCities(slot, 100 + slot);
    TAirport& own = d.Airports.Items(0);
    TCityChange city;
    city.Value.LongName = "Port";
    city.CapitalOf = &land;
    city.Airports = {{&own, true}, {&full, true}};
    TCity& port = Store.ApplyCity(city);
    EXPECT_EQ(port.UniqueID, 3);
    EXPECT_EQ(land.CapitalCity, 3);
    EXPECT_EQ(own.ClosestCities(3), 3);
    EXPECT_EQ(full.ClosestCities(TAirport::SlotCount), 100 + TAirport::SlotCount);
    // Unticked, the airport lets the city go; the capital stays with it.
    city = {&port, port, nullptr, {{&own, false}}};
    Store.ApplyCity(city);
    EXPECT_EQ(own.ClosestCities(3), 0);
    EXPECT_EQ(land.CapitalCity, 3);

    TAirportChange airport;
    airport.Value.Name = "Field";
    EXPECT_EQ(Store.ApplyAirport(airport).UniqueID, 3);
    EXPECT_EQ(Log.Heard, std::vector<std::string>(6, "changed"));
}

TEST_F(LocationStore, ChoicesOfTheMomentTellButLeaveTheDataUnmodifiedAndRefusalsTellNothing) {
    TCity stranger;
    Home->Default = true;
    EXPECT_FALSE(Store.ShowCity(nullptr));
    EXPECT_FALSE(Store.ShowCity(&stranger));
    EXPECT_FALSE(Store.SetCurrentCity(&stranger));
    Store.SetOnDial(nullptr, true);
    EXPECT_TRUE(Log.Heard.empty());
    const std::uint64_t g = Store.Generation();

    EXPECT_TRUE(Store.ShowCity(Away));
    EXPECT_EQ(Store.Data().CurrentCity, Away);
    EXPECT_FALSE(Away->Default) << "a look does not join the ring";
    Store.SetOnDial(Home, false, TChoice::OfTheMoment);
    EXPECT_FALSE(Home->Default);
    EXPECT_FALSE(Store.Modified());
    EXPECT_EQ(Store.Generation(), g + 2);

    // A lasting choice that changes nothing shown marks the data, and tells nothing.
    Store.SetOnDial(Home, false);
    EXPECT_TRUE(Store.Modified());
    EXPECT_EQ(Store.Generation(), g + 2);
    // The whole ring at once is one change.
    Store.SetOnDial({{Home, true}, {Away, true}, {nullptr, true}});
    EXPECT_TRUE(Home->Default && Away->Default);
    EXPECT_EQ(Log.Heard, std::vector<std::string>(3, "changed"));
}

TEST_F(LocationStore, OpenTakesOnlyAFileThatReadsWholeAndLeavesEverythingElseAsItWas) {
    const std::string file = "/tmp/tavik-store-open-" + std::to_string(getpid()) + ".tvk";
    Store.SaveAs(file, TBackup::None);
    std::vector<std::uint8_t> bytes = ReadWholeFile(file);
    Store.Data().Cities.AddWithNewId().LongName = "Unsaved";
    Store.Edited();
    Store.SetFileName("before.tvk");
    Log.Heard.clear();
    const std::uint64_t g = Store.Generation();

    // Cut inside the last block: the reader would take some records and throw.
    bytes.resize(bytes.size() - 5);
    ReplaceFileContent(file, bytes, TBackup::None);
    EXPECT_ANY_THROW(Store.Open(file));
    EXPECT_EQ(Store.Data().Cities.Count(), 3);
    EXPECT_EQ(Store.Data().MyCity, Home);
    EXPECT_EQ(Store.FileName(), "before.tvk");
    EXPECT_TRUE(Store.Modified());
    EXPECT_EQ(Store.Generation(), g);
    EXPECT_TRUE(Log.Heard.empty());
    std::remove(file.c_str());
}

} // namespace
