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
    // Holds these folders besides those acquired with Acquire, and lets go of the ones an
    // earlier call held that are not among them. When another process holds one of them,
    // nothing changes, the answer is HeldElsewhere and busy (when given) tells which one; a
    // folder that cannot be locked is passed.
    TResult HoldAlso(const std::vector<std::string>& folders, std::size_t* busy = nullptr);

private:
    struct THeld {
        dev_t Device;
        ino_t Inode;
        int Fd;
        bool Also = false; // held through HoldAlso
    };
    int Find(dev_t device, ino_t inode) const;
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

// Claims, for a running clock, the folders of the city lists it works on besides its data folder
// (each file's folder and, for a link, its target's), letting go of those it claimed before
// for other lists. When another clock holds one of them, nothing changes and the answer is the
// message to show ("Tavik is already running with FILE."); otherwise it is empty.
std::string ClaimCityLists(const std::vector<std::string>& cityListFiles, TInstanceLock& lock);
