#include "widgets/DataFolderU.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

// Set by the build from the install layout; these are the GNU defaults.
#ifndef TAVIK_BIN_TO_DATA
#define TAVIK_BIN_TO_DATA "../share/tavik"
#endif
#ifndef TAVIK_BIN_TO_DOC
#define TAVIK_BIN_TO_DOC "../share/doc/tavik"
#endif

namespace {

const QString UserFile = QStringLiteral("user.tvk");
const QString DefaultFile = QStringLiteral("default.tvk");
const QString HelpFile = QStringLiteral("Tavik.chm");

QString WithSeparator(const QString& dir) {
    QString d = QDir::toNativeSeparators(dir);
    if (!d.endsWith(QDir::separator()))
        d += QDir::separator();
    return d;
}

QString Beside(const QString& dir, const QString& name) {
    return WithSeparator(dir) + name;
}

bool IsFile(const QString& path) {
    return QFileInfo(path).isFile();
}

// A copy that is the user's own: writable by them whatever the shipped file's mode was.
void SeedFrom(const QString& source, const QString& target) {
    if (!QFile::copy(source, target))
        return; // the start then asks for a file, as with any missing data file
    QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::ReadOwner |
                                      QFileDevice::WriteOwner);
}

} // namespace

QString InstalledDataDir(const QString& exeDir) {
    return QDir::cleanPath(Beside(exeDir, QStringLiteral(TAVIK_BIN_TO_DATA)));
}

QString InstalledDocDir(const QString& exeDir) {
    return QDir::cleanPath(Beside(exeDir, QStringLiteral(TAVIK_BIN_TO_DOC)));
}

QString UserDataDir() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return base.isEmpty() ? QString() : base + QStringLiteral("/tavik");
}

bool FolderIsWritable(const QString& dir) {
    const QFileInfo info(dir);
    return info.isDir() && info.isWritable();
}

QString ChooseDataFolder(const QString& exeDir, const QString& userDir,
                         const std::function<bool(const QString&)>& isWritable) {
    const QString installedDefault = Beside(InstalledDataDir(exeDir), DefaultFile);
    const bool installed = IsFile(installedDefault);
    if ((!installed && isWritable(exeDir)) || userDir.isEmpty())
        return WithSeparator(exeDir);

    QDir().mkpath(userDir);
    const QString user = Beside(userDir, UserFile);
    if (!QFileInfo::exists(user)) {
        const QString shipped = Beside(exeDir, DefaultFile);
        if (IsFile(shipped))
            SeedFrom(shipped, user);
        else if (installed)
            SeedFrom(installedDefault, user);
    }
    return WithSeparator(userDir);
}

QString DefaultWorldFile(const QString& exeDir) {
    for (const QString& dir : {exeDir, InstalledDataDir(exeDir)})
        if (IsFile(Beside(dir, DefaultFile)))
            return Beside(dir, DefaultFile);
    return {};
}

QString HelpContentsPath(const QString& programDir, const QString& exeDir) {
    for (const QString& dir : {programDir, exeDir}) {
        if (IsFile(Beside(dir, HelpFile)))
            return Beside(dir, HelpFile);
    }
    const QString guide = InstalledDocDir(exeDir) + QStringLiteral("/guide/index.html");
    if (IsFile(guide))
        return QDir::toNativeSeparators(guide);
    return Beside(programDir, HelpFile);
}

QString DataFolderProblem(const QString& dir) {
    const QString shown = QDir::toNativeSeparators(QDir::cleanPath(dir));
    auto problem = [&](const std::string& reason) {
        return QStringLiteral("Tavik cannot keep its city list and preferences in the folder "
                              "%1: %2. Make the folder writable, or set XDG_DATA_HOME to a "
                              "folder that is, and start Tavik again.")
            .arg(shown, QString::fromLocal8Bit(reason.c_str()));
    };
    const std::filesystem::path path(QFile::encodeName(QDir::cleanPath(dir)).toStdString());
    std::error_code ec;
    if (!std::filesystem::is_directory(path, ec)) {
        std::filesystem::create_directories(path, ec);
        if (ec)
            return problem(ec.message());
    }
    // A file made and removed again: a read-only file system passes a permission check.
    const std::filesystem::path probe = path / (".tavik-write-check-" + std::to_string(getpid()));
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return problem(std::strerror(errno));
    ::close(fd);
    ::unlink(probe.c_str());
    return {};
}
