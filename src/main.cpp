#include "PlatformU.h"
#include "SkinU.h"
#include "SplashU.h"
#include "TavikU.h"

#include <QApplication>

namespace {

// The first start, when the data names no My City, continues from here.
void RunFirstStart(TTavikForm&) {}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavik"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/skin/tavik.png")));

    const TPlatform platform = RealPlatform();
    TTavikForm form(platform, TSkin::Standard());
    if (form.EndRequested())
        return 0;
    TSplashForm splash;
    form.ShowAbout = [&] {
        splash.PrepareAbout(form.CentredPosition(QSize(473, 392)));
        splash.exec();
    };

    form.SetTopmost(false);
    splash.OnSplashTimer = [&] { form.SetTopmost(form.Options.StayOnTop); };
    splash.EnterStartupMode(form.CentredPosition(QSize(465, 281)));
    form.hide();
    splash.exec();
    splash.LeaveStartupMode();

    if (form.Data.MyCity == nullptr)
        RunFirstStart(form);

    form.show();
    return app.exec();
}
