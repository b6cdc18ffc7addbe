#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// One running clock per data folder. The lock is an advisory lock on the folder itself: it needs
// no file of its own (so it also works in a folder the user cannot write), and the system drops it
// with the process however that ends, so a crash never leaves a lock behind.
class TInstanceLock {
public:
    enum class TResult {
        Acquired,      // this process holds the folder (or held it already)
        HeldElsewhere, // another process, or another lock object, holds it
        Unavailable    // the folder cannot be opened or locked: nothing is known
    };

    TInstanceLock() = default;
    ~TInstanceLock();
    TInstanceLock(const TInstanceLock&) = delete;
    TInstanceLock& operator=(const TInstanceLock&) = delete;

    // Adds a folder to the ones this object holds.
    TResult Acquire(const std::string& folder);
    // Lets every folder go.
    void Release();

private:
    struct THeld {
        dev_t Device;
        ino_t Inode;
        int Fd;
    };
    std::vector<THeld> Held;
};

// What starting the clock on a data folder may do.
struct TFolderClaim {
    bool MayRun = true;
    // Set when another clock already runs with the city list; it names the file.
    std::string Message;
    int StaleFilesRemoved = 0;
};

// Claims the data folder and, when the city list is a link, the folder it really lives in, then
// removes the stale temporary files of unfinished saves from both. When another clock holds
// either folder nothing is touched and MayRun is false. A folder that cannot be locked does not
// stop the start.
TFolderClaim ClaimDataFolder(const std::string& folder, const std::string& cityListFile,
                             TInstanceLock& lock);
