#include "data/TimeZoneFileU.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t HeaderSize = 44;
// The largest zone files are a few tens of kilobytes; anything far bigger is not one.
constexpr std::size_t MaxZoneFileSize = 1u << 20;
// The widest offsets a zone file may hold: -24:59:59 .. +25:59:59.
constexpr std::int32_t MinOffset = -89999;
constexpr std::int32_t MaxOffset = 93599;

const char* const CutShort = "the zone file is cut short";
const char* const Damaged = "the zone file is damaged";

std::uint32_t Be32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | static_cast<std::uint32_t>(p[3]);
}

std::uint64_t Be64(const unsigned char* p) {
    return static_cast<std::uint64_t>(Be32(p)) << 32 | Be32(p + 4);
}

struct THeader {
    int Version = 0;
    std::uint32_t IsUtCount = 0, IsStdCount = 0, LeapCount = 0, TimeCount = 0, TypeCount = 0,
                  CharCount = 0;

    // Bytes of the data block that follows the header, with times of the given width.
    std::uint64_t BlockSize(std::uint64_t timeSize) const {
        return std::uint64_t{TimeCount} * timeSize + TimeCount + std::uint64_t{TypeCount} * 6 +
               CharCount + std::uint64_t{LeapCount} * (timeSize + 4) + IsStdCount + IsUtCount;
    }
};

// Reads the header at pos; false with why when the bytes are no zone header.
bool ReadHeader(std::string_view b, std::size_t pos, THeader& h, std::string& why) {
    if (b.size() - pos < HeaderSize) {
        // A short file that does not even begin like a zone file is no zone file.
        const std::string_view head = b.substr(pos, 4);
        why = pos == 0 && head != std::string_view("TZif").substr(0, head.size())
                  ? "not a compiled zone file"
                  : CutShort;
        return false;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(b.data() + pos);
    if (b.substr(pos, 4) != "TZif") {
        why = pos == 0 ? "not a compiled zone file" : Damaged;
        return false;
    }
    if (p[4] == 0)
        h.Version = 1;
    else if (p[4] >= '2' && p[4] <= '9')
        h.Version = p[4] - '0';
    else {
        why = "the zone file is of an unknown version";
        return false;
    }
    h.IsUtCount = Be32(p + 20);
    h.IsStdCount = Be32(p + 24);
    h.LeapCount = Be32(p + 28);
    h.TimeCount = Be32(p + 32);
    h.TypeCount = Be32(p + 36);
    h.CharCount = Be32(p + 40);
    return true;
}

// The 64-bit data block at pos (just after its header); pos moves past it.
bool ReadBlock(std::string_view b, std::size_t& pos, const THeader& h, TZoneFile& z,
               std::string& why) {
    if (h.BlockSize(8) > b.size() - pos) {
        why = CutShort;
        return false;
    }
    if (h.TypeCount == 0 || (h.IsUtCount != 0 && h.IsUtCount != h.TypeCount) ||
        (h.IsStdCount != 0 && h.IsStdCount != h.TypeCount)) {
        why = Damaged;
        return false;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(b.data() + pos);
    const unsigned char* times = p;
    const unsigned char* indices = times + std::size_t{h.TimeCount} * 8;
    const unsigned char* types = indices + h.TimeCount;

    struct TType {
        std::int32_t Offset;
        bool IsDst;
    };
    std::vector<TType> typeList;
    typeList.reserve(h.TypeCount);
    for (std::uint32_t i = 0; i < h.TypeCount; ++i) {
        const unsigned char* t = types + std::size_t{i} * 6;
        const auto offset = static_cast<std::int32_t>(Be32(t));
        if (offset < MinOffset || offset > MaxOffset) {
            why = Damaged;
            return false;
        }
        typeList.push_back({offset, t[4] != 0});
    }
    z.InitialOffset = typeList[0].Offset;
    z.Transitions.clear();
    z.Transitions.reserve(h.TimeCount);
    for (std::uint32_t i = 0; i < h.TimeCount; ++i) {
        const auto at = static_cast<std::int64_t>(Be64(times + std::size_t{i} * 8));
        const unsigned idx = indices[i];
        if (idx >= h.TypeCount || (!z.Transitions.empty() && at <= z.Transitions.back().At)) {
            why = Damaged;
            return false;
        }
        z.Transitions.push_back({at, typeList[idx].Offset, typeList[idx].IsDst});
    }
    pos += static_cast<std::size_t>(h.BlockSize(8));
    return true;
}

// The footer: a newline, the TZ string, a newline, and the end of the file.
bool ReadFooter(std::string_view b, std::size_t pos, TZoneFile& z, std::string& why) {
    const std::string_view rest = b.substr(pos);
    if (rest.empty() || rest[0] != '\n') {
        why = rest.empty() ? CutShort : Damaged;
        return false;
    }
    const std::size_t close = rest.find('\n', 1);
    if (close == std::string_view::npos) {
        why = CutShort;
        return false;
    }
    const std::string_view tz = rest.substr(1, close - 1);
    if (close + 1 != rest.size() ||
        std::any_of(tz.begin(), tz.end(), [](char c) { return c < 0x20 || c > 0x7e; })) {
        why = Damaged;
        return false;
    }
    z.Footer = std::string(tz);
    return true;
}

} // namespace

std::string ZoneInfoDir() {
    const char* dir = std::getenv("TZDIR");
    return dir && *dir ? dir : "/usr/share/zoneinfo";
}

bool IsZoneName(const std::string& name) {
    if (name.empty() || name.size() > 255)
        return false;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = name.find('/', start);
        const std::string part = name.substr(start, slash - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        for (char c : part)
            if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                  c == '_' || c == '-' || c == '+' || c == '.'))
                return false;
        if (slash == std::string::npos)
            return true;
        start = slash + 1;
    }
}

bool ParseZoneFile(std::string_view b, TZoneFile& out, std::string& why) {
    THeader h1;
    if (!ReadHeader(b, 0, h1, why))
        return false;
    if (h1.Version < 2) {
        why = "a version 1 zone file, which gives no rules for the years ahead";
        return false;
    }
    // The 32-bit block is there for old readers only; the 64-bit one repeats all of it.
    if (h1.BlockSize(4) > b.size() - HeaderSize) {
        why = CutShort;
        return false;
    }
    std::size_t pos = HeaderSize + static_cast<std::size_t>(h1.BlockSize(4));
    THeader h2;
    if (!ReadHeader(b, pos, h2, why))
        return false;
    if (h2.Version != h1.Version) {
        why = Damaged;
        return false;
    }
    pos += HeaderSize;
    TZoneFile z;
    z.Version = h1.Version;
    if (!ReadBlock(b, pos, h2, z, why) || !ReadFooter(b, pos, z, why))
        return false;
    out = std::move(z);
    return true;
}

bool ReadZoneFile(const std::string& path, TZoneFile& out, std::string& why) {
    std::error_code ec;
    // A device or a pipe under the name would never end; only plain files are read.
    if (!fs::is_regular_file(path, ec)) {
        why = "no such zone file";
        return false;
    }
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec || size > MaxZoneFileSize) {
        why = ec ? "the zone file cannot be read" : "too large for a zone file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    // One byte more than the size told: a file that grew meanwhile is not taken half-read.
    std::string bytes(static_cast<std::size_t>(size) + 1, '\0');
    if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())).eof() ||
        in.bad()) {
        why = "the zone file cannot be read";
        return false;
    }
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return ParseZoneFile(bytes, out, why);
}

bool ReadZone(const std::string& name, TZoneFile& out, std::string& why) {
    if (!IsZoneName(name)) {
        why = "not a zone name";
        return false;
    }
    const fs::path path = fs::path(ZoneInfoDir()) / name;
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        why = "no such zone";
        return false;
    }
    return ReadZoneFile(path.string(), out, why);
}

namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

// Reads the lines of a text file that are not comments; nothing when it is missing.
std::vector<std::string> DataLines(const fs::path& file) {
    std::vector<std::string> lines;
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        return lines;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] != '#')
            lines.push_back(line);
    }
    return lines;
}

bool IsCountryCode(const std::string& s) {
    return s.size() == 2 && s[0] >= 'A' && s[0] <= 'Z' && s[1] >= 'A' && s[1] <= 'Z';
}

} // namespace

std::vector<TZoneName> ListZones(const std::string& dir) {
    std::map<std::string, TZoneName> byName;
    auto entry = [&](const std::string& name) -> TZoneName* {
        if (!IsZoneName(name))
            return nullptr;
        TZoneName& z = byName[name];
        z.Name = name;
        return &z;
    };
    for (const std::string& line : DataLines(fs::path(dir) / "tzdata.zi")) {
        std::istringstream words(line);
        std::string kind, a, b;
        words >> kind >> a >> b;
        if (kind == "Z")
            entry(a);
        else if (kind == "L")
            entry(b);
    }
    int order = 0;
    for (const char* tab : {"zone.tab", "zone1970.tab"}) {
        for (const std::string& line : DataLines(fs::path(dir) / tab)) {
            const std::vector<std::string> f = SplitTabs(line);
            if (f.size() < 3)
                continue;
            TZoneName* z = entry(f[2]);
            if (!z)
                continue;
            std::istringstream codes(f[0]);
            std::string code;
            bool any = false;
            while (std::getline(codes, code, ','))
                if (IsCountryCode(code)) {
                    any = true;
                    if (std::find(z->Countries.begin(), z->Countries.end(), code) ==
                        z->Countries.end())
                        z->Countries.push_back(code);
                }
            if (any && z->TabOrder < 0)
                z->TabOrder = order;
            ++order;
        }
    }
    std::vector<TZoneName> zones;
    zones.reserve(byName.size());
    for (auto& [name, z] : byName)
        zones.push_back(std::move(z));
    return zones;
}

std::vector<TZoneName> ZonesCountryFirst(std::vector<TZoneName> zones, const std::string& code) {
    auto serves = [&](const TZoneName& z) {
        return std::find(z.Countries.begin(), z.Countries.end(), code) != z.Countries.end();
    };
    const auto split = std::stable_partition(zones.begin(), zones.end(), serves);
    // The country's own zones before those it shares with a neighbour (Europe/Zurich serves
    // Germany too, and stands earlier in zone.tab than Europe/Berlin).
    std::stable_sort(zones.begin(), split, [&](const TZoneName& a, const TZoneName& b) {
        const bool ownA = a.Countries.front() == code, ownB = b.Countries.front() == code;
        if (ownA != ownB)
            return ownA;
        return a.TabOrder < b.TabOrder;
    });
    return zones;
}
