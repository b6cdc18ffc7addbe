#pragma once

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

// File and stream failures carry the exact texts the windows show.
class EStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class EReadError : public EStreamError {
public:
    EReadError() : EStreamError("Stream read error") {}
};
class EWriteError : public EStreamError {
public:
    EWriteError() : EStreamError("Stream write error") {}
};
class EFCreateError : public EStreamError {
public:
    explicit EFCreateError(const std::string& fileName)
        : EStreamError("Cannot create file " + fileName) {}
};
class EFOpenError : public EStreamError {
public:
    explicit EFOpenError(const std::string& fileName)
        : EStreamError("Cannot open file " + fileName) {}
};

class TInStream {
public:
    virtual ~TInStream() = default;
    // Reads up to n bytes and answers how many arrived.
    virtual std::size_t Read(void* buffer, std::size_t n) = 0;
    // Reads exactly n bytes or throws EReadError.
    void ReadBuffer(void* buffer, std::size_t n);
    // Bytes left to read, as far as the stream knows; a bound for reserving, never a promise.
    virtual std::size_t Remaining() const { return 0; }
    // The next n bytes in place when the stream holds them in memory, else nullptr (nothing
    // is consumed then).
    virtual const std::uint8_t* Take(std::size_t) { return nullptr; }
};

class TOutStream {
public:
    virtual ~TOutStream() = default;
    // Writes all n bytes or throws EWriteError.
    virtual void WriteBuffer(const void* buffer, std::size_t n) = 0;
};

class TMemoryInStream : public TInStream {
public:
    TMemoryInStream(const void* data, std::size_t size)
        : Data(static_cast<const std::uint8_t*>(data)), Size(size) {}
    explicit TMemoryInStream(const std::vector<std::uint8_t>& bytes)
        : TMemoryInStream(bytes.data(), bytes.size()) {}
    std::size_t Read(void* buffer, std::size_t n) override;
    std::size_t Remaining() const override { return Size - Pos; }
    const std::uint8_t* Take(std::size_t n) override;
    std::size_t Position() const { return Pos; }

private:
    const std::uint8_t* Data;
    std::size_t Size;
    std::size_t Pos = 0;
};

class TMemoryOutStream : public TOutStream {
public:
    void WriteBuffer(const void* buffer, std::size_t n) override;
    std::vector<std::uint8_t> Bytes;
};

// Reads at most limit bytes of a regular file, and never more than the size it had when opened
// (a file that grows meanwhile cannot make a reader run away). Anything but a regular file (a
// folder, a FIFO, a device) is refused before it is opened, so nothing blocks or is consumed.
// Throws EFOpenError when the file cannot be opened and EReadError when reading fails.
std::vector<std::uint8_t> ReadFileBytes(const std::string& fileName, std::size_t limit);
std::vector<std::uint8_t> ReadWholeFile(const std::string& fileName);
// Whether the file is a regular file that can be opened for reading; nothing is read.
bool CanOpenForReading(const std::string& fileName);

// Where a save to fileName lands: the end of its chain of symbolic links (the name itself when it
// is no link), so that saving keeps a link and updates the file it points to.
std::string ResolveSaveTarget(const std::string& fileName);
// The one-generation backup that a save keeping backups leaves beside the file it writes.
std::string BackupFileName(const std::string& fileName);

enum class TBackup { None, Keep };

// Replaces a file only once its new content is safely on disk: writes a temporary file beside the
// file (beside a link's target), flushes it and renames it over the file, keeping its permission
// bits; a new file gets the usual ones. With TBackup::Keep the replaced content first goes to
// BackupFileName, itself replaced atomically; when that cannot be made nothing is changed.
// A failure leaves the old file as it was and no temporary behind.
// When no temporary can be made beside a file the user may write (a read-only folder), the file
// is written in place instead, emptied first and put back when the write fails. With
// TBackup::Keep that happens only after the backup has been written over an existing backup
// file; without one that the user may write, nothing changes (EFCreateError with its name).
// Throws EFCreateError (with the file's or the backup's name) or EWriteError.
void ReplaceFileContent(const std::string& fileName, const std::vector<std::uint8_t>& bytes,
                        TBackup backup = TBackup::None);

// Removes from folder the temporary files that saves which never finished (a crash, a kill) left
// behind; a temporary that a running save still writes is left alone. Answers how many went.
int RemoveStaleTempFiles(const std::string& folder);
