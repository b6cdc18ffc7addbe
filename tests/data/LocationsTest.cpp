#include "data/CityListU.h"
#include "data/FormatU.h"
#include "data/ListTargetU.h"

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;

Texts TextsOf(const TMemoryList& list) {
    Texts out;
    for (const auto& line : list.Lines)
        out.push_back(line.Text);
    return out;
}

TCity& AddCity(TCityList& d, const char* name, std::int32_t stateId, std::int32_t countryId,
               bool shown = false) {
    TCity& c = d.Cities.AddWithNewId();
    c.LongName = name;
    c.StateId = stateId;
    c.CountryId = countryId;
    c.Default = shown;
    return c;
}

} // namespace

TEST(Collections, IdsLookupAndStableItems) {
    TCities cities;
    EXPECT_EQ(0, cities.MaxUniqueId());
    EXPECT_EQ(1, cities.AddWithNewId().UniqueID);
    cities.Add().UniqueID = 2;
    cities.Add().UniqueID = 7;
    cities.Delete(cities.IndexOf(&cities.AddWithNewId()));
    EXPECT_EQ(8, cities.AddWithNewId().UniqueID) << "a freed largest id is given out again";
    TStates states; // compared as unsigned, a negative id is the largest
    states.Add().UniqueID = 3;
    states.Add().UniqueID = -5;
    EXPECT_EQ(-4, states.AddWithNewId().UniqueID);
    // Past -1 the count would wrap to 0, which means none: the smallest free id instead.
    TCities wrapped;
    wrapped.Add().UniqueID = -1;
    wrapped.Add().UniqueID = 1;
    wrapped.Add().UniqueID = 2;
    wrapped.Add().UniqueID = 2;
    wrapped.Add().UniqueID = 4;
    EXPECT_EQ(3, wrapped.AddWithNewId().UniqueID);
    EXPECT_EQ(5, wrapped.AddWithNewId().UniqueID);
    TCities alone;
    alone.Add().UniqueID = -1;
    EXPECT_EQ(1, alone.AddWithNewId().UniqueID);

    TCountries countries;
    countries.Add(); // id 0 until given one
    TCountry& first = countries.Add();
    first.UniqueId = countries.Add().UniqueId = 4;
    EXPECT_EQ(nullptr, countries.FindById(0));
    EXPECT_EQ(&first, countries.FindById(4)) << "the earlier of two equal ids";
    EXPECT_EQ(nullptr, countries.FindById(5));

    // Windows hold on to items while others come and go.
    TCity* held = &cities.Items(1);
    for (int i = 0; i < 1000; ++i)
        cities.AddWithNewId();
    cities.Delete(0);
    EXPECT_EQ(held, &cities.Items(0));
    EXPECT_EQ(held, cities.FindById(2));
    EXPECT_EQ(7, cities.Items(1).UniqueID) << "later items move up";
    cities.Clear();
    EXPECT_EQ(-1, cities.IndexOf(held));
}

TEST(PlaceCombos, OffsetSuffixes) {
    TCountries countries;
    TStates states;
    for (double off : {3.0, 0.0, -3.5, -99.0, -120.0, -98.5, 5.75}) {
        TCountry& c = countries.AddWithNewId();
        TState& s = states.AddWithNewId();
        c.Name = s.Name = "P";
        c.UTCOffset = s.UTCOffset = off;
        s.CountryId = s.UniqueID % 2;
    }
    TMemoryList combo;
    combo.Add("stale", nullptr);
    countries.FillComboBox(combo, true, TLocaleFacts{});
    EXPECT_EQ((Texts{"P (UTC +3)", "P (UTC)", "P (UTC -3.5)", "P", "P", "P (UTC -98.5)",
                     "P (UTC +5.75)"}),
              TextsOf(combo));
    EXPECT_EQ(&countries.Items(2), combo.Item(2));
    countries.AddToComboBox(combo, false, TLocaleFacts{});
    EXPECT_EQ(14, combo.Count()) << "appends without emptying";
    EXPECT_EQ("P", combo.Lines[13].Text);

    // States have no "not set" exception; the locale's separator is used.
    TLocaleFacts comma;
    comma.DecimalSeparator = ',';
    states.FillComboBox(combo, 0, true, comma);
    EXPECT_EQ("P (UTC -99)", combo.Lines[3].Text);
    EXPECT_EQ("P (UTC -3,5)", combo.Lines[2].Text);
    states.FillComboBox(combo, 1, true, comma);
    EXPECT_EQ((Texts{"P (UTC +3)", "P (UTC -3,5)", "P (UTC -120)", "P (UTC +5,75)"}),
              TextsOf(combo));
    EXPECT_EQ(&states.Items(6), combo.Item(3));
    states.FillComboBox(combo, 5, true, comma);
    EXPECT_EQ(0, combo.Count());
}

TEST(CityLists, ListBoxesAndCityCombos) {
    TCityList d;
    const TCountry& land = d.Countries.AddWithNewId();
    TState& north = d.States.AddWithNewId();
    north.Name = "North";
    TCity& alpha = AddCity(d, "Alpha", 1, 1, true);
    TCity& beta = AddCity(d, "Beta", 0, 1);
    TCity& gamma = AddCity(d, "Gamma", 2, 1, true);
    AddCity(d, "Delta", 0, 2);

    TMemoryList list, check(true);
    d.Cities.FillListBox(list, nullptr);
    EXPECT_EQ((Texts{"Alpha", "Beta", "Gamma", "Delta"}), TextsOf(list));
    EXPECT_FALSE(list.Lines[0].Checked) << "a plain list box gets no check marks";
    d.Cities.FillListBox(check, &beta);
    EXPECT_EQ((Texts{"Alpha", "Beta *", "Gamma", "Delta"}), TextsOf(check));
    EXPECT_EQ(&gamma, check.Item(2));
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(i == 0 || i == 2, check.Lines[i].Checked) << i;

    TMemoryList combo;
    d.Cities.AddToCityCombo(combo, &land, &north);
    EXPECT_EQ((Texts{"-- No City --", "Alpha (North)"}), TextsOf(combo));
    EXPECT_EQ(nullptr, combo.Item(0));
    combo.Clear();
    d.Cities.AddToCityCombo(combo, &land, nullptr);
    d.Cities.AddToCityCombo(combo, nullptr, nullptr);
    EXPECT_EQ((Texts{"-- No City --", "Alpha", "Beta", "Gamma", "-- No City --"}), TextsOf(combo));

    const std::pair<std::int32_t, int> selections[] = {{0, 0}, {beta.UniqueID, 2}, {99, -1}};
    for (auto [id, index] : selections) {
        TCities::SelectCityInCombo(combo, id);
        EXPECT_EQ(index, combo.ItemIndex) << id;
    }
    gamma.UniqueID = alpha.UniqueID;
    TCities::SelectCityInCombo(combo, alpha.UniqueID);
    EXPECT_EQ(3, combo.ItemIndex) << "the last match wins";
}

TEST(Airports, FiltersSlotsAndShortTexts) {
    TAirports airports;
    for (auto [state, country] : {std::pair{1, 1}, {0, 1}, {2, 2}}) {
        TAirport& a = airports.AddWithNewId();
        a.Name = "A" + std::to_string(a.UniqueID);
        a.StateId = state;
        a.CountryId = country;
    }
    TMemoryList combo;
    airports.AddToComboBox(combo, 0, 0);
    airports.AddToComboBox(combo, 1, 0);
    airports.AddToComboBox(combo, 0, 2);
    airports.AddToComboBox(combo, 0, 9);
    airports.AddToComboBox(combo, 2, 1);
    EXPECT_EQ((Texts{"A1", "A2", "A3", "A1", "A2", "A3"}), TextsOf(combo));
    EXPECT_EQ(&airports.Items(2), combo.Item(5));

    TAirport& a = airports.Items(0);
    const std::int32_t slots[] = {0, 5, 0, 7, 0, 0, 0, 0, 0, 3}, packed[] = {5, 7, 3};
    for (int i = 1; i <= 10; ++i)
        a.SetClosestCities(i, slots[i - 1]);
    a.PackClosestCities();
    for (int i = 1; i <= 10; ++i)
        EXPECT_EQ(i <= 3 ? packed[i - 1] : 0, a.ClosestCities(i)) << i;
    a.SetCodes(10, "ABCDEFG");
    EXPECT_EQ("ABCDE", a.Codes(10));
    TCity c;
    c.SetShortName("Twelve chars");
    EXPECT_EQ("Twelve c", c.ShortName());
    c.SetShortName("Eight ch");
    EXPECT_EQ("Eight ch", c.ShortName());
}

TEST(PlaceOfCity, StateBeforeCountry) {
    TCityList d;
    TCountry& country = d.Countries.AddWithNewId();
    country.UTCOffset = 1;
    TState& state = d.States.AddWithNewId();
    state.UTCOffset = -3.5;

    const TPlace p = PlaceOfCity(d, AddCity(d, "In state", 1, 1));
    EXPECT_EQ(&state, p.State);
    EXPECT_EQ(nullptr, p.Country);
    EXPECT_EQ(0.5 - 3.0 / 24, p.LocalTimeWholeHours(0.5)) << "the state's offset, cut to -3";
    const TPlace q = PlaceOfCity(d, AddCity(d, "In country", 0, 1));
    EXPECT_EQ(&country, q.Country);
    EXPECT_EQ(nullptr, q.State);
    EXPECT_EQ(0.5 + 1.0 / 24, q.LocalTime(0.5));
    EXPECT_FALSE(PlaceOfCity(d, AddCity(d, "Nowhere", 0, 0)));
    EXPECT_FALSE(PlaceOfCity(d, AddCity(d, "Lost state", 9, 1))) << "no fall back to the country";
    EXPECT_FALSE(PlaceOfCity(d, AddCity(d, "Lost country", 0, 9)));
}
