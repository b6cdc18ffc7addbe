#include "CompanionWindowsU.h"
#include "FakeClockHost.h"
#include "Widgets.h"
#include "changes/ClockChangesFormU.h"
#include "clock/CityLabelU.h"
#include "clock/SkinU.h"
#include "clock/TavikU.h"
#include "widgets/QtTextU.h"

#include <QAccessible>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TDateTime Utc(int y, int mo, int d, int h = 0) {
    TDateTime t = 0;
    TryEncodeDateTime(y, mo, d, h, 0, 0, 0, t);
    return t;
}

QStringList Lines(const TClockChangesForm& f) {
    QStringList l;
    for (int i = 0; i < f.ChangesListBox->count(); ++i)
        l << f.ChangesListBox->item(i)->text();
    return l;
}

QStringList Expected(TClockHost& host) {
    QStringList l;
    for (const TClockChangeEntry& e :
         ClockChangeEntries(host.Store().Data(), host.Platform().Clock->NowUtc(), ClockChangeDays,
                            host.DisplayOptions().TimeStyle == 1))
        l << ToQ(e.Text) + (e.Detail.empty() ? QString() : QStringLiteral("\n") + ToQ(e.Detail));
    return l;
}

} // namespace

TEST(ClockChangesForm, OpensFromBothMenusOnTheClockWindow) {
    TFakePlatform p;
    p.Now = Utc(2026, 3, 1, 12);
    WriteTestWorld(p.File(QStringLiteral("user.tvk")).toStdString(), 1);
    TTavikForm form(p.Platform, TSkin::Standard());
    TCompanionWindows companions(form);
    form.SetCompanions(&companions);
    form.show();
    TClockChangesForm& w = companions.ClockChanges();

    auto* location = Child<QMenu>(&form, "Location1");
    auto* entry = Child<QAction>(&form, "ClockChanges1");
    ASSERT_TRUE(location && entry);
    EXPECT_TRUE(location->actions().contains(entry));
    EXPECT_EQ(entry->text(), QStringLiteral("C&lock Changes..."));
    EXPECT_TRUE(entry->isEnabled());
    entry->trigger();
    ASSERT_TRUE(w.isVisible());
    EXPECT_EQ(w.pos(), form.pos()) << "top-left on the clock window's";
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Clock Changes"));
    EXPECT_EQ(Lines(w), Expected(form));
    EXPECT_EQ(
        Lines(w).front(),
        QStringLiteral("Sun 29 Mar 2026, London: clocks go forward 1 hour at 1:00 am (local)"));
    EXPECT_TRUE(
        Lines(w).contains(QStringLiteral("Kathmandu: No clock changes in the next 90 days")));
    w.hide();

    auto* popup = Child<QAction>(form.TavikPopupMenu, "ClockChanges2");
    ASSERT_TRUE(popup);
    EXPECT_TRUE(form.TavikPopupMenu->actions().contains(popup));
    popup->trigger();
    EXPECT_TRUE(w.isVisible());
    companions.CloseAll();
    EXPECT_FALSE(w.isVisible());
    form.SetCompanions(nullptr);
}

TEST(ClockChangesForm, FollowsTheDataAndTheClock) {
    TFakeClockHost host(1);
    host.P.Now = Utc(2026, 3, 1, 12);
    host.Options.TimeStyle = 1;
    TCompanionWindows companions(host);
    companions.OpenClockChanges();
    TClockChangesForm& w = companions.ClockChanges();
    ASSERT_TRUE(w.isVisible());
    EXPECT_EQ(Lines(w), Expected(host));
    ASSERT_GE(w.ChangesListBox->count(), 2);
    EXPECT_EQ(w.ChangesListBox->item(1)->text(),
              QStringLiteral("Sun 29 Mar 2026, Berlin: clocks go forward 1 hour at 02:00 (local)"));
    w.ChangesListBox->setCurrentRow(1);
    QListWidgetItem* kept = w.ChangesListBox->item(1);

    // A quiet second rebuilds nothing.
    w.ChangesTimerTimer();
    EXPECT_EQ(w.ChangesListBox->item(1), kept);

    // An edit in the data window shows within a second.
    host.Data.Countries.FindById(5)->DSTStart.Kind = RuleKindNone;
    QTRY_VERIFY(Lines(w).contains(QStringLiteral("Berlin: No clock changes in the next 90 days")));
    EXPECT_EQ(Lines(w), Expected(host));
    EXPECT_EQ(w.ChangesListBox->currentRow(), 1) << "the place in the list is kept";

    // Berlin on the same offset as London in winter: its change now alters the difference.
    host.Data.Countries.FindById(5)->DSTStart = WeekRule(1, 7, 0, 3, 2);
    host.Data.Countries.FindById(5)->UTCOffset = 0;
    w.Refresh();
    EXPECT_TRUE(Lines(w).contains(
        QStringLiteral("Sun 15 Mar 2026, Berlin: clocks go forward 1 hour at 02:00 (local)\n"
                       "Berlin is 1 hour later than London instead of the same time, "
                       "15 Mar \u2013 29 Mar")))
        << Lines(w).join(QLatin1Char('\n')).toStdString();

    // A change that has passed leaves the list.
    host.P.Now = Utc(2026, 3, 30);
    w.ChangesTimerTimer();
    EXPECT_FALSE(Lines(w).join(QLatin1Char('\n')).contains(QStringLiteral("Mar 2026")));

    // Another city list: the window follows once it has been read.
    host.Data.MyCity = nullptr;
    for (TCity* c : host.Data.Cities)
        c->Default = false;
    companions.CityListReplaced();
    QTRY_COMPARE(w.ChangesListBox->count(), 1);
    EXPECT_TRUE(w.ChangesListBox->item(0)->text().startsWith(QStringLiteral("Choose My City")));
    companions.CloseAll();
}

TEST(ClockChangesForm, KeyboardAndScreenReader) {
    TFakeClockHost host(1);
    host.P.Now = Utc(2026, 3, 1, 12);
    host.Window.show();
    TCompanionWindows companions(host);
    companions.OpenClockChanges();
    TClockChangesForm& w = companions.ClockChanges();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_TRUE(w.ChangesListBox->hasFocus());
    EXPECT_EQ(w.ChangesLabel->buddy(), w.ChangesListBox);
    EXPECT_FALSE(w.ChangesListBox->accessibleName().isEmpty());
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(w.ChangesListBox);
    ASSERT_NE(list, nullptr);
    ASSERT_GT(list->childCount(), 0);
    EXPECT_EQ(list->child(0)->text(QAccessible::Name), w.ChangesListBox->item(0)->text());

    QTest::keyClick(w.ChangesListBox, Qt::Key_Down);
    EXPECT_EQ(w.ChangesListBox->currentRow(), 1);
    QTest::keyClick(w.ChangesListBox, Qt::Key_Tab);
    EXPECT_TRUE(w.CloseButton->hasFocus()) << "the list does not trap Tab";
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
    companions.OpenClockChanges();
    QTest::keyClick(w.CloseButton, Qt::Key_Space);
    EXPECT_FALSE(w.isVisible());
    companions.CloseAll();
}

TEST(ClockChangesForm, TheWindowTheLabelHintAndTheToolAgree) {
    TFakePlatform p;
    p.Now = Utc(2026, 3, 25, 12); // a Wednesday: London and Berlin change on Sunday
    WriteTestWorld(p.File(QStringLiteral("user.tvk")).toStdString(), 7); // My City Johannesburg
    TTavikForm form(p.Platform, TSkin::Standard());
    TCompanionWindows companions(form);
    form.SetCompanions(&companions);
    form.show();
    companions.OpenClockChanges();
    const QStringList lines = Lines(companions.ClockChanges());
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral(
                            "Sun 29 Mar 2026, London: clocks go forward 1 hour at 1:00 am (local)\n"
                            "London is 1 hour earlier than Johannesburg instead of 2, "
                            "29 Mar \u2013 25 Oct"));

    const TCityLabel* berlin = nullptr;
    for (const TCityLabel* l : form.CityLabels)
        berlin = l->Id() == 5 ? l : berlin;
    ASSERT_NE(berlin, nullptr);
    const QStringList hint = berlin->toolTip().split(QLatin1Char('\n'));
    ASSERT_EQ(hint.size(), 6);
    EXPECT_EQ(hint[0], QStringLiteral("Berlin"));
    EXPECT_EQ(hint[5], QStringLiteral("Clocks go forward 1 hour on Sunday at 2:00 am"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Sun 29 Mar 2026, Berlin: clocks go forward "
                                                   "1 hour at 2:00 am (local)")));
    companions.CloseAll();
    form.SetCompanions(nullptr);
}
