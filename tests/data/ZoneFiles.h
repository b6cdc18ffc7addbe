#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Compiled zone files written by the tests, and a zone folder of their own.

struct TZifType {
    std::int32_t Offset = 0;
    bool IsDst = false;
    std::uint8_t Abbr = 0; // index into the designation bytes
};

struct TZifLayout {
    char Version = '2'; // '\0' writes a version 1 file: one 32-bit block, no TZ string
    std::vector<TZifType> Types;
    std::string Chars;
    std::vector<std::pair<std::int64_t, unsigned>> Transitions; // instant, type index
    int Leaps = 0;                // leap-second records to write (the reader skips them)
    bool Indicators = false;      // write the standard/wall and UT/local indicator arrays
    int OldBlockTransitions = -1; // transitions repeated in the 32-bit block; -1 = all
    std::string Footer;
};

inline void PutBe(std::string& out, std::uint64_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out += static_cast<char>((v >> (8 * i)) & 0xff);
}

inline std::string TZifBlock(const TZifLayout& s, int timeSize, std::size_t transitions) {
    const auto types = static_cast<std::uint32_t>(s.Types.size());
    const std::uint32_t indicators = s.Indicators ? types : 0;
    std::string out = "TZif";
    out += s.Version;
    out.append(15, '\0');
    for (std::uint64_t count :
         {std::uint64_t{indicators}, std::uint64_t{indicators}, std::uint64_t(s.Leaps),
          std::uint64_t{transitions}, std::uint64_t{types}, std::uint64_t{s.Chars.size()}})
        PutBe(out, count, 4);
    for (std::size_t i = 0; i < transitions; ++i)
        PutBe(out, static_cast<std::uint64_t>(s.Transitions[i].first), timeSize);
    for (std::size_t i = 0; i < transitions; ++i)
        out += static_cast<char>(s.Transitions[i].second);
    for (const TZifType& t : s.Types) {
        PutBe(out, static_cast<std::uint32_t>(t.Offset), 4);
        out += static_cast<char>(t.IsDst ? 1 : 0);
        out += static_cast<char>(t.Abbr);
    }
    out += s.Chars;
    for (int i = 0; i < s.Leaps; ++i) {
        PutBe(out, static_cast<std::uint64_t>(78796800 + 15778800 * i), timeSize);
        PutBe(out, static_cast<std::uint64_t>(i + 1), 4);
    }
    out.append(indicators * 2, '\0');
    return out;
}

inline std::string BuildTZif(const TZifLayout& s) {
    const std::size_t old = s.OldBlockTransitions < 0
                                ? s.Transitions.size()
                                : static_cast<std::size_t>(s.OldBlockTransitions);
    std::string out = TZifBlock(s, 4, old);
    if (s.Version == '\0')
        return out;
    return out + TZifBlock(s, 8, s.Transitions.size()) + "\n" + s.Footer + "\n";
}

inline void WriteFile(const std::filesystem::path& p, const std::string& bytes) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Points the zone folder somewhere else for as long as it lives; "" means the usual folder.
class TScopedTzdir {
public:
    explicit TScopedTzdir(const std::string& dir) {
        if (const char* old = std::getenv("TZDIR"))
            Old_ = old;
        ::setenv("TZDIR", dir.c_str(), 1);
    }
    ~TScopedTzdir() {
        if (Old_)
            ::setenv("TZDIR", Old_->c_str(), 1);
        else
            ::unsetenv("TZDIR");
    }
    TScopedTzdir(const TScopedTzdir&) = delete;
    TScopedTzdir& operator=(const TScopedTzdir&) = delete;

private:
    std::optional<std::string> Old_;
};
