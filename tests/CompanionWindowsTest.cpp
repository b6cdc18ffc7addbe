#include "CompanionWindowsU.h"
#include "FakeClockHost.h"
#include "SelectCityU.h"
#include "SplashU.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

TEST(CompanionWindows, OpenOnTheClockWindowAndGoAwayWithTheRecordsTheyShow) {
    TFakeClockHost host(2);
    TCompanionWindows companions(host);
    EXPECT_TRUE(companions.Offers(TCompanions::TKind::SelectCity, TManagePage::Countries));

    companions.OpenSelectCity(true);
    TSelectCityForm& select = companions.SelectCity();
    ASSERT_TRUE(select.isVisible());
    EXPECT_EQ(select.pos(), host.Window.pos()) << "top-left on the clock window's";
    EXPECT_TRUE(select.MyCityMode);
    EXPECT_EQ(select.WorkingMyCity, host.Data.MyCity);

    companions.CityListReplaced();
    EXPECT_FALSE(select.isVisible()) << "its lines named records that are gone";

    companions.OpenSelectCity(false);
    companions.CloseAll();
    EXPECT_FALSE(select.isVisible());
}

TEST(CompanionWindows, EscapeOnTheStartUpScreenEndsItLikeItsTimer) {
    TFakeClockHost host(1);
    host.Options.StayOnTop = 1;
    TCompanionWindows companions(host);
    TSplashForm& splash = companions.Splash();
    QTimer::singleShot(0, &splash, [&] {
        EXPECT_TRUE(splash.isVisible());
        EXPECT_FALSE(host.Topmost) << "the clock waits behind the start-up screen";
        QTest::keyClick(&splash, Qt::Key_Escape);
    });
    companions.RunStartupScreen();
    EXPECT_FALSE(splash.isVisible());
    EXPECT_FALSE(splash.SplashTimer->isActive()) << "it would close an About window later";
    EXPECT_TRUE(host.Topmost) << "stay-on-top restored as the timer would have";

    // The About window opened right after stays until its own Close.
    bool open = false;
    QTimer::singleShot(0, &splash, [&] {
        open = splash.isVisible() && !splash.SplashTimer->isActive();
        splash.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    });
    companions.OpenAbout();
    EXPECT_TRUE(open);
}
