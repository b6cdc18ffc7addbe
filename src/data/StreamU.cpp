#include "StreamU.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
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

std::vector<std::uint8_t> ReadWholeFile(const std::string& fileName) {
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw EFOpenError(fileName);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        throw EFOpenError(fileName);
    }
    // Read straight into the buffer; the size is only a first guess, files may change.
    std::vector<std::uint8_t> bytes(st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1
                                                   : 4096);
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size())
            bytes.resize(bytes.size() * 2);
        const ssize_t n = ::read(fd, bytes.data() + used, bytes.size() - used);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            throw EReadError();
        }
        if (n == 0)
            break;
        used += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytes.resize(used);
    return bytes;
}

namespace {

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

} // namespace

void ReplaceFileContent(const std::string& fileName, const std::vector<std::uint8_t>& bytes) {
    // A directory or a read-only target cannot be replaced: report it as not creatable.
    struct stat st {};
    if (::stat(fileName.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode) || ::access(fileName.c_str(), W_OK) != 0)
            throw EFCreateError(fileName);
    }
    // A short name of its own in the same folder, so that long file names still fit.
    const std::size_t slash = fileName.find_last_of('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
    std::string temp = folder + ".tavik-XXXXXX";
    std::vector<char> pattern(temp.begin(), temp.end());
    pattern.push_back('\0');
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        throw EFCreateError(fileName);
    temp.assign(pattern.data());
    // Keep the permissions a plain create would give, or the old file's.
    mode_t mode = 0666;
    if (::stat(fileName.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    ::fchmod(fd, mode);
    const bool ok = WriteAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!ok || !closed || ::rename(temp.c_str(), fileName.c_str()) != 0) {
        ::unlink(temp.c_str());
        throw EWriteError();
    }
    // The rename itself lasts only once the folder is on disk too.
    const int dir =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}
