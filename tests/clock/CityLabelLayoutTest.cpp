#include "clock/CityLabelLayoutU.h"
#include "data/ClockChangesU.h"

#include <gtest/gtest.h>

namespace {

// Places at whole offsets east of London; at 12:00 UTC a place at +n stands in column n.
struct World {
    TCityList D;
    TDisplayOptions O;
    TLocaleFacts L;
    TDateTime Utc = 0;

    World() {
        SetDefaults(O);
        TryEncodeDateTime(2026, 12, 7, 12, 0, 0, 0, Utc);
    }
    TCountry& Country(const char* name, double offset) {
        TCountry& c = D.Countries.AddWithNewId();
        c.Name = name;
        c.UTCOffset = offset;
        return c;
    }
    TCity& City(const char* name, std::int32_t countryId, std::int32_t stateId = 0) {
        TCity& c = D.Cities.AddWithNewId();
        c.LongName = name;
        c.SetShortName(name);
        c.CountryId = stateId ? 0 : countryId;
        c.StateId = stateId;
        c.Default = true;
        return c;
    }
    TCityLabelLayout Layout() const {
        return BuildCityLabelLayout(D, O, Utc, Utc, "h:mm:ss am/pm", L);
    }
    static const TCityLabelPlan* Find(const TCityLabelLayout& l, std::int32_t id) {
        for (const auto& s : l.Labels)
            if (s.Id == id)
                return &s;
        return nullptr;
    }
};

} // namespace

TEST(CityLabelLayout, ColumnsRowsAndBands) {
    World w;
    const auto plusOne = w.Country("Plusone", 1).UniqueId;
    const auto plusTwo = w.Country("Plustwo", 2).UniqueId;
    const auto plusEleven = w.Country("Pluseleven", 11).UniqueId;
    const auto plusTwelve = w.Country("Plustwelve", 12).UniqueId;
    const auto zero = w.Country("Zero", 0).UniqueId;
    const int a = w.City("Aaa", plusOne).UniqueID;
    const int b = w.City("Bbb", plusOne).UniqueID;
    const int c = w.City("Ccc", plusOne).UniqueID;
    const int even = w.City("Even", plusTwo).UniqueID;
    const int night = w.City("Night", plusEleven).UniqueID;
    const int away = w.City("Away", plusTwelve).UniqueID;
    const int same = w.City("Same", zero).UniqueID;
    w.City("Hidden", plusOne).Default = false;

    auto l = w.Layout();
    ASSERT_NE(World::Find(l, a), nullptr);
    EXPECT_EQ(World::Find(l, a)->Top, 342);
    EXPECT_EQ(World::Find(l, b)->Top, 358);
    EXPECT_EQ(World::Find(l, c), nullptr) << "an odd column holds two with the large font";
    EXPECT_EQ(World::Find(l, a)->Left, 12);
    EXPECT_EQ(l.DayCitySlots[1], a);
    EXPECT_EQ(l.DayCitySlots[2], b);
    EXPECT_EQ(World::Find(l, even)->Top, 374) << "even columns use rows 2 and 3";
    EXPECT_EQ(World::Find(l, even)->Left, 65);
    const TCityLabelPlan* n = World::Find(l, night);
    ASSERT_NE(n, nullptr);
    EXPECT_FALSE(n->IsDay);
    EXPECT_EQ(n->Top, 405);
    EXPECT_EQ(n->Left, 542);
    EXPECT_EQ(n->FixedWidth, 43) << "column 11 is cut off";
    EXPECT_EQ(World::Find(l, away), nullptr) << "twelve hours away";
    EXPECT_EQ(World::Find(l, same), nullptr) << "the current hour";
    EXPECT_EQ(l.Labels.size(), 4u);

    w.O.SmallCityFont = 1;
    w.O.AnalogClock = 0;
    l = w.Layout();
    ASSERT_NE(World::Find(l, c), nullptr);
    EXPECT_EQ(World::Find(l, c)->Top, 342 - 225 + 32);
    EXPECT_EQ(World::Find(l, even)->Top, 117) << "with the small font every column starts at row 0";
}

TEST(CityLabelLayout, CaptionsAndHints) {
    World w;
    TCountry& nepal = w.Country("Nepal", 5.75);
    TCountry& canada = w.Country("Canada", -5);
    TCountry& zero = w.Country("Ghana", 0);
    TState& nl = w.D.States.AddWithNewId();
    nl.Name = "Newfoundland";
    nl.CountryId = canada.UniqueId;
    nl.UTCOffset = -3.5;
    TState& atZero = w.D.States.AddWithNewId();
    atZero.Name = "Zero State";
    atZero.CountryId = canada.UniqueId;
    atZero.UTCOffset = 0;
    const int ktm = w.City("Kathmandu", nepal.UniqueId).UniqueID;
    const int stj = w.City("St. John's", 0, nl.UniqueID).UniqueID;
    w.Utc += 3.0 / 24; // 15:00 UTC: London's hour 3, Accra and the zero state at it too

    auto l = w.Layout();
    const TCityLabelPlan* k = World::Find(l, ktm);
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(k->Caption, "Kathma+\xBE");
    EXPECT_EQ(k->Hint, "Kathmandu\r\nNepal\r\nUTC +5\xBE\r\n8:00:00 pm\r\nMon 7 Dec 2026");
    const TCityLabelPlan* s = World::Find(l, stj);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Caption, "St. Jo-\xBD");
    EXPECT_EQ(
        s->Hint,
        "St. John's\r\nNewfoundland\r\nCanada\r\nUTC -3\xBD\r\n12:00:00 pm\r\nMon 7 Dec 2026");
    w.O.DateStyle = 1;
    const std::string hint = World::Find(w.Layout(), ktm)->Hint;
    EXPECT_EQ(hint.substr(hint.size() - 14), "Mon dec 7 2026");

    // "UTC +0" for a state at zero, "UTC 0" for a country.
    w.Utc -= 3.0 / 24;
    w.Country("Plus", 1);
    const int inState = w.City("Zed", 0, atZero.UniqueID).UniqueID;
    const int inCountry = w.City("Accra", zero.UniqueId).UniqueID;
    w.Utc += 1.0 / 24;
    const TDateTime current = w.Utc - 1.0 / 24; // the current city is an hour behind
    l = BuildCityLabelLayout(w.D, w.O, current, w.Utc, "h:mm", w.L);
    ASSERT_NE(World::Find(l, inState), nullptr);
    EXPECT_NE(World::Find(l, inState)->Hint.find("\r\nUTC +0\r\n"), std::string::npos);
    EXPECT_NE(World::Find(l, inCountry)->Hint.find("\r\nUTC 0\r\n"), std::string::npos);
}

TEST(CityLabelLayout, MissingPlacesAreSkipped) {
    World w;
    TCountry& k = w.Country("Plusone", 1);
    TState& orphan = w.D.States.AddWithNewId();
    orphan.Name = "Orphan";
    orphan.CountryId = 99;
    orphan.UTCOffset = 1;
    w.City("No state", 0, 42);
    w.City("No country", 77);
    w.City("Orphaned", 0, orphan.UniqueID);
    w.City("Nowhere", 0).CountryId = 0;
    const int ok = w.City("Fine", k.UniqueId).UniqueID;
    const auto l = w.Layout();
    ASSERT_EQ(l.Labels.size(), 1u);
    EXPECT_EQ(l.Labels[0].Id, ok);
}

TEST(CityLabelLayout, AClockChangeWithinAWeekAddsOneLineUnderTheHint) {
    World w;
    TCountry& de = w.Country("Germany", 1);
    de.DSTStart.Kind = RuleKindWeekday; // last Sunday of March at 02:00
    de.DSTStart.WeekOrdinal = 3;
    de.DSTStart.WeekDay = 7;
    de.DSTStart.RuleMonth = 3;
    de.DSTStart.ChangeTime = 2.0 / 24;
    de.DSTEnd = de.DSTStart;
    de.DSTEnd.RuleMonth = 10;
    de.DSTEnd.ChangeTime = 3.0 / 24;
    const int berlin = w.City("Berlin", de.UniqueId).UniqueID;
    TryEncodeDateTime(2027, 3, 24, 12, 0, 0, 0, w.Utc); // a Wednesday; the change is on the 28th

    auto l = w.Layout();
    const TCityLabelPlan* b = World::Find(l, berlin);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Hint, "Berlin\r\nGermany\r\nUTC +1\r\n1:00:00 pm\r\nWed 24 Mar 2027")
        << "the lines above stay as they are";
    EXPECT_EQ(b->ChangeHint, "Clocks go forward 1 hour on Sunday at 2:00 am");
    EXPECT_EQ(CityLabelHint(*b), b->Hint + "\r\nClocks go forward 1 hour on Sunday at 2:00 am");
    // The same change as the window lists for the city.
    const auto entries = ClockChangeEntries(w.D, w.Utc, 7, false);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(b->ChangeHint, ChangeHint(entries.front().Change, false));
    EXPECT_EQ(entries.front().Text,
              "Sun 28 Mar 2027, Berlin: clocks go forward 1 hour at 2:00 am (local)");

    w.O.TimeStyle = 1;
    TryEncodeDateTime(2027, 10, 28, 12, 0, 0, 0, w.Utc);
    b = World::Find(l = w.Layout(), berlin);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->ChangeHint, "Clocks go back 1 hour on Sunday at 03:00");

    // Eight days ahead, and just after the change: nothing more than the lines.
    for (int day : {20, 28}) {
        TryEncodeDateTime(2027, 3, day, 12, 0, 0, 0, w.Utc);
        b = World::Find(l = w.Layout(), berlin);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->ChangeHint, "") << day;
        EXPECT_EQ(CityLabelHint(*b), b->Hint);
    }
}
