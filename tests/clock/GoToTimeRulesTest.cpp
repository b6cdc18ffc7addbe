#include "TestWorld.h"
#include "clock/GoToTimeRulesU.h"

#include <gtest/gtest.h>

namespace {

TDateTime At(int y, int mo, int d, int h, int mi) {
    TDateTime t = 0;
    TryEncodeDateTime(y, mo, d, h, mi, 0, 0, t);
    return t;
}

std::int64_t Ms(TDateTime t) {
    return ToMilliseconds(t);
}

std::string Date(const std::string& text, int style = 0, int defaultYear = 2026) {
    TDateParts p;
    if (!ParseGoToDate(text, style, defaultYear, TLocaleFacts(), p))
        return "-";
    return std::to_string(p.Year) + "-" + std::to_string(p.Month) + "-" + std::to_string(p.Day);
}

std::string Time(const std::string& text) {
    TTimeParts p;
    if (!ParseGoToTime(text, TLocaleFacts(), p))
        return "-";
    return std::to_string(p.Hour) + ":" + std::to_string(p.Minute) + ":" + std::to_string(p.Second);
}

struct World {
    TCityList D;
    World() { BuildTestWorld(D, 1); }
    TPlace Place(int city) const { return PlaceOfCity(D, *D.Cities.FindById(city)); }
    TGoToRequest Request(int city, const std::string& date, const std::string& time) const {
        TGoToRequest q;
        q.Date = date;
        q.Time = time;
        q.City = D.Cities.FindById(city);
        q.Place = Place(city);
        q.RealUtc = At(2026, 12, 8, 12, 0);
        return q;
    }
};

} // namespace

TEST(GoToTimeRules, DatesAsPeopleWriteThem) {
    EXPECT_EQ(Date("8 Dec 2026"), "2026-12-8");
    EXPECT_EQ(Date("Dec 8, 2026"), "2026-12-8");
    EXPECT_EQ(Date("Tue 8 December 2026"), "2026-12-8");
    EXPECT_EQ(Date("tuesday, 8 dec. 2026"), "2026-12-8");
    EXPECT_EQ(Date("2026-12-08"), "2026-12-8");
    EXPECT_EQ(Date("29 sept 2027"), "2027-9-29");
    EXPECT_EQ(Date("2027 Mar 28"), "2027-3-28");
    // Numbers alone: day first, or month first for the month-first date style.
    EXPECT_EQ(Date("8/12/2026"), "2026-12-8");
    EXPECT_EQ(Date("8.12.2026"), "2026-12-8");
    EXPECT_EQ(Date("12/8/2026", 1), "2026-12-8");
    EXPECT_EQ(Date("2026-12-08", 1), "2026-12-8");
    // Without a year, the year of the face.
    EXPECT_EQ(Date("1 Jan", 0, 2027), "2027-1-1");
    EXPECT_EQ(Date("31/12", 0, 2026), "2026-12-31");
    EXPECT_EQ(Date("12/31", 1, 2026), "2026-12-31");
    // The locale's own names count too.
    TLocaleFacts german;
    german.ShortMonthNames[2] = "Mrz";
    german.LongMonthNames[2] = "M\xE4rz";
    german.ShortDayNames[6] = "So";
    TDateParts p;
    ASSERT_TRUE(ParseGoToDate("So 28 M\xC4RZ 2027", 0, 2026, german, p));
    EXPECT_EQ(p.Month, 3);
    ASSERT_TRUE(ParseGoToDate("28 Mrz 2027", 0, 2026, german, p));
    EXPECT_EQ(p.Month, 3);

    for (const char* wrong :
         {"", "2026", "31 Feb 2026", "13/13/2026", "8 Foo 2026", "8 Dec 26", "Dec Jan 8 2026",
          "Ma 8 2026", "8 Dec 2026 9", "8 Dec 2026!", "Friday", "123 Dec 2026", "29/2/2027"})
        EXPECT_EQ(Date(wrong), "-") << wrong;
    EXPECT_EQ(Date("12/31/2026"), "-"); // no 31st month, day first
}

TEST(GoToTimeRules, TimesAsPeopleWriteThem) {
    EXPECT_EQ(Time("15:30"), "15:30:0");
    EXPECT_EQ(Time(" 15.30 "), "15:30:0");
    EXPECT_EQ(Time("1530"), "15:30:0");
    EXPECT_EQ(Time("930"), "9:30:0");
    EXPECT_EQ(Time("15"), "15:0:0");
    EXPECT_EQ(Time("0:05:09"), "0:5:9");
    EXPECT_EQ(Time("3:30 pm"), "15:30:0");
    EXPECT_EQ(Time("3PM"), "15:0:0");
    EXPECT_EQ(Time("3:30 p.m."), "15:30:0");
    EXPECT_EQ(Time("12:15 am"), "0:15:0");
    EXPECT_EQ(Time("12 pm"), "12:0:0");
    EXPECT_EQ(Time("7a"), "7:0:0");
    for (const char* wrong : {"", "24:00", "12:60", "0 pm", "13 pm", "3:5", "15:30:6", "abc",
                              "15:30 x", "-1", "15:", "12345"})
        EXPECT_EQ(Time(wrong), "-") << wrong;
}

TEST(GoToTimeRules, LocalTimeToTheInstantAcrossClockChanges) {
    World w;
    const TPlace london = w.Place(1); // 0, summer time from 01:00 UTC on the last Sunday of March
    // Winter and summer.
    TLocalInstant r = LocalToUtc(london, At(2027, 1, 10, 9, 0));
    EXPECT_EQ(Ms(r.Utc), Ms(At(2027, 1, 10, 9, 0)));
    EXPECT_EQ(r.Fit, TLocalTimeFit::Exact);
    r = LocalToUtc(london, At(2027, 7, 10, 9, 0));
    EXPECT_EQ(Ms(r.Utc), Ms(At(2027, 7, 10, 8, 0)));
    EXPECT_EQ(r.Fit, TLocalTimeFit::Exact);

    // 28 March 2027: the clocks go from 1:00 to 2:00. 1:30 does not exist: it is read on the
    // winter clock, and the clock then reads 2:30.
    r = LocalToUtc(london, At(2027, 3, 28, 1, 30));
    EXPECT_EQ(r.Fit, TLocalTimeFit::Skipped);
    EXPECT_EQ(Ms(r.Utc), Ms(At(2027, 3, 28, 1, 30)));
    EXPECT_EQ(Ms(r.Shown), Ms(At(2027, 3, 28, 2, 30)));
    EXPECT_EQ(LocalToUtc(london, At(2027, 3, 28, 2, 0)).Fit, TLocalTimeFit::Exact);
    EXPECT_EQ(Ms(LocalToUtc(london, At(2027, 3, 28, 2, 0)).Utc), Ms(At(2027, 3, 28, 1, 0)));
    EXPECT_EQ(Ms(LocalToUtc(london, At(2027, 3, 28, 0, 59)).Utc), Ms(At(2027, 3, 28, 0, 59)));

    // 31 October 2027: from 2:00 back to 1:00. 1:30 comes twice: the first, on summer time.
    r = LocalToUtc(london, At(2027, 10, 31, 1, 30));
    EXPECT_EQ(r.Fit, TLocalTimeFit::Repeated);
    EXPECT_EQ(Ms(r.Utc), Ms(At(2027, 10, 31, 0, 30)));
    EXPECT_EQ(Ms(r.Shown), Ms(At(2027, 10, 31, 1, 30)));
    EXPECT_EQ(Ms(LocalToUtc(london, At(2027, 10, 31, 2, 0)).Utc), Ms(At(2027, 10, 31, 2, 0)));

    // Fractions of an hour go by the exact offset: Kathmandu +5:45, St. John's -3:30.
    EXPECT_EQ(Ms(LocalToUtc(w.Place(2), At(2026, 12, 8, 15, 0)).Utc), Ms(At(2026, 12, 8, 9, 15)));
    EXPECT_EQ(Ms(LocalToUtc(w.Place(4), At(2026, 12, 8, 23, 0)).Utc), Ms(At(2026, 12, 9, 2, 30)));

    // Every quarter hour of both changes' days reads back as asked, the skipped hour an hour on.
    for (const TDateTime day : {At(2027, 3, 28, 0, 0), At(2027, 10, 31, 0, 0)})
        for (int q = 0; q < 96; ++q) {
            const TDateTime local = IncDateTime(day, q / 96.0);
            const TLocalInstant i = LocalToUtc(london, local);
            const double shift = i.Fit == TLocalTimeFit::Skipped ? OneHour : 0;
            EXPECT_EQ(Ms(i.Shown), Ms(IncDateTime(local, shift))) << q;
            EXPECT_EQ(Ms(london.LocalTime(i.Utc)), Ms(i.Shown)) << q;
        }
}

TEST(GoToTimeRules, WhatTheDialogSaysAndGives) {
    World w;
    TGoToOutcome o = CheckGoTo(w.Request(1, "8 Dec 2026", "15:00"), TLocaleFacts());
    ASSERT_TRUE(o.Ok);
    EXPECT_EQ(Ms(o.Utc), Ms(At(2026, 12, 8, 15, 0)));
    EXPECT_EQ(o.Text, "Tue 8 Dec 2026 15:00 in London, 3 hours from now.");

    TGoToRequest q = w.Request(2, "Dec 8 2026", "3 pm");
    q.DateStyle = 1;
    q.TwelveHour = true;
    o = CheckGoTo(q, TLocaleFacts());
    ASSERT_TRUE(o.Ok);
    EXPECT_EQ(Ms(o.Utc), Ms(At(2026, 12, 8, 9, 15)));
    EXPECT_EQ(o.Text, "Tue Dec 8 2026 3:00 pm in Kathmandu, 2 hours 45 minutes ago.");

    o = CheckGoTo(w.Request(1, "28 Mar 2027", "1:30"), TLocaleFacts());
    ASSERT_TRUE(o.Ok);
    EXPECT_EQ(o.Text.substr(0, 29), "Sun 28 Mar 2027 2:30 in Londo");
    EXPECT_NE(o.Text.find(" The clocks there go forward over 1:30 that night."), std::string::npos);
    o = CheckGoTo(w.Request(1, "31 Oct 2027", "1:30"), TLocaleFacts());
    EXPECT_NE(o.Text.find(" 1:30 comes twice that night: this is the first, on summer time."),
              std::string::npos);

    // Now itself says so.
    EXPECT_EQ(CheckGoTo(w.Request(1, "8 Dec 2026", "12:00"), TLocaleFacts()).Text,
              "Tue 8 Dec 2026 12:00 in London, now.");

    // The first thing wrong is told, with its field.
    o = CheckGoTo(w.Request(9, "8 Dek 2026", "25:00"), TLocaleFacts());
    EXPECT_FALSE(o.Ok);
    EXPECT_EQ(o.BadField, TGoToField::Date);
    EXPECT_EQ(o.Text, "Enter a date such as 8 Dec 2026.");
    o = CheckGoTo(w.Request(9, "8 Dec 2026", "25:00"), TLocaleFacts());
    EXPECT_EQ(o.BadField, TGoToField::Time);
    EXPECT_EQ(o.Text, "Enter a time such as 15:30.");
    o = CheckGoTo(w.Request(9, "8 Dec 2026", "15:00"), TLocaleFacts());
    EXPECT_EQ(o.BadField, TGoToField::City);
    EXPECT_EQ(o.Text, "Lost has no place to take its time from.");
    o = CheckGoTo(w.Request(1, "8 Dec 1899", "15:00"), TLocaleFacts());
    EXPECT_EQ(o.BadField, TGoToField::Date);
    EXPECT_EQ(o.Text, "Enter a date from 1900 to 9999.");
    // Late on the last day of 9999 in a place east of UTC is still a time the face can show.
    EXPECT_TRUE(CheckGoTo(w.Request(3, "31 Dec 9999", "23:59"), TLocaleFacts()).Ok);
    EXPECT_FALSE(CheckGoTo(w.Request(4, "31 Dec 9999", "23:59"), TLocaleFacts()).Ok);
}

TEST(GoToTimeRules, TheEditsOpenWithTextsTheyReadBack) {
    const TLocaleFacts locale;
    const TDateTime t = At(2027, 3, 5, 15, 7);
    EXPECT_EQ(GoToDateText(t, 0, locale), "5 Mar 2027");
    EXPECT_EQ(GoToDateText(t, 1, locale), "Mar 5 2027");
    EXPECT_EQ(GoToTimeText(t, false, locale), "15:07");
    EXPECT_EQ(GoToTimeText(t, true, locale), "3:07 pm");
    for (int style : {0, 1}) {
        TDateParts d;
        ASSERT_TRUE(ParseGoToDate(GoToDateText(t, style, locale), style, 2000, locale, d));
        EXPECT_EQ(d.Year, 2027);
        EXPECT_EQ(d.Month, 3);
        EXPECT_EQ(d.Day, 5);
    }
    for (bool twelve : {false, true}) {
        TTimeParts p;
        ASSERT_TRUE(ParseGoToTime(GoToTimeText(t, twelve, locale), locale, p));
        EXPECT_EQ(p.Hour, 15);
        EXPECT_EQ(p.Minute, 7);
    }
}
