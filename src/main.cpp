#include "FirstStartU.h"
#include "InstanceLockU.h"
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
    // One clock per data folder, held for the whole run; a second one ends before it reads or
    // writes anything. Leftovers of saves that a crash cut short are cleared here.
    TInstanceLock folderLock;
    const QString cityList = platform.ProgramDir + QStringLiteral("user.tvk");
    const TFolderClaim claim =
        ClaimDataFolder(platform.ProgramDir.toStdString(), cityList.toStdString(), folderLock);
    if (!claim.MayRun) {
        platform.Messages->Show(nullptr, QString::fromStdString(claim.Message));
        return 0;
    }
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
