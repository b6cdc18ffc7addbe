#include "TestWorld.h"
#include "data/ListTargetU.h"
#include "select/CitySearchU.h"
#include "select/FullCityNameU.h"

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;

class SearchFilter : public ::testing::Test {
protected:
    SearchFilter() { BuildTestWorld(D, 1); }

    // The long names of the cities found, in collection order.
    Texts Find(const std::string& keywords, double offset = AnyOffset,
               const TCountry* country = nullptr, const TState* state = nullptr,
               const TAirport* airport = nullptr) {
        TMemoryList results;
        FilterCities(D, country, state, airport, results, keywords, offset, Locale);
        Texts names;
        for (const auto& line : results.Lines)
            names.push_back(static_cast<TCity*>(line.Item)->LongName);
        return names;
    }
    TCountry* Country(const char* name) {
        for (TCountry* c : D.Countries)
            if (c->Name == name)
                return c;
        return nullptr;
    }
    TAirport* Airport(const char* name) {
        for (TAirport* a : D.Airports)
            if (a->Name == name)
                return a;
        return nullptr;
    }

    TCityList D;
    TLocaleFacts Locale;
    const Texts All{"London", "Kathmandu",    "Delhi", "St. John's", "Berlin",
                    "Lagos",  "Johannesburg", "Cairo", "Lost"};
};

} // namespace

TEST(SplitWords, CutsAtEveryBlank) {
    Texts w;
    EXPECT_EQ(-1, SplitWords("", w));
    EXPECT_TRUE(w.empty());
    EXPECT_EQ(1, SplitWords("Delhi", w));
    EXPECT_EQ((Texts{"Delhi"}), w);
    EXPECT_EQ(3, SplitWords("St.  John's", w)) << "two blanks give an empty word";
    EXPECT_EQ((Texts{"St.", "", "John's"}), w);
    EXPECT_EQ(2, SplitWords(" Delhi", w)) << "a leading blank gives an empty first word";
    EXPECT_EQ((Texts{"", "Delhi"}), w);
    EXPECT_EQ(1, SplitWords("Delhi ", w)) << "a trailing blank gives no extra word";
    EXPECT_EQ((Texts{"Delhi"}), w);
    EXPECT_EQ(1, SplitWords(" ", w));
    EXPECT_EQ((Texts{""}), w);
    EXPECT_EQ(2, SplitWords("a b ", w));

    std::string many;
    for (int i = 0; i < 300; ++i)
        many += "w ";
    EXPECT_EQ(300, SplitWords(many, w)) << "no limit on the number of words";
}

TEST_F(SearchFilter, EveryKeywordMustOccurInTheNameCaseIgnored) {
    EXPECT_EQ(All, Find("")) << "no filter at all lists every city in collection order";
    EXPECT_EQ(All, Find("   ")) << "blanks only are no keyword filter";
    EXPECT_EQ((Texts{"Delhi"}), Find("DEL"));
    EXPECT_EQ((Texts{"Johannesburg"}), Find("burg  JOHAN")) << "both words, any order";
    EXPECT_EQ(Texts{}, Find("lon del")) << "the last word alone does not decide";
    EXPECT_EQ((Texts{"London", "Delhi", "Berlin", "Lagos", "Lost"}), Find(" l "));

    TCity& zurich = D.Cities.AddWithNewId();
    zurich.LongName = "Z\xFCrich"; // Windows-1252
    zurich.CountryId = Country("Germany")->UniqueId;
    EXPECT_EQ((Texts{"Z\xFCrich"}), Find("Z\xDCR")) << "accented capitals fold too";
    EXPECT_EQ((Texts{"Z\xFCrich"}), Find("zur")) << "accents may be left out";
    EXPECT_EQ((Texts{"Z\xFCrich"}), Find("Z\xFCR")) << "or typed";
    EXPECT_EQ('s', FoldAnsiLetter('\x8A')) << "S caron";
    EXPECT_EQ('\xE6', FoldAnsiLetter('\xC6')) << "ligatures stay whole";
    EXPECT_EQ('\xDF', FoldAnsiLetter('\xDF'));
}

TEST_F(SearchFilter, AnAirportIsNamedByAnyOfItsCodes) {
    TAirport a;
    a.SetCodes(1, "LHR");
    a.SetCodes(3, "EGLL");
    EXPECT_TRUE(AirportHasCode(a, "lhr"));
    EXPECT_TRUE(AirportHasCode(a, "EGLL"));
    EXPECT_FALSE(AirportHasCode(a, "LH")) << "the whole code";
    EXPECT_FALSE(AirportHasCode(a, "")) << "empty slots name nothing";
}

TEST_F(SearchFilter, OffsetMatchesThePlaceExactly) {
    EXPECT_EQ((Texts{"Delhi"}), Find("", 5.5));
    EXPECT_EQ((Texts{"Kathmandu"}), Find("", 5.75)) << "the state's offset governs";
    EXPECT_EQ((Texts{"St. John's"}), Find("", -3.5)) << "not its country's -5";
    EXPECT_EQ((Texts{"London"}), Find("", 0));
    EXPECT_EQ((Texts{"Berlin", "Lagos"}), Find("", 1));

    // A place whose offset was never set is found by every filter but the offset.
    TCountry& unset = D.Countries.AddWithNewId();
    unset.Name = "Nowhere";
    TCity& town = D.Cities.AddWithNewId();
    town.LongName = "Unset Town";
    town.CountryId = unset.UniqueId;
    EXPECT_EQ((Texts{"Unset Town"}), Find("town"));
    EXPECT_EQ((Texts{"Unset Town"}), Find("", AnyOffset, &unset));
    for (double offset : SearchOffsets())
        for (const std::string& name : Find("", offset))
            EXPECT_NE(name, "Unset Town") << offset;
    EXPECT_EQ(All.size() + 1, Find("", -99.5).size()) << "-99 and below are no condition";
}

TEST_F(SearchFilter, PlacesNarrowAndAnAirportNarrowsWithThem) {
    TCountry* nepal = Country("Nepal");
    TCountry* uk = Country("United Kingdom");
    TAirport* heathrow = Airport("Heathrow");
    heathrow->SetClosestCities(5, 5); // Berlin, in another country
    EXPECT_EQ((Texts{"Kathmandu"}), Find("", AnyOffset, nepal)) << "through its state";
    EXPECT_EQ((Texts{"Kathmandu"}), Find("", AnyOffset, nullptr, D.States.FindById(1)));
    EXPECT_EQ((Texts{"London", "Berlin"}), Find("", AnyOffset, nullptr, nullptr, heathrow));
    EXPECT_EQ((Texts{"London"}), Find("", AnyOffset, uk, nullptr, heathrow));
    EXPECT_EQ(Texts{}, Find("", AnyOffset, nepal, nullptr, heathrow));
    EXPECT_EQ(Texts{}, Find("", 5.75, uk)) << "every filter at once";

    // A city whose id is 0 is not served by the empty slots.
    D.Cities.Add().LongName = "Nameless";
    EXPECT_EQ((Texts{"London", "Berlin"}), Find("", AnyOffset, nullptr, nullptr, heathrow));
}

TEST_F(SearchFilter, ResultsCarryTheFullName) {

    TMemoryList results;
    FilterCities(D, nullptr, nullptr, nullptr, results, "THM", AnyOffset, Locale);
    ASSERT_EQ(1u, results.Lines.size());
    EXPECT_EQ("Kathmandu, Bagmati, Nepal (UTC +5.75)", results.Lines[0].Text);
    results.Clear();
    Locale.DecimalSeparator = ',';
    FilterCities(D, nullptr, nullptr, nullptr, results, "s", AnyOffset, Locale);
    Texts texts;
    for (const auto& line : results.Lines)
        texts.push_back(line.Text);
    EXPECT_EQ((Texts{"St. John's, Newfoundland, Canada (UTC -3,5)", "Lagos, Nigeria (UTC +1)",
                     "Johannesburg, South Africa (UTC +2)", "Lost"}),
              texts)
        << "a missing state shows the name alone";
}

TEST_F(SearchFilter, FullNamesAgreeWithTheSelectDialog) {
    // Places missing or without a country, an unset offset, and a later record with an id
    // that an earlier one already has.
    TState& orphan = D.States.AddWithNewId();
    orphan.Name = "Orphan";
    orphan.CountryId = 99;
    D.Cities.AddWithNewId().StateId = orphan.UniqueID;
    D.Cities.AddWithNewId().CountryId = 99;
    D.Cities.AddWithNewId().LongName = "Placeless";
    TCountry& twin = D.Countries.Add();
    twin.UniqueId = 1;
    twin.Name = "Twin";
    TCountry& unset = D.Countries.AddWithNewId();
    unset.Name = "Unset";
    D.Cities.AddWithNewId().CountryId = unset.UniqueId;
    for (char separator : {'.', ','}) {
        Locale.DecimalSeparator = separator;
        TMemoryList all;
        FilterCities(D, nullptr, nullptr, nullptr, all, "", AnyOffset, Locale);
        ASSERT_EQ(D.Cities.Count(), all.Count());
        for (const auto& line : all.Lines)
            EXPECT_EQ(FullCityName(D, static_cast<TCity*>(line.Item), Locale), line.Text);
    }
}

TEST(SearchLists, OffsetsAndAnyEntries) {
    const std::vector<double>& o = SearchOffsets();
    ASSERT_EQ(56u, o.size());
    EXPECT_EQ(-12, o.front());
    EXPECT_EQ(14, o.back());
    for (double needed : {5.75, 8.75, 12.0, 12.75, 13.0, 14.0, -9.5, 0.0})
        EXPECT_NE(std::find(o.begin(), o.end(), needed), o.end()) << needed;
    EXPECT_TRUE(std::is_sorted(o.begin(), o.end()));

    TLocaleFacts locale;
    locale.DecimalSeparator = ',';
    TMemoryList offsets;
    FillOffsetFilter(offsets, locale);
    ASSERT_EQ(57, offsets.Count());
    EXPECT_EQ("Any", offsets.Lines[0].Text);
    EXPECT_EQ("-12", offsets.Lines[1].Text);
    EXPECT_EQ("-11,5", offsets.Lines[2].Text);
    EXPECT_EQ("0", offsets.Lines[25].Text);
    EXPECT_EQ("+0,5", offsets.Lines[26].Text);
    EXPECT_EQ("+5,75", offsets.Lines[37].Text);
    EXPECT_EQ("+14", offsets.Lines[56].Text);
    EXPECT_EQ(0, offsets.ItemIndex);

    TCityList d;
    BuildTestWorld(d, 1);
    TMemoryList list;
    list.Add("stale", nullptr);
    FillStateFilter(d, list, d.Countries.Items(1).UniqueId); // Nepal
    ASSERT_EQ(2, list.Count());
    EXPECT_EQ("- Any State -", list.Lines[0].Text);
    EXPECT_EQ(nullptr, list.Item(0));
    EXPECT_EQ("Bagmati", list.Lines[1].Text) << "names only, no offsets";
    EXPECT_EQ(0, list.ItemIndex);
    FillAirportFilter(d, list, d.Countries.Items(0).UniqueId, 0); // United Kingdom
    EXPECT_EQ((std::vector<std::string>{"- Any Airport -", "Heathrow"}),
              (std::vector<std::string>{list.Lines[0].Text, list.Lines[1].Text}));
    EXPECT_EQ(2, list.Count());
    FillCountryFilter(d, list);
    EXPECT_EQ("- Any Country -", list.Lines[0].Text);
    EXPECT_EQ(1 + d.Countries.Count(), list.Count());
}
