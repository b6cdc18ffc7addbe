#include "clock/FaceChecksU.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr TDateTime Second = 1.0 / 86400;
constexpr TDateTime Hour = 1.0 / 24;

// Two cities an hour apart, and 12:00:00 UTC on a Monday.
struct World {
    TCityList D;
    TDisplayOptions O;
    TLocaleFacts L;
    TDateTime Utc = 0;
    TCity* Paris = nullptr;
    TCity* Cairo = nullptr;

    World() {
        SetDefaults(O);
        TryEncodeDateTime(2026, 12, 7, 12, 0, 0, 0, Utc);
        Paris = &City("Paris", Country("France", 1));
        Cairo = &City("Cairo", Country("Egypt", 2));
    }
    std::int32_t Country(const char* name, double offset) {
        TCountry& c = D.Countries.AddWithNewId();
        c.Name = name;
        c.UTCOffset = offset;
        return c.UniqueId;
    }
    TCity& City(const char* name, std::int32_t countryId) {
        TCity& c = D.Cities.AddWithNewId();
        c.LongName = name;
        c.SetShortName(name);
        c.CountryId = countryId;
        c.Default = true;
        return c;
    }
    // The current city at UTC unless told.
    TCityLabelLayout At(TDateTime utc) const { return At(utc, utc); }
    TCityLabelLayout At(TDateTime utc, TDateTime currentLocal) const {
        return BuildCityLabelLayout(D, O, currentLocal, utc, "h:mm:ss", L);
    }
};

} // namespace

TEST(FaceChecks, LabelsAreTheSameButForTheirHintsTimeOfDay) {
    World w;
    const TCityLabelLayout shown = w.At(w.Utc);
    ASSERT_EQ(shown.Labels.size(), 2u);
    const TCityLabelLayout later = w.At(w.Utc + 59 * Second);
    ASSERT_NE(later.Labels[0].Hint, shown.Labels[0].Hint) << "the hint tells the time";
    EXPECT_TRUE(SameCityLabels(shown, later));

    EXPECT_FALSE(SameCityLabels(shown, w.At(w.Utc, w.Utc - Hour))) << "a column further";
    w.Paris->LongName = "Paris-Orly"; // the hint's first line
    EXPECT_FALSE(SameCityLabels(shown, w.At(w.Utc)));
    w.Paris->LongName = "Paris";
    w.Paris->SetShortName("Lutece"); // the caption
    EXPECT_FALSE(SameCityLabels(shown, w.At(w.Utc)));
    w.Paris->SetShortName("Paris");
    w.O.DateStyle = 1; // the hint's date line
    EXPECT_FALSE(SameCityLabels(shown, w.At(w.Utc)));
    w.O.DateStyle = 0;
    w.Cairo->Default = false; // one label fewer
    EXPECT_FALSE(SameCityLabels(shown, w.At(w.Utc)));
}

TEST(FaceChecks, TheLabelsSourceTurnsWithTheHoursAndTheMinuteWithTheMilliseconds) {
    World w;
    const TCityLabelsSource built = CityLabelsSourceOf(w.O, "h:mm", w.Paris, w.Utc, w.Utc + Hour);
    auto holds = [&](const TDisplayOptions& o, const char* format, const TCity* c, TDateTime utc,
                     TDateTime local) {
        return CityLabelsSourceHolds(built, o, format, c, utc, local);
    };
    EXPECT_TRUE(holds(w.O, "h:mm", w.Paris, w.Utc + 3599 * Second, w.Utc + Hour + 3599 * Second));
    EXPECT_FALSE(holds(w.O, "h:mm", w.Paris, w.Utc + Hour, w.Utc + Hour)) << "the UTC hour";
    EXPECT_FALSE(holds(w.O, "h:mm", w.Paris, w.Utc, w.Utc + 2 * Hour)) << "the local hour";
    EXPECT_FALSE(holds(w.O, "hh:mm", w.Paris, w.Utc, w.Utc + Hour));
    EXPECT_FALSE(holds(w.O, "h:mm", w.Cairo, w.Utc, w.Utc + Hour));
    TDisplayOptions o = w.O;
    o.ShowCities = !o.ShowCities;
    EXPECT_FALSE(holds(o, "h:mm", w.Paris, w.Utc, w.Utc + Hour));

    // 11:59:59.9996 decodes as 12:00:00.000, and so it is the minute of 12:00.
    const std::int64_t noon = LabelCheckMinute(w.Utc);
    EXPECT_EQ(LabelCheckMinute(w.Utc - 0.0004 * Second), noon);
    EXPECT_EQ(LabelCheckMinute(w.Utc - 0.0006 * Second), noon - 1);
    EXPECT_EQ(LabelCheckMinute(w.Utc + 59.999 * Second), noon);
    EXPECT_EQ(LabelCheckMinute(w.Utc + 60 * Second), noon + 1);
    EXPECT_EQ(LabelCheckMinute(1e300), 0);
    EXPECT_EQ(LabelCheckMinute(std::nan("")), 0);
}

TEST(FaceChecks, TheDifferenceIsMadeAgainWhenItsSourceOrANameChanges) {
    World w;
    TDifferenceSource now;
    now.Current = w.Cairo;
    now.My = w.Paris;
    now.MyPlaceFound = true;
    now.CurrentOffset = 2;
    now.MyOffset = 1;
    now.Comparison = CompareTimes(w.Utc + 2 * Hour, w.Utc + Hour);
    EXPECT_EQ(now.Comparison, 1);
    TDifferenceKey made;
    RememberDifference(made, now);
    EXPECT_TRUE(DifferenceKeyHolds(made, now));

    // The records are edited in place: their names are compared, not their addresses.
    w.Paris->LongName = "Paris-Orly";
    EXPECT_FALSE(DifferenceKeyHolds(made, now));
    RememberDifference(made, now);
    EXPECT_TRUE(DifferenceKeyHolds(made, now));
    w.Cairo->LongName = "Al-Qahira";
    EXPECT_FALSE(DifferenceKeyHolds(made, now));
    RememberDifference(made, now);

    TDifferenceSource changed = now;
    changed.Comparison = CompareTimes(w.Utc, w.Utc);
    EXPECT_EQ(changed.Comparison, 0);
    EXPECT_FALSE(DifferenceKeyHolds(made, changed)) << "the clocks met";
    changed = now;
    changed.MyOffset = 1.5;
    EXPECT_FALSE(DifferenceKeyHolds(made, changed));
    changed = now;
    changed.AnalogClock = !now.AnalogClock;
    EXPECT_FALSE(DifferenceKeyHolds(made, changed));
    // No My City: the name left from the last one plays no part.
    changed = now;
    changed.My = nullptr;
    changed.MyPlaceFound = false;
    EXPECT_FALSE(DifferenceKeyHolds(made, changed));
    RememberDifference(made, changed);
    EXPECT_TRUE(DifferenceKeyHolds(made, changed));
    EXPECT_EQ(made.MyName, "");
}
