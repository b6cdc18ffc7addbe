#include "CompanionWindowsU.h"
#include "FakeClockHost.h"
#include "about/SplashU.h"
#include "manage/ManageU.h"
#include "prefs/OptionsFormU.h"
#include "select/SearchU.h"
#include "select/SelectCityU.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
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

TEST(CompanionWindows, StayAboveTheClockAndKeepTheirEditsWhenAskedForAgain) {
    TFakeClockHost host(1);
    host.Window.resize(598, 483);
    host.Window.show();
    TCompanionWindows companions(host);
    companions.OpenPreferences();
    TOptionsForm& prefs = companions.Options();
    ASSERT_TRUE(prefs.isVisible());
    ASSERT_NE(prefs.windowHandle(), nullptr);
    EXPECT_EQ(prefs.windowHandle()->transientParent(), host.Window.windowHandle())
        << "the desktop keeps it above the clock";
    companions.OpenSearch();
    companions.OpenSelectCity(false);
    for (QWidget* w : {static_cast<QWidget*>(&companions.Search()),
                       static_cast<QWidget*>(&companions.SelectCity())})
        EXPECT_EQ(w->windowHandle()->transientParent(), host.Window.windowHandle())
            << w->objectName().toStdString();

    companions.OpenManage(TManagePage::Cities, TManageMode::New, 0);
    ASSERT_TRUE(companions.Manage().isVisible());
    EXPECT_EQ(companions.Manage().windowHandle()->transientParent(), host.Window.windowHandle());

    // Asked for again while open: brought to the front as it stands.
    const bool seconds = prefs.ShowSecondsC->isChecked();
    prefs.ShowSecondsC->setChecked(!seconds);
    companions.Search().KeywordEdit->setText(QStringLiteral("Kath"));
    companions.OpenPreferences();
    companions.OpenSearch();
    EXPECT_EQ(prefs.ShowSecondsC->isChecked(), !seconds) << "the edit is kept";
    EXPECT_EQ(companions.Search().KeywordEdit->text(), QStringLiteral("Kath"));
    EXPECT_EQ(host.Options.ShowSeconds, seconds) << "nothing applied yet";

    // Shown again after docking or stay on top changed: the open ones are tied to it again.
    prefs.windowHandle()->setTransientParent(nullptr);
    host.Window.setWindowFlag(Qt::FramelessWindowHint);
    host.Window.show();
    companions.KeepAboveHost();
    EXPECT_EQ(prefs.windowHandle()->transientParent(), host.Window.windowHandle());
    EXPECT_EQ(companions.SelectCity().windowHandle()->transientParent(),
              host.Window.windowHandle());
    companions.CloseAll();
}

TEST(CompanionWindows, OpenInsideTheWorkAreaFromAClockNearItsEdges) {
    TFakeClockHost host(1);
    host.P.Work = QRect(0, 30, 1280, 954); // a panel on top
    TCompanionWindows companions(host);
    const QRect work = host.P.Work;

    host.Window.move(1100, 900); // near the bottom right corner
    companions.OpenPreferences();
    TOptionsForm& prefs = companions.Options();
    EXPECT_TRUE(work.contains(prefs.frameGeometry())) << "moved in, buttons in reach";
    EXPECT_EQ(prefs.frameGeometry().right(), work.right());
    EXPECT_EQ(prefs.frameGeometry().bottom(), work.bottom());
    prefs.hide();

    host.Window.move(-50, 0); // partly off to the left, above the panel
    companions.OpenSearch();
    EXPECT_EQ(companions.Search().frameGeometry().topLeft(), work.topLeft());
    companions.Search().hide();

    host.Window.move(200, 150); // where it fits, the corners meet
    companions.OpenSelectCity(false);
    EXPECT_EQ(companions.SelectCity().pos(), host.Window.pos());
    companions.CloseAll();
}
