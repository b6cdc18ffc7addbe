#pragma once

#include "data/AnsiTextU.h"
#include "data/ByteIoU.h"
#include "data/LocationCollectionU.h"
#include "data/StreamU.h"

#include <cstdint>
#include <string>

// A short string of capacity c: a length byte and c character bytes, the unused ones zero.
inline void PutShortString(std::uint8_t* p, std::size_t capacity, const std::string& s) {
    const std::size_t n = std::min(s.size(), capacity);
    p[0] = static_cast<std::uint8_t>(n);
    std::memcpy(p + 1, s.data(), n);
    std::memset(p + 1 + n, 0, capacity - n);
}

// A length byte beyond the capacity reads as the capacity.
inline std::string GetShortString(const std::uint8_t* p, std::size_t capacity) {
    const std::size_t n = std::min<std::size_t>(p[0], capacity);
    return std::string(reinterpret_cast<const char*>(p + 1), n);
}

inline void WriteCount(TOutStream& stream, int count) {
    std::uint8_t b[4];
    PutI32(b, count);
    stream.WriteBuffer(b, 4);
}

// A negative count reads as none. Records are read one by one, so a count larger than the
// stream holds ends in EReadError after the records that are there.
// Reads a short string into a field in place, as stored or trimmed of blanks and control
// characters on both sides.
inline void AssignShortString(std::string& to, const std::uint8_t* p, std::size_t capacity) {
    to.assign(reinterpret_cast<const char*>(p + 1), std::min<std::size_t>(p[0], capacity));
}
inline void AssignTrimmedShortString(std::string& to, const std::uint8_t* p, std::size_t capacity) {
    std::size_t b = 1, e = 1 + std::min<std::size_t>(p[0], capacity);
    while (b < e && p[b] <= 32)
        ++b;
    while (e > b && p[e - 1] <= 32)
        --e;
    to.assign(reinterpret_cast<const char*>(p + b), e - b);
}

template <std::size_t RecordSize, typename T, typename Decode>
void LoadBlock(TInStream& stream, TLocationCollection<T>& into, Decode decode) {
    std::uint8_t b[RecordSize];
    stream.ReadBuffer(b, 4);
    const std::int32_t count = GetI32(b);
    if (count <= 0)
        return;
    // Never more room than the bytes at hand can fill, whatever the count says.
    const std::size_t whole =
        std::min<std::size_t>(static_cast<std::size_t>(count), stream.Remaining() / RecordSize);
    into.Reserve(whole);
    // The records that are surely there are decoded in place, the rest one by one.
    if (const std::uint8_t* block = stream.Take(whole * RecordSize)) {
        for (std::size_t i = 0; i < whole; ++i)
            decode(block + i * RecordSize, into.Add());
    } else {
        for (std::size_t i = 0; i < whole; ++i) {
            stream.ReadBuffer(b, RecordSize);
            decode(b, into.Add());
        }
    }
    for (std::int32_t i = static_cast<std::int32_t>(whole); i < count; ++i) {
        stream.ReadBuffer(b, RecordSize);
        decode(b, into.Add());
    }
}

template <std::size_t RecordSize, typename T, typename Encode>
void SaveBlock(TOutStream& stream, const TLocationCollection<T>& from, Encode encode) {
    WriteCount(stream, from.Count());
    std::uint8_t b[RecordSize];
    for (const auto& item : from) {
        encode(*item, b);
        stream.WriteBuffer(b, RecordSize);
    }
}
