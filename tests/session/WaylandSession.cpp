// The clock under a real compositor. Run by wayland-session.sh inside a headless weston with
// XWayland:
//   tavik-session-check x        the platform chosen with both there is X, where the window
//                                places itself
//   tavik-session-check wayland  with Wayland alone the window comes up without a warning, a
//                                drag hands the move to the compositor, the stored place stays
#include "FakePlatform.h"
#include "TestWorld.h"
#include "clock/SkinU.h"
#include "clock/TavikU.h"
#include "prefs/TavikOptionsU.h"
#include "widgets/PlatformChoiceU.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QWindow>
#include <cstdio>
#include <cstdlib>

namespace {

int Warnings = 0;

void Count(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtDebugMsg && type != QtInfoMsg) {
        ++Warnings;
        std::fprintf(stderr, "warning: %s\n", qPrintable(text));
    }
}

bool WaitFor(const std::function<bool()>& done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

int Fail(const char* what) {
    std::fprintf(stderr, "FAIL: %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "wayland")
        ::unsetenv("DISPLAY");
    ::unsetenv("QT_QPA_PLATFORM");
    ApplyQtPlatformChoice();
    qInstallMessageHandler(Count);
    QApplication app(argc, argv);
    const QString platform = QGuiApplication::platformName();
    std::printf("%s: Qt runs on %s\n", mode.c_str(), qPrintable(platform));

    TFakePlatform p;
    TryEncodeDateTime(2026, 12, 8, 4, 41, 27, 0, p.Now);
    WriteTestWorld(p.File(QStringLiteral("user.tvk")).toStdString(), 1);
    TPreferencesFile stored;
    SetDefaults(stored.Options);
    stored.Left = 123;
    stored.Top = 77;
    const std::string prefs = p.File(QLatin1String(TPreferencesFile::FileName)).toStdString();
    WritePreferencesFile(prefs, stored);

    TTavikForm f(p.Platform, TSkin::Standard());
    if (f.EndRequested())
        return Fail("the window did not start");
    f.LoadPreferences();
    f.show();
    if (!WaitFor([&] { return f.windowHandle() && f.windowHandle()->isExposed(); }))
        return Fail("the window was never shown");

    if (mode == "x") {
        if (platform != QStringLiteral("xcb"))
            return Fail("X was not chosen with both window systems there");
        if (!f.PlacesItself)
            return Fail("the window does not place itself on X");
        // On X the stored place is applied (the frame may be kept inside the work area).
        if (!WaitFor([&] { return f.pos() != QPoint(0, 0); }))
            return Fail("the stored place was not applied");
        const QPoint before = f.pos();
        f.move(before + QPoint(40, 30));
        if (!WaitFor([&] { return f.pos() == before + QPoint(40, 30); }))
            return Fail("the window could not be moved");
        std::printf("x: the window moved from %d,%d to %d,%d\n", before.x(), before.y(), f.x(),
                    f.y());
        return Warnings == 0 ? 0 : Fail("warnings were printed");
    }

    if (platform != QStringLiteral("wayland"))
        return Fail("Wayland alone did not give the Wayland platform");
    if (f.PlacesItself)
        return Fail("the window believes it can place itself on Wayland");
    // A click stays a click; the first move with the button down starts the compositor's move.
    QWidget* face = f.SkinImage;
    const QPointF at(300, 120);
    QMouseEvent press(QEvent::MouseButtonPress, at, face->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(face, &press);
    if (f.SystemMovesAsked != 0)
        return Fail("a press alone started a move");
    const QPoint placed = f.pos();
    QMouseEvent move(QEvent::MouseMove, at + QPointF(30, 20),
                     face->mapToGlobal(at + QPointF(30, 20)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(face, &move);
    QCoreApplication::sendEvent(face, &move);
    if (f.SystemMovesAsked != 1 || f.pos() != placed)
        return Fail("the drag was not handed to the compositor, once");
    QMouseEvent release(QEvent::MouseButtonRelease, at, face->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(face, &release);
    // A headless compositor has no pointer whose press could start the move: Qt then says no.
    std::printf("wayland: a drag asked the compositor to move the window (%s)\n",
                f.SystemMoveStarted ? "it moves it" : "no pointer here to move it with");
    // Docked, frameless, it is moved the same way.
    TDisplayOptions o = f.Options;
    o.Docked = 1;
    o.StayOnTop = 1;
    f.ApplyDisplayOptions(o);
    WaitFor([&] { return f.windowHandle() && f.windowHandle()->isExposed(); });
    QCoreApplication::sendEvent(f.SkinImage, &press);
    QCoreApplication::sendEvent(f.SkinImage, &move);
    if (f.SystemMovesAsked != 2)
        return Fail("the docked window's drag was not handed to the compositor");
    QCoreApplication::sendEvent(f.SkinImage, &release);
    // Where the window stands cannot be known: the place stored before is kept.
    f.SavePreferences();
    TPreferencesFile after;
    if (!ReadPreferencesFile(prefs, after) || after.Left != 123 || after.Top != 77)
        return Fail("the stored place was overwritten");
    if (after.Options.Docked != 1)
        return Fail("the options were not saved");
    QCoreApplication::processEvents();
    return Warnings == 0 ? 0 : Fail("warnings were printed");
}
