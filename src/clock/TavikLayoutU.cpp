#include "clock/TavikU.h"

#include "clock/FaceLayoutU.h"
#include "clock/SkinU.h"
#include "clock/WindowPlacementU.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QWindow>

// The face laid out for the options, the window's place on the desktop, its drag, and the
// preferences that keep both.

using namespace FaceLayout;

// --- Layout ----------------------------------------------------------------------------------

void TTavikForm::ApplyDisplayOptions(const TDisplayOptions& source) {
    Options = source;
    CurrentCityDateLabel->setVisible(Options.ShowDate);
    CurrentCityTimeLabel->setVisible(!Options.AnalogClock);
    TimeFormat = TimeFormatFor(Options, TimeFormat);
    DateFormat = DateFormatFor(Options, LocaleLongDateFormat, DateFormat);
    CurrentAirportLabel->setVisible(Options.ShowAirportName);
    CurrentStateLabel->setVisible(Options.ShowStateName);
    if (!Options.AnalogClock)
        DifferenceMyCityLabel->hide(); // shown by hovering in the analog layout only

    const bool docked = Options.Docked != 0;
    const bool topmost = Options.StayOnTop != 0;
    const Qt::WindowFlags old = windowFlags();
    Qt::WindowFlags flags = old;
    flags.setFlag(Qt::FramelessWindowHint, docked);
    flags.setFlag(Qt::WindowStaysOnTopHint, topmost);
    if (flags != old) {
        const bool wasVisible = isVisible();
        const QPoint at = pos();
        setWindowFlags(flags); // hides the window
        move(at);
        if (wasVisible)
            show();
        if (wasVisible && Companions != nullptr)
            Companions->KeepAboveHost();
    }
    TavikMainMenu->setVisible(!docked);
    for (QAction* a : TavikMainMenu->actions())
        a->setVisible(!docked);
    RefreshDial();
    // A window docked against an edge would get its title bar back beyond that edge.
    if (old.testFlag(Qt::FramelessWindowHint) && !docked)
        KeepFrameInWorkArea();
}

void TTavikForm::KeepFrameInWorkArea() {
    const QRect frame = frameGeometry();
    const QPoint at = KeptInside(frame, Platform_.Screen->WorkAreaAt(frame.center()));
    if (at != frame.topLeft())
        move(at);
    // The desktop tells the size of the frame only once the window is up; check again then.
    FrameCheckPending = !isVisible() || frame == geometry();
}

void TTavikForm::SetTopmost(bool topmost) {
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == topmost)
        return;
    const bool wasVisible = isVisible();
    const QPoint at = pos();
    setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
    move(at);
    if (wasVisible)
        show();
    if (wasVisible && Companions != nullptr)
        Companions->KeepAboveHost();
}

void TTavikForm::FitClientSize() {
    ResizeAllowed = true;
    const int height =
        (Options.AnalogClock ? SizeOf(Skin.TopLarge).height() : SizeOf(Skin.TopSmall).height()) +
        (Options.ShowCities ? SizeOf(Skin.BottomLarge).height()
                            : SizeOf(Skin.BottomSmall).height());
    const int width = Options.Docked ? SizeOf(Skin.TopLarge).width() : FramedWidth;
    SkinImage->setFixedSize(width, height);
    layout()->activate();
    ResizeAllowed = false;
}

void TTavikForm::PositionCentreLabels() {
    const int base = Options.AnalogClock ? AnalogCaptionsTop
                                         : DigitalCaptionsTop - SizeOf(Skin.TopLarge).height() +
                                               SizeOf(Skin.TopSmall).height();
    SunImage->move(SunImage->x(), base + DayNightBelowTop);
    MoonImage->move(MoonImage->x(), base + DayNightBelowTop);
    CurrentCityLabel->move(CityCaptionLeft, base);
    CurrentCountryLabel->move(CurrentCountryLabel->x(), base);
    CurrentCityTimeLabel->move(CurrentCityTimeLabel->x(), base + TimeBelowTop);
    CurrentAirportLabel->move(AirportCaptionLeft, base + SecondLineBelowTop);
    CurrentStateLabel->move(CurrentStateLabel->x(), base + SecondLineBelowTop);
    DeltaImage->move(DeltaImage->x(), base + DeltaBelowTop);
    DifferenceMyCityLabel->move(DifferenceMyCityLabel->x(), base - DifferenceAboveTop);

    const QColor dateColour = Options.AnalogClock ? QColor(0x58, 0x58, 0x58) : TextColour();
    if (CurrentCityDateLabel->palette().color(QPalette::WindowText) != dateColour) {
        QPalette pal = CurrentCityDateLabel->palette();
        pal.setColor(QPalette::WindowText, dateColour);
        CurrentCityDateLabel->setPalette(pal);
    }
    if (Options.AnalogClock) {
        CurrentCityDateLabel->move(AnalogDateLeft, AnalogDateTop);
    } else {
        CurrentCityDateLabel->adjustSize();
        CurrentCityDateLabel->move(SkinWidth / 2 - CurrentCityDateLabel->width() / 2,
                                   base + DigitalDateBelowTop);
    }

    const bool large = !Options.ShowDate && Options.TimeStyle == 1;
    const QFont timeFont = PalatinoBold(large ? LargeTimePixels : TimePixels);
    if (CurrentCityTimeLabel->font() != timeFont)
        CurrentCityTimeLabel->setFont(timeFont);
    const QFontMetrics fm(CurrentCityTimeLabel->font());
    CurrentCityTimeLabel->resize(TimeWidth, fm.height());
    CurrentCityTimeLabel->move(SkinWidth / 2 - CurrentCityTimeLabel->width() / 2,
                               CurrentCityTimeLabel->y());
    PositionViewOffsetLabel();
}

// --- Dragging and the painted names ----------------------------------------------------------

namespace {

bool IsMenuKey(const QKeyEvent* e) {
    return e->key() == Qt::Key_Menu ||
           (e->key() == Qt::Key_F10 && e->modifiers() == Qt::ShiftModifier);
}

bool StrictlyInside(const QWidget* w, int x, int y) {
    return w->x() < x && x < w->x() + w->width() && w->y() < y && y < w->y() + w->height();
}

} // namespace

QPoint TTavikForm::PopupPoint(int x, int y) const {
    return SkinImage->mapToGlobal(QPoint(x, y));
}

void TTavikForm::SkinImageMouseDown(Qt::MouseButton button, int x, int y) {
    if (button == Qt::LeftButton) {
        CentreByFramePending = false; // the user places it now
        PressedOnTime = Viewed.Viewing() && OnViewedTime(x, y);
        PressedFrom = pos();
        DragStartX = x;
        DragStartY = y;
        Dragging = true;
        return;
    }
    if (button != Qt::RightButton)
        return;
    if (StrictlyInside(CurrentCityLabel, x, y)) {
        PopupCity = Data.CurrentCity;
        RemovefromTavik1->setVisible(false);
        OpenCityPopup(PopupPoint(x, y));
    }
    if (StrictlyInside(CurrentCountryLabel, x, y))
        OpenCountryPopup(PopupPoint(x, y));
}

void TTavikForm::SkinImageMouseMove(int x, int y) {
    const QRect d = DeltaImage->geometry();
    const int m = DeltaHoverMargin;
    const bool near = Options.AnalogClock && d.left() - m <= x && x <= d.left() + d.width() + m &&
                      d.top() - m <= y && y <= d.top() + d.height() + m;
    DifferenceMyCityLabel->setVisible(near && DeltaImage->isVisible());
    if (!Dragging)
        return;
    if (!PlacesItself) {
        // Started at the first move, so that a click stays a click; the compositor takes the
        // pointer until the button is released.
        Dragging = false;
        ++SystemMovesAsked;
        if (QWindow* w = windowHandle())
            SystemMoveStarted = w->startSystemMove();
        return;
    }
    const QSize outer = frameGeometry().size();
    const TWindowPos to = SnappedDragPosition(
        {x + pos().x() - DragStartX, y + pos().y() - DragStartY}, outer.width(), outer.height(),
        AreaOf(Platform_.Screen->WorkArea()), Platform_.Screen->DesktopWidth());
    move(to.Left, to.Top);
}

void TTavikForm::SkinImageMouseUp() {
    Dragging = false;
    // A click on the time returns to now; a drag that started there moves the window.
    if (PressedOnTime && pos() == PressedFrom)
        BackToNow1Click();
    PressedOnTime = false;
}

void TTavikForm::OpenCityPopup(QPoint screenPos) {
    CityPopupMenu->popup(screenPos);
}

void TTavikForm::OpenCountryPopup(QPoint screenPos) {
    CountryPopupMenu->popup(screenPos);
}

void TTavikForm::keyPressEvent(QKeyEvent* e) {
    if (ViewedTimeKey(e))
        return;
    if (IsMenuKey(e)) {
        const QPoint at = SkinImage->mapTo(this, QPoint(SkinImage->width() / 2, 0));
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, mapToGlobal(at), e->modifiers());
        QCoreApplication::sendEvent(this, &menu);
        return;
    }
    QMainWindow::keyPressEvent(e);
}

void TTavikForm::contextMenuEvent(QContextMenuEvent* e) {
    if (e->reason() == QContextMenuEvent::Keyboard) {
        // Under the current city's name, where the keyboard is, and not at the mouse pointer
        // that some desktops hand along with the Menu key.
        const QPoint at(CurrentCityLabel->x(), CurrentCityLabel->y() + CurrentCityLabel->height());
        TavikPopupMenu->popup(SkinImage->mapToGlobal(at));
        return;
    }
    const QPoint p = SkinImage->mapFromGlobal(e->globalPos());
    if (StrictlyInside(CurrentCityLabel, p.x(), p.y()) ||
        StrictlyInside(CurrentCountryLabel, p.x(), p.y()))
        return; // the name's own menu is open
    TavikPopupMenu->popup(e->globalPos());
}

// --- Preferences -----------------------------------------------------------------------------

QString TTavikForm::PreferencesPath() const {
    return Platform_.ProgramDir + QLatin1String(TPreferencesFile::FileName);
}

QPoint TTavikForm::CentredPosition(QSize outer) const {
    return CentredOnWorkArea(Platform_, outer);
}

void TTavikForm::LoadPreferences() {
    TPreferencesFile p;
    p.Options = Options;
    bool centre = true;
    if (!ReadPreferencesFile(PreferencesPath().toStdString(), p)) {
        ResetPreferences();
    } else {
        Options = p.Options;
        if (p.ResetRequested != 0) {
            ResetPreferences();
        } else {
            // A place off the screens (a monitor since removed, a damaged file) would leave the
            // clock out of reach: its top edge must show.
            std::vector<TScreenArea> screens;
            for (const QRect& s : Platform_.Screen->ScreenGeometries())
                screens.push_back(AreaOf(s));
            // A top edge only just above a screen (a title bar pushed off by a panel) still
            // says where the user wants the clock; it is moved in below.
            centre = !StoredPlaceUsable(p.Left, p.Top, frameGeometry().width(), screens);
            if (!centre && PlacesItself)
                move(p.Left, p.Top);
            SyncViewMenuChecks();
        }
    }
    ApplyDisplayOptions(Options);
    // Centred by the size the options gave it, so that it truly stands in the middle; a
    // stored place is kept, as far as the whole window fits there.
    if (!PlacesItself)
        return; // the compositor places it
    if (centre) {
        move(CentredPosition(frameGeometry().size()));
        CentreByFramePending = frameGeometry() == geometry();
    } else
        KeepFrameInWorkArea();
}

void TTavikForm::SavePreferences() {
    TPreferencesFile p;
    p.Options = Options;
    p.Left = pos().x();
    p.Top = pos().y();
    if (!PlacesItself) {
        // The window cannot tell where it stands: the place stored before is kept for the
        // next start on X, and a first one is the middle.
        TPreferencesFile stored;
        const bool known = ReadPreferencesFile(PreferencesPath().toStdString(), stored);
        const QPoint centred = CentredPosition(frameGeometry().size());
        p.Left = known ? stored.Left : centred.x();
        p.Top = known ? stored.Top : centred.y();
    }
    WritePreferencesFile(PreferencesPath().toStdString(), p); // failures are ignored
}

void TTavikForm::ResetPreferences() {
    SetDefaults(Options);
    SyncViewMenuChecks();
    move(CentredPosition(frameGeometry().size()));
    CentreByFramePending = frameGeometry() == geometry();
}

void TTavikForm::SyncViewMenuChecks() {
    Dock1->setChecked(Options.Docked);
    Dock2->setChecked(Options.Docked);
    AnalogClock1->setChecked(Options.AnalogClock);
    AnalogClock2->setChecked(Options.AnalogClock);
    ShowCities1->setChecked(Options.ShowCities);
    ShowCities2->setChecked(Options.ShowCities);
    AlwaysonTop1->setChecked(Options.StayOnTop);
    AlwaysOnTop2->setChecked(Options.StayOnTop);
}
