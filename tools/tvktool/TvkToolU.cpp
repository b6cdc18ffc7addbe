#include "TvkToolU.h"

#include "AnsiTextU.h"
#include "CityListU.h"
#include "DateTimeU.h"
#include "StreamU.h"
#include "WorldCheckU.h"
#include "WorldTablesU.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>

namespace {

const char* const Usage = "usage: tvktool dump FILE\n"
                          "       tvktool times FILE --utc YYYY-MM-DDTHH:MM:SSZ\n"
                          "       tvktool copy IN OUT\n"
                          "       tvktool build DIR OUT\n"
                          "       tvktool export FILE DIR\n"
                          "       tvktool check DIR [--sample N]\n";

std::string JsonString(const std::string& ansi) {
    const std::string utf8 = AnsiToUtf8(ansi);
    std::string out = "\"";
    for (unsigned char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char b[8];
            std::snprintf(b, sizeof b, "\\u%04x", c);
            out += b;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string JsonRule(const TSummerTimeRule& r) {
    return "{\"Kind\":" + std::to_string(r.Kind) + ",\"FixedDay\":" + std::to_string(r.FixedDay) +
           ",\"FixedMonth\":" + std::to_string(r.FixedMonth) +
           ",\"WeekOrdinal\":" + std::to_string(r.WeekOrdinal) +
           ",\"WeekDay\":" + std::to_string(r.WeekDay) +
           ",\"AfterDay\":" + std::to_string(r.AfterDay) +
           ",\"RuleMonth\":" + std::to_string(r.RuleMonth) +
           ",\"ChangeTime\":" + JsonNumber(r.ChangeTime) + "}";
}

template <typename Collection, typename Emit>
void DumpArray(std::ostream& out, const char* key, const Collection& items, Emit emit) {
    out << "\"" << key << "\":[";
    bool first = true;
    for (const auto& item : items) {
        out << (first ? "\n" : ",\n");
        first = false;
        emit(*item);
    }
    out << "]";
}

void Dump(const TCityList& d, std::ostream& out) {
    out << "{";
    DumpArray(out, "countries", d.Countries, [&](const TCountry& c) {
        out << "{\"UniqueId\":" << c.UniqueId << ",\"Name\":" << JsonString(c.Name)
            << ",\"Code\":" << JsonString(c.Code) << ",\"UTCOffset\":" << JsonNumber(c.UTCOffset)
            << ",\"CapitalCity\":" << c.CapitalCity << ",\"DSTStart\":" << JsonRule(c.DSTStart)
            << ",\"DSTEnd\":" << JsonRule(c.DSTEnd) << "}";
    });
    out << ",\n";
    DumpArray(out, "states", d.States, [&](const TState& s) {
        out << "{\"UniqueID\":" << s.UniqueID << ",\"Name\":" << JsonString(s.Name)
            << ",\"Code\":" << JsonString(s.Code) << ",\"CountryId\":" << s.CountryId
            << ",\"UTCOffset\":" << JsonNumber(s.UTCOffset) << ",\"Reserved\":" << s.Reserved
            << ",\"DSTStart\":" << JsonRule(s.DSTStart) << ",\"DSTEnd\":" << JsonRule(s.DSTEnd)
            << "}";
    });
    out << ",\n";
    DumpArray(out, "cities", d.Cities, [&](const TCity& c) {
        out << "{\"UniqueID\":" << c.UniqueID << ",\"ShortName\":" << JsonString(c.ShortName())
            << ",\"LongName\":" << JsonString(c.LongName) << ",\"StateId\":" << c.StateId
            << ",\"CountryId\":" << c.CountryId << ",\"Default\":" << (c.Default ? "true" : "false")
            << "}";
    });
    out << ",\n";
    DumpArray(out, "airports", d.Airports, [&](const TAirport& a) {
        out << "{\"UniqueID\":" << a.UniqueID << ",\"Name\":" << JsonString(a.Name)
            << ",\"Codes\":[";
        for (int i = 1; i <= TAirport::SlotCount; ++i)
            out << (i > 1 ? "," : "") << JsonString(a.Codes(i));
        out << "],\"ClosestCities\":[";
        for (int i = 1; i <= TAirport::SlotCount; ++i)
            out << (i > 1 ? "," : "") << a.ClosestCities(i);
        out << "],\"StateId\":" << a.StateId << ",\"CountryId\":" << a.CountryId << "}";
    });
    out << ",\n\"MyCity\":" << (d.MyCity ? d.MyCity->UniqueID : 0) << "}\n";
}

void Times(const TCityList& d, double utc, std::ostream& out) {
    for (const auto& c : d.Cities) {
        out << c->UniqueID << '\t' << AnsiToUtf8(c->LongName) << '\t';
        const TPlace place = PlaceOfCity(d, *c);
        if (!place) {
            out << "-\t-\t-\n";
            continue;
        }
        out << FormatIsoSeconds(place.LocalTime(utc)) << '\t'
            << FormatIsoSeconds(place.LocalTimeWholeHours(utc)) << '\t'
            << (place.InDST(utc) ? 1 : 0) << '\n';
    }
}

// Reads a file the way the program does; a read error is reported.
bool Load(const std::string& file, TCityList& data, std::ostream& err) {
    try {
        LoadCityListFile(file, data);
    } catch (const EStreamError& e) {
        err << e.what() << '\n';
        return false;
    }
    return true;
}

} // namespace

std::string JsonNumber(double v) {
    if (std::isnan(v))
        return "NaN";
    if (std::isinf(v))
        return v > 0 ? "Infinity" : "-Infinity";
    char b[40];
    for (int p = 1; p <= 17; ++p) {
        std::snprintf(b, sizeof b, "%.*g", p, v);
        if (std::strtod(b, nullptr) == v)
            break;
    }
    return b;
}

std::string FormatIsoSeconds(double dt) {
    if (!std::isfinite(dt))
        return "-";
    // Counted as an instant, so that rounding to the second works the same before 1899-12-30.
    const double secs = std::round(DateTimeToDays(dt) * 86400.0);
    const double day = std::floor(secs / 86400.0);
    TDateParts d;
    if (!TryDecodeDate(day, d))
        return "-";
    const long rest = static_cast<long>(secs - day * 86400.0);
    char b[40];
    std::snprintf(b, sizeof b, "%04d-%02d-%02d %02ld:%02ld:%02ld", d.Year, d.Month, d.Day,
                  rest / 3600, rest / 60 % 60, rest % 60);
    return b;
}

bool ParseUtcInstant(const std::string& text, double& dateTime) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, n = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d%n", &y, &mo, &d, &h, &mi, &n) != 5)
        return false;
    double sec = 0;
    std::size_t pos = static_cast<std::size_t>(n);
    if (pos < text.size() && text[pos] == ':') {
        char* end = nullptr;
        sec = std::strtod(text.c_str() + pos + 1, &end);
        if (end == text.c_str() + pos + 1 || sec < 0 || sec >= 60)
            return false;
        pos = static_cast<std::size_t>(end - text.c_str());
    }
    if (pos < text.size() && (text[pos] == 'Z' || text[pos] == 'z'))
        ++pos;
    if (pos != text.size())
        return false;
    double date = 0, time = 0;
    if (!TryEncodeDate(y, mo, d, date) || !TryEncodeTime(h, mi, 0, 0, time))
        return false;
    dateTime = ComposeDateTime(date, time + sec / 86400.0);
    return true;
}

int RunTvkTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 2 && args[0] == "dump") {
        TCityList data;
        if (!Load(args[1], data, err))
            return 1;
        Dump(data, out);
        return 0;
    }
    if (args.size() == 4 && args[0] == "times" && args[2] == "--utc") {
        double utc = 0;
        if (!ParseUtcInstant(args[3], utc)) {
            err << "tvktool: not a UTC instant: " << args[3] << '\n' << Usage;
            return 2;
        }
        TCityList data;
        if (!Load(args[1], data, err))
            return 1;
        Times(data, utc, out);
        return 0;
    }
    if (args.size() == 3 && args[0] == "copy") {
        TCityList data;
        if (!Load(args[1], data, err))
            return 1;
        try {
            SaveCityListFile(args[2], data);
        } catch (const EStreamError& e) {
            err << e.what() << '\n';
            return 1;
        }
        return 0;
    }
    if (args.size() == 3 && args[0] == "build")
        return BuildWorld(args[1], args[2], err);
    if (args.size() == 3 && args[0] == "export")
        return ExportWorld(args[1], args[2], err);
    if ((args.size() == 2 || (args.size() == 4 && args[2] == "--sample")) && args[0] == "check") {
        TCheckOptions options;
        if (args.size() == 4) {
            char* end = nullptr;
            const unsigned long n = std::strtoul(args[3].c_str(), &end, 10);
            if (args[3].empty() || *end != '\0' || n == 0) {
                err << "tvktool: not a city count: " << args[3] << '\n' << Usage;
                return 2;
            }
            options.Sample = n;
        }
        return RunWorldCheck(args[1], options, out, err);
    }
    err << Usage;
    return 2;
}
