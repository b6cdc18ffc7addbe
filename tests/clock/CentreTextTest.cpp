#include "TestWorld.h"
#include "clock/CentreTextU.h"

#include <gtest/gtest.h>

namespace {

TDateTime Utc(int y, int mo, int d, int h, int mi) {
    TDateTime t = 0;
    TryEncodeDateTime(y, mo, d, h, mi, 0, 0, t);
    return t;
}

struct Diff {
    TCityList D;
    explicit Diff(int my) { BuildTestWorld(D, my); }
    std::string Between(int current, TDateTime utc) {
        const TCity* c = D.Cities.FindById(current);
        const TPlace p = PlaceOfCity(D, *c);
        return DifferenceText(D, c, D.MyCity, p.UTCOffset(), p.LocalTime(utc), utc);
    }
};

} // namespace

TEST(CentreText, CaptionsCarryFractionMarksStateAndAirport) {
    TCityList d;
    BuildTestWorld(d, 1);
    TCentreCaptions k = CentreCaptions(d, *d.Cities.FindById(2));
    EXPECT_EQ(k.City, "Kathmandu+\xBE");
    EXPECT_EQ(k.Country, "Nepal");
    EXPECT_EQ(k.State, "Bagmati");
    EXPECT_EQ(k.Airport, "Tribhuvan Internat"); // 18 characters
    ASSERT_NE(k.PopupCountry, nullptr);
    EXPECT_EQ(k.PopupCountry->Name, "Nepal");

    TCentreCaptions delhi = CentreCaptions(d, *d.Cities.FindById(3));
    EXPECT_EQ(delhi.City, "Delhi+\xBD");
    EXPECT_EQ(delhi.State, "");
    EXPECT_EQ(CentreCaptions(d, *d.Cities.FindById(4)).City, "St. John's-\xBD");

    // London's airport is found in its country without comparing states.
    EXPECT_EQ(CentreCaptions(d, *d.Cities.FindById(1)).Airport, "Heathrow");

    // A city whose state is missing shows nothing rather than failing.
    TCentreCaptions lost = CentreCaptions(d, *d.Cities.FindById(9));
    EXPECT_EQ(lost.City, "");
    EXPECT_EQ(lost.PopupCountry, nullptr);
    // A state whose country is missing still shows the city and the state.
    d.Countries.Delete(1); // Nepal
    TCentreCaptions orphan = CentreCaptions(d, *d.Cities.FindById(2));
    EXPECT_EQ(orphan.State, "Bagmati");
    EXPECT_EQ(orphan.Country, "");
}

TEST(CentreText, DifferenceToMyCity) {
    const TDateTime winter = Utc(2026, 12, 8, 12, 0);
    Diff london(1);
    EXPECT_EQ(london.Between(2, winter), "Kathmandu is 5\xBE hours later than London");
    EXPECT_EQ(london.Between(4, winter), "St. John's is 3\xBD hours earlier than London");
    EXPECT_EQ(london.Between(1, winter), "") << "My City itself";
    Diff delhi(3);
    EXPECT_EQ(delhi.Between(2, winter), "Kathmandu is 0\xBC hours later than Delhi");
    Diff cairo(8);
    EXPECT_EQ(cairo.Between(7, winter), "Johannesburg and Cairo are on the same time");
    Diff lagos(6);
    EXPECT_EQ(lagos.Between(1, winter), "London is 1 hour earlier than Lagos");
    // In summer London and Lagos show the same clock though their offsets differ.
    EXPECT_EQ(london.Between(6, Utc(2026, 7, 1, 12, 0)),
              "Lagos and London are on the same time just now");
    EXPECT_EQ(london.Between(6, winter), "Lagos is 1 hour later than London");
    // Equal offsets are the same time whatever the daylight saving.
    Diff berlin(5);
    EXPECT_EQ(berlin.Between(6, Utc(2026, 7, 1, 12, 0)), "Lagos and Berlin are on the same time");
    // Before 1899-12-30 too, later is later.
    const TDateTime old = Utc(1850, 12, 8, 12, 0);
    EXPECT_EQ(london.Between(2, old), "Kathmandu is 5\xBE hours later than London");
    EXPECT_EQ(london.Between(4, old), "St. John's is 3\xBD hours earlier than London");
    Diff none(0);
    EXPECT_EQ(none.Between(2, winter), "");
    Diff lost(9);
    EXPECT_EQ(lost.Between(2, winter), "") << "My City without a place";
}

TEST(CentreText, FaceSpeechTellsThePlaceInFullAndTheTimeToTheMinute) {
    TCityList d;
    BuildTestWorld(d, 1);
    const TLocaleFacts locale;
    TDateTime t = 0;
    TryEncodeDateTime(2026, 12, 8, 17, 45, 59, 0, t);
    const TFaceSpeech s = FaceSpeech(d, d.Cities.FindById(2), t, false, 0, "A difference", locale);
    EXPECT_EQ(s.Name, "Kathmandu, Bagmati, Nepal");
    EXPECT_EQ(s.Description, "17:45, Tuesday 8 December 2026. A difference.");
    EXPECT_EQ(FaceSpeech(d, d.Cities.FindById(4), t, true, 1, "", locale).Description,
              "5:45 pm, Tuesday, December 8, 2026.");
    // No city, and a city whose state is missing: nothing to tell of a time.
    EXPECT_EQ(FaceSpeech(d, nullptr, t, true, 0, "", locale).Name, "No city chosen");
    const TFaceSpeech lost = FaceSpeech(d, d.Cities.FindById(9), t, true, 0, "", locale);
    EXPECT_EQ(lost.Name, "Lost");
    EXPECT_EQ(lost.Description, "");
}
