#include "data/InstanceLockU.h"

#include "data/StreamU.h"

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

int TInstanceLock::Find(dev_t device, ino_t inode) const {
    for (std::size_t i = 0; i < Held.size(); ++i)
        if (Held[i].Device == device && Held[i].Inode == inode)
            return static_cast<int>(i);
    return -1;
}

TInstanceLock::TResult TInstanceLock::HoldAlso(const std::vector<std::string>& folders,
                                               std::size_t* busy) {
    std::vector<THeld> wanted; // the ones already held are only marked
    std::vector<int> fresh;    // descriptors locked in this call
    auto undo = [&] {
        for (int fd : fresh)
            ::close(fd);
    };
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const int fd = ::open(OpenName(folders[i]).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        struct stat st {};
        if (fd < 0)
            continue;
        if (::fstat(fd, &st) != 0) {
            ::close(fd);
            continue;
        }
        bool known = Find(st.st_dev, st.st_ino) >= 0;
        for (const THeld& w : wanted)
            known = known || (w.Device == st.st_dev && w.Inode == st.st_ino);
        if (known) {
            wanted.push_back({st.st_dev, st.st_ino, -1, true});
            ::close(fd);
            continue;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const bool isBusy = errno == EWOULDBLOCK;
            ::close(fd);
            if (isBusy) {
                undo();
                if (busy != nullptr)
                    *busy = i;
                return TResult::HeldElsewhere;
            }
            continue;
        }
        fresh.push_back(fd);
        wanted.push_back({st.st_dev, st.st_ino, fd, true});
    }
    // Extra folders no longer wanted go; the folders of the start always stay.
    std::vector<THeld> kept;
    for (const THeld& h : Held) {
        bool stays = !h.Also;
        for (const THeld& w : wanted)
            stays = stays || (w.Device == h.Device && w.Inode == h.Inode);
        if (stays)
            kept.push_back(h);
        else
            ::close(h.Fd);
    }
    for (const THeld& w : wanted)
        if (w.Fd >= 0)
            kept.push_back(w);
    Held = kept;
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

std::string ClaimCityLists(const std::vector<std::string>& cityListFiles, TInstanceLock& lock) {
    std::vector<std::string> folders;
    for (const std::string& file : cityListFiles) {
        folders.push_back(FolderOf(file));
        folders.push_back(FolderOf(ResolveSaveTarget(file)));
    }
    std::size_t busy = 0;
    if (lock.HoldAlso(folders, &busy) != TInstanceLock::TResult::HeldElsewhere)
        return {};
    return "Tavik is already running with " + cityListFiles[busy / 2] + ".";
}
