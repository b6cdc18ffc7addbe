#include "data/StreamU.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

void TInStream::ReadBuffer(void* buffer, std::size_t n) {
    if (Read(buffer, n) != n)
        throw EReadError();
}

std::size_t TMemoryInStream::Read(void* buffer, std::size_t n) {
    const std::size_t k = std::min(n, Size - Pos);
    if (k > 0)
        std::memcpy(buffer, Data + Pos, k);
    Pos += k;
    return k;
}

const std::uint8_t* TMemoryInStream::Take(std::size_t n) {
    if (n > Size - Pos)
        return nullptr;
    const std::uint8_t* p = Data + Pos;
    Pos += n;
    return p;
}

void TMemoryOutStream::WriteBuffer(const void* buffer, std::size_t n) {
    const auto* p = static_cast<const std::uint8_t*>(buffer);
    Bytes.insert(Bytes.end(), p, p + n);
}

namespace {

// Looked at before opening: opening a FIFO can block and opening a device can have effects.
int OpenRegularForReading(const std::string& fileName, struct stat& st) {
    if (::stat(fileName.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return -1;
    // The name may have been pointed elsewhere in between.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool WriteAll(int fd, const std::uint8_t* p, std::size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return false;
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

// Copies size bytes from one file to another, from where each stands.
bool CopyAll(int from, int to, std::uint64_t size) {
    std::vector<std::uint8_t> buffer(std::size_t{1} << 16);
    while (size > 0) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(size, buffer.size()));
        const ssize_t n = ::read(from, buffer.data(), want);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) // the file shrank meanwhile: its copy would not be whole
            return false;
        if (!WriteAll(to, buffer.data(), static_cast<std::size_t>(n)))
            return false;
        size -= static_cast<std::uint64_t>(n);
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void SyncFolder(const std::string& folder) {
    const int dir =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

// Temporary files are ".tavik-" and six letters or digits, as mkstemp makes them.
constexpr char TempPrefix[] = ".tavik-";
constexpr std::size_t TempPrefixLength = sizeof TempPrefix - 1;

bool IsTempName(const char* name) {
    if (std::strncmp(name, TempPrefix, TempPrefixLength) != 0 ||
        std::strlen(name) != TempPrefixLength + 6)
        return false;
    return std::all_of(name + TempPrefixLength, name + TempPrefixLength + 6, [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

using TFill = std::function<bool(int fd)>;

// A content written completely into a temporary file beside the target, flushed and held
// locked, so that the stale-file cleanup of another start leaves it alone until it is renamed.
class TTempFile {
public:
    TTempFile(const std::string& folder, mode_t mode, const struct stat* old) {
        std::string pattern = folder + TempPrefix + "XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        Fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (Fd < 0) {
            Error = errno;
            return;
        }
        Name.assign(name.data());
        ::flock(Fd, LOCK_EX);
        // The replaced file's group where the system lets us (chown may clear mode bits, so
        // first); when it does not, the file simply gets the user's group.
        if (old != nullptr) {
            [[maybe_unused]] const bool sameGroup =
                ::fchown(Fd, static_cast<uid_t>(-1), old->st_gid) == 0;
        }
        ::fchmod(Fd, mode);
    }
    ~TTempFile() {
        if (Fd >= 0) {
            if (!Renamed)
                ::unlink(Name.c_str());
            ::close(Fd);
        }
    }
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;

    bool Made() const { return Fd >= 0; }
    bool Fill(const TFill& fill) { return fill(Fd) && ::fsync(Fd) == 0; }
    // Renamed while still open and locked; closing comes after.
    bool RenameTo(const std::string& target) {
        Renamed = ::rename(Name.c_str(), target.c_str()) == 0;
        return Renamed;
    }
    int Error = 0;

private:
    int Fd = -1;
    std::string Name;
    bool Renamed = false;
};

// Writes a content over an existing file without replacing it. Room for a longer content is
// claimed first, so that a full disk stops the write before any byte has changed.
bool FillInPlace(const std::string& path, std::uint64_t size, const TFill& fill) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (ok && size > static_cast<std::uint64_t>(st.st_size) &&
        ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) != 0)
        ok = errno == EOPNOTSUPP || errno == ENOSYS || errno == EINVAL; // no way to ask
    ok = ok && fill(fd) && ::ftruncate(fd, static_cast<off_t>(size)) == 0 && ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

// Writes a new content over the file itself, emptied first: a write cut short then leaves a
// beginning that the reader refuses, never old records behind new ones that it would accept.
// When the write fails the old content is put back.
bool RewriteInPlace(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::vector<std::uint8_t> old;
    try {
        old = ReadWholeFile(path);
    } catch (const EStreamError&) {
        return false;
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st {};
    // Room for the new content is claimed first, so that a full disk stops before a byte is
    // written; the old content goes back into the room it just left.
    auto write = [fd](const std::vector<std::uint8_t>& b, bool claim) {
        if (::ftruncate(fd, 0) != 0)
            return false;
        if (claim && !b.empty() &&
            ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(b.size())) != 0 &&
            errno != EOPNOTSUPP && errno != ENOSYS && errno != EINVAL)
            return false;
        return ::lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, b.data(), b.size()) &&
               ::fsync(fd) == 0;
    };
    const bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && write(bytes, true);
    if (!ok && S_ISREG(st.st_mode))
        write(old, false);
    return ::close(fd) == 0 && ok;
}

TFill FromBytes(const std::vector<std::uint8_t>& bytes) {
    return [&bytes](int fd) { return WriteAll(fd, bytes.data(), bytes.size()); };
}

// The replaced file's content, read afresh for each attempt.
TFill FromFile(const std::string& path, std::uint64_t size) {
    return [path, size](int fd) {
        struct stat st {};
        const int from = OpenRegularForReading(path, st);
        if (from < 0)
            return false;
        const bool ok = static_cast<std::uint64_t>(st.st_size) == size && CopyAll(from, fd, size);
        ::close(from);
        return ok;
    };
}

} // namespace

std::vector<std::uint8_t> ReadFileBytes(const std::string& fileName, std::size_t limit) {
    struct stat st {};
    const int fd = OpenRegularForReading(fileName, st);
    if (fd < 0)
        throw EFOpenError(fileName);
    const std::size_t size = static_cast<std::size_t>(
        std::min<std::uint64_t>(static_cast<std::uint64_t>(st.st_size), limit));
    std::vector<std::uint8_t> bytes(size);
    std::size_t used = 0;
    while (used < size) {
        const ssize_t n = ::read(fd, bytes.data() + used, size - used);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            throw EReadError();
        }
        if (n == 0)
            break; // shorter now than when opened
        used += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytes.resize(used);
    return bytes;
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& fileName) {
    return ReadFileBytes(fileName, SIZE_MAX);
}

bool CanOpenForReading(const std::string& fileName) {
    struct stat st {};
    const int fd = OpenRegularForReading(fileName, st);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

std::string ResolveSaveTarget(const std::string& fileName) {
    std::string path = fileName;
    // As many links as the system follows itself; a longer chain fails when it is opened.
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            break;
        char link[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), link, sizeof link);
        if (n <= 0 || static_cast<std::size_t>(n) >= sizeof link)
            break;
        const std::string to(link, static_cast<std::size_t>(n));
        path = to[0] == '/' ? to : FolderOf(path) + to;
    }
    return path;
}

std::string BackupFileName(const std::string& fileName) {
    return ResolveSaveTarget(fileName) + ".bak";
}

void ReplaceFileContent(const std::string& fileName, const std::vector<std::uint8_t>& bytes,
                        TBackup backup) {
    const std::string target = ResolveSaveTarget(fileName);
    const std::string folder = FolderOf(target);
    const std::string backupName = target + ".bak";
    // Only a regular file the user may write is replaced, as a plain create would.
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (!exists && errno != ENOENT)
        throw EFCreateError(fileName);
    if (exists && (!S_ISREG(st.st_mode) || ::access(target.c_str(), W_OK) != 0))
        throw EFCreateError(fileName);
    const bool keepBackup = exists && backup == TBackup::Keep;
    const auto oldSize = static_cast<std::uint64_t>(exists ? st.st_size : 0);

    TTempFile temp(folder, exists ? st.st_mode & 07777 : NewFileMode(), exists ? &st : nullptr);
    if (!temp.Made()) {
        // A folder closed to the user may still hold a file the user may write.
        if (!exists || (temp.Error != EACCES && temp.Error != EPERM))
            throw EFCreateError(fileName);
        // Written in place, the file is at risk while it is written: only with its backup
        // complete on disk beforehand, in the backup file that is already there.
        if (keepBackup) {
            struct stat b {};
            if (::stat(backupName.c_str(), &b) != 0 || !S_ISREG(b.st_mode) ||
                ::access(backupName.c_str(), W_OK) != 0)
                throw EFCreateError(backupName);
            if (!FillInPlace(backupName, oldSize, FromFile(target, oldSize)))
                throw EWriteError();
        }
        if (!RewriteInPlace(target, bytes))
            throw EWriteError();
        return;
    }
    if (!temp.Fill(FromBytes(bytes)))
        throw EWriteError();
    if (keepBackup) {
        TTempFile copy(folder, st.st_mode & 07777, &st);
        if (!copy.Made() || !copy.Fill(FromFile(target, oldSize)) || !copy.RenameTo(backupName))
            throw EFCreateError(backupName);
    }
    if (!temp.RenameTo(target))
        throw EWriteError();
    // The renames last only once the folder is on disk too.
    SyncFolder(folder);
}

int RemoveStaleTempFiles(const std::string& folder) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr)
        return 0;
    const int dirFd = ::dirfd(dir);
    int removed = 0;
    while (const dirent* e = ::readdir(dir)) {
        if (!IsTempName(e->d_name))
            continue;
        const int fd =
            ::openat(dirFd, e->d_name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
        if (fd < 0)
            continue;
        // Only the user's own regular files that no running save holds, and only while the name
        // still means the file that was checked.
        struct stat st {};
        struct stat now {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(dirFd, e->d_name, &now, AT_SYMLINK_NOFOLLOW) == 0 &&
            now.st_ino == st.st_ino && now.st_dev == st.st_dev &&
            ::unlinkat(dirFd, e->d_name, 0) == 0)
            ++removed;
        ::close(fd);
    }
    ::closedir(dir);
    return removed;
}
