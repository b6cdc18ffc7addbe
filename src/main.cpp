#include "FirstStartU.h"
#include "MyCityMessageU.h"
#include "PlatformU.h"
#include "SelectCityU.h"
#include "SkinU.h"
#include "SplashU.h"
#include "TavikU.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavik"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/skin/tavik.png")));

    // Every window exists once for the whole run and is only shown and hidden.
    const TPlatform platform = RealPlatform();
    TTavikForm form(platform, TSkin::Standard());
    if (form.EndRequested())
        return 0;
    TSplashForm splash;
    TSelectCityForm select(&form);
    TMyCityMessageForm message;
    form.SetSelectCityForm(&select);
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

    if (form.Data.MyCity == nullptr && !RunFirstStart(form, message, select))
        return 0;

    form.show();
    return app.exec();
}
