#pragma once

#include <QString>
#include <functional>

// Where the program's files are. "user.tvk" and "tavikprefs" live in the program's folder
// while the user can write there (a build or a portable folder). An installed program keeps
// them in the user's own data folder instead, so that every user has their own city list and
// nothing is ever written into the installation.

// The shipped default database and the documentation of an installed program, found from the
// folder of its executable, so an installation can be moved to another prefix as a whole.
QString InstalledDataDir(const QString& exeDir);
QString InstalledDocDir(const QString& exeDir);

// The user's data folder for the program: $XDG_DATA_HOME/tavik, by default ~/.local/share/tavik.
QString UserDataDir();

// Whether the current user may create files in the folder.
bool FolderIsWritable(const QString& dir);

// The folder for the data file and the preferences, with a trailing separator.
// It is the executable's folder when that folder is writable and is not part of an installation
// (whose default database lies in InstalledDataDir). Otherwise it is userDir, created when
// missing; a missing "user.tvk" there starts as a copy of the shipped "default.tvk" (beside
// the executable or in InstalledDataDir). An existing "user.tvk" is never replaced.
QString ChooseDataFolder(const QString& exeDir, const QString& userDir,
                         const std::function<bool(const QString&)>& isWritable = FolderIsWritable);

// The shipped "default.tvk": beside the executable, else in InstalledDataDir; empty when neither
// is there.
QString DefaultWorldFile(const QString& exeDir);

// Why the program cannot keep its files in the folder, in words that name the folder and the
// reason; empty when it can. A missing folder is made first.
QString DataFolderProblem(const QString& dir);

// What Help > Contents hands to the desktop: "Tavik.chm" in the data folder or beside the
// executable when it is there, else the user guide of the installation or the build, else the
// path of "Tavik.chm" all the same (the desktop then shows nothing, and nothing is reported).
QString HelpContentsPath(const QString& programDir, const QString& exeDir);
