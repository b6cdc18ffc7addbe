#include "CompanionWindowsU.h"
#include "clock/SkinU.h"
#include "clock/TavikU.h"
#include "data/InstanceLockU.h"
#include "widgets/AccessibilityU.h"
#include "widgets/DataFolderU.h"
#include "widgets/PlatformChoiceU.h"
#include "widgets/PlatformU.h"

#include <QApplication>

int main(int argc, char** argv) {
    ApplyQtPlatformChoice(); // before Qt picks a window system
    QApplication app(argc, argv);
    InstallAccessibleInterfaces();
    QApplication::setApplicationName(QStringLiteral("Tavik"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/skin/tavik.png")));

    // Every window exists once for the whole run and is only shown and hidden.
    const TPlatform platform = RealPlatform();
    // Without a folder to keep its files in, the clock could neither read nor save them.
    if (const QString problem = DataFolderProblem(platform.ProgramDir); !problem.isEmpty()) {
        platform.Messages->Show(nullptr, problem);
        return 1;
    }
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
    form.FolderLock = &folderLock;
    TCompanionWindows companions(form);
    form.SetCompanions(&companions);

    companions.RunStartupScreen();
    if (form.EndRequested() || (form.Data.MyCity == nullptr && !companions.RunFirstStart()))
        return 0;

    form.show();
    companions.NoteZoneDifferences();
    const int result = app.exec();
    form.SetCompanions(nullptr); // the companions go first
    return result;
}
