#include "TestWorld.h"
#include "manage/ManageRecordsU.h"

#include <gtest/gtest.h>

namespace {

class Records : public ::testing::Test {
protected:
    void SetUp() override {
        BuildTestWorld(Data, 1);
        Context.LocalNow = 46174.5; // 2026-06-01 12:00
    }
    TCountry& CountryNamed(const char* name) {
        for (TCountry* c : Data.Countries)
            if (c->Name == name)
                return *c;
        throw std::runtime_error(name);
    }
    TCountryInput Country(std::string name, std::string offset = "1") {
        TCountryInput in;
        in.Name = std::move(name);
        in.Offset = std::move(offset);
        return in;
    }

    TLocationStore Store;
    TCityList& Data = Store.Data();
    TDSTSummaryContext Context;
};

TDSTPanelState BrokenPanel() {
    TDSTPanelState p;
    p.Checked = true;
    p.RuleMode = false;
    p.Start.FixedDay = "30";
    p.Start.FixedMonth = 1;
    p.End.FixedDay = "1";
    p.End.FixedMonth = 9;
    return p;
}

} // namespace

TEST_F(Records, CountryChecksRunInTheirOrderAndChangeNothingWhenRefused) {
    TCountry* edited = &CountryNamed("Nepal");
    const TCountry before = *edited;

    TCountryInput in = Country("India");
    in.Panel = BrokenPanel();
    TApplyOutcome o = ApplyCountry(Store, edited, false, in, Context);
    EXPECT_FALSE(o.Applied);
    EXPECT_EQ(o.Message, "A country is already in the list with that name. Please choose another "
                         "name.");
    EXPECT_EQ(o.Focus, TManageField::Name);

    in.Name.clear();
    o = ApplyCountry(Store, edited, false, in, Context);
    EXPECT_EQ(o.Message, "Name should not be empty");

    in.Name = "Nepal"; // its own name is no duplicate
    o = ApplyCountry(Store, edited, false, in, Context);
    EXPECT_EQ(o.Message, "Invalid/incomplete daylight saving dates. Please check the fields, or "
                         "uncheck \"Daylight Saving\"");
    EXPECT_EQ(o.Focus, TManageField::None);

    in.Name = "\xC5\x81\xC3\xB3"
              "d\xC5\xBA"; // "Łódź": Ł and ź have no place in the code page
    o = ApplyCountry(Store, edited, false, in, Context);
    EXPECT_EQ(o.Message, "The character \"\xC5\x81\" cannot be stored in the city list. Please "
                         "replace it.");
    EXPECT_EQ(o.Focus, TManageField::Name);
    in.Name = "Nepal";
    in.Code = "\xE2\x82\xAC\xE2\x86\x92"; // the euro sign can be stored, the arrow cannot
    o = ApplyCountry(Store, edited, false, in, Context);
    EXPECT_EQ(o.Focus, TManageField::Code);
    EXPECT_NE(o.Message.find("\xE2\x86\x92"), std::string::npos);

    TCountry* none = nullptr; // edit mode with nothing loaded
    EXPECT_FALSE(ApplyCountry(Store, none, false, Country("Atlantis"), Context).Applied);

    EXPECT_FALSE(Data.Modified);
    EXPECT_EQ(edited->Name, before.Name);
    EXPECT_EQ(edited->UTCOffset, before.UTCOffset);

    // Letter case makes another name; an accented name is stored in the code page.
    in = Country("INDIA", "5.5");
    o = ApplyCountry(Store, edited, false, in, Context);
    EXPECT_TRUE(o.Applied);
    EXPECT_TRUE(Data.Modified);
    EXPECT_EQ(edited->Name, "INDIA");
    in.Name = "C\xC3\xB4te d'Ivoire";
    ASSERT_TRUE(ApplyCountry(Store, edited, false, in, Context).Applied);
    EXPECT_EQ(edited->Name, "C\xF4te d'Ivoire");
}

TEST_F(Records, OffsetsOutsideMinus12To14OrNoNumberKeepTheStoredValueSilently) {
    TCountry* edited = &CountryNamed("Nepal"); // 5.75
    const struct {
        const char* Text;
        double Stored;
        bool Reset;
    } cases[] = {{"12", 12, false},    {"-12", -12, false},    {"14", 14, false},
                 {"+13", 13, false},   {"5.75", 5.75, false},  {" -3.5 ", -3.5, false},
                 {"14.5", -3.5, true}, {"-12.25", -3.5, true}, {"abc", -3.5, true},
                 {"", -3.5, true},     {"1e1", -3.5, true},    {"5.5.5", -3.5, true}};
    for (const auto& c : cases) {
        const TApplyOutcome o =
            ApplyCountry(Store, edited, false, Country("Nepal", c.Text), Context);
        ASSERT_TRUE(o.Applied) << c.Text;
        EXPECT_EQ(edited->UTCOffset, c.Stored) << c.Text;
        EXPECT_EQ(o.OffsetReset, c.Reset) << c.Text;
        if (c.Reset) {
            EXPECT_EQ(o.OffsetText, "-3.5");
        }
    }
    // The locale's separator is read.
    Context.Locale.DecimalSeparator = ',';
    ApplyCountry(Store, edited, false, Country("Nepal", "5,75"), Context);
    EXPECT_EQ(edited->UTCOffset, 5.75);

    // A new country starts unset: +13 is taken, a wrong entry stores "not set".
    TCountry* added = nullptr;
    ASSERT_TRUE(ApplyCountry(Store, added, true, Country("Tonga", "13"), Context).Applied);
    EXPECT_EQ(added->UTCOffset, 13);
    added = nullptr;
    const TApplyOutcome o = ApplyCountry(Store, added, true, Country("Nowhere", "15"), Context);
    EXPECT_EQ(added->UTCOffset, -99);
    EXPECT_EQ(o.OffsetText, "-99");
}

TEST_F(Records, NewCountriesTakeTheNextIdsAndTheirRules) {
    const std::int32_t max = Data.Countries.MaxUniqueId();
    TCountry* a = nullptr;
    TCountryInput in = Country("Samoa", "13");
    in.CapitalCity = 3;
    in.Panel.Checked = true;
    in.Panel.Start = {0, 6, "", 8, "", -1, "3", "0"}; // first Sunday of September 03:00
    in.Panel.End = {0, 6, "", 3, "", -1, "04", "00"}; // first Sunday of April 04:00
    ASSERT_TRUE(ApplyCountry(Store, a, true, in, Context).Applied);
    TCountry* b = nullptr;
    ASSERT_TRUE(ApplyCountry(Store, b, true, Country("Tokelau"), Context).Applied);
    EXPECT_EQ(a->UniqueId, max + 1);
    EXPECT_EQ(b->UniqueId, max + 2);
    EXPECT_EQ(a->CapitalCity, 3);
    EXPECT_EQ(a->DSTStart, (TSummerTimeRule{1, 0, 0, 0, 7, 0, 9, 3.0 / 24}));
    EXPECT_EQ(a->DSTEnd, (TSummerTimeRule{1, 0, 0, 0, 7, 0, 4, 4.0 / 24}));
    EXPECT_EQ(b->DSTStart, (TSummerTimeRule{1, 0, 0, 0, 0, 0, 0, 0})) << "no saving, country form";
    TCountry* dup = nullptr;
    EXPECT_FALSE(ApplyCountry(Store, dup, true, Country("Samoa"), Context).Applied);
    EXPECT_EQ(dup, nullptr);
}

TEST_F(Records, DeletionsRefusedWhileOthersDependOnTheRecord) {
    // Canada has a state and, through a city of its own, a city: both reasons, states first.
    TCountry& canada = CountryNamed("Canada");
    TCity& toronto = Data.Cities.AddWithNewId();
    toronto.CountryId = canada.UniqueId;
    EXPECT_EQ(CountryDeleteRefusal(Data, canada),
              "This country cannot be removed because of the following reasons: \r\n\r\n"
              "* This country cannot be removed because there are states in the database which "
              "reside in this country. Please remove all the states in this country before "
              "removing the country.\r\n\r\n"
              "* This country cannot be removed because there are cities in the database which "
              "reside in this country. Please remove all the cities in this country before "
              "removing the country\r\n");
    // Nepal's only city lies in its state: the states reason alone.
    const std::string nepal = CountryDeleteRefusal(Data, CountryNamed("Nepal"));
    EXPECT_NE(nepal.find("there are states"), std::string::npos);
    EXPECT_EQ(nepal.find("there are cities"), std::string::npos);
    TCountry& empty = Data.Countries.AddWithNewId();
    EXPECT_EQ(CountryDeleteRefusal(Data, empty), "");

    // A state with cities stays; one with only airports may go.
    TState& bagmati = *Data.States.FindById(1);
    EXPECT_EQ(StateDeleteRefusal(Data, bagmati),
              "This state cannot be removed because there are cities in the database which "
              "reside in this state. Please remove all the cities in this state before removing "
              "the state.");
    Data.Cities.FindById(2)->StateId = 0;
    EXPECT_EQ(StateDeleteRefusal(Data, bagmati), "");

    EXPECT_EQ(CityDeleteRefusal(*Data.Cities.FindById(1), Data.MyCity),
              "This city cannot be removed because of the following reasons: \r\n\r\n"
              "* This city is set to My City. It cannot be deleted.\r\n");
    EXPECT_EQ(CityDeleteRefusal(*Data.Cities.FindById(2), Data.MyCity), "");
}

TEST_F(Records, StatesAreUniquePerCountry) {
    TStateInput in;
    in.Name = "Bagmati";
    in.Offset = "5.75";
    TState* edited = nullptr;
    TApplyOutcome o = ApplyState(Store, edited, true, in, Context);
    EXPECT_EQ(o.Message, "Please select a country");
    EXPECT_EQ(o.Focus, TManageField::Country);
    in.CountryId = CountryNamed("Nepal").UniqueId;
    in.Panel = BrokenPanel();
    o = ApplyState(Store, edited, true, in, Context);
    EXPECT_EQ(o.Message, InvalidDSTMessage) << "the dates are checked before the duplicate";
    in.Panel = TDSTPanelState{};
    o = ApplyState(Store, edited, true, in, Context);
    EXPECT_EQ(o.Message, "There is already a state called Bagmati in Nepal. Please choose another "
                         "name.");
    in.CountryId = CountryNamed("India").UniqueId;
    o = ApplyState(Store, edited, true, in, Context);
    ASSERT_TRUE(o.Applied);
    EXPECT_EQ(edited->UniqueID, 3);
    EXPECT_EQ(edited->DSTStart, TSummerTimeRule{}) << "no saving, state form";
    EXPECT_EQ(edited->UTCOffset, 5.75);
}

TEST_F(Records, CityApplyLinksAirportsAndNamesTheCapital) {
    TCity* city = Data.Cities.FindById(2); // Kathmandu, in Bagmati, served by Tribhuvan
    TAirport* ktm = &Data.Airports.Items(0);
    TAirport* lhr = &Data.Airports.Items(1);
    for (int slot = 3; slot <= 10; ++slot)
        lhr->SetClosestCities(slot, 100 + slot); // Heathrow: slot 1 empty, 2 London, then full
    TCityInput in;
    in.LongName = "Kathmandu";
    in.ShortName = "Ktm";
    in.CountryId = 2;
    in.StateId = 1;
    in.Capital = true;
    in.Default = false;
    in.Airports = {{ktm, false}, {lhr, true}};
    ASSERT_TRUE(ApplyCity(Store, city, false, in).Applied);
    EXPECT_EQ(city->StateId, 1);
    EXPECT_EQ(city->CountryId, 0);
    EXPECT_EQ(Data.Countries.FindById(2)->CapitalCity, 2) << "the state's country";
    EXPECT_FALSE(city->Default);
    EXPECT_EQ(ktm->ClosestCities(1), 0) << "unlinked, not packed";
    EXPECT_EQ(lhr->ClosestCities(1), 2) << "the first empty slot";
    EXPECT_FALSE(AirportIsFull(*lhr, 2)) << "it serves the city already";
    EXPECT_TRUE(AirportIsFull(*lhr, 3));

    // A full airport takes no further link; unchecking Capital keeps the capital.
    in.Airports = {{lhr, true}};
    in.StateId = 0;
    in.Capital = false;
    TCity* delhi = Data.Cities.FindById(3);
    in.LongName = "Delhi";
    in.CountryId = 3;
    ASSERT_TRUE(ApplyCity(Store, delhi, false, in).Applied);
    EXPECT_EQ(delhi->CountryId, 3);
    for (int slot = 1; slot <= 10; ++slot)
        EXPECT_NE(lhr->ClosestCities(slot), 3);
    EXPECT_EQ(Data.Countries.FindById(2)->CapitalCity, 2);
    EXPECT_EQ(FullAirportMessage(*lhr), "Heathrow already serves 10 cities, the most an airport "
                                        "can serve. Please remove one of them on the airport page "
                                        "first.");

    in.ShortName.clear();
    EXPECT_EQ(ApplyCity(Store, delhi, false, in).Message, "Short Name should not be empty");
    in.ShortName = "Del";
    in.LongName.clear();
    EXPECT_EQ(ApplyCity(Store, delhi, false, in).Message, "Long Name should not be empty");
    in.LongName = "Delhi";
    in.CountryId = 0;
    EXPECT_EQ(ApplyCity(Store, delhi, false, in).Message, "Please select a country");

    // Unlinking a deleted city packs every list.
    UnlinkCityFromAirports(Data.Airports, 1);
    EXPECT_EQ(lhr->ClosestCities(1), 2);
    EXPECT_EQ(lhr->ClosestCities(2), 103);
    EXPECT_EQ(lhr->ClosestCities(10), 0);
}

TEST_F(Records, AirportApplyCutsCodesAndFillsTheCitySlots) {
    TAirportInput in;
    in.Name = "Kansai";
    in.Codes[0] = "KIXABCD";
    in.Codes[9] = "RJBB";
    in.CountryId = 2;
    in.StateId = 1;
    in.Cities = {2, 9};
    TAirport* a = nullptr;
    EXPECT_EQ(ApplyAirport(Store, a, true, TAirportInput{}).Message, "Name should not be empty");
    TAirportInput noCountry = in;
    noCountry.CountryId = 0;
    EXPECT_EQ(ApplyAirport(Store, a, true, noCountry).Message, "Please select a country");
    TAirportInput badCode = in;
    badCode.Codes[4] = "\xE2\x9C\x88";
    const TApplyOutcome refused = ApplyAirport(Store, a, true, badCode);
    EXPECT_EQ(refused.Focus, TManageField::Codes);
    EXPECT_EQ(refused.CodeRow, 4);
    EXPECT_EQ(a, nullptr);

    ASSERT_TRUE(ApplyAirport(Store, a, true, in).Applied);
    EXPECT_EQ(a->UniqueID, 3);
    EXPECT_EQ(a->Codes(1), "KIXAB");
    EXPECT_EQ(a->Codes(10), "RJBB");
    EXPECT_EQ(a->ClosestCities(1), 2);
    EXPECT_EQ(a->ClosestCities(2), 9);
    EXPECT_EQ(a->ClosestCities(3), 0);
    EXPECT_EQ(TooManyCitiesMessage(), "You cannot select more than 10 cities per airport. Please "
                                      "deselect.");
    EXPECT_EQ(CountryOfPlace(Data, 1, 0), Data.Countries.FindById(2));
    EXPECT_EQ(CountryOfPlace(Data, 77, 3), nullptr) << "a missing state";
}

TEST_F(Records, ADeletedCityIsNamedNowhereItsIdCouldBeInherited) {
    CountryNamed("Nepal").CapitalCity = 2;
    CountryNamed("India").CapitalCity = 2; // a broken file may name it twice
    CountryNamed("Germany").CapitalCity = 5;
    TAirport& ktm = Data.Airports.Items(0);
    ktm.SetClosestCities(2, 7);
    UnlinkDeletedCity(Data, 2);
    EXPECT_EQ(CountryNamed("Nepal").CapitalCity, 0);
    EXPECT_EQ(CountryNamed("India").CapitalCity, 0);
    EXPECT_EQ(CountryNamed("Germany").CapitalCity, 5) << "other capitals stay";
    EXPECT_EQ(ktm.ClosestCities(1), 7) << "taken out and packed";
    EXPECT_EQ(ktm.ClosestCities(2), 0);
}

TEST_F(Records, NamesAreJudgedAndStoredAsTheFileKeepsThemWithoutBlanksAround) {
    // Blanks alone are no name, on every page that trims its names in the file.
    const int countries = Data.Countries.Count();
    TCountry* country = nullptr;
    EXPECT_EQ(ApplyCountry(Store, country, true, Country("   "), Context).Message,
              EmptyNameMessage);
    TStateInput state;
    state.Name = " \t ";
    state.CountryId = CountryNamed("Nepal").UniqueId;
    TState* newState = nullptr;
    EXPECT_EQ(ApplyState(Store, newState, true, state, Context).Message, EmptyNameMessage);
    TCityInput city;
    city.ShortName = "  ";
    city.LongName = "Pokhara";
    city.CountryId = 2;
    TCity* newCity = nullptr;
    EXPECT_EQ(ApplyCity(Store, newCity, true, city).Message, "Short Name should not be empty");
    TAirportInput airport;
    airport.Name = " ";
    airport.CountryId = 2;
    TAirport* newAirport = nullptr;
    EXPECT_EQ(ApplyAirport(Store, newAirport, true, airport).Message, EmptyNameMessage);
    EXPECT_EQ(Data.Countries.Count(), countries);
    EXPECT_EQ(newState, nullptr);

    // A blank before or after an existing name makes no second record of that name.
    EXPECT_EQ(ApplyCountry(Store, country, true, Country(" Nepal "), Context).Message,
              "A country is already in the list with that name. Please choose another name.");
    state.Name = "Bagmati ";
    EXPECT_EQ(ApplyState(Store, newState, true, state, Context).Message,
              "There is already a state called Bagmati in Nepal. Please choose another name.");
    // Nor does a record that still holds blanks of its own (set before the rule).
    CountryNamed("Egypt").Name = "Egypt ";
    EXPECT_FALSE(ApplyCountry(Store, country, true, Country("Egypt"), Context).Applied);

    // Stored as the file keeps it, so that the next check and a restart see the same name.
    ASSERT_TRUE(ApplyCountry(Store, country, true, Country("  Testland "), Context).Applied);
    EXPECT_EQ(country->Name, "Testland");
    TCountry* second = nullptr;
    EXPECT_FALSE(ApplyCountry(Store, second, true, Country("Testland"), Context).Applied);
    ASSERT_TRUE(ApplyCountry(Store, country, false, Country(" Testland"), Context).Applied)
        << "its own name, blanks or not";
    state.Name = " Pokhara\t";
    ASSERT_TRUE(ApplyState(Store, newState, true, state, Context).Applied);
    EXPECT_EQ(newState->Name, "Pokhara");
    city.ShortName = " Pkr ";
    city.LongName = " Pokhara ";
    ASSERT_TRUE(ApplyCity(Store, newCity, true, city).Applied);
    EXPECT_EQ(newCity->ShortName(), "Pkr");
    EXPECT_EQ(newCity->LongName, "Pokhara");
    airport.Name = " Pokhara Airport ";
    ASSERT_TRUE(ApplyAirport(Store, newAirport, true, airport).Applied);
    EXPECT_EQ(newAirport->Name, "Pokhara Airport");
}

TEST_F(Records, TheStoreHearsOfWhatARuleAppliesAndOfNothingItRefuses) {
    struct TCount : TLocationListener {
        int Changed = 0;
        void LocationsChanged() override { ++Changed; }
    } heard;
    Store.AddListener(&heard);
    const std::uint64_t g = Store.Generation();
    TCountry* country = nullptr;
    TState* state = nullptr;
    TCity* city = nullptr;
    TAirport* airport = nullptr;
    EXPECT_FALSE(ApplyCountry(Store, country, true, Country("Egypt"), Context).Applied);
    EXPECT_FALSE(ApplyState(Store, state, true, TStateInput{}, Context).Applied);
    EXPECT_FALSE(ApplyCity(Store, city, true, TCityInput{}).Applied);
    EXPECT_FALSE(ApplyAirport(Store, airport, true, TAirportInput{}).Applied);
    EXPECT_EQ(heard.Changed, 0);
    EXPECT_EQ(Store.Generation(), g);
    EXPECT_FALSE(Data.Modified);

    // A new capital: the country is linked to the id the new city got.
    TCityInput in;
    in.LongName = in.ShortName = "Alexandria";
    in.CountryId = CountryNamed("Egypt").UniqueId;
    in.Capital = true;
    ASSERT_TRUE(ApplyCity(Store, city, true, in).Applied);
    ASSERT_NE(city, nullptr);
    EXPECT_EQ(CountryNamed("Egypt").CapitalCity, city->UniqueID);
    EXPECT_EQ(heard.Changed, 1);
    EXPECT_TRUE(Data.Modified);
    Store.RemoveListener(&heard);
}
