// The face turned forward and back from now: the wheel, the keys, Go to Time, and the ways back.
#include "clock/FaceLayoutU.h"
#include "clock/GoToTimeU.h"
#include "clock/TavikU.h"

#include "widgets/QtTextU.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>

using namespace FaceLayout;

namespace {

constexpr int WheelNotch = 120; // a wheel's click; touchpads send parts of one

} // namespace

void TTavikForm::CreateViewedTimeControls() {
    ViewOffsetLabel = new QLabel(SkinImage);
    ViewOffsetLabel->setObjectName(QStringLiteral("ViewOffsetLabel"));
    ViewOffsetLabel->setFont(PalatinoBold(ViewOffsetPixels));
    // Clicks go through to the face, which returns to now on a click here.
    ViewOffsetLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette pal = ViewOffsetLabel->palette();
    pal.setColor(QPalette::WindowText, QColor(0xA0, 0x20, 0x20)); // apart from the face's texts
    ViewOffsetLabel->setPalette(pal);
    ViewOffsetLabel->setAccessibleName(QStringLiteral("Offset from now"));
    ViewOffsetLabel->hide();
}

void TTavikForm::StepViewedTime(int steps, bool quarter) {
    if (Viewed.Step(steps, quarter, Platform_.Clock->NowUtc()))
        ViewedTimeMoved();
}

void TTavikForm::ShowViewedInstant(TDateTime utc) {
    if (Viewed.GoTo(utc, Platform_.Clock->NowUtc()))
        ViewedTimeMoved();
}

void TTavikForm::BackToNow1Click() {
    if (Viewed.BackToNow())
        ViewedTimeMoved();
}

bool TTavikForm::ReturnToNowWhenIdle() {
    if (!Viewed.ReturnWhenIdle(Platform_.Clock->NowUtc()))
        return false;
    ShowViewedOffset();
    return true;
}

void TTavikForm::ViewedTimeMoved() {
    ShowViewedOffset();
    // What the face shows follows in the repaint; the labels are checked there as at the turn
    // of a minute, and rebuilt only when a column, a band or a caption has changed.
    RedrawDial();
}

void TTavikForm::ShowViewedOffset() {
    const std::int64_t offset = Viewed.OffsetSeconds();
    const QString caption = QString::fromStdString(ViewedOffsetCaption(offset));
    if (ViewOffsetLabel->text() != caption) {
        ViewOffsetLabel->setText(caption);
        ViewOffsetLabel->adjustSize();
        ViewOffsetLabel->setAccessibleDescription(
            QString::fromStdString(ViewedOffsetWords(offset)));
    }
    ViewOffsetLabel->setVisible(Viewed.Viewing());
    PositionViewOffsetLabel();
    BackToNow1->setEnabled(Viewed.Viewing());
    SpeechShown = false; // its words tell the distance
}

void TTavikForm::PositionViewOffsetLabel() {
    if (Options.AnalogClock) {
        // The time is read from the dial: the caption takes the corner across from the date.
        ViewOffsetLabel->move(SkinImage->width() - ViewOffsetRightMargin - ViewOffsetLabel->width(),
                              ViewOffsetAnalogTop);
        return;
    }
    // After the time on its line, past the widest time of the format, so that it stands still
    // while the seconds run.
    TDateTime widest = 0;
    TryEncodeDateTime(2026, 12, 8, 22, 58, 58, 0, widest);
    const QFontMetrics time(CurrentCityTimeLabel->font());
    const int width = time.horizontalAdvance(ToQ(FormatDateTimeText(TimeFormat, widest, Locale)));
    const int top =
        CurrentCityTimeLabel->y() + time.ascent() - QFontMetrics(ViewOffsetLabel->font()).ascent();
    ViewOffsetLabel->move(SkinWidth / 2 + width / 2 + ViewOffsetGap, top);
}

bool TTavikForm::OnViewedTime(int x, int y) const {
    const QPoint p(x, y);
    if (ViewOffsetLabel->isVisible() &&
        ViewOffsetLabel->geometry().adjusted(-4, -4, 4, 4).contains(p))
        return true;
    return CurrentCityTimeLabel->isVisible() && CurrentCityTimeLabel->geometry().contains(p);
}

void TTavikForm::SkinImageWheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers) {
    // Some desktops turn a wheel with Shift held into a sideways one.
    const int turn = angleDelta.y() != 0 ? angleDelta.y() : angleDelta.x();
    if (turn == 0)
        return;
    if ((WheelRest < 0 && turn > 0) || (WheelRest > 0 && turn < 0))
        WheelRest = 0; // turned the other way: the part of a step gathered so far goes
    WheelRest += turn;
    const int steps = WheelRest / WheelNotch;
    WheelRest -= steps * WheelNotch;
    if (steps != 0)
        StepViewedTime(steps, modifiers.testFlag(Qt::ShiftModifier));
}

bool TTavikForm::ViewedTimeKey(const QKeyEvent* e) {
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    const bool arrow = e->key() == Qt::Key_Left || e->key() == Qt::Key_Right;
    if (arrow &&
        (mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier))) {
        StepViewedTime(e->key() == Qt::Key_Right ? 1 : -1, mods.testFlag(Qt::ShiftModifier));
        return true;
    }
    if (e->key() == Qt::Key_Escape && mods == Qt::NoModifier && Viewed.Viewing()) {
        BackToNow1Click();
        return true;
    }
    return false;
}

void TTavikForm::GoToTime1Click() {
    if (GoToTimeForm == nullptr) {
        GoToTimeForm = new TGoToTimeForm(Platform_, this);
        connect(GoToTimeForm, &QDialog::accepted, this, [this] {
            if (const std::optional<TDateTime> utc = GoToTimeForm->ChosenUtc())
                ShowViewedInstant(*utc);
        });
    }
    TGoToTimeContext c;
    c.Data = &Data;
    c.CurrentCity = Data.CurrentCity;
    c.MyCity = Data.MyCity;
    c.FaceUtc = FaceNow();
    c.DateStyle = Options.DateStyle;
    c.TwelveHour = Options.TimeStyle == 0;
    c.Locale = Locale;
    GoToTimeForm->Prepare(c);
    GoToTimeForm->move(frameGeometry().topLeft()); // where the companion windows open
    GoToTimeForm->open();
}
