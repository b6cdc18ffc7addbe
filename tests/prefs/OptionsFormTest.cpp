#include "CompanionWindowsU.h"
#include "FakeClockHost.h"
#include "Widgets.h"
#include "clock/SkinU.h"
#include "clock/TavikU.h"
#include "prefs/OptionsFormU.h"
#include "widgets/UpDownU.h"

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

bool Chosen(const TOptionsForm& f, const char* button) {
    const QRadioButton* b = Child<QRadioButton>(&f, button);
    return b != nullptr && b->isChecked();
}

// Replaces an edit's text by typing, as a user does after selecting it all.
void Type(QLineEdit* edit, const char* keys) {
    edit->selectAll();
    QTest::keyClicks(edit, QLatin1String(keys));
}

TDisplayOptions Defaults() {
    TDisplayOptions o;
    SetDefaults(o);
    return o;
}

// The real clock window over the test world, with its companions, as the program starts it.
struct TClock {
    TClock() {
        WriteTestWorld(P.File(QStringLiteral("user.tvk")).toStdString(), 1);
        Form = std::make_unique<TTavikForm>(P.Platform, TSkin::Standard());
        Companions = std::make_unique<TCompanionWindows>(*Form);
        Form->SetCompanions(Companions.get());
    }
    ~TClock() {
        Form->SetCompanions(nullptr);
        Companions.reset();
    }
    TOptionsForm& Dialog() { return Companions->Options(); }

    TFakePlatform P;
    std::unique_ptr<TTavikForm> Form;
    std::unique_ptr<TCompanionWindows> Companions;
};

} // namespace

TEST(OptionsForm, OpensOnTheClockWindowShowingItsOptions) {
    TFakeClockHost host;
    TCompanionWindows companions(host);
    EXPECT_TRUE(companions.Offers(TCompanions::TKind::Preferences, TManagePage::Countries));
    companions.OpenPreferences();
    TOptionsForm& f = companions.Options();
    ASSERT_TRUE(f.isVisible());
    EXPECT_EQ(f.pos(), host.Window.pos()) << "top-left on the clock window's";
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Preferences"));
    EXPECT_EQ(f.size(), QSize(329, 381));
    EXPECT_TRUE(f.windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    EXPECT_TRUE(f.ShowSecondsC->isChecked());
    EXPECT_TRUE(f.ShowDateC->isChecked());
    EXPECT_TRUE(Chosen(f, "DateStyleR0")) << "dd mm yyyy";
    EXPECT_EQ(f.DaytimeStartHE->text(), QStringLiteral("08"));
    EXPECT_EQ(f.DaytimeStartME->text(), QStringLiteral("00"));
    EXPECT_EQ(f.DayTimeEndHE->text(), QStringLiteral("20"));
    EXPECT_EQ(f.DayTimeEndME->text(), QStringLiteral("00"));
    EXPECT_TRUE(Chosen(f, "TimeStyleR0")) << "am/pm";
    EXPECT_TRUE(f.ShowCountryC->isChecked() && f.ShowAirportC->isChecked() &&
                f.ShowStateC->isChecked());
    EXPECT_TRUE(Chosen(f, "FontRadio0")) << "Large Font";
    EXPECT_EQ(f.DayTimeEndME->accessibleName(), QStringLiteral("Daytime end minute"));
    EXPECT_EQ(host.Applied, 0);

    // The arrows write two digits and stop at their range's end.
    f.UpDown3->StepUp();
    EXPECT_EQ(f.DayTimeEndHE->text(), QStringLiteral("21"));
    f.DaytimeStartHE->setText(QStringLiteral("00"));
    f.UpDown1->StepUp();
    EXPECT_EQ(f.DaytimeStartHE->text(), QStringLiteral("01"));
    f.UpDown1->StepDown();
    f.UpDown1->StepDown();
    EXPECT_EQ(f.DaytimeStartHE->text(), QStringLiteral("00"));

    // The program ending puts it away without handing anything back: the options are saved.
    companions.CloseAll();
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(host.Applied, 0);
}

TEST(OptionsForm, OkStoresTheControlsAndStopsTheDaytimeAtAnEmptyEdit) {
    TFakeClockHost host;
    host.Options.DaytimeStartMinute = 30;
    host.Options.DaytimeEndMinute = 15;
    TCompanionWindows companions(host);
    companions.OpenPreferences();
    TOptionsForm& f = companions.Options();

    Type(f.DaytimeStartHE, "9");
    EXPECT_EQ(f.DaytimeStartHE->text(), QStringLiteral("09"));
    f.DaytimeStartME->clear();
    Type(f.DayTimeEndHE, "21");
    EXPECT_EQ(f.DayTimeEndHE->text(), QStringLiteral("21")) << "two digits typed in a row";
    f.ShowSecondsC->setChecked(false);
    f.ShowStateC->setChecked(false);
    Child<QRadioButton>(&f, "FontRadio1")->click();
    f.ApplyOptionsButton->click();

    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(host.Options.DaytimeStartHour, 9);
    EXPECT_EQ(host.Options.DaytimeStartMinute, 30);
    EXPECT_EQ(host.Options.DaytimeEndHour, 20);
    EXPECT_EQ(host.Options.DaytimeEndMinute, 15);
    EXPECT_EQ(host.Options.ShowSeconds, 0);
    EXPECT_EQ(host.Options.ShowStateName, 0);
    EXPECT_EQ(host.Options.SmallCityFont, 1);
    EXPECT_GE(host.Synced, 1);
}

TEST(OptionsForm, TypedDaytimesAreDigitsAndClampedIntoTheArrowsRange) {
    TFakeClockHost host;
    TCompanionWindows companions(host);
    companions.OpenPreferences();
    TOptionsForm& f = companions.Options();
    Type(f.DaytimeStartHE, "99");
    EXPECT_EQ(f.DaytimeStartHE->text(), QStringLiteral("99"));
    Type(f.DaytimeStartME, "7x5");
    EXPECT_EQ(f.DaytimeStartME->text(), QStringLiteral("75")) << "the letter is refused";
    QTest::keyClicks(f.DaytimeStartME, QStringLiteral("3"));
    EXPECT_EQ(f.DaytimeStartME->text(), QStringLiteral("75")) << "at most two digits";
    f.ApplyOptionsButton->click();
    EXPECT_EQ(host.Options.DaytimeStartHour, 23);
    EXPECT_EQ(host.Options.DaytimeStartMinute, 59);
}

TEST(OptionsForm, StylesBeyondTheButtonsComeBackAsTheLast) {
    TFakeClockHost host;
    host.Options.TimeStyle = 2;
    host.Options.DateStyle = 2;
    TCompanionWindows companions(host);
    companions.OpenPreferences();
    TOptionsForm& f = companions.Options();
    EXPECT_TRUE(Chosen(f, "TimeStyleR1"));
    EXPECT_TRUE(Chosen(f, "DateStyleR1"));
    f.ApplyOptionsButton->click();
    EXPECT_EQ(host.Options.TimeStyle, 1);
    EXPECT_EQ(host.Options.DateStyle, 1);
}

TEST(OptionsForm, DefaultsTakeEffectOnCloseAndKeepTheViewSettings) {
    TFakeClockHost host;
    TDisplayOptions& o = host.Options;
    o.ShowSeconds = 0;
    o.TimeStyle = 1;
    o.DateStyle = 1;
    o.SmallCityFont = 1;
    o.DaytimeStartHour = 6;
    o.AnalogClock = 0;
    o.ShowCities = 0;
    o.StayOnTop = 0;
    o.Docked = 1;
    const TDisplayOptions before = o;
    TCompanionWindows companions(host);
    companions.OpenPreferences();
    TOptionsForm& f = companions.Options();

    f.DefaultButton->click();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(host.Options, before) << "the clock window is not changed yet";
    EXPECT_TRUE(f.ShowSecondsC->isChecked());
    EXPECT_TRUE(Chosen(f, "TimeStyleR0"));
    EXPECT_EQ(f.DaytimeStartHE->text(), QStringLiteral("08"));

    f.ShowDateC->setChecked(false); // not stored: Cancel drops it
    f.CancelButton->click();
    EXPECT_FALSE(f.isVisible());
    TDisplayOptions expected = Defaults();
    expected.AnalogClock = 0;
    expected.ShowCities = 0;
    expected.StayOnTop = 0;
    expected.Docked = 1;
    EXPECT_EQ(host.Options, expected);
}

TEST(OptionsForm, EveryWayOfClosingHandsBackTheWorkingCopy) {
    TFakeClockHost host;
    TCompanionWindows companions(host);
    TOptionsForm& f = companions.Options();
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"Cancel", [&] { f.CancelButton->click(); }},
        {"Escape", [&] { QTest::keyClick(f.DaytimeStartHE, Qt::Key_Escape); }},
        {"close box", [&] { f.close(); }},
    };
    for (const auto& [name, closeIt] : ways) {
        companions.OpenPreferences();
        f.ShowSecondsC->setChecked(false);
        host.Options.Docked = 1; // a View toggle while the dialog is open
        const int synced = host.Synced;
        closeIt();
        EXPECT_FALSE(f.isVisible()) << name;
        EXPECT_EQ(host.Options, Defaults()) << name;
        EXPECT_GT(host.Synced, synced) << name << ": the check marks follow";
    }
}

TEST(OptionsForm, DockedFromThePopupWhileOpenIsUndoneByCancel) {
    TClock clock;
    TTavikForm& form = *clock.Form;
    form.Preferences1Click();
    ASSERT_TRUE(clock.Dialog().isVisible());
    form.Dock2->trigger();
    ASSERT_EQ(form.Options.Docked, 1);
    EXPECT_FALSE(form.TavikMainMenu->isVisibleTo(&form));

    clock.Dialog().CancelButton->click();
    EXPECT_EQ(form.Options.Docked, 0);
    EXPECT_TRUE(form.TavikMainMenu->isVisibleTo(&form));
    EXPECT_FALSE(form.Dock1->isChecked());
    EXPECT_FALSE(form.Dock2->isChecked());
}

TEST(OptionsForm, TwentyFourHoursWithoutSecondsShowAtOnceAndSurviveARestart) {
    TClock clock;
    TTavikForm& form = *clock.Form;
    const QString before = form.CurrentCityTimeLabel->text(); // London at noon
    form.Options1Click();
    TOptionsForm& f = clock.Dialog();
    f.ShowSecondsC->setChecked(false);
    Child<QRadioButton>(&f, "TimeStyleR1")->click();
    Child<QRadioButton>(&f, "DateStyleR1")->click();
    f.ApplyOptionsButton->click();
    EXPECT_EQ(form.TimeFormat, "h:mm");
    EXPECT_EQ(form.CurrentCityTimeLabel->text(), QStringLiteral("12:00"));
    EXPECT_NE(form.CurrentCityTimeLabel->text(), before);

    EXPECT_TRUE(form.close());
    ASSERT_TRUE(QFile::exists(clock.P.File(QStringLiteral("tavikprefs"))));
    TTavikForm again(clock.P.Platform, TSkin::Standard());
    EXPECT_EQ(again.Options.ShowSeconds, 0);
    EXPECT_EQ(again.Options.TimeStyle, 1);
    EXPECT_EQ(again.Options.DateStyle, 1);
    EXPECT_EQ(again.TimeFormat, "h:mm");
}
