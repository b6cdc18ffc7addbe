#include "manage/DSTPanelRulesU.h"

#include <gtest/gtest.h>

namespace {

TDateTime At(int y, int mo, int d, int h = 12) {
    TDateTime t = 0;
    EXPECT_TRUE(TryEncodeDateTime(y, mo, d, h, 0, 0, 0, t));
    return t;
}

TDSTSummaryContext Today(int y, int mo, int d, int h = 12) {
    TDSTSummaryContext c;
    c.LocalNow = At(y, mo, d, h);
    return c;
}

TDSTPanelHalf RuleHalf(int ordinal, int weekDay, int month, std::string after = {}) {
    TDSTPanelHalf h;
    h.Ordinal = ordinal;
    h.WeekDay = weekDay;
    h.Month = month;
    h.AfterDay = std::move(after);
    return h;
}

TDSTPanelHalf FixedHalf(std::string day, int month) {
    TDSTPanelHalf h;
    h.FixedDay = std::move(day);
    h.FixedMonth = month;
    return h;
}

TDSTPanelState Checked(bool ruleMode, TDSTPanelHalf start, TDSTPanelHalf end) {
    TDSTPanelState p;
    p.Checked = true;
    p.RuleMode = ruleMode;
    p.Start = std::move(start);
    p.End = std::move(end);
    return p;
}

// Last Sunday of March to last Sunday of October; first Sunday of October to first of April.
const TDSTPanelState North = Checked(true, RuleHalf(3, 6, 2), RuleHalf(3, 6, 9));
const TDSTPanelState South = Checked(true, RuleHalf(0, 6, 9), RuleHalf(0, 6, 3));

} // namespace

TEST(DSTPanelMapping, ControlsToRuleAndBack) {
    TDSTPanelHalf h = RuleHalf(3, 6, 2, "7");
    h.Hour = "02";
    h.Minute = "30";
    TSummerTimeRule r = RuleFromHalf(h, true, 0);
    EXPECT_EQ(r.Kind, RuleKindWeekday);
    EXPECT_EQ(r.WeekOrdinal, 3);
    EXPECT_EQ(r.WeekDay, 7);
    EXPECT_EQ(r.RuleMonth, 3);
    EXPECT_EQ(r.AfterDay, 7);
    EXPECT_EQ(r.FixedDay, 0);
    EXPECT_DOUBLE_EQ(r.ChangeTime, 2.5 / 24);
    TDSTPanelHalf back;
    ShowRuleInHalf(r, true, back);
    EXPECT_EQ(back.Ordinal, 3);
    EXPECT_EQ(back.WeekDay, 6);
    EXPECT_EQ(back.Month, 2);
    EXPECT_EQ(back.AfterDay, "7");

    // Nothing selected: no weekday, no month, the ordinal the caller gives; AfterDay 0 shows
    // as an empty edit.
    r = RuleFromHalf(TDSTPanelHalf{}, true, 255);
    EXPECT_EQ(r.WeekOrdinal, 255);
    EXPECT_EQ(r.WeekDay, 0);
    EXPECT_EQ(r.RuleMonth, 0);
    EXPECT_EQ(r.AfterDay, 0);
    ShowRuleInHalf(r, true, back);
    EXPECT_EQ(back.Ordinal, -1) << "an index out of range shows no selection";
    EXPECT_EQ(back.WeekDay, -1);
    EXPECT_EQ(back.AfterDay, "");

    // Fixed dates clear the rule fields; the fixed day shows as its number, also 0.
    h = FixedHalf("30", 1);
    h.Ordinal = 2;
    r = RuleFromHalf(h, false, 0);
    EXPECT_EQ(r.Kind, RuleKindFixed);
    EXPECT_EQ(r.FixedDay, 30);
    EXPECT_EQ(r.FixedMonth, 2);
    EXPECT_EQ(r.WeekOrdinal, 0);
    r.FixedDay = 0;
    ShowRuleInHalf(r, false, back);
    EXPECT_EQ(back.FixedDay, "0");

    // Unreadable days give 0, times that are no valid time give 0:00.
    EXPECT_EQ(DayNumber("x1"), 0);
    EXPECT_EQ(DayNumber(" 12 "), 12);
    EXPECT_EQ(DayNumber("-3"), 0);
    EXPECT_EQ(DayNumber("99999999"), 0);
    EXPECT_DOUBLE_EQ(TimeOfDay("07", "05"), (7 * 60 + 5) / 1440.0);
    EXPECT_EQ(TimeOfDay("24", "00"), 0);
    EXPECT_EQ(TimeOfDay("10", "60"), 0);
    EXPECT_DOUBLE_EQ(TimeOfDay("10", ""), 10.0 / 24) << "the hour alone is a whole hour";
    EXPECT_EQ(TimeOfDay("", "30"), 0);
    EXPECT_EQ(TimeOfDay("ab", "10"), 0);
    EXPECT_EQ(PadTimeText("7"), "07");
    EXPECT_EQ(PadTimeText("17"), "17");
    EXPECT_EQ(PadTimeText(""), "");
}

TEST(DSTPanelMapping, StoringDiffersBetweenCountryAndStatePages) {
    TSummerTimeRule s, e;
    TDSTPanelState off;
    StoreDSTPanel(off, TDSTPanelOwner::Country, s, e);
    EXPECT_EQ(s, (TSummerTimeRule{1, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(e, s);
    StoreDSTPanel(off, TDSTPanelOwner::State, s, e);
    EXPECT_EQ(s, TSummerTimeRule{});
    EXPECT_EQ(e, TSummerTimeRule{});

    // A missing ordinal: the country page keeps the one built before it, the state page 255.
    TDSTPanelState p = Checked(true, RuleHalf(2, 6, 2), RuleHalf(-1, 6, 9));
    StoreDSTPanel(p, TDSTPanelOwner::Country, s, e);
    EXPECT_EQ(s.WeekOrdinal, 2);
    EXPECT_EQ(e.WeekOrdinal, 2);
    p.Start.Ordinal = -1;
    StoreDSTPanel(p, TDSTPanelOwner::Country, s, e);
    EXPECT_EQ(s.WeekOrdinal, 0);
    StoreDSTPanel(p, TDSTPanelOwner::State, s, e);
    EXPECT_EQ(s.WeekOrdinal, 255);
    EXPECT_EQ(e.WeekOrdinal, 255);
}

TEST(DSTPanelValidation, SummariesAroundToday) {
    TDSTCheck c = ValidateDSTPanel(North, Today(2026, 6, 1));
    EXPECT_TRUE(c.Valid);
    EXPECT_EQ(c.Summary, "Start: Sun 29/03/2026     End: Sun 25/10/2026");

    // Southern: before this year's end the period began last year, after it it ends next year.
    c = ValidateDSTPanel(South, Today(2026, 2, 1));
    EXPECT_EQ(c.Summary, "Start: Sun 05/10/2025     End: Sun 05/04/2026");
    c = ValidateDSTPanel(South, Today(2026, 4, 5, 0));
    EXPECT_EQ(c.Summary, "Start: Sun 05/10/2025     End: Sun 05/04/2026") << "the end day itself";
    c = ValidateDSTPanel(South, Today(2026, 6, 1));
    EXPECT_TRUE(c.Valid);
    EXPECT_EQ(c.Summary, "Start: Sun 04/10/2026     End: Sun 04/04/2027");

    // Month first with the locale's separator.
    TDSTSummaryContext us = Today(2026, 6, 1);
    us.DateFormat = "ddd mm/dd/yyyy";
    us.Locale.DateSeparator = '-';
    EXPECT_EQ(ValidateDSTPanel(North, us).Summary, "Start: Sun 03-29-2026     End: Sun 10-25-2026");

    // Fixed dates; 30 February and incomplete rows are no dates.
    c = ValidateDSTPanel(Checked(false, FixedHalf("1", 2), FixedHalf("1", 8)), Today(2026, 6, 1));
    EXPECT_EQ(c.Summary, "Start: Sun 01/03/2026     End: Tue 01/09/2026");
    c = ValidateDSTPanel(Checked(false, FixedHalf("30", 1), FixedHalf("1", 9)), Today(2026, 6, 1));
    EXPECT_FALSE(c.Valid);
    EXPECT_EQ(c.Summary, "Not ok");
    TDSTPanelState noOrdinal = North;
    noOrdinal.End.Ordinal = -1;
    EXPECT_FALSE(ValidateDSTPanel(noOrdinal, Today(2026, 6, 1)).Valid);
    TDSTPanelState noMonth = North;
    noMonth.Start.Month = -1;
    EXPECT_FALSE(ValidateDSTPanel(noMonth, Today(2026, 6, 1)).Valid);

    // Unchecked: valid, whatever the fields hold, with an empty summary.
    TDSTPanelState off = noMonth;
    off.Checked = false;
    c = ValidateDSTPanel(off, Today(2026, 6, 1));
    EXPECT_TRUE(c.Valid);
    EXPECT_EQ(c.Summary, "");
}

TEST(DSTPanelLoading, EachKindOfRecordShowsAsDescribed) {
    const TDSTSummaryContext now = Today(2026, 6, 1);
    TSummerTimeRule s{1, 0, 0, 3, 7, 0, 3, 2.0 / 24}, e{1, 0, 0, 3, 7, 0, 10, 3.0 / 24};
    TDSTPanelState p;
    LoadDSTPanel(p, s, e, true, now);
    EXPECT_TRUE(p.Checked);
    EXPECT_TRUE(p.RuleMode);
    EXPECT_TRUE(p.PanelEnabled);
    EXPECT_TRUE(p.TimeRowEnabled);
    EXPECT_EQ(p.Start, (TDSTPanelHalf{3, 6, "", 2, "", -1, "02", "00"}));
    EXPECT_EQ(p.End.Hour, "03");
    EXPECT_EQ(p.Summary, "Start: Sun 29/03/2026     End: Sun 25/10/2026");

    // Fixed dates, also when only the end rule is of the fixed kind.
    TSummerTimeRule fs{0, 1, 4, 0, 0, 0, 0, 0}, fe{0, 0, 10, 0, 0, 0, 0, 0.5};
    LoadDSTPanel(p, fs, fe, true, now);
    EXPECT_FALSE(p.RuleMode);
    EXPECT_EQ(p.Start.FixedDay, "1");
    EXPECT_EQ(p.Start.FixedMonth, 3);
    EXPECT_EQ(p.End.FixedDay, "0");
    EXPECT_EQ(p.End.Hour, "12");
    EXPECT_EQ(p.Start.Ordinal, -1);
    EXPECT_EQ(p.Summary, "Not ok");
    LoadDSTPanel(p, s, fe, true, now);
    EXPECT_FALSE(p.RuleMode);
    EXPECT_EQ(p.Start.FixedDay, "0");

    // No saving in both stored forms: unchecked, empty and disabled.
    for (const TSummerTimeRule none :
         {TSummerTimeRule{}, TSummerTimeRule{1, 0, 0, 0, 0, 0, 0, 0}}) {
        p = TDSTPanelState{};
        LoadDSTPanel(p, s, e, true, now);
        LoadDSTPanel(p, none, none, true, now);
        EXPECT_FALSE(p.Checked);
        EXPECT_FALSE(p.PanelEnabled);
        EXPECT_FALSE(p.TimeRowEnabled);
        EXPECT_EQ(p.Start, TDSTPanelHalf{});
        EXPECT_EQ(p.Summary, "");
    }

    // The reload of the check box keeps it checked and shows the stored times.
    p = TDSTPanelState{};
    p.Checked = true;
    p.PanelEnabled = true;
    LoadDSTPanel(p, TSummerTimeRule{}, TSummerTimeRule{}, false, now);
    EXPECT_TRUE(p.Checked);
    EXPECT_TRUE(p.TimeRowEnabled);
    EXPECT_EQ(p.Start.Hour, "00");
    EXPECT_EQ(p.End.Minute, "00");
}

TEST(DSTPanelValidation, ARuleNeedsItsWeekAndWeekdayAlsoAfterADay) {
    const TDSTSummaryContext now = Today(2026, 6, 1);
    // First Sunday after 24 March to first Sunday after 24 October: complete, near dates.
    const TDSTPanelState after = Checked(true, RuleHalf(0, 6, 2, "24"), RuleHalf(0, 6, 9, "24"));
    EXPECT_EQ(ValidateDSTPanel(after, now).Summary,
              "Start: Sun 29/03/2026     End: Sun 25/10/2026");
    // Without the week the counting would run 256 Sundays on; without the weekday it would
    // count Sundays the row does not show, and the record would reload as no saving.
    for (int TDSTPanelHalf::*field : {&TDSTPanelHalf::Ordinal, &TDSTPanelHalf::WeekDay}) {
        for (TDSTPanelHalf TDSTPanelState::*half : {&TDSTPanelState::Start, &TDSTPanelState::End}) {
            TDSTPanelState p = after;
            (p.*half).*field = -1;
            const TDSTCheck c = ValidateDSTPanel(p, now);
            EXPECT_FALSE(c.Valid);
            EXPECT_EQ(c.Summary, "Not ok");
        }
    }
    // Fixed dates use neither.
    TDSTPanelState fixed = Checked(false, FixedHalf("1", 3), FixedHalf("1", 9));
    EXPECT_TRUE(ValidateDSTPanel(fixed, now).Valid);
}

TEST(DSTPanelValidation, MinutesWithoutTheirHourAreRefusedAnHourAloneIsWhole) {
    const TDSTSummaryContext now = Today(2026, 6, 1);
    TDSTPanelState p = North;
    p.Start.Hour = "02";
    p.End.Hour = "03";
    EXPECT_TRUE(ValidateDSTPanel(p, now).Valid) << "minutes left empty";
    TSummerTimeRule s, e;
    StoreDSTPanel(p, TDSTPanelOwner::Country, s, e);
    EXPECT_DOUBLE_EQ(s.ChangeTime, 2.0 / 24);
    EXPECT_DOUBLE_EQ(e.ChangeTime, 3.0 / 24);

    p.End.Hour = " ";
    p.End.Minute = "30";
    TDSTCheck c = ValidateDSTPanel(p, now);
    EXPECT_FALSE(c.Valid);
    EXPECT_EQ(c.Summary, "Start: Sun 29/03/2026     End: Sun 25/10/2026") << "the dates stand";
    EXPECT_EQ(FirstTimeFault(p), TDSTTimeFault::EndHour);
    p.Start.Hour.clear();
    p.Start.Minute = "00";
    EXPECT_EQ(FirstTimeFault(p), TDSTTimeFault::StartHour);
    p.Start.Minute.clear();
    p.End.Minute.clear();
    EXPECT_EQ(FirstTimeFault(p), TDSTTimeFault::None) << "no time at all is midnight";
    EXPECT_TRUE(ValidateDSTPanel(p, now).Valid);
    p.Checked = false;
    p.End.Minute = "30";
    EXPECT_TRUE(ValidateDSTPanel(p, now).Valid) << "unchecked, the time row is not read";

    // A new record's minutes start at 00; typed minutes stay.
    TDSTPanelState fresh;
    fresh.End.Minute = "15";
    StartNewRecordTimes(fresh);
    EXPECT_EQ(fresh.Start.Minute, "00");
    EXPECT_EQ(fresh.Start.Hour, "");
    EXPECT_EQ(fresh.End.Minute, "15");
}
