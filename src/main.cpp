#include "CompanionWindowsU.h"
#include "PlatformU.h"
#include "SkinU.h"
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
    TCompanionWindows companions(form);
    form.SetCompanions(&companions);

    companions.RunStartupScreen();
    if (form.EndRequested() || (form.Data.MyCity == nullptr && !companions.RunFirstStart()))
        return 0;

    form.show();
    const int result = app.exec();
    form.SetCompanions(nullptr); // the companions go first
    return result;
}
