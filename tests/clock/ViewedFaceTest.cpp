// The face turned away from now: what it shows, how the wheel and the keys turn it, and the
// ways back.
#include "FakePlatform.h"
#include "TestWorld.h"
#include "Widgets.h"
#include "clock/CityLabelU.h"
#include "clock/GoToTimeU.h"
#include "clock/SkinU.h"
#include "clock/TavikU.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

constexpr double Second = 1.0 / 86400.0;

TDateTime Utc(int y, int mo, int d, int h, int mi) {
    TDateTime t = 0;
    TryEncodeDateTime(y, mo, d, h, mi, 0, 0, t);
    return t;
}

QByteArray FileBytes(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class ViewedFace : public ::testing::Test {
protected:
    // London in the centre, Lagos as My City: an hour apart in winter, the same in summer.
    std::unique_ptr<TTavikForm> Start(TFakePlatform& p) {
        if (!QFile::exists(p.File(QStringLiteral("user.tvk"))))
            WriteTestWorld(p.File(QStringLiteral("user.tvk")).toStdString(), 6);
        auto f = std::make_unique<TTavikForm>(p.Platform, TSkin::Standard());
        f->Data.CurrentCity = f->Data.Cities.FindById(1);
        f->RefreshDial();
        return f;
    }

    // The time written out, without seconds, on the 24-hour clock; shown.
    std::unique_ptr<TTavikForm> StartDigital(TFakePlatform& p) {
        auto f = Start(p);
        TDisplayOptions o = f->Options;
        o.AnalogClock = 0;
        o.ShowSeconds = 0;
        o.TimeStyle = 1;
        f->ApplyDisplayOptions(o);
        f->show();
        return f;
    }

    // One notch of the wheel over a widget of the face, delivered as the desktop does.
    static void Wheel(QWidget* over, int delta, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        const QPointF at(over->width() / 2.0, over->height() / 2.0);
        QWheelEvent e(at, over->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, mods,
                      Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(over, &e);
    }

    // Everything the face shows, but for the caption that tells it is not now.
    static void ExpectSameFace(const TTavikForm& viewed, const TTavikForm& started,
                               const std::string& where) {
        const QRect area = ComposedArea(started.ShownScene, TSkin::Standard());
        EXPECT_EQ(ComposedArea(viewed.ShownScene, TSkin::Standard()), area) << where;
        EXPECT_TRUE(viewed.SkinImage->Buffer.copy(area) == started.SkinImage->Buffer.copy(area))
            << where << ": the pixels differ";
        for (auto [a, b] :
             {std::pair(viewed.CurrentCityTimeLabel, started.CurrentCityTimeLabel),
              std::pair(viewed.CurrentCityDateLabel, started.CurrentCityDateLabel),
              std::pair(viewed.CurrentCityLabel, started.CurrentCityLabel),
              std::pair(viewed.DifferenceMyCityLabel, started.DifferenceMyCityLabel)}) {
            if (!b->isVisibleTo(&started))
                continue; // a hidden caption is written only at a refresh
            EXPECT_EQ(a->text(), b->text()) << where << ", " << a->objectName().toStdString();
            EXPECT_EQ(a->geometry(), b->geometry())
                << where << ", " << a->objectName().toStdString();
        }
        EXPECT_EQ(viewed.DeltaImage->toolTip(), started.DeltaImage->toolTip()) << where;
        ASSERT_EQ(viewed.CityLabels.size(), started.CityLabels.size()) << where;
        for (std::size_t i = 0; i < viewed.CityLabels.size(); ++i) {
            const TCityLabel* a = viewed.CityLabels[i];
            const TCityLabel* b = started.CityLabels[i];
            EXPECT_EQ(a->Id(), b->Id()) << where << ", label " << i;
            EXPECT_EQ(a->text(), b->text()) << where << ", label " << i;
            EXPECT_EQ(a->geometry(), b->geometry()) << where << ", label " << i;
            EXPECT_EQ(a->palette().color(QPalette::WindowText),
                      b->palette().color(QPalette::WindowText))
                << where << ", label " << i << " is in another band";
            // The hint as it shows: its time of day is made as it opens.
            EXPECT_EQ(viewed.LiveCityLabelHint(a->Id()), started.LiveCityLabelHint(b->Id()))
                << where << ", label " << i;
        }
        EXPECT_EQ(viewed.SkinImage->accessibleName(), started.SkinImage->accessibleName()) << where;
    }

    TFakePlatform P;
};

} // namespace

TEST_F(ViewedFace, AViewedInstantShowsTheFaceOfAClockStartedThen) {
    // From late on 27 March 2027 over midnight into London's summer time (01:00 UTC on the 28th).
    const TDateTime start = Utc(2027, 3, 27, 22, 30);
    for (const bool analog : {true, false}) {
        TFakePlatform p;
        p.Now = start;
        auto f = Start(p);
        TDisplayOptions o = f->Options;
        o.AnalogClock = analog;
        o.ShowSeconds = 1;
        f->ApplyDisplayOptions(o);
        const std::string layout = analog ? "analog" : "compact";
        EXPECT_EQ(f->DifferenceMyCityLabel->text(),
                  QStringLiteral("London is 1 hour earlier than Lagos"));

        const struct {
            int Delta;
            Qt::KeyboardModifiers Mods;
            double Seconds; // of the offset after the step
        } steps[] = {{120, Qt::NoModifier, 3600},
                     {120, Qt::NoModifier, 7200},
                     {120, Qt::NoModifier, 3 * 3600},
                     {120, Qt::ShiftModifier, 3 * 3600 + 900},
                     {-120, Qt::NoModifier, 2 * 3600 + 900},
                     {240, Qt::NoModifier, 4 * 3600 + 900}};
        for (const auto& s : steps) {
            Wheel(f->SkinImage, s.Delta, s.Mods);
            ASSERT_TRUE(f->Viewed.Viewing());
            ASSERT_EQ(f->Viewed.OffsetSeconds(), static_cast<std::int64_t>(s.Seconds));
            // The clock goes on running at that distance.
            for (int tick = 0; tick < 61; ++tick) {
                p.Now += Second;
                f->RedrawDial();
            }
            TFakePlatform q;
            q.Now = IncDateTime(p.Now, s.Seconds / 86400.0);
            QFile::copy(p.File(QStringLiteral("user.tvk")), q.File(QStringLiteral("user.tvk")));
            QFile::copy(p.File(QStringLiteral("tavikprefs")), q.File(QStringLiteral("tavikprefs")));
            auto g = Start(q);
            g->ApplyDisplayOptions(f->Options);
            const std::string where = layout + " at +" + std::to_string(s.Seconds / 3600) + " h";
            ExpectSameFace(*f, *g, where);
            EXPECT_TRUE(f->ViewOffsetLabel->isVisibleTo(f.get())) << where;
            EXPECT_FALSE(g->ViewOffsetLabel->isVisibleTo(g.get())) << where;
            // The screen reader hears the same, after what tells it is not now.
            const QString said = g->SkinImage->accessibleDescription();
            const QString time = said.section(QLatin1Char(','), 0, 0);
            EXPECT_EQ(f->SkinImage->accessibleDescription(),
                      QStringLiteral("Showing ") + time + QStringLiteral(", ") +
                          QString::fromStdString(ViewedOffsetWords(f->Viewed.OffsetSeconds())) +
                          said.mid(time.size()))
                << where;
        }
        // In summer time London and Lagos read the same.
        EXPECT_EQ(f->DifferenceMyCityLabel->text(),
                  QStringLiteral("London and Lagos are on the same time just now"));
        EXPECT_EQ(f->ViewOffsetLabel->text(), QStringLiteral("+4 h 15 min"));
        EXPECT_EQ(f->CurrentCityDateLabel->text(), QStringLiteral("Sun 28 Mar 2027"));
    }
}

TEST_F(ViewedFace, WheelAndKeysTurnTheFaceAndEveryWayLeadsBackToNow) {
    P.Now = Utc(2026, 12, 8, 12, 0);
    auto f = StartDigital(P);
    const TDisplayOptions o = f->Options;
    f->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.get()));
    const QByteArray list = FileBytes(P.File(QStringLiteral("user.tvk")));
    QAction* back = Child<QAction>(f.get(), "BackToNow1");
    EXPECT_FALSE(back->isEnabled());
    EXPECT_FALSE(f->ViewOffsetLabel->isVisible());

    // The wheel over the face and over a city label; half notches add up.
    Wheel(f->SkinImage, 120);
    ASSERT_FALSE(f->CityLabels.empty());
    Wheel(f->CityLabels.front(), 120);
    Wheel(f->SkinImage, 60);
    EXPECT_EQ(f->Viewed.OffsetSeconds(), 2 * 3600);
    Wheel(f->SkinImage, 60);
    EXPECT_EQ(f->CurrentCityTimeLabel->text(), QStringLiteral("15:00"));
    EXPECT_EQ(f->ViewOffsetLabel->text(), QStringLiteral("+3 h"));
    EXPECT_TRUE(f->ViewOffsetLabel->isVisible());
    EXPECT_TRUE(back->isEnabled());
    EXPECT_EQ(f->SkinImage->accessibleDescription().left(32),
              QStringLiteral("Showing 15:00, 3 hours from now,"));
    // It stands beside the time, clear of it.
    EXPECT_GE(f->ViewOffsetLabel->x(), f->width() / 2 + 20);
    // Turned back past now.
    Wheel(f->SkinImage, -120 * 5, Qt::ShiftModifier);
    EXPECT_EQ(f->ViewOffsetLabel->text(), QStringLiteral("+1 h 45 min"));

    // Escape, and then the keys, on the face and on a label that has the keyboard.
    QTest::keyClick(f->SkinImage, Qt::Key_Escape);
    EXPECT_FALSE(f->Viewed.Viewing());
    EXPECT_FALSE(f->ViewOffsetLabel->isVisible());
    EXPECT_EQ(f->CurrentCityTimeLabel->text(), QStringLiteral("12:00"));
    EXPECT_EQ(f->SkinImage->accessibleDescription().left(6), QStringLiteral("12:00,"));
    f->SkinImage->setFocus();
    QTest::keyClick(f->SkinImage, Qt::Key_Right, Qt::ControlModifier);
    QTest::keyClick(f->SkinImage, Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(f->Viewed.OffsetSeconds(), 2700);
    QTest::keyClick(f->SkinImage, Qt::Key_Tab);
    QWidget* label = QApplication::focusWidget();
    ASSERT_NE(qobject_cast<TCityLabel*>(label), nullptr);
    const int focusedId = static_cast<TCityLabel*>(label)->Id();
    QTest::keyClick(label, Qt::Key_Right, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(f->Viewed.OffsetSeconds(), 2700 + 3600);
    // The labels may be rebuilt; the keyboard stays on its city.
    ASSERT_NE(qobject_cast<TCityLabel*>(QApplication::focusWidget()), nullptr);
    EXPECT_EQ(static_cast<TCityLabel*>(QApplication::focusWidget())->Id(), focusedId);
    // Plain arrows and Escape at now are left to others.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(f->Viewed.OffsetSeconds(), 2700 + 3600);

    // A click on the time.
    const QPoint onCaption = f->ViewOffsetLabel->geometry().center();
    QTest::mouseClick(f->SkinImage, Qt::LeftButton, Qt::NoModifier, onCaption);
    EXPECT_FALSE(f->Viewed.Viewing());
    Wheel(f->SkinImage, 120);
    const QPoint onTime = f->CurrentCityTimeLabel->geometry().center();
    QTest::mouseClick(f->SkinImage, Qt::LeftButton, Qt::NoModifier, onTime);
    EXPECT_FALSE(f->Viewed.Viewing());
    // A click elsewhere leaves the face where it is.
    Wheel(f->SkinImage, 120);
    QTest::mouseClick(f->SkinImage, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
    EXPECT_TRUE(f->Viewed.Viewing());

    // Back to Now in the window's menu.
    back->trigger();
    EXPECT_FALSE(f->Viewed.Viewing());
    EXPECT_FALSE(back->isEnabled());

    // Two minutes without a step: the tick brings it back. The distance holds till then.
    Wheel(f->SkinImage, 120);
    for (int s = 1; s <= 119; ++s) {
        P.Now += Second;
        f->RedrawDial();
    }
    EXPECT_TRUE(f->Viewed.Viewing());
    EXPECT_EQ(f->CurrentCityTimeLabel->text(), QStringLiteral("13:01"));
    P.Now += 2 * Second;
    f->RedrawDial();
    EXPECT_FALSE(f->Viewed.Viewing());
    EXPECT_EQ(f->CurrentCityTimeLabel->text(), QStringLiteral("12:02"));
    EXPECT_FALSE(f->ViewOffsetLabel->isVisible());

    // None of it is the data's or the preferences' business.
    Wheel(f->SkinImage, 120);
    EXPECT_FALSE(f->Data.Modified);
    EXPECT_TRUE(f->Options == o);
    f->close();
    EXPECT_TRUE(P.Asked.isEmpty()) << "no question about saving";
    EXPECT_EQ(FileBytes(P.File(QStringLiteral("user.tvk"))), list);
}

TEST_F(ViewedFace, GoToTimeShowsTheInstantTypedInTheCityChosen) {
    P.Now = Utc(2026, 12, 8, 12, 0);
    auto f = StartDigital(P);
    QMenu* popup = Child<QMenu>(f.get(), "TavikPopupMenu");
    QAction* go = Child<QAction>(popup, "GoToTime1");
    ASSERT_TRUE(popup->actions().contains(go));
    EXPECT_TRUE(go->text().remove(QLatin1Char('&')).startsWith(QStringLiteral("Go to Time")));
    go->trigger();
    auto* form = f->findChild<TGoToTimeForm*>();
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(form->isVisible());
    EXPECT_TRUE(form->isModal());
    EXPECT_EQ(form->TimeEdit->text(), QStringLiteral("12:00"));
    // 9:30 in Lagos, My City, +1: 8:30 in London.
    form->DateEdit->setText(QStringLiteral("9 Dec 2026"));
    form->TimeEdit->setText(QStringLiteral("9:30"));
    QTest::mouseClick(form->MyCityRadio, Qt::LeftButton, Qt::NoModifier,
                      QPoint(8, form->MyCityRadio->height() / 2));
    QTest::mouseClick(form->OkButton, Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(f->CurrentCityTimeLabel->text(), QStringLiteral("8:30"));
    EXPECT_EQ(f->CurrentCityDateLabel->text(), QStringLiteral("Wed 9 Dec 2026"));
    EXPECT_EQ(f->ViewOffsetLabel->text(), QStringLiteral("+20 h 30 min"));

    // Cancel leaves the face where it was.
    go->trigger();
    EXPECT_EQ(form->TimeEdit->text(), QStringLiteral("8:30")) << "opens with what the face shows";
    form->TimeEdit->setText(QStringLiteral("23:00"));
    QTest::mouseClick(form->CancelButton, Qt::LeftButton);
    EXPECT_EQ(f->CurrentCityTimeLabel->text(), QStringLiteral("8:30"));
    EXPECT_FALSE(f->Data.Modified);
}
