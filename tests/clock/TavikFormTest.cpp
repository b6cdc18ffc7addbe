#include "FakePlatform.h"
#include "TestWorld.h"
#include "clock/CityLabelU.h"
#include "clock/DialU.h"
#include "clock/SkinU.h"
#include "clock/TavikU.h"
#include "data/InstanceLockU.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TDateTime Utc(int h, int mi, int s) {
    TDateTime t = 0;
    TryEncodeDateTime(2026, 12, 8, h, mi, s, 0, t);
    return t;
}

class TavikForm : public ::testing::Test {
protected:
    // A window over the test world with My City as given, started the way the program does.
    std::unique_ptr<TTavikForm> Start(int myCity = 1) {
        if (!QFile::exists(P.File(QStringLiteral("user.tvk"))))
            WriteTestWorld(P.File(QStringLiteral("user.tvk")).toStdString(), myCity);
        return std::make_unique<TTavikForm>(P.Platform, TSkin::Standard());
    }
    void SetOptions(TTavikForm& f, bool analog, bool cities, bool docked = false) {
        TDisplayOptions o = f.Options;
        o.AnalogClock = analog;
        o.ShowCities = cities;
        o.Docked = docked;
        f.ApplyDisplayOptions(o);
    }
    QRgb At(const TTavikForm& f, QPoint p) const {
        return f.SkinImage->Buffer.pixel(p) | 0xFF000000u;
    }

    TFakePlatform P;
};

} // namespace

TEST_F(TavikForm, RecomposedSkinShowsTicksMarkerPointerAndHourScale) {
    P.Now = Utc(12, 30, 30); // London 12:30:30
    auto f = Start();
    f->RedrawDial();
    const TSkin& skin = TSkin::Standard();
    const TTavik& dial = f->Dial;
    // Ticks for seconds 1 .. 30 except the multiples of five; none beyond.
    EXPECT_EQ(At(*f, dial.PointAt(5, 3)), 0xFF000000u);
    EXPECT_EQ(At(*f, dial.PointAt(5, 87)), 0xFF000000u);
    EXPECT_EQ(At(*f, dial.PointAt(5, 93)), skin.TopLarge.pixel(dial.PointAt(5, 93)));
    EXPECT_EQ(At(*f, dial.PointAt(5, 15)), skin.TopLarge.pixel(dial.PointAt(5, 15)))
        << "second 5 is left to the skin's own mark";

    // The marker at minute 30 stands at the top with its corner at (282, 38), the pointer's tip
    // shows above it, and the corners of the circle stay transparent.
    EXPECT_EQ(dial.PointAt(39, 90), QPoint(301, 57));
    EXPECT_EQ(At(*f, QPoint(282, 38)), skin.TopLarge.pixel(282, 38));
    EXPECT_EQ(At(*f, dial.PointAt(16, 90)), PointerColour().rgb());
    const QImage& twelve = skin.HourDigits[12];
    const QPoint digitAt(282 + 19 - twelve.width() / 2, 38 + 19 - twelve.height() / 2);
    EXPECT_EQ(f->SkinImage->Buffer.copy(QRect(digitAt, twelve.size())), twelve);

    // The hour scale: circle i carries the hour i after 12, that is i.
    for (int i : {1, 11}) {
        const QImage& d = skin.HourDigits[static_cast<std::size_t>(i)];
        const int left = 15 + 53 * (i - 1);
        const QPoint p(left + 19 - d.width() / 2, 300 + 19 - d.height() / 2);
        EXPECT_EQ(f->SkinImage->Buffer.copy(QRect(p, d.size())), d) << "column " << i;
    }

    // Without the analog clock the scale is text: something of the text colour near (13, 79).
    SetOptions(*f, false, true);
    bool text = false;
    for (int y = 79; y < 100; ++y)
        for (int x = 13; x < 45; ++x)
            text = text ||
                   qAbs(qBlue(At(*f, QPoint(x, y))) - 146) + qAbs(qRed(At(*f, QPoint(x, y))) - 39) <
                       40;
    EXPECT_TRUE(text);
    EXPECT_EQ(At(*f, QPoint(5, 150)), skin.BottomLarge.pixel(5, 150 - 67));
}

TEST_F(TavikForm, CentreTextsFollowTheCurrentCity) {
    P.Now = Utc(10, 20, 0);
    auto f = Start();
    f->Data.CurrentCity = f->Data.Cities.FindById(3); // Delhi, +5.5
    TDisplayOptions o = f->Options;
    o.AnalogClock = 0;
    o.ShowSeconds = 0;
    o.TimeStyle = 1;
    f->ApplyDisplayOptions(o);
    EXPECT_EQ(f->CurrentCityTimeLabel->text(), QStringLiteral("15:20"));
    EXPECT_EQ(f->CurrentCityLabel->text(), QStringLiteral("Delhi+\u00BD"));
    EXPECT_EQ(f->DifferenceMyCityLabel->text(),
              QStringLiteral("Delhi is 5\u00BD hours later than London"));
    EXPECT_TRUE(f->DeltaImage->isVisibleTo(f.get()));
    EXPECT_EQ(f->DeltaImage->toolTip(), f->DifferenceMyCityLabel->text());
    EXPECT_EQ(f->CurrentCityDateLabel->text(), QStringLiteral("Tue 8 Dec 2026"));
    EXPECT_EQ(f->CurrentCityTimeLabel->x(), 300 - f->CurrentCityTimeLabel->width() / 2);

    // The same city as My City: no difference and no delta sign.
    f->Data.CurrentCity = f->Data.MyCity;
    f->RefreshDial();
    EXPECT_EQ(f->DifferenceMyCityLabel->text(), QString());
    EXPECT_FALSE(f->DeltaImage->isVisibleTo(f.get()));

    // A city whose state is missing leaves the places empty and keeps the last time running.
    const QString before = f->CurrentCityTimeLabel->text();
    f->Data.CurrentCity = f->Data.Cities.FindById(9);
    f->RefreshDial();
    EXPECT_EQ(f->CurrentCityLabel->text(), QString());
    EXPECT_EQ(f->CurrentCityTimeLabel->text(), before);

    // No current city at all: the captions are emptied, the time keeps its last value.
    f->Data.CurrentCity = nullptr;
    f->RefreshDial();
    EXPECT_EQ(f->CurrentCityDateLabel->text(), QString());
    EXPECT_FALSE(f->CurrentCityTimeLabel->text().isEmpty());
}

TEST_F(TavikForm, ClientSizeFollowsTheLayoutAndDocking) {
    auto f = Start();
    const struct {
        bool Analog, Cities;
        int Height;
    } cases[] = {{true, true, 483}, {true, false, 299}, {false, true, 258}, {false, false, 74}};
    for (const auto& c : cases) {
        SetOptions(*f, c.Analog, c.Cities);
        EXPECT_EQ(f->SkinImage->size(), QSize(598, c.Height));
    }
    EXPECT_EQ(f->CurrentCityTimeLabel->y(), 14);
    EXPECT_EQ(f->CurrentCityDateLabel->y(), 41);

    SetOptions(*f, true, true, true);
    EXPECT_EQ(f->SkinImage->size(), QSize(600, 483));
    EXPECT_TRUE(f->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(f->menuBar()->isVisibleTo(f.get()));
    SetOptions(*f, true, true, false);
    EXPECT_EQ(f->SkinImage->width(), 598);
    EXPECT_TRUE(f->menuBar()->isVisibleTo(f.get()));

    // The time label is large only with the 24-hour style and no date.
    TDisplayOptions o = f->Options;
    o.ShowDate = 0;
    o.TimeStyle = 1;
    f->ApplyDisplayOptions(o);
    EXPECT_EQ(f->CurrentCityTimeLabel->font().pixelSize(), 32);
    o.TimeStyle = 0;
    f->ApplyDisplayOptions(o);
    EXPECT_EQ(f->CurrentCityTimeLabel->font().pixelSize(), 19);
    EXPECT_EQ(f->CurrentCityTimeLabel->width(), 205);
}

TEST_F(TavikForm, DraggingSnapsToTheEdges) {
    P.Work = QRect(0, 30, 1280, 954); // a panel at the top
    auto f = Start();
    const QSize outer = f->frameGeometry().size();
    auto dragTo = [&](int left, int top) {
        f->move(400, 300);
        f->SkinImageMouseDown(Qt::LeftButton, 50, 50);
        f->SkinImageMouseMove(50 + left - 400, 50 + top - 300);
        f->SkinImageMouseUp();
        return f->pos();
    };
    EXPECT_EQ(dragTo(1280 - outer.width() - 5, 300), QPoint(1280 - outer.width(), 300));
    EXPECT_EQ(dragTo(1280 - outer.width() - 7, 300), QPoint(1280 - outer.width() - 7, 300));
    EXPECT_EQ(dragTo(5, 300), QPoint(0, 300));
    EXPECT_EQ(dragTo(400, 35), QPoint(400, 30));
    EXPECT_EQ(dragTo(400, 37), QPoint(400, 37));
    EXPECT_EQ(dragTo(400, 984 - outer.height() - 3), QPoint(400, 984 - outer.height()));
    // After the button is up the mouse moves the window no more.
    f->SkinImageMouseMove(300, 300);
    EXPECT_EQ(f->pos(), QPoint(400, 984 - outer.height()));
}

TEST_F(TavikForm, PreferencesAreSavedOnCloseAndRestored) {
    {
        auto f = Start();
        // A first start: defaults, centred on the work area.
        EXPECT_TRUE(f->Options.AnalogClock && f->Options.StayOnTop && !f->Options.Docked);
        EXPECT_TRUE(f->AlwaysonTop1->isChecked());
        EXPECT_TRUE(f->AlwaysOnTop2->isChecked());
        f->move(123, 77);
        f->AlwaysOnTop2->trigger(); // the popup twin switches both marks
        EXPECT_FALSE(f->AlwaysonTop1->isChecked());
        EXPECT_FALSE(f->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_TRUE(f->close());
    }
    QFile prefs(P.File(QStringLiteral("tavikprefs")));
    ASSERT_TRUE(prefs.open(QIODevice::ReadOnly));
    const QByteArray bytes = prefs.readAll();
    prefs.close();
    ASSERT_EQ(bytes.size(), 27);
    EXPECT_EQ(bytes[8], 0) << "stay on top off";
    EXPECT_EQ(bytes[26], 0);
    {
        auto f = Start();
        EXPECT_EQ(f->pos(), QPoint(123, 77));
        EXPECT_FALSE(f->AlwaysonTop1->isChecked());
        // A place on no screen is replaced by the centred one.
        f->move(5000, 5000);
        f->close();
    }
    auto f = Start();
    EXPECT_EQ(f->pos(), f->CentredPosition(f->frameGeometry().size()));
}

TEST_F(TavikForm, ClosePromptAnswers) {
    auto f = Start();
    const QString user = P.File(QStringLiteral("user.tvk"));
    const auto size = QFile(user).size();
    f->show();
    f->Data.Modified = true;
    f->Data.Cities.Items(0).LongName = "Londinium";

    P.Answers = {TAnswer::Cancel};
    EXPECT_FALSE(f->close());
    EXPECT_EQ(P.Asked.last(),
              QStringLiteral("Do you want to save your changes to ") + user + QStringLiteral(" ?"));
    EXPECT_TRUE(f->isVisible());
    EXPECT_FALSE(QFile::exists(P.File(QStringLiteral("tavikprefs"))));

    P.Answers = {TAnswer::No};
    EXPECT_TRUE(f->close());
    EXPECT_EQ(QFile(user).size(), size);
    EXPECT_TRUE(QFile::exists(P.File(QStringLiteral("tavikprefs"))));

    f->show();
    P.Answers = {TAnswer::Yes};
    EXPECT_TRUE(f->close());
    EXPECT_FALSE(f->Data.Modified);
    auto again = Start();
    EXPECT_EQ(again->Data.Cities.Items(0).LongName, "Londinium");
    EXPECT_TRUE(again->close()) << "nothing left to ask";
    EXPECT_EQ(P.Asked.size(), 3);
}

namespace {

QByteArray Bytes(const QString& file) {
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace

TEST_F(TavikForm, ADamagedListAtStartOffersItsBackupTheDefaultWorldOrQuitting) {
    const QString user = P.File(QStringLiteral("user.tvk"));
    const QString backup = user + QStringLiteral(".bak");
    const QString world = P.File(QStringLiteral("default.tvk"));
    WriteTestWorld(backup.toStdString(), 2);
    WriteTestWorld(world.toStdString(), 0);
    P.Platform.DefaultWorld = world;
    const QByteArray good = Bytes(backup);
    auto damage = [&] {
        TCityList d;
        BuildTestWorld(d, 2);
        SaveCityListFile(user.toStdString(), d, TBackup::None);
        QFile::resize(user, 800); // inside the third country
    };
    damage();
    const QByteArray damaged = Bytes(user);
    const QStringList all{QStringLiteral("Start from Backup"),
                          QStringLiteral("Start from Default World"), QStringLiteral("Quit")};

    // Quitting (or closing the box) writes nothing at all.
    const QStringList before = QDir(P.Dir.path()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_TRUE(TTavikForm(P.Platform, TSkin::Standard()).EndRequested());
    ASSERT_EQ(P.Buttons.size(), 1);
    EXPECT_EQ(P.Buttons[0], all);
    EXPECT_TRUE(P.Asked[0].startsWith(QStringLiteral("The city list ") +
                                      QDir::toNativeSeparators(user) +
                                      QStringLiteral(" cannot be read whole (Stream read error).")))
        << P.Asked[0].toStdString();
    EXPECT_TRUE(P.Shown.isEmpty());
    EXPECT_EQ(Bytes(user), damaged);
    EXPECT_EQ(QDir(P.Dir.path()).entryList(QDir::Files | QDir::Hidden), before);

    // The backup: read, the damaged file untouched until a save that asks first.
    P.Choices = {0};
    {
        auto f = Start();
        EXPECT_FALSE(f->EndRequested());
        EXPECT_EQ(f->Data.MyCity->LongName, "Kathmandu");
        EXPECT_EQ(f->Data.Cities.Count(), 9);
        EXPECT_EQ(Bytes(user), damaged);
        EXPECT_EQ(f->SaveDialog.FileName, user);
        P.Answers = {TAnswer::Yes};
        EXPECT_TRUE(f->close());
        EXPECT_EQ(P.Asked.last(), QStringLiteral("Do you want to save your changes to ") + user +
                                      QStringLiteral(" ?"));
    }
    EXPECT_EQ(Bytes(user), good);
    EXPECT_EQ(Bytes(backup), good) << "the damaged file never goes over the good backup";

    // The default world: no My City yet, and its first save keeps the good backup too.
    damage();
    P.Choices = {1};
    {
        auto f = Start();
        EXPECT_FALSE(f->EndRequested());
        EXPECT_EQ(f->Data.MyCity, nullptr);
        EXPECT_EQ(f->Data.Cities.Count(), 9);
        f->Store().SetMyCity(f->Data.Cities.FindById(5));
        EXPECT_TRUE(f->SaveCityList(user));
    }
    EXPECT_EQ(Bytes(backup), good);

    // A backup that does not read is not offered; the damaged file then becomes the backup.
    damage();
    QFile::resize(backup, 700);
    P.Choices = {0};
    {
        auto f = Start();
        EXPECT_EQ(P.Buttons.last(), (QStringList{all[1], all[2]}));
        EXPECT_TRUE(
            P.Asked.last().contains(QStringLiteral("kept as ") + QDir::toNativeSeparators(backup)));
        EXPECT_TRUE(f->SaveCityList(user));
    }
    EXPECT_EQ(Bytes(backup), damaged) << "nothing is lost";

    // Neither: only quitting is left.
    damage();
    QFile::resize(backup, 700);
    P.Platform.DefaultWorld.clear();
    EXPECT_TRUE(TTavikForm(P.Platform, TSkin::Standard()).EndRequested());
    EXPECT_EQ(P.Buttons.last(), QStringList{all[2]});
    EXPECT_EQ(Bytes(user), damaged);
}

TEST_F(TavikForm, StartWithMissingOrCancelledFiles) {
    const QString user = P.File(QStringLiteral("user.tvk"));
    // Missing: the open dialog; cancelling it ends the program.
    P.FileNames = {QString()};
    EXPECT_TRUE(TTavikForm(P.Platform, TSkin::Standard()).EndRequested());
    EXPECT_EQ(P.Shown, QStringList{QStringLiteral("You must select a .tvk file")});

    // Another file picked instead: read, while saving still goes to user.tvk.
    const QString other = P.File(QStringLiteral("other.tvk"));
    WriteTestWorld(other.toStdString(), 2);
    P.FileNames = {other};
    auto f = std::make_unique<TTavikForm>(P.Platform, TSkin::Standard());
    EXPECT_FALSE(f->EndRequested());
    EXPECT_EQ(f->Data.MyCity->LongName, "Kathmandu");
    EXPECT_EQ(f->SaveDialog.FileName, user);
    f->Save1Click();
    EXPECT_TRUE(QFile::exists(user));
}

TEST_F(TavikForm, HelpContentsOnlyClearsStayOnTop) {
    auto f = Start();
    QFile chm(P.File(QStringLiteral("Tavik.chm")));
    ASSERT_TRUE(chm.open(QIODevice::WriteOnly));
    chm.close();
    ASSERT_TRUE(f->Options.StayOnTop);
    f->findChild<QAction*>(QStringLiteral("Contents1"))->trigger();
    EXPECT_FALSE(f->Options.StayOnTop);
    EXPECT_FALSE(f->AlwaysonTop1->isChecked());
    EXPECT_EQ(P.Opened, QStringList{P.File(QStringLiteral("Tavik.chm"))});
    EXPECT_FALSE(f->Data.Modified);
}

TEST_F(TavikForm, LabelClicksMoveTheCentreAndRemoveKeepsDataUnmodified) {
    P.Now = Utc(12, 0, 0);
    auto f = Start();
    auto label = [&](int id) -> TCityLabel* {
        for (TCityLabel* l : f->CityLabels)
            if (l->Id() == id)
                return l;
        return nullptr;
    };
    // London at 12: Kathmandu and Delhi (whole hours 17) share column 5 in collection order.
    ASSERT_NE(label(3), nullptr);
    EXPECT_EQ(label(2)->pos(), QPoint(12 + 53 * 4, 342));
    EXPECT_EQ(label(3)->pos(), QPoint(12 + 53 * 4, 358));
    EXPECT_EQ(label(3)->text(), QStringLiteral("Delhi+\u00BD"));
    EXPECT_EQ(label(1), nullptr) << "the current city has no label";

    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), label(3)->mapToGlobal(QPointF(2, 2)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(label(3), &press);
    EXPECT_EQ(f->Data.CurrentCity->UniqueID, 1) << "posted, not handled inside the label";
    QCoreApplication::processEvents();
    EXPECT_EQ(f->Data.CurrentCity->UniqueID, 3);
    EXPECT_EQ(label(3), nullptr);
    ASSERT_NE(label(1), nullptr) << "London is now seven hours on: column 7";
    EXPECT_EQ(label(1)->x(), 12 + 53 * 6);

    // Right-click offers "Remove from Tavik"; it takes the city off without a change to save.
    QMouseEvent right(QEvent::MouseButtonPress, QPointF(2, 2), label(1)->mapToGlobal(QPointF(2, 2)),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(label(1), &right);
    QCoreApplication::processEvents();
    EXPECT_TRUE(f->RemovefromTavik1->isVisible());
    f->CityPopupMenu->hide();
    f->RemovefromTavik1->trigger();
    EXPECT_EQ(label(1), nullptr);
    EXPECT_FALSE(f->Data.Cities.FindById(1)->Default);
    EXPECT_FALSE(f->Data.Modified);
    EXPECT_TRUE(f->close());
    EXPECT_TRUE(P.Asked.isEmpty());

    // Go to My City brings London back to the centre.
    f->findChild<QAction*>(QStringLiteral("GotoMyCity1"))->trigger();
    EXPECT_EQ(f->Data.CurrentCity, f->Data.MyCity);
}

TEST_F(TavikForm, ViewTogglesKeepTheirTwinsInStep) {
    auto f = Start();
    struct Pair {
        QAction* Bar;
        QAction* Popup;
        std::uint8_t TDisplayOptions::*Field;
    };
    const Pair pairs[] = {{f->Dock1, f->Dock2, &TDisplayOptions::Docked},
                          {f->AnalogClock1, f->AnalogClock2, &TDisplayOptions::AnalogClock},
                          {f->ShowCities1, f->ShowCities2, &TDisplayOptions::ShowCities},
                          {f->AlwaysonTop1, f->AlwaysOnTop2, &TDisplayOptions::StayOnTop}};
    for (const Pair& p : pairs) {
        const bool before = f->Options.*p.Field;
        p.Bar->trigger();
        EXPECT_EQ(f->Options.*p.Field, !before) << p.Bar->objectName().toStdString();
        EXPECT_EQ(p.Popup->isChecked(), !before);
        p.Popup->trigger();
        EXPECT_EQ(f->Options.*p.Field, before);
        EXPECT_EQ(p.Bar->isChecked(), before);
    }
    f->ShowCities2->trigger();
    EXPECT_EQ(f->SkinImage->height(), 299);
    f->Dock2->trigger();
    EXPECT_FALSE(f->menuBar()->isVisibleTo(f.get()));
    f->close();
    QFile prefs(P.File(QStringLiteral("tavikprefs")));
    ASSERT_TRUE(prefs.open(QIODevice::ReadOnly));
    const QByteArray b = prefs.readAll();
    EXPECT_EQ(b[2], 0);  // ShowCities
    EXPECT_EQ(b[3], 1);  // AnalogClock
    EXPECT_EQ(b[16], 1); // Docked
}

TEST_F(TavikForm, OpenAndSaveAsGoThroughTheFileDialogs) {
    auto f = Start(1);
    const QString other = P.File(QStringLiteral("other.tvk"));
    WriteTestWorld(other.toStdString(), 2);
    f->Data.Modified = true;

    P.Answers = {TAnswer::Cancel};
    P.FileNames = {other};
    f->Open1Click();
    EXPECT_EQ(f->Data.MyCity->UniqueID, 1) << "cancelled at the save prompt";
    EXPECT_EQ(P.FileNames.size(), 1u);

    P.Answers = {TAnswer::No};
    f->Open1Click();
    EXPECT_EQ(f->Data.MyCity->UniqueID, 2);
    EXPECT_EQ(f->Data.CurrentCity, f->Data.MyCity);
    EXPECT_EQ(f->SaveDialog.FileName, other);
    EXPECT_FALSE(f->Data.Modified);

    const QString copy = P.File(QStringLiteral("copy.tvk"));
    P.FileNames = {copy};
    f->SaveAs1Click();
    EXPECT_TRUE(QFile::exists(copy));
    EXPECT_EQ(f->SaveDialog.FileName, copy);
    EXPECT_EQ(QFile(copy).size(), QFile(other).size());
    P.FileNames = {QString()};
    f->SaveAs1Click();
    EXPECT_EQ(f->SaveDialog.FileName, copy) << "a cancelled dialog changes nothing";
}

namespace {

// A right button press and the context-menu request that follows it, as the desktop sends them.
void RightClick(QWidget* w, QPoint at) {
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::RightButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, at, w->mapToGlobal(at));
    QApplication::sendEvent(w, &menu);
    QCoreApplication::processEvents();
}

void MoveOver(QWidget* w, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

} // namespace

TEST_F(TavikForm, RightClickOnALabelOpensItsOwnMenuOnly) {
    P.Now = Utc(12, 0, 0);
    auto f = Start(2); // Kathmandu: a state and an airport in the centre
    f->show();
    ASSERT_FALSE(f->CityLabels.empty());
    const QList<QMenu*> menus = {f->TavikPopupMenu, f->CityPopupMenu, f->CountryPopupMenu,
                                 f->StatePopupMenu, f->AirportPopupMenu};
    const struct {
        QWidget* Label;
        QMenu* Menu;
    } cases[] = {{f->CurrentStateLabel, f->StatePopupMenu},
                 {f->CurrentAirportLabel, f->AirportPopupMenu},
                 {f->CityLabels.front(), f->CityPopupMenu}};
    for (const auto& c : cases) {
        RightClick(c.Label, QPoint(3, 3));
        EXPECT_TRUE(c.Menu->isVisible()) << c.Label->objectName().toStdString();
        EXPECT_FALSE(f->TavikPopupMenu->isVisible()) << c.Label->objectName().toStdString();
        for (QMenu* m : menus)
            m->hide();
    }
    // The painted city name has its menu; a plain spot of the face has the window's.
    RightClick(f->SkinImage, f->CurrentCityLabel->geometry().center());
    EXPECT_TRUE(f->CityPopupMenu->isVisible());
    EXPECT_FALSE(f->TavikPopupMenu->isVisible());
    for (QMenu* m : menus)
        m->hide();
    RightClick(f->SkinImage, QPoint(300, 120));
    EXPECT_TRUE(f->TavikPopupMenu->isVisible());
    for (QMenu* m : menus)
        m->hide();
    f->close();
}

TEST_F(TavikForm, DifferenceTextShowsOnTheDeltaSignInTheAnalogLayoutOnly) {
    auto f = Start(1);
    f->Data.CurrentCity = f->Data.Cities.FindById(2);
    f->RefreshDial();
    f->show();
    ASSERT_TRUE(f->DeltaImage->isVisible());
    QLabel* text = f->DifferenceMyCityLabel;

    MoveOver(f->DeltaImage, QPoint(8, 9)); // straight onto the sign, not through the margin
    EXPECT_TRUE(text->isVisible());
    MoveOver(f->SkinImage, QPoint(300, 120));
    EXPECT_FALSE(text->isVisible());
    MoveOver(f->SkinImage, f->DeltaImage->geometry().topLeft() - QPoint(10, 10));
    EXPECT_TRUE(text->isVisible()) << "the margin counts too";

    // Switched to the small layout while shown: the text goes, and hovering brings it no more.
    f->AnalogClock1->trigger();
    EXPECT_FALSE(text->isVisible());
    MoveOver(f->DeltaImage, QPoint(8, 9));
    EXPECT_FALSE(text->isVisible());
    EXPECT_EQ(f->DeltaImage->toolTip(), text->text()) << "the sign's hint tells it instead";
    f->close();
}

TEST_F(TavikForm, TheWholeFrameStaysInsideTheWorkArea) {
    P.Work = QRect(0, 30, 1280, 954); // a panel at the top
    {
        auto f = Start();
        f->move(-1, -20); // the title bar above the screen
        f->close();
    }
    {
        auto f = Start();
        EXPECT_EQ(f->pos(), QPoint(0, 30)) << "the stored place, moved in";
        f->move(1000, 900);
        f->close();
    }
    auto f = Start();
    const QRect work = P.Work;
    EXPECT_TRUE(work.contains(f->frameGeometry())) << "beyond the bottom right, moved in";

    // Docked against the bottom edge, then undocked: the menu bar and frame come back inside.
    SetOptions(*f, true, true, true);
    f->show();
    f->move(200, work.bottom() + 1 - f->frameGeometry().height());
    SetOptions(*f, true, true, false);
    EXPECT_TRUE(work.contains(f->frameGeometry()));
    EXPECT_EQ(f->frameGeometry().bottom(), work.bottom());
    EXPECT_LE(std::abs(f->x() - 200), 10) << "only as far as needed";
    f->close();
}

TEST_F(TavikForm, AFailedOpenLeavesEverythingAsItWas) {
    auto f = Start(1);
    const QString user = P.File(QStringLiteral("user.tvk"));
    const QString damaged = P.File(QStringLiteral("damaged.tvk"));
    WriteTestWorld(damaged.toStdString(), 2);
    QFile::resize(damaged, 800); // inside the third country
    TCity* delhi = f->Data.Cities.FindById(3);
    delhi->Default = false; // an unsaved change
    f->Data.Modified = true;
    f->Data.CurrentCity = delhi;
    f->RefreshDial();

    P.Answers = {TAnswer::No};
    P.FileNames = {damaged};
    f->Open1Click();
    EXPECT_EQ(P.Shown, QStringList{QStringLiteral("Stream read error")});
    EXPECT_EQ(P.Details, QStringList{QDir::toNativeSeparators(damaged)});
    EXPECT_EQ(f->Data.Countries.Count(), 8);
    EXPECT_EQ(f->Data.Cities.Count(), 9);
    EXPECT_EQ(f->Data.Airports.Count(), 2);
    EXPECT_EQ(f->Data.Cities.FindById(3), delhi) << "the records themselves are kept";
    EXPECT_FALSE(delhi->Default);
    EXPECT_EQ(f->Data.MyCity->UniqueID, 1);
    EXPECT_EQ(f->Data.CurrentCity, delhi);
    EXPECT_TRUE(f->Data.Modified);
    EXPECT_EQ(f->SaveDialog.FileName, user);

    // Save writes the list as it was to the old file; the damaged one is not touched.
    f->Save1Click();
    EXPECT_EQ(QFile(damaged).size(), 800);
    TCityList saved;
    LoadCityListFile(user.toStdString(), saved);
    EXPECT_EQ(saved.Cities.Count(), 9);
    EXPECT_FALSE(saved.Cities.FindById(3)->Default);

    // A file that cannot be read at all: its message, the file named, nothing changed.
    const QString missing = P.File(QStringLiteral("missing.tvk"));
    P.FileNames = {missing};
    f->Open1Click();
    EXPECT_EQ(P.Shown.last(), QStringLiteral("Cannot open file ") + missing);
    EXPECT_EQ(P.Details.last(), QDir::toNativeSeparators(missing));
    EXPECT_EQ(f->Data.Cities.Count(), 9);
    EXPECT_EQ(f->SaveDialog.FileName, user);

    // A sound file replaces all: data, My City, the centre and the save target.
    const QString other = P.File(QStringLiteral("other.tvk"));
    TCityList small;
    BuildTestWorld(small, 0);
    small.Cities.Delete(0);
    SaveCityListFile(other.toStdString(), small);
    P.FileNames = {other};
    f->Open1Click();
    EXPECT_EQ(f->Data.Cities.Count(), 8);
    EXPECT_EQ(f->Data.MyCity, nullptr);
    EXPECT_EQ(f->Data.CurrentCity, nullptr) << "no city of the old list stays in the centre";
    EXPECT_EQ(f->SaveDialog.FileName, other);
    EXPECT_EQ(P.Shown.size(), 2);
}

TEST_F(TavikForm, OpenAndSaveAsRefuseTheListOfAnotherRunningClock) {
    const std::string dataFolder = P.Platform.ProgramDir.toStdString();
    TInstanceLock mine;
    ASSERT_TRUE(ClaimDataFolder(dataFolder, dataFolder + "user.tvk", mine).MayRun);
    auto f = Start(1);
    f->FolderLock = &mine;
    // Another clock runs on its own folder.
    const QString theirs = P.File(QStringLiteral("theirs"));
    QDir().mkpath(theirs);
    const QString theirList = theirs + QStringLiteral("/user.tvk");
    WriteTestWorld(theirList.toStdString(), 2);
    TInstanceLock other;
    ASSERT_TRUE(ClaimDataFolder(theirs.toStdString(), theirList.toStdString(), other).MayRun);
    const QByteArray theirBytes = Bytes(theirList);

    P.FileNames = {theirList};
    f->Open1Click();
    EXPECT_EQ(P.Shown, QStringList{QStringLiteral("Tavik is already running with ") + theirList +
                                   QStringLiteral(".")});
    EXPECT_EQ(f->Data.MyCity->UniqueID, 1) << "nothing read";
    EXPECT_EQ(f->SaveDialog.FileName, P.File(QStringLiteral("user.tvk")));
    f->Data.Modified = true;
    const QString beside = theirs + QStringLiteral("/copy.tvk");
    P.FileNames = {beside};
    f->SaveAs1Click();
    EXPECT_EQ(P.Shown.size(), 2);
    EXPECT_FALSE(QFile::exists(beside)) << "nothing written into their folder";
    EXPECT_EQ(Bytes(theirList), theirBytes);
    EXPECT_TRUE(f->Data.Modified);

    // Once that clock has ended, its list may be opened, and then no clock may start there.
    other.Release();
    P.Answers = {TAnswer::No};
    P.FileNames = {theirList};
    f->Open1Click();
    EXPECT_EQ(P.Shown.size(), 2);
    EXPECT_EQ(f->Data.MyCity->UniqueID, 2);
    EXPECT_EQ(f->SaveDialog.FileName, theirList);
    EXPECT_FALSE(ClaimDataFolder(theirs.toStdString(), theirList.toStdString(), other).MayRun);
    // Saved elsewhere, the clock lets that folder go.
    const QString elsewhere = P.File(QStringLiteral("elsewhere"));
    QDir().mkpath(elsewhere);
    P.FileNames = {elsewhere + QStringLiteral("/list.tvk")};
    f->SaveAs1Click();
    EXPECT_EQ(f->SaveDialog.FileName, elsewhere + QStringLiteral("/list.tvk"));
    EXPECT_TRUE(ClaimDataFolder(theirs.toStdString(), theirList.toStdString(), other).MayRun);
}

TEST_F(TavikForm, SaveAsTakesTheNewFileOnlyWhenItWasWritten) {
    auto f = Start(1);
    const QString user = P.File(QStringLiteral("user.tvk"));
    const QString nowhere = P.File(QStringLiteral("no such folder/copy.tvk"));
    f->Data.Modified = true;
    P.FileNames = {nowhere};
    f->SaveAs1Click();
    ASSERT_EQ(P.Shown.size(), 1);
    EXPECT_TRUE(P.Shown[0].startsWith(QStringLiteral("Cannot create file ")))
        << P.Shown[0].toStdString();
    EXPECT_EQ(P.Details, QStringList{QDir::toNativeSeparators(nowhere)});
    EXPECT_EQ(f->SaveDialog.FileName, user) << "Save still writes to the file it wrote to";
    EXPECT_TRUE(f->Data.Modified);

    // The close prompt then names, and writes, the old file.
    P.Answers = {TAnswer::Yes};
    EXPECT_TRUE(f->close());
    EXPECT_EQ(P.Asked.last(),
              QStringLiteral("Do you want to save your changes to ") + user + QStringLiteral(" ?"));
    EXPECT_FALSE(f->Data.Modified);
}

TEST_F(TavikForm, PicturesWithoutTextAreNamedForAScreenReader) {
    auto f = Start();
    for (QWidget* w : {static_cast<QWidget*>(f->SkinImage), static_cast<QWidget*>(f->DeltaImage),
                       static_cast<QWidget*>(f->SunImage), static_cast<QWidget*>(f->MoonImage)})
        EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
    f->close();
}

TEST_F(TavikForm, AFirstStartCentresTheWholeFrameOnceTheDesktopTellsIt) {
    P.Work = QRect(0, 0, 1280, 984);
    auto f = Start();
    f->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.get()));
    QCoreApplication::processEvents();
    const QRect frame = f->frameGeometry();
    ASSERT_NE(frame, f->geometry()) << "the test desktop draws a frame";
    EXPECT_EQ(frame.topLeft(), QPoint(1280 / 2 - frame.width() / 2, 984 / 2 - frame.height() / 2));

    // A place the user chose is not taken away when the frame comes later.
    auto g = Start();
    g->move(300, 200);
    g->SkinImageMouseDown(Qt::LeftButton, 10, 10);
    g->SkinImageMouseUp();
    g->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(g.get()));
    QCoreApplication::processEvents();
    EXPECT_EQ(g->pos(), QPoint(300, 200));
}
