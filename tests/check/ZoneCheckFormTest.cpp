#include "check/ZoneCheckFormU.h"

#include "FakeClockHost.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

// Egypt went back to daylight saving in 2023; the test world still keeps it at UTC +2 all year.
TEST(ZoneCheckForm, UpdateAllFillsTheStalePlaceAndListsTheOthersApart) {
    if (!fs::exists("/usr/share/zoneinfo/Africa/Cairo"))
        GTEST_SKIP() << "no time-zone database installed";
    const fs::path dir =
        fs::temp_directory_path() / ("tavik-zonecheckform-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "user.zones") << "Egypt\t\t\tAfrica/Cairo\nIndia\t\t\tAsia/Kolkata\n";
    TFakeClockHost host;
    host.P.Platform.ProgramDir = QString::fromStdString(dir.string() + "/");
    TZoneCheckForm form(host);
    form.RunCheck();

    ASSERT_EQ(form.DifferList->topLevelItemCount(), 1);
    EXPECT_EQ(form.DifferList->topLevelItem(0)->text(0), QStringLiteral("Egypt"));
    EXPECT_EQ(form.DifferList->topLevelItem(0)->text(1), QStringLiteral("Africa/Cairo"));
    EXPECT_TRUE(form.DifferList->topLevelItem(0)->text(3).contains(QStringLiteral("daylight")));
    // The places without a zone are said to be unchecked, and left as they are.
    EXPECT_GT(form.ApartList->topLevelItemCount(), 0);
    EXPECT_TRUE(form.UpdateButton->isEnabled());

    form.UpdateAllButton->click();
    EXPECT_TRUE(host.Data.Modified);
    EXPECT_GT(host.Refreshed, 0);
    EXPECT_EQ(form.DifferList->topLevelItemCount(), 0);
    EXPECT_FALSE(form.UpdateAllButton->isEnabled());
    EXPECT_TRUE(form.SummaryLabel->text().startsWith(QStringLiteral("Every checked place")));
    EXPECT_EQ(host.Data.Countries.Items(2).UTCOffset, 5.5); // India untouched

    // Escape closes it as Close does.
    form.show();
    form.activateWindow();
    QTest::keyClick(form.UpdateAllButton, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    fs::remove_all(dir);
}

#include "CompanionWindowsU.h"

// Ten days before Egypt's clocks go forward the clock says so once, without a modal box.
TEST(ZoneCheckForm, TheStartNoteLeadsToTheCheckWindowOnce) {
    if (!fs::exists("/usr/share/zoneinfo/Africa/Cairo"))
        GTEST_SKIP() << "no time-zone database installed";
    const fs::path dir =
        fs::temp_directory_path() / ("tavik-zonenote-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "user.zones") << "Egypt\t\t\tAfrica/Cairo\n";
    TFakeClockHost host;
    host.P.Platform.ProgramDir = QString::fromStdString(dir.string() + "/");
    host.P.Now = 46497.5; // 2027-04-20 12:00 UTC
    TCompanionWindows companions(host);
    companions.NoteZoneDifferences();
    ASSERT_NE(companions.ZoneNote(), nullptr);
    EXPECT_TRUE(companions.ZoneNote()->isVisible());
    EXPECT_FALSE(companions.ZoneNote()->isModal());
    EXPECT_TRUE(companions.ZoneNote()->NoteLabel->text().contains(QStringLiteral("Egypt")));
    companions.ZoneNote()->CheckButton->click();
    EXPECT_FALSE(companions.ZoneNote()->isVisible());
    companions.NoteZoneDifferences(); // once a start
    EXPECT_FALSE(companions.ZoneNote()->isVisible());
    companions.CloseAll();
    fs::remove_all(dir);
}
