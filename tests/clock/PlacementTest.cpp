// Where the window cannot place itself (native Wayland): a drag goes to the compositor and the
// stored place is neither applied nor overwritten. Under X nothing of this changes.
#include "FakePlatform.h"
#include "TestWorld.h"
#include "clock/SkinU.h"
#include "clock/TavikU.h"
#include "prefs/TavikOptionsU.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

class Placement : public ::testing::Test {
protected:
    std::unique_ptr<TTavikForm> Start(bool placesItself) {
        WriteTestWorld(P.File(QStringLiteral("user.tvk")).toStdString(), 1);
        TPreferencesFile stored;
        SetDefaults(stored.Options);
        stored.Left = 300;
        stored.Top = 200;
        WritePreferencesFile(Prefs(), stored);
        auto f = std::make_unique<TTavikForm>(P.Platform, TSkin::Standard());
        f->PlacesItself = placesItself;
        f->move(5, 5);
        f->LoadPreferences();
        return f;
    }
    std::string Prefs() const {
        return P.File(QLatin1String(TPreferencesFile::FileName)).toStdString();
    }
    static void Drag(TTavikForm& f, QPointF from, QPointF to, int moves = 1) {
        QWidget* face = f.SkinImage;
        QMouseEvent press(QEvent::MouseButtonPress, from, face->mapToGlobal(from), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QMouseEvent move(QEvent::MouseMove, to, face->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, to, face->mapToGlobal(to), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(face, &press);
        for (int i = 0; i < moves; ++i)
            QCoreApplication::sendEvent(face, &move);
        QCoreApplication::sendEvent(face, &release);
    }

    TFakePlatform P;
};

} // namespace

TEST_F(Placement, OnXTheWindowMovesItselfAndKeepsItsPlace) {
    auto f = Start(true);
    EXPECT_EQ(f->pos(), QPoint(300, 200));
    Drag(*f, {300, 100}, {340, 130});
    EXPECT_EQ(f->SystemMovesAsked, 0);
    EXPECT_EQ(f->pos(), QPoint(340, 230));
    f->SavePreferences();
    TPreferencesFile after;
    ASSERT_TRUE(ReadPreferencesFile(Prefs(), after));
    EXPECT_EQ(QPoint(after.Left, after.Top), QPoint(340, 230));
}

TEST_F(Placement, WithoutPlacingItselfTheCompositorMovesItAndTheStoredPlaceStays) {
    auto f = Start(false);
    EXPECT_EQ(f->pos(), QPoint(5, 5)) << "the stored place is not applied";
    // A click is a click; a drag is asked of the compositor once, and never by a move.
    Drag(*f, {300, 100}, {300, 100}, 0);
    EXPECT_EQ(f->SystemMovesAsked, 0);
    Drag(*f, {300, 100}, {320, 110}, 3);
    EXPECT_EQ(f->SystemMovesAsked, 1);
    Drag(*f, {300, 100}, {340, 130}, 2);
    EXPECT_EQ(f->SystemMovesAsked, 2);
    EXPECT_EQ(f->pos(), QPoint(5, 5));
    TDisplayOptions o = f->Options;
    o.ShowCities = 0;
    f->ApplyDisplayOptions(o);
    f->SavePreferences();
    TPreferencesFile after;
    ASSERT_TRUE(ReadPreferencesFile(Prefs(), after));
    EXPECT_EQ(QPoint(after.Left, after.Top), QPoint(300, 200));
    EXPECT_EQ(after.Options.ShowCities, 0) << "the options are saved all the same";

    // With nothing stored before, the middle of the work area is stored.
    std::remove(Prefs().c_str());
    f->SavePreferences();
    ASSERT_TRUE(ReadPreferencesFile(Prefs(), after));
    EXPECT_EQ(QPoint(after.Left, after.Top), f->CentredPosition(f->frameGeometry().size()));
}
