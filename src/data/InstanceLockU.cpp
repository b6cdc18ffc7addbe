#include "InstanceLockU.h"

#include "StreamU.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string OpenName(const std::string& folder) {
    return folder.empty() ? std::string(".") : folder;
}

bool SameFolder(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    return ::stat(OpenName(a).c_str(), &sa) == 0 && ::stat(OpenName(b).c_str(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

} // namespace

TInstanceLock::~TInstanceLock() {
    Release();
}

TInstanceLock::TResult TInstanceLock::Acquire(const std::string& folder) {
    // Close-on-exec: a program started from the clock must not keep the folder locked.
    const int fd = ::open(OpenName(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return TResult::Unavailable;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return TResult::Unavailable;
    }
    // Known by the folder itself, however its name is spelled: a second lock of ours on it
    // would only block us.
    for (const THeld& h : Held)
        if (h.Device == st.st_dev && h.Inode == st.st_ino) {
            ::close(fd);
            return TResult::Acquired;
        }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool busy = errno == EWOULDBLOCK;
        ::close(fd);
        return busy ? TResult::HeldElsewhere : TResult::Unavailable;
    }
    Held.push_back({st.st_dev, st.st_ino, fd});
    return TResult::Acquired;
}

void TInstanceLock::Release() {
    for (const THeld& h : Held)
        ::close(h.Fd);
    Held.clear();
}

TFolderClaim ClaimDataFolder(const std::string& folder, const std::string& cityListFile,
                             TInstanceLock& lock) {
    TFolderClaim claim;
    const std::vector<std::string> folders{folder, FolderOf(ResolveSaveTarget(cityListFile))};
    for (const std::string& f : folders) {
        if (lock.Acquire(f) == TInstanceLock::TResult::HeldElsewhere) {
            lock.Release();
            claim.MayRun = false;
            claim.Message = "Tavik is already running with " + cityListFile + ".";
            return claim;
        }
    }
    claim.StaleFilesRemoved = RemoveStaleTempFiles(folders[0]);
    if (!SameFolder(folders[0], folders[1]))
        claim.StaleFilesRemoved += RemoveStaleTempFiles(folders[1]);
    return claim;
}
