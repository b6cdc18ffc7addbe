#include "prefs/OptionsValuesU.h"

#include <gtest/gtest.h>

namespace {

TDisplayOptions Defaults() {
    TDisplayOptions o;
    SetDefaults(o);
    return o;
}

} // namespace

TEST(OptionsValues, ControlsShowTheOptionsWithStylesAndDaytimeHeldToTheirButtonsAndRanges) {
    TOptionsControls c = ControlsFor(Defaults());
    EXPECT_TRUE(c.ShowSeconds && c.ShowDate && c.ShowCountry && c.ShowState && c.ShowAirport);
    EXPECT_EQ(c.DateStyle, 0);
    EXPECT_EQ(c.TimeStyle, 0);
    EXPECT_EQ(c.Font, 0);
    EXPECT_EQ(c.Daytime, (std::array<std::string, 4>{"08", "00", "20", "00"}));

    TDisplayOptions o = Defaults();
    o.DateStyle = 2; // the locale's long date has no button of its own
    o.TimeStyle = 200;
    o.SmallCityFont = 7;
    o.DaytimeStartHour = 30; // from a hand-edited file
    o.DaytimeEndMinute = 255;
    o.ShowStateName = 0;
    c = ControlsFor(o);
    EXPECT_EQ(c.DateStyle, 1);
    EXPECT_EQ(c.TimeStyle, 1);
    EXPECT_EQ(c.Font, 1);
    EXPECT_FALSE(c.ShowState);
    EXPECT_EQ(c.Daytime, (std::array<std::string, 4>{"23", "00", "20", "59"}));

    // Shown and read back, the options come back as they were.
    TDisplayOptions back = Defaults();
    back.SpareByte = 42;
    TDisplayOptions shown = back;
    shown.ShowSeconds = 0;
    shown.TimeStyle = 1;
    shown.DaytimeStartMinute = 5;
    StoreControls(ControlsFor(shown), back);
    EXPECT_EQ(back, shown);
}

TEST(OptionsValues, DaytimeReadingStopsSilentlyAtTheFirstTextThatIsNoNumber) {
    TDisplayOptions o = Defaults();
    TOptionsControls c = ControlsFor(o);
    c.Daytime = {"09", "", "21", "30"};
    StoreControls(c, o);
    EXPECT_EQ(o.DaytimeStartHour, 9);
    EXPECT_EQ(o.DaytimeStartMinute, 0);
    EXPECT_EQ(o.DaytimeEndHour, 20) << "fields after the empty one keep their values";
    EXPECT_EQ(o.DaytimeEndMinute, 0);

    c.Daytime = {"7", "15", "1x", "30"};
    StoreControls(c, o);
    EXPECT_EQ(o.DaytimeStartHour, 7);
    EXPECT_EQ(o.DaytimeStartMinute, 15);
    EXPECT_EQ(o.DaytimeEndHour, 20);
    EXPECT_EQ(o.DaytimeEndMinute, 0);

    // Beyond the arrows' range is clamped into it, long texts and signs included.
    c.Daytime = {"99", "-3", "99999999999999999999", "60"};
    StoreControls(c, o);
    EXPECT_EQ(o.DaytimeStartHour, 23);
    EXPECT_EQ(o.DaytimeStartMinute, 0);
    EXPECT_EQ(o.DaytimeEndHour, 23);
    EXPECT_EQ(o.DaytimeEndMinute, 59);
}

TEST(OptionsValues, StylesAndFontAreStoredFromTheChosenButtons) {
    TDisplayOptions o = Defaults();
    TOptionsControls c = ControlsFor(o);
    c.TimeStyle = 1;
    c.DateStyle = -1; // no button chosen: one byte of all ones
    c.Font = 1;
    StoreControls(c, o);
    EXPECT_EQ(o.TimeStyle, 1);
    EXPECT_EQ(o.DateStyle, 255);
    EXPECT_EQ(o.SmallCityFont, 1);
    c.Font = -1;
    StoreControls(c, o);
    EXPECT_EQ(o.SmallCityFont, 0);
}

TEST(OptionsValues, DefaultsKeepTheViewSettingsAndTheSpareByte) {
    TDisplayOptions o;
    o.ShowSeconds = 0;
    o.AnalogClock = 0;
    o.ShowCities = 0;
    o.StayOnTop = 0;
    o.Docked = 1;
    o.SpareByte = 9;
    o.DaytimeStartHour = 3;
    o.TimeStyle = 1;
    DefaultsKeepingView(o);
    TDisplayOptions expected = Defaults();
    expected.AnalogClock = 0;
    expected.ShowCities = 0;
    expected.StayOnTop = 0;
    expected.Docked = 1;
    expected.SpareByte = 9;
    EXPECT_EQ(o, expected);
}

TEST(OptionsValues, DaytimeEditsTakeTwoDigitsTypedInARow) {
    EXPECT_EQ(DaytimeNumber("08"), 8);
    EXPECT_EQ(DaytimeNumber("  7"), 7);
    EXPECT_EQ(DaytimeNumber("+4"), 4);
    EXPECT_EQ(DaytimeNumber("-1"), -1);
    for (const char* bad : {"", " ", "-", "8 ", "0x1F", "1.5", "ab"})
        EXPECT_EQ(DaytimeNumber(bad), std::nullopt) << bad;

    for (const char* ok : {"", "7", "07", "59", "075"})
        EXPECT_TRUE(IsDaytimeEntry(ok)) << ok;
    for (const char* bad : {"a", "1a", "-1", " 1", "123", "0123"})
        EXPECT_FALSE(IsDaytimeEntry(bad)) << bad;

    // Typing 1 then 5 into an emptied edit: "1" -> "01", "015" -> "15".
    EXPECT_EQ(TwoDigitText("1"), "01");
    EXPECT_EQ(TwoDigitText("015"), "15");
    EXPECT_EQ(TwoDigitText("x"), "0x") << "one character of any kind gets its zero";
    for (const char* same : {"", "15", "00", "123", "0ab"})
        EXPECT_EQ(TwoDigitText(same), same);
}
