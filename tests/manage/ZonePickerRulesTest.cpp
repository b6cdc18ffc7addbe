#include "manage/ZonePickerRulesU.h"

#include "../data/ZoneFiles.h"
#include "manage/ManageRecordsU.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace {

constexpr std::int64_t Year2026 = 1767225600; // 2026-01-01 00:00 UTC
constexpr std::int64_t Year2036 = 2082758400;

std::vector<TZoneName> SomeZones() {
    return {{"America/Argentina/La_Rioja", {"AR"}, 10},
            {"America/New_York", {"US"}, 40},
            {"Asia/Kathmandu", {"NP"}, 30},
            {"Atlantic/Madeira", {"PT"}, 21},
            {"Etc/GMT+5", {}, -1},
            {"Europe/Berlin", {"DE"}, 11},
            {"Europe/Busingen", {"DE"}, 12},
            {"Europe/Lisbon", {"PT"}, 20},
            {"Europe/Zurich", {"CH", "DE", "LI"}, 50}};
}

std::vector<std::string> Names(const std::vector<TZoneName>& zones,
                               const std::vector<std::size_t>& rows) {
    std::vector<std::string> out;
    for (std::size_t i : rows)
        out.push_back(zones[i].Name);
    return out;
}

TDSTSummaryContext Context() {
    TDSTSummaryContext c;
    c.LocalNow = 46364.5; // 2026-12-08 12:00
    c.DateFormat = "dd/mm/yyyy";
    return c;
}

// The standard offset and saving the stored rules give at an instant, in seconds.
std::int64_t StoredOffset(double offset, const TSummerTimeRule& s, const TSummerTimeRule& e,
                          std::int64_t utc) {
    const TDateTime u = FromUnixMilliseconds(utc * 1000);
    return std::llround((PlaceLocalTime(offset, s, e, u) - u) * 86400.0);
}

} // namespace

TEST(ZonePickerRules, SearchRanksCountryAndNameStartsBeforeOtherMatches) {
    const std::vector<TZoneName> zones = SomeZones();
    EXPECT_EQ(ZoneLineText(zones[8]), "Europe/Zurich (CH, DE, LI)");
    EXPECT_EQ(ZoneLineText(zones[4]), "Etc/GMT+5");
    EXPECT_EQ(ZoneCountryCode(" pt "), "PT");
    for (const char* none : {"P", "PRT", "P1", "\xc3\xa9t"})
        EXPECT_EQ(ZoneCountryCode(none), "") << none;

    EXPECT_EQ(FilterZones(zones, "   ").size(), zones.size()) << "blanks are no search";
    using V = std::vector<std::string>;
    EXPECT_EQ(Names(zones, FilterZones(zones, "LIS")), V{"Europe/Lisbon"});
    EXPECT_EQ(Names(zones, FilterZones(zones, "new york")), V{"America/New_York"});
    EXPECT_EQ(Names(zones, FilterZones(zones, "rioja")), V{"America/Argentina/La_Rioja"});
    // The zones of the country first, then names with the letters inside.
    EXPECT_EQ(Names(zones, FilterZones(zones, "de")),
              (V{"Europe/Berlin", "Europe/Busingen", "Europe/Zurich", "Atlantic/Madeira"}));
    EXPECT_TRUE(FilterZones(zones, "zzz").empty());

    // With the page's country leading, its principal zone stays on top.
    const std::vector<TZoneName> pt = ZonesCountryFirst(zones, ZoneCountryCode("pt"));
    EXPECT_EQ(Names(pt, FilterZones(pt, "europe/")).front(), "Europe/Lisbon");
    // The instant the rules are read from.
    EXPECT_EQ(UnixSeconds(46023.0), Year2026);
    EXPECT_EQ(UnixSeconds(FromUnixMilliseconds(-1500)), -2) << "whole seconds downwards";
}

TEST(ZonePickerRules, OkFillsThePanelSoThatApplyStoresTheZonesRules) {
    EXPECT_FALSE(PickOfZone(DerivePosixTZ("<+1030>-10:30<+11>-11,M10.1.0,M4.1.0")).has_value())
        << "a zone the rules cannot hold gives nothing";

    const std::optional<TZonePick> berlin = PickOfZone(DerivePosixTZ("CET-1CEST,M3.5.0,M10.5.0/3"));
    ASSERT_TRUE(berlin.has_value());
    std::string offset;
    TDSTPanelState p;
    ShowZonePick(*berlin, offset, p, Context());
    EXPECT_EQ(offset, "1");
    EXPECT_TRUE(p.Checked && p.RuleMode && p.PanelEnabled && p.TimeRowEnabled);
    const TDSTPanelHalf start{0, 6, "24", 2, "", -1, "02", "00"};
    const TDSTPanelHalf end{0, 6, "24", 9, "", -1, "03", "00"};
    EXPECT_EQ(p.Start, start);
    EXPECT_EQ(p.End, end);
    EXPECT_EQ(p.Summary, "Start: 29/03/2026     End: 25/10/2026");

    // A zone without saving empties the panel and unchecks it, whatever it held; with the
    // locale's separator in the offset.
    TDSTSummaryContext comma = Context();
    comma.Locale.DecimalSeparator = ',';
    ShowZonePick(*PickOfZone(DerivePosixTZ("<+0545>-5:45")), offset, p, comma);
    EXPECT_EQ(offset, "5,75");
    EXPECT_FALSE(p.Checked);
    EXPECT_FALSE(p.PanelEnabled);
    EXPECT_EQ(p.Start, TDSTPanelHalf{});
    EXPECT_EQ(p.Summary, "");
    TSummerTimeRule s, e;
    StoreDSTPanel(p, TDSTPanelOwner::State, s, e);
    EXPECT_EQ(s.Kind, RuleKindNone);

    // A zone whose rules are fixed dates shows them as such.
    ShowZonePick(*PickOfZone(DerivePosixTZ("<+0330>-3:30<+0430>,J79/24,J263/24")), offset, p,
                 Context());
    EXPECT_EQ(offset, "3.5");
    EXPECT_FALSE(p.RuleMode);
    EXPECT_EQ(p.Start.FixedDay, "21");
    EXPECT_EQ(p.Start.FixedMonth, 2);
    EXPECT_EQ(p.Start.Ordinal, -1) << "no rule fields left over from Berlin";
}

// Every zone of the installed database that the rules can hold, passed through the panel and
// stored as either page stores it, agrees with the changes the zone file lists in 2026-2035.
TEST(ZonePickerRules, InstalledZonesSurviveThePanel) {
    const TScopedTzdir usual("");
    if (!std::filesystem::exists(ZoneInfoDir() + "/Europe/Berlin"))
        GTEST_SKIP() << "no time-zone database installed";
    int zones = 0, changes = 0;
    for (const TZoneName& zone : ListZones()) {
        TZoneFile file;
        std::string why;
        if (!ReadZone(zone.Name, file, why))
            continue;
        const std::optional<TZonePick> pick = PickOfZone(DeriveZoneFile(file, Year2026));
        if (!pick)
            continue;
        ++zones;
        std::string offset;
        TDSTPanelState p;
        ShowZonePick(*pick, offset, p, Context());
        EXPECT_TRUE(ValidateDSTPanel(p, Context()).Valid) << zone.Name;
        for (TDSTPanelOwner owner : {TDSTPanelOwner::Country, TDSTPanelOwner::State}) {
            TSummerTimeRule s, e;
            StoreDSTPanel(p, owner, s, e);
            double stored = 0;
            ASSERT_TRUE(ParseOffset(offset, '.', stored)) << zone.Name << ": " << offset;
            std::int64_t before = file.InitialOffset;
            for (const TZoneTransition& t : file.Transitions) {
                if (t.At >= Year2026 + 60 && t.At < Year2036) {
                    ++changes;
                    EXPECT_EQ(StoredOffset(stored, s, e, t.At - 60), before)
                        << zone.Name << " at " << t.At;
                    EXPECT_EQ(StoredOffset(stored, s, e, t.At), t.Offset)
                        << zone.Name << " at " << t.At;
                }
                before = t.Offset;
            }
        }
    }
    EXPECT_GT(zones, 400);
    if (changes == 0)
        GTEST_SKIP() << "the installed zone files list no changes after 2026";
}
