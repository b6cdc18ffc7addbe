#include "FakePlatform.h"
#include "TestWorld.h"
#include "about/SplashU.h"
#include "clock/SkinU.h"
#include "clock/TavikU.h"
#include "widgets/DataFolderU.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// A tree of its own: a program folder, the shared files of an installation and a home.
class DataFolder : public ::testing::Test {
protected:
    QString At(const QString& relative) const { return Root.filePath(relative); }
    static void Write(const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray Read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QStringList Entries(const QString& dir) {
        return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
    static QString Slash(const QString& dir) { return dir + QDir::separator(); }
    // An installed program: its executable in bin, the default database where it ships.
    QString Install() {
        const QString bin = At(QStringLiteral("usr/bin"));
        Write(bin + QStringLiteral("/tavik"), "program");
        const QString shipped = InstalledDataDir(bin) + QStringLiteral("/default.tvk");
        QDir().mkpath(QFileInfo(shipped).path());
        WriteTestWorld(shipped.toStdString(), 2);
        return bin;
    }

    QTemporaryDir Root;
    const QString Home = At(QStringLiteral("home/.local/share/tavik"));
};

bool Never(const QString&) {
    return false;
}

TEST_F(DataFolder, BuildAndPortableFoldersKeepTheirFilesBesideTheProgram) {
    const QString bin = At(QStringLiteral("build/bin"));
    Write(bin + QStringLiteral("/default.tvk"), "shipped");
    Write(bin + QStringLiteral("/user.tvk"), "mine");
    EXPECT_EQ(ChooseDataFolder(bin, Home), Slash(bin));
    // A folder with the program alone is still the program's own.
    const QString bare = At(QStringLiteral("portable"));
    QDir().mkpath(bare);
    EXPECT_EQ(ChooseDataFolder(bare, Home), Slash(bare));
    EXPECT_FALSE(QFileInfo::exists(Home)) << "nothing made in the home";
    EXPECT_EQ(Read(bin + QStringLiteral("/user.tvk")), "mine");
    // Without a user folder to go to, the program's folder it stays.
    EXPECT_EQ(ChooseDataFolder(bin, QString(), Never), Slash(bin));
}

TEST_F(DataFolder, InstalledProgramSeedsTheUserFolderOnceFromTheDefault) {
    const QString bin = Install();
    const QString shipped = InstalledDataDir(bin) + QStringLiteral("/default.tvk");
    const QByteArray world = Read(shipped);
    // Installed, even where the user could write (root, or a prefix in the home).
    QFile::setPermissions(shipped, QFileDevice::ReadOwner | QFileDevice::ReadOther);
    EXPECT_EQ(ChooseDataFolder(bin, Home), Slash(Home));
    const QString user = Home + QStringLiteral("/user.tvk");
    EXPECT_EQ(Read(user), world);
    EXPECT_TRUE(QFile::permissions(user) & QFileDevice::WriteOwner) << "the copy is the user's";
    // The user's own file is never replaced.
    Write(user, "mine");
    EXPECT_EQ(ChooseDataFolder(bin, Home), Slash(Home));
    EXPECT_EQ(Read(user), "mine");
    EXPECT_EQ(Entries(bin), QStringList{QStringLiteral("tavik")});
    EXPECT_EQ(Entries(InstalledDataDir(bin)), QStringList{QStringLiteral("default.tvk")});
}

TEST_F(DataFolder, ReadOnlyProgramFolderSeedsFromTheDefaultBesideIt) {
    const QString folder = At(QStringLiteral("opt/tavik"));
    Write(folder + QStringLiteral("/default.tvk"), "shipped");
    EXPECT_EQ(ChooseDataFolder(folder, Home, Never), Slash(Home));
    EXPECT_EQ(Read(Home + QStringLiteral("/user.tvk")), "shipped");
    EXPECT_EQ(Entries(folder), QStringList{QStringLiteral("default.tvk")});

    // Nothing shipped at all: an empty user folder, and the start asks for a file.
    const QString other = At(QStringLiteral("other/.local/share/tavik"));
    EXPECT_EQ(ChooseDataFolder(At(QStringLiteral("nowhere")), other, Never), Slash(other));
    EXPECT_TRUE(QFileInfo(other).isDir());
    EXPECT_TRUE(Entries(other).isEmpty());
}

TEST_F(DataFolder, AFolderWithoutWritePermissionIsNotTheDataFolder) {
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    const QString folder = At(QStringLiteral("opt/tavik"));
    Write(folder + QStringLiteral("/default.tvk"), "shipped");
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(FolderIsWritable(folder));
    EXPECT_EQ(ChooseDataFolder(folder, Home), Slash(Home));
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_TRUE(FolderIsWritable(folder));
}

TEST_F(DataFolder, TheUserFolderFollowsXdgDataHome) {
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", At(QStringLiteral("xdg")).toUtf8());
    EXPECT_EQ(UserDataDir(), At(QStringLiteral("xdg/tavik")));
    if (saved.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", saved);
}

TEST_F(DataFolder, InstalledProgramSavesAndKeepsPreferencesInTheUserFolder) {
    const QString bin = Install();
    const QString shared = InstalledDataDir(bin);
    const QByteArray world = Read(shared + QStringLiteral("/default.tvk"));
    TFakePlatform p;
    p.Platform.ProgramDir = ChooseDataFolder(bin, Home);
    const QString user = p.Platform.ProgramDir + QStringLiteral("user.tvk");
    {
        TTavikForm f(p.Platform, TSkin::Standard());
        ASSERT_FALSE(f.EndRequested());
        EXPECT_EQ(f.Data.MyCity->LongName, "Kathmandu") << "read from the seeded copy";
        EXPECT_EQ(f.OpenDialog.InitialDir, p.Platform.ProgramDir);
        EXPECT_EQ(f.SaveDialog.FileName, user);
        f.Data.Cities.Items(0).LongName = "Londinium";
        f.Data.Modified = true;
        p.Answers = {TAnswer::Yes};
        EXPECT_TRUE(f.close());
    }
    EXPECT_NE(Read(user), world);
    EXPECT_EQ(QFileInfo(Home + QStringLiteral("/tavikprefs")).size(), 27);
    EXPECT_EQ(Entries(bin), QStringList{QStringLiteral("tavik")});
    EXPECT_EQ(Entries(shared), QStringList{QStringLiteral("default.tvk")});
    EXPECT_EQ(Read(shared + QStringLiteral("/default.tvk")), world);

    // The next start finds the saved list and keeps it.
    p.Platform.ProgramDir = ChooseDataFolder(bin, Home);
    TTavikForm again(p.Platform, TSkin::Standard());
    EXPECT_EQ(again.Data.Cities.Items(0).LongName, "Londinium");
}

TEST_F(DataFolder, HelpContentsPrefersTavikChmThenTheGuide) {
    const QString bin = At(QStringLiteral("usr/bin"));
    QDir().mkpath(bin);
    const QString data = Slash(Home);
    EXPECT_EQ(HelpContentsPath(data, bin), data + QStringLiteral("Tavik.chm"))
        << "nothing to show: the path is handed over all the same";
    const QString guide = InstalledDocDir(bin) + QStringLiteral("/guide/index.html");
    Write(guide, "<html></html>");
    EXPECT_EQ(HelpContentsPath(data, bin), guide);
    Write(bin + QStringLiteral("/Tavik.chm"), "help");
    EXPECT_EQ(HelpContentsPath(data, bin), bin + QStringLiteral("/Tavik.chm"));
    Write(data + QStringLiteral("Tavik.chm"), "help");
    EXPECT_EQ(HelpContentsPath(data, bin), data + QStringLiteral("Tavik.chm"));
}

TEST_F(DataFolder, HelpContentsOpensTavikChmOrElseTheGuideOfTheBuild) {
    TFakePlatform p;
    WriteTestWorld(p.File(QStringLiteral("user.tvk")).toStdString(), 1);
    TTavikForm f(p.Platform, TSkin::Standard());
    QAction* contents = f.findChild<QAction*>(QStringLiteral("Contents1"));
    ASSERT_NE(contents, nullptr);

    contents->trigger();
    ASSERT_EQ(p.Opened.size(), 1);
    EXPECT_TRUE(p.Opened[0].endsWith(QStringLiteral("/guide/index.html")))
        << p.Opened[0].toStdString();
    EXPECT_TRUE(QFileInfo(p.Opened[0]).isFile()) << "the build carries its guide";
    EXPECT_FALSE(f.Options.StayOnTop);
    EXPECT_FALSE(f.AlwaysonTop1->isChecked());

    f.AlwaysonTop1->trigger();
    ASSERT_TRUE(f.Options.StayOnTop);
    Write(p.File(QStringLiteral("Tavik.chm")), "help");
    contents->trigger();
    EXPECT_EQ(p.Opened.last(), p.File(QStringLiteral("Tavik.chm")));
    EXPECT_FALSE(f.Options.StayOnTop);
    EXPECT_FALSE(f.Data.Modified);
}

TEST(About, NamesTheLicenceAndTheVersion) {
    TSplashForm about;
    const auto* version = about.findChild<QLabel*>(QStringLiteral("VersionLabel"));
    const auto* legal = about.findChild<QLabel*>(QStringLiteral("LegalLabel"));
    ASSERT_TRUE(version && legal);
    EXPECT_TRUE(
        version->text().endsWith(QStringLiteral("version ") + QStringLiteral(TAVIK_VERSION)))
        << version->text().toStdString();
    EXPECT_TRUE(
        legal->text().contains(QStringLiteral("GNU General Public License, version 3 or later")));
}

} // namespace

TEST_F(DataFolder, HelpThatTheDesktopCannotOpenSaysWhereTheGuideIs) {
    TFakePlatform p;
    p.ShellOpens = false; // no program on the desktop opens the guide
    WriteTestWorld(p.File(QStringLiteral("user.tvk")).toStdString(), 1);
    TTavikForm f(p.Platform, TSkin::Standard());
    ASSERT_TRUE(f.Options.StayOnTop);
    Write(p.File(QStringLiteral("Tavik.chm")), "help");
    f.findChild<QAction*>(QStringLiteral("Contents1"))->trigger();
    ASSERT_EQ(p.Shown.size(), 1);
    EXPECT_EQ(p.Shown[0], QStringLiteral("The user guide is at ") +
                              QDir::toNativeSeparators(p.File(QStringLiteral("Tavik.chm"))));
    EXPECT_TRUE(f.Options.StayOnTop) << "nothing opened: the clock stays as it was";
    EXPECT_TRUE(f.AlwaysonTop1->isChecked());
}

TEST_F(DataFolder, AFolderThatCannotBeMadeOrWrittenIsToldInWords) {
    const QString fine = At(QStringLiteral("home/data/tavik"));
    EXPECT_EQ(DataFolderProblem(fine), QString()) << "made when missing";
    EXPECT_TRUE(QFileInfo(fine).isDir());
    EXPECT_TRUE(Entries(fine).isEmpty()) << "the check leaves nothing behind";

    // Under a file: no folder can be made there, whoever runs the test.
    Write(At(QStringLiteral("home/blocked")), "a file");
    const QString under = At(QStringLiteral("home/blocked/tavik"));
    const QString problem = DataFolderProblem(under);
    EXPECT_TRUE(problem.contains(QDir::toNativeSeparators(under))) << problem.toStdString();
    EXPECT_TRUE(problem.contains(QStringLiteral("Not a directory"))) << problem.toStdString();
}

TEST_F(DataFolder, AFolderWithoutWritePermissionIsToldInWords) {
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    const QString locked = At(QStringLiteral("home/locked"));
    QDir().mkpath(locked);
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QString inLocked = DataFolderProblem(locked);
    EXPECT_TRUE(inLocked.contains(QStringLiteral("Permission denied"))) << inLocked.toStdString();
    EXPECT_FALSE(DataFolderProblem(locked + QStringLiteral("/tavik")).isEmpty());
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}
