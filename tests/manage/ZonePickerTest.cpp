#include "CompanionWindowsU.h"
#include "FakeClockHost.h"
#include "Widgets.h"
#include "data/ZoneCheckU.h"
#include "manage/CountryPageU.h"
#include "manage/DSTPanelU.h"
#include "manage/ManageU.h"
#include "manage/StatePageU.h"
#include "manage/ZonePickerU.h"

#include "../data/ZoneFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr std::int64_t Year2026 = 1767225600; // 2026-01-01 00:00 UTC
constexpr std::int64_t Year2036 = 2082758400;

// A zone file of one standard type and a TZ string.
std::string ZoneWith(std::int32_t offset, const std::string& footer) {
    TZifLayout s;
    s.Types = {{offset, false, 0}};
    s.Chars = std::string("STD\0", 4);
    s.Footer = footer;
    return BuildTZif(s);
}

// Whether the place's rules agree, a minute either side of each change the zone's file lists
// in 2026-2035, with the file on daylight saving; answers the number of changes checked.
int CheckAgainstTransitions(const std::string& zone, double offset, const TSummerTimeRule& start,
                            const TSummerTimeRule& end) {
    TZoneFile file;
    std::string why;
    EXPECT_TRUE(ReadZone(zone, file, why)) << why;
    int checked = 0;
    bool dst = false;
    for (const TZoneTransition& t : file.Transitions) {
        if (t.At >= Year2026 + 60 && t.At < Year2036) {
            for (std::int64_t at : {t.At - 60, t.At + 60}) {
                const TDateTime local = FromUnixMilliseconds(at * 1000) + offset / 24.0;
                EXPECT_EQ(IsInDST(start, end, local), at < t.At ? dst : t.IsDst)
                    << zone << " at " << at;
            }
            ++checked;
        }
        dst = t.IsDst;
    }
    return checked;
}

class ZonePicker : public ::testing::Test {
protected:
    void SetUp() override {
        Companions = std::make_unique<TCompanionWindows>(Host);
        Form = &Companions->Manage();
    }
    void TearDown() override {
        if (TZonePickerForm* picker = Picker())
            picker->reject();
        Form->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The zones of a folder of the test's own: a few zones with the rules of their countries.
    void OwnZones() {
        const std::filesystem::path dir = Zones.path().toStdString();
        WriteFile(dir / "zone.tab", "DE\t+5230+01322\tEurope/Berlin\tmost of Germany\n"
                                    "PT\t+3843-00908\tEurope/Lisbon\tPortugal (mainland)\n"
                                    "PT\t+3238-01654\tAtlantic/Madeira\tMadeira Islands\n"
                                    "NP\t+2743+08519\tAsia/Kathmandu\n"
                                    "AU\t-3133+15905\tAustralia/Lord_Howe\tLord Howe Island\n");
        WriteFile(dir / "Europe/Berlin", ZoneWith(3600, "CET-1CEST,M3.5.0,M10.5.0/3"));
        WriteFile(dir / "Europe/Lisbon", ZoneWith(0, "WET0WEST,M3.5.0/1,M10.5.0"));
        WriteFile(dir / "Atlantic/Madeira", ZoneWith(0, "WET0WEST,M3.5.0/1,M10.5.0"));
        WriteFile(dir / "Asia/Kathmandu", ZoneWith(20700, "<+0545>-5:45"));
        WriteFile(dir / "Australia/Lord_Howe",
                  ZoneWith(37800, "<+1030>-10:30<+11>-11,M10.1.0,M4.1.0"));
        Tzdir = std::make_unique<TScopedTzdir>(dir.string());
    }
    // The installed database, for the zones' own lists of changes.
    bool UsualZones() {
        Tzdir = std::make_unique<TScopedTzdir>("");
        return std::filesystem::exists(ZoneInfoDir() + "/Europe/Lisbon");
    }
    // The open picker; a closed one waits for its deletion.
    TZonePickerForm* Picker() const {
        for (TZonePickerForm* p : Form->findChildren<TZonePickerForm*>())
            if (p->isVisible())
                return p;
        return nullptr;
    }
    std::vector<std::string> Lines() const {
        std::vector<std::string> out;
        for (int i = 0; i < Picker()->ZoneListBox->count(); ++i)
            out.push_back(Picker()->ZoneListBox->item(i)->text().toStdString());
        return out;
    }
    TCountry* CountryNamed(const char* name) {
        for (TCountry* c : Host.Data.Countries)
            if (c->Name == name)
                return c;
        return nullptr;
    }

    TFakeClockHost Host;
    QTemporaryDir Zones;
    std::unique_ptr<TScopedTzdir> Tzdir;
    std::unique_ptr<TCompanionWindows> Companions;
    TManageForm* Form = nullptr;
};

} // namespace

TEST_F(ZonePicker, ListsTheCountrysZonesFirstAndPreviewsTheSelectedOne) {
    OwnZones();
    CountryNamed("Germany")->Code = "DE";
    Companions->OpenManage(TManagePage::Countries, TManageMode::Edit,
                           CountryNamed("Germany")->UniqueId);
    TCountryPage& page = *Form->Countries;
    auto* button = Child<QPushButton>(page.CountryGroupBox, "CountryFromZoneButton");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("From time zone..."));
    page.CountryCodeEdit->setText(QStringLiteral("pt")); // as typed, before any Apply
    QTest::mouseClick(button, Qt::LeftButton);
    TZonePickerForm* picker = Picker();
    ASSERT_NE(picker, nullptr);
    EXPECT_TRUE(picker->isModal());
    EXPECT_EQ(picker->windowTitle(), QStringLiteral("From time zone"));
    EXPECT_EQ(picker->ZoneListBox->accessibleName(), QStringLiteral("Time zones"));
    EXPECT_EQ(picker->ZoneSearchEdit->accessibleName(), QStringLiteral("Search time zones"));
    EXPECT_EQ(picker->PreviewLabel->accessibleName(), QStringLiteral("Preview"));

    EXPECT_EQ(Lines(), (std::vector<std::string>{"Europe/Lisbon (PT)", "Atlantic/Madeira (PT)",
                                                 "Asia/Kathmandu (NP)", "Australia/Lord_Howe (AU)",
                                                 "Europe/Berlin (DE)"}));
    EXPECT_EQ(picker->SelectedZone(), "Europe/Lisbon") << "the principal zone, ready for Ok";
    EXPECT_EQ(picker->PreviewLabel->text(),
              QStringLiteral("UTC +0; daylight saving from First Sunday after 24 March 01:00 to "
                             "First Sunday after 24 October 02:00"));
    EXPECT_TRUE(picker->OkButton->isEnabled());

    // Typing narrows the list; the arrows move through it from the search edit.
    QTest::keyClicks(picker->ZoneSearchEdit, QStringLiteral("a"));
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Atlantic/Madeira (PT)", "Asia/Kathmandu (NP)",
                                                 "Australia/Lord_Howe (AU)"}));
    QTest::keyClick(picker->ZoneSearchEdit, Qt::Key_Down);
    EXPECT_EQ(picker->SelectedZone(), "Asia/Kathmandu");
    EXPECT_EQ(picker->PreviewLabel->text(), QStringLiteral("UTC +5.75; no daylight saving"));
    QTest::keyClick(picker->ZoneSearchEdit, Qt::Key_Down);
    EXPECT_EQ(picker->PreviewLabel->text(),
              QStringLiteral("Cannot be used: daylight saving of 30 minutes"));
    EXPECT_FALSE(picker->OkButton->isEnabled());
    QTest::keyClick(picker->ZoneSearchEdit, Qt::Key_Return);
    EXPECT_TRUE(picker->isVisible()) << "Enter takes no zone that cannot be used";

    QTest::keyClicks(picker->ZoneSearchEdit, QStringLiteral("zzz"));
    EXPECT_TRUE(Lines().empty());
    EXPECT_FALSE(picker->OkButton->isEnabled());

    // Cancel leaves the page as it was, Apply included.
    QTest::mouseClick(picker->CancelButton, Qt::LeftButton);
    EXPECT_FALSE(picker->isVisible());
    EXPECT_EQ(page.CountryUTCOffSetEdit->text(), QStringLiteral("1"));
    EXPECT_EQ(page.Panel->DSTStartTimeH->text(), QStringLiteral("02"));
    EXPECT_FALSE(page.CountryApplyButton->isEnabled());
}

TEST_F(ZonePicker, ADatabaseThatIsNotThereOffersNothing) {
    Tzdir = std::make_unique<TScopedTzdir>(Zones.path().toStdString());
    TZonePickerForm picker(Host);
    picker.Prepare("DE");
    EXPECT_EQ(picker.ZoneListBox->count(), 0);
    EXPECT_EQ(picker.PreviewLabel->text(),
              QStringLiteral("No time zones found in ") + Zones.path());
    EXPECT_FALSE(picker.OkButton->isEnabled());
    EXPECT_FALSE(picker.Pick().has_value());
}

// The new country of three clicks: "From time zone...", Ok after typing the zone, and New.
TEST_F(ZonePicker, ANewCountryTakesLisbonsRulesAndKeepsThemForTenYears) {
    if (!UsualZones())
        GTEST_SKIP() << "no time-zone database installed";
    Companions->OpenManage(TManagePage::Countries, TManageMode::New, 0);
    TCountryPage& page = *Form->Countries;
    QTest::keyClicks(page.CountryNameEdit, QStringLiteral("Testland"));
    QTest::mouseClick(Child<QPushButton>(page.CountryGroupBox, "CountryFromZoneButton"),
                      Qt::LeftButton);
    TZonePickerForm* picker = Picker();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->focusWidget(), picker->ZoneSearchEdit) << "typing goes to the search";
    QTest::keyClicks(picker->ZoneSearchEdit, QStringLiteral("lisbon"));
    ASSERT_EQ(picker->SelectedZone(), "Europe/Lisbon");
    QTest::mouseClick(picker->OkButton, Qt::LeftButton);
    EXPECT_FALSE(picker->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(Form->findChildren<TZonePickerForm*>().isEmpty()) << "a closed picker goes";

    // The page shows the zone as if typed; nothing is stored yet.
    EXPECT_EQ(page.CountryUTCOffSetEdit->text(), QStringLiteral("0"));
    EXPECT_TRUE(page.CountryDLCheckBox->isChecked());
    EXPECT_TRUE(page.Panel->RuleRadioButton->isChecked());
    EXPECT_EQ(page.Panel->StartDayCombo->currentText(), QStringLiteral("Sunday"));
    EXPECT_EQ(page.Panel->StartAfterDayEdit->text(), QStringLiteral("24"));
    EXPECT_EQ(page.Panel->EndMonthCombo->currentText(), QStringLiteral("October"));
    EXPECT_EQ(page.Panel->DSTEndTimeH->text(), QStringLiteral("02"));
    EXPECT_FALSE(page.Panel->ExampleLabel->text().isEmpty());
    EXPECT_EQ(page.CountryNameEdit->text(), QStringLiteral("Testland")) << "the name stays";
    EXPECT_TRUE(page.CountryApplyButton->isEnabled());
    EXPECT_EQ(CountryNamed("Testland"), nullptr);
    EXPECT_FALSE(Host.Data.Modified);

    QTest::mouseClick(page.CountryApplyButton, Qt::LeftButton);
    EXPECT_TRUE(Host.P.Shown.isEmpty()) << Host.P.Shown.join(u'\n').toStdString();
    const TCountry* testland = CountryNamed("Testland");
    ASSERT_NE(testland, nullptr);
    EXPECT_EQ(testland->UTCOffset, 0);
    // The zone goes with the place into the user's side file, for the time-zone check.
    TZoneMap zones;
    ASSERT_TRUE(ReadZoneMapFile(Host.P.File(QStringLiteral("user.zones")).toStdString(), zones));
    EXPECT_EQ(zones, (TZoneMap{{{"Testland", "", ""}, "Europe/Lisbon"}}));
    const int changes =
        CheckAgainstTransitions("Europe/Lisbon", 0, testland->DSTStart, testland->DSTEnd);
    if (changes == 0)
        GTEST_SKIP() << "the installed zone files list no changes after 2026";
    EXPECT_EQ(changes, 20);
}

TEST_F(ZonePicker, BerlinFillsTheCountryPageAndApplyStoresItsDates) {
    if (!UsualZones())
        GTEST_SKIP() << "no time-zone database installed";
    TCountry& germany = *CountryNamed("Germany");
    germany.Code = "DE";
    germany.DSTStart = TSummerTimeRule{}; // rules that were never right
    germany.DSTEnd = TSummerTimeRule{};
    germany.UTCOffset = 2;
    Companions->OpenManage(TManagePage::Countries, TManageMode::Edit, germany.UniqueId);
    TCountryPage& page = *Form->Countries;
    QTest::mouseClick(Child<QPushButton>(page.CountryGroupBox, "CountryFromZoneButton"),
                      Qt::LeftButton);
    ASSERT_NE(Picker(), nullptr);
    EXPECT_EQ(Picker()->SelectedZone(), "Europe/Berlin") << "Germany's principal zone leads";
    QTest::mouseClick(Picker()->OkButton, Qt::LeftButton);
    EXPECT_EQ(page.CountryUTCOffSetEdit->text(), QStringLiteral("1"));
    EXPECT_TRUE(page.CountryDLCheckBox->isChecked());
    EXPECT_EQ(germany.UTCOffset, 2) << "nothing stored before Apply";

    QTest::mouseClick(page.CountryApplyButton, Qt::LeftButton);
    EXPECT_TRUE(Host.Data.Modified);
    EXPECT_EQ(germany.UTCOffset, 1);
    const int changes =
        CheckAgainstTransitions("Europe/Berlin", 1, germany.DSTStart, germany.DSTEnd);
    if (changes == 0)
        GTEST_SKIP() << "the installed zone files list no changes after 2026";
    EXPECT_EQ(changes, 20);
}

TEST_F(ZonePicker, TheStatePageTakesAZoneOfItsCountryOrOneWithoutSaving) {
    if (!UsualZones())
        GTEST_SKIP() << "no time-zone database installed";
    CountryNamed("Canada")->Code = "CA";
    const TCountry& germany = *CountryNamed("Germany");
    Companions->OpenManage(TManagePage::States, TManageMode::Edit, 2); // Newfoundland
    TStatePage& page = *Form->States;
    auto* button = Child<QPushButton>(page.StateGroupBox, "StateFromZoneButton");
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_NE(Picker(), nullptr);
    EXPECT_TRUE(Picker()->ZoneListBox->item(0)->text().endsWith(QStringLiteral("(CA)")));
    QTest::keyClicks(Picker()->ZoneSearchEdit, QStringLiteral("st johns"));
    ASSERT_EQ(Picker()->SelectedZone(), "America/St_Johns");
    QTest::mouseClick(Picker()->OkButton, Qt::LeftButton);
    EXPECT_TRUE(page.StateDLCheckBox->isChecked());
    QTest::mouseClick(page.StateApplyButton, Qt::LeftButton);
    const TState& nl = *Host.Data.States.FindById(2);
    EXPECT_EQ(nl.UTCOffset, -3.5);
    CheckAgainstTransitions("America/St_Johns", -3.5, nl.DSTStart, nl.DSTEnd);

    // A zone without saving unchecks the box; the state stores no saving.
    TState& bagmati = *Host.Data.States.FindById(1);
    bagmati.DSTStart = germany.DSTStart;
    bagmati.DSTEnd = germany.DSTEnd;
    Companions->OpenManage(TManagePage::States, TManageMode::Edit, bagmati.UniqueID);
    EXPECT_TRUE(page.StateDLCheckBox->isChecked());
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_NE(Picker(), nullptr);
    QTest::keyClicks(Picker()->ZoneSearchEdit, QStringLiteral("kathmandu"));
    QTest::keyClick(Picker()->ZoneSearchEdit, Qt::Key_Return);
    EXPECT_EQ(page.StateUTCOffSetEdit->text(), QStringLiteral("5.75"));
    EXPECT_FALSE(page.StateDLCheckBox->isChecked());
    EXPECT_FALSE(page.Panel->DLGroupBox->isEnabled());
    QTest::mouseClick(page.StateApplyButton, Qt::LeftButton);
    EXPECT_TRUE(Host.P.Shown.isEmpty()) << Host.P.Shown.join(u'\n').toStdString();
    EXPECT_EQ(bagmati.DSTStart, TSummerTimeRule{});
    EXPECT_EQ(bagmati.DSTEnd, TSummerTimeRule{});
}
