#include "TvkToolU.h"

#include "VerifyU.h"
#include "WorldCheckU.h"
#include "WorldTablesU.h"
#include "ZoneCommandU.h"
#include "ZoneFileCheckU.h"
#include "data/AnsiTextU.h"
#include "data/CityListU.h"
#include "data/ClockChangesU.h"
#include "data/DateTimeU.h"
#include "data/StreamU.h"
#include "manage/ZonePickerRulesU.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <ostream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

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

// Reads a file the way the program does; a read error is reported with the file's name.
bool Load(const std::string& file, TCityList& data, std::ostream& err) {
    try {
        LoadCityListFile(file, data);
    } catch (const EStreamError& e) {
        err << FileErrorText(file, e.what()) << '\n';
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

// ---------------------------------------------------------------------------------------------
// The command line

std::optional<std::string> TCommandLine::Value(const std::string& option) {
    for (std::size_t i = 0; i < Args_.size(); ++i) {
        const std::string& a = Args_[i];
        if (a == option) {
            if (i + 1 >= Args_.size())
                throw EUsageError(option + " needs a value");
            std::string v = Args_[i + 1];
            Args_.erase(Args_.begin() + static_cast<std::ptrdiff_t>(i),
                        Args_.begin() + static_cast<std::ptrdiff_t>(i) + 2);
            return v;
        }
        if (a.rfind(option + "=", 0) == 0) {
            std::string v = a.substr(option.size() + 1);
            Args_.erase(Args_.begin() + static_cast<std::ptrdiff_t>(i));
            return v;
        }
    }
    return std::nullopt;
}

bool TCommandLine::Flag(const std::string& option) {
    for (std::size_t i = 0; i < Args_.size(); ++i)
        if (Args_[i] == option) {
            Args_.erase(Args_.begin() + static_cast<std::ptrdiff_t>(i));
            return true;
        }
    return false;
}

namespace {

bool LooksLikeOption(const std::string& a) {
    return a.size() > 1 && a[0] == '-';
}

} // namespace

std::string TCommandLine::Next(const std::string& what) {
    if (Args_.empty())
        throw EUsageError(what + " missing");
    if (LooksLikeOption(Args_.front()))
        throw EUsageError("unknown option '" + Args_.front() + "'");
    std::string a = Args_.front();
    Args_.erase(Args_.begin());
    return a;
}

void TCommandLine::End() const {
    if (Args_.empty())
        return;
    if (LooksLikeOption(Args_.front()))
        throw EUsageError("unknown option '" + Args_.front() + "'");
    throw EUsageError("unexpected argument '" + Args_.front() + "'");
}

std::string FileErrorText(const std::string& file, const std::string& message) {
    // The program's messages name the failure; the system knows why.
    std::string reason;
    std::error_code ec;
    const fs::path path(file);
    if (message.rfind("Cannot open file", 0) == 0) {
        const fs::file_status status = fs::status(path, ec);
        if (fs::is_directory(status)) {
            reason = std::strerror(EISDIR);
        } else if (fs::exists(status) && !fs::is_regular_file(status)) {
            // Opening a FIFO would wait for a writer, opening a device may do something.
            reason = "not a regular file";
        } else {
            const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
            if (fd < 0)
                reason = std::strerror(errno);
            else
                ::close(fd);
        }
    } else if (message.rfind("Cannot create file", 0) == 0) {
        const fs::path parent = path.has_parent_path() ? path.parent_path() : fs::path(".");
        if (fs::is_directory(path, ec))
            reason = std::strerror(EISDIR);
        else if (!fs::is_directory(parent, ec))
            reason = std::strerror(ENOENT);
        else if (::access(parent.c_str(), W_OK) != 0 ||
                 (fs::exists(path, ec) && ::access(file.c_str(), W_OK) != 0))
            reason = std::strerror(EACCES);
    }
    return "tvktool: " + file + ": " + message + (reason.empty() ? "" : " (" + reason + ")");
}

namespace {

int DumpCommand(TCommandLine& line, std::ostream& out, std::ostream& err) {
    const std::string file = line.Next("FILE");
    line.End();
    TCityList data;
    if (!Load(file, data, err))
        return 1;
    Dump(data, out);
    return 0;
}

int TimesCommand(TCommandLine& line, std::ostream& out, std::ostream& err) {
    const std::optional<std::string> instant = line.Value("--utc");
    const std::string file = line.Next("FILE");
    line.End();
    if (!instant)
        throw EUsageError("--utc INSTANT missing");
    double utc = 0;
    if (!ParseUtcInstant(*instant, utc))
        throw EUsageError("not a UTC instant: '" + *instant + "' (YYYY-MM-DDTHH:MM[:SS]Z)");
    TCityList data;
    if (!Load(file, data, err))
        return 1;
    Times(data, utc, out);
    return 0;
}

// Every city's offset changes in the span, in time order (file order at the same instant).
void Changes(const TCityList& d, double from, int days, std::ostream& out) {
    struct TLine {
        TClockChange Change;
        const TCity* City;
    };
    std::vector<TLine> lines;
    for (const TCity* c : d.Cities)
        for (const TClockChange& ch :
             ClockChanges(PlaceOfCity(d, *c), from, IncDateTime(from, days)))
            lines.push_back({ch, c});
    std::stable_sort(lines.begin(), lines.end(), [](const TLine& a, const TLine& b) {
        return a.Change.UtcMs < b.Change.UtcMs;
    });
    for (const TLine& l : lines) {
        std::string instant = FormatIsoSeconds(l.Change.Utc);
        if (instant.size() > 10)
            instant[10] = 'T';
        out << instant << "Z\t" << l.City->UniqueID << '\t' << AnsiToUtf8(l.City->LongName) << '\t'
            << JsonNumber(l.Change.OffsetBefore) << '\t' << JsonNumber(l.Change.OffsetAfter)
            << '\n';
    }
}

int ChangesCommand(TCommandLine& line, std::ostream& out, std::ostream& err) {
    const std::optional<std::string> daysText = line.Value("--days");
    const std::optional<std::string> fromText = line.Value("--from");
    const std::string file = line.Next("FILE");
    line.End();
    int days = ClockChangeDays;
    if (daysText) {
        char* end = nullptr;
        errno = 0;
        const long n = std::strtol(daysText->c_str(), &end, 10);
        if (daysText->empty() || *end != '\0' || errno != 0 || n < 1 || n > 36500)
            throw EUsageError("--days needs a day count of 1 to 36500, not '" + *daysText + "'");
        days = static_cast<int>(n);
    }
    double from = 0;
    if (fromText) {
        int y = 0, m = 0, dd = 0, n = 0;
        if (std::sscanf(fromText->c_str(), "%4d-%2d-%2d%n", &y, &m, &dd, &n) != 3 ||
            static_cast<std::size_t>(n) != fromText->size() || !TryEncodeDate(y, m, dd, from))
            throw EUsageError("not a date: '" + *fromText + "' (YYYY-MM-DD)");
    } else {
        const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::system_clock::now().time_since_epoch());
        from = std::floor(FromUnixMilliseconds(now.count())); // today, UTC
    }
    TCityList data;
    if (!Load(file, data, err))
        return 1;
    Changes(data, from, days, out);
    return 0;
}

int CopyCommand(TCommandLine& line, std::ostream&, std::ostream& err) {
    const std::string in = line.Next("IN");
    const std::string outFile = line.Next("OUT");
    line.End();
    TCityList data;
    if (!Load(in, data, err))
        return 1;
    try {
        SaveCityListFile(outFile, data);
    } catch (const EStreamError& e) {
        err << FileErrorText(outFile, e.what()) << '\n';
        return 1;
    }
    return 0;
}

int BuildCommand(TCommandLine& line, std::ostream&, std::ostream& err) {
    const std::optional<std::string> zones = line.Value("--zones");
    const std::string dir = line.Next("DIR");
    const std::string outFile = line.Next("OUT");
    line.End();
    const int status = BuildWorld(dir, outFile, err);
    return status != 0 || !zones ? status : WriteWorldZones(dir, *zones, err);
}

int ExportCommand(TCommandLine& line, std::ostream&, std::ostream& err) {
    const std::string file = line.Next("FILE");
    const std::string dir = line.Next("DIR");
    line.End();
    return ExportWorld(file, dir, err);
}

int CheckCommand(TCommandLine& line, std::ostream& out, std::ostream& err) {
    TCheckOptions options;
    if (const auto sample = line.Value("--sample")) {
        char* end = nullptr;
        errno = 0;
        const unsigned long long n = std::strtoull(sample->c_str(), &end, 10);
        if (sample->empty() || (*sample)[0] == '-' || *end != '\0' || n == 0 || errno != 0)
            throw EUsageError("--sample needs a city count of 1 or more, not '" + *sample + "'");
        options.Sample = static_cast<std::size_t>(n);
    }
    options.Brief = line.Flag("--brief");
    const std::string dir = line.Next("DIR");
    line.End();
    return RunWorldCheck(dir, options, out, err);
}

int CheckFileCommand(TCommandLine& line, std::ostream& out, std::ostream& err) {
    const std::optional<std::string> zones = line.Value("--zones");
    const std::optional<std::string> instant = line.Value("--utc");
    const std::string file = line.Next("FILE");
    line.End();
    std::int64_t from = static_cast<std::int64_t>(std::time(nullptr));
    if (instant) {
        double utc = 0;
        if (!ParseUtcInstant(*instant, utc))
            throw EUsageError("not a UTC instant: '" + *instant + "' (YYYY-MM-DDTHH:MM[:SS]Z)");
        from = UnixSeconds(utc);
    }
    return RunCheckFile(file, zones, from, out, err);
}

int VerifyCommand(TCommandLine& line, std::ostream& out, std::ostream& err) {
    const std::string file = line.Next("FILE");
    line.End();
    return RunVerify(file, out, err);
}

int ZoneCommand(TCommandLine& line, std::ostream& out, std::ostream& err) {
    const std::string name = line.Next("NAME");
    line.End();
    return RunZoneCommand(name, out, err);
}

struct TCommand {
    const char* Name;
    const char* Arguments;
    const char* Summary;     // one line for the command list
    const char* Description; // for "tvktool COMMAND --help"
    int (*Run)(TCommandLine& line, std::ostream& out, std::ostream& err);
};

const TCommand Commands[] = {
    {"dump", "FILE", "print a data file as one JSON object",
     "Prints every country, state, city and airport of FILE and its My City id as one JSON\n"
     "object, as the program reads them. Texts are converted to UTF-8.\n",
     DumpCommand},
    {"times", "FILE --utc INSTANT", "print every city's local time at an instant",
     "Prints, per city in file order: id, long name, the local time with the exact offset,\n"
     "the local time with the offset cut to whole hours (what the dial shows), and 1 when\n"
     "daylight saving is in force. A city without a place prints '-' in the last three\n"
     "columns. INSTANT is UTC: YYYY-MM-DDTHH:MM[:SS[.fff]][Z].\n",
     TimesCommand},
    {"changes", "FILE [--days N] [--from YYYY-MM-DD]", "list every city's clock changes",
     "Prints every change of a city's local offset in the span, one line each in time order:\n"
     "the instant in UTC (YYYY-MM-DDTHH:MM:SSZ), the city's id, its long name, the offset\n"
     "before and the offset after, in hours east of UTC. The changes are worked out from\n"
     "the rules of the city's state or country as the clock applies them; a city without a\n"
     "place, or whose place has no daylight saving, prints nothing.\n"
     "  --days N           the span's length in days, 1 to 36500 (default 90)\n"
     "  --from YYYY-MM-DD  the span's first day, from 00:00 UTC (default today)\n",
     ChangesCommand},
    {"copy", "IN OUT", "read a data file and write it again",
     "Reads IN with the program's reader and writes OUT with its writer, replacing OUT\n"
     "safely.\n",
     CopyCommand},
    {"build", "DIR OUT [--zones ZONES]", "make a data file from the world tables",
     "Reads the world tables in DIR (countries.csv, states.csv, cities.csv, airports.csv,\n"
     "mycity.csv) and writes the data file OUT with the program's writer. A fault in a\n"
     "table is reported as FILE:LINE: COLUMN: what.\n"
     "  --zones ZONES  also write the time zone of each place and city to ZONES\n",
     BuildCommand},
    {"export", "FILE DIR", "write a data file as world tables",
     "Writes the records of FILE as tables into DIR; 'build' makes the same file from\n"
     "them again, byte for byte.\n",
     ExportCommand},
    {"check", "DIR [--sample N] [--brief]", "compare the tables' local times with the system's",
     "Compares every city's local time, as the program computes it, with the system's\n"
     "time-zone database for the zone in the city's Zone column, at every hour of\n"
     "2026-2030 and a minute either side of every transition. Zones listed in\n"
     "DIR/exceptions.csv with a reason are expected to differ; every other difference and\n"
     "every broken link is unexpected. Ends with one summary line.\n"
     "  --sample N  check only N cities spread over the table\n"
     "  --brief     leave out the expected differences\n"
     "Exit status 0 when nothing unexpected was found, 1 otherwise.\n",
     CheckCommand},
    {"check-file", "FILE [--zones ZONES] [--utc INSTANT]",
     "compare a data file's places with the system's zones",
     "Compares the offset and daylight-saving rules of every country and state of FILE\n"
     "with the system's zones of its cities, at every instant of the 12 months from now\n"
     "(or from INSTANT). The zones come from ZONES, else from default.zones beside FILE\n"
     "and FILE's own side file (FILE with .zones for .tvk). Lists the places that differ,\n"
     "those whose zone the program's rules cannot hold and those without a zone, then one\n"
     "summary line. Exit status 0 when no place differs, 1 otherwise.\n",
     CheckFileCommand},
    {"verify", "FILE", "list the oddities that the program reads without a word",
     "Lists, one per line, what the program's reader silently accepts but a person should\n"
     "know: negative counts, bytes after the My City id, text lengths beyond a field's\n"
     "capacity, duplicate ids, links to missing records, offsets that are not numbers or\n"
     "lie outside -12..14, daylight-saving rules whose dates cannot exist.\n"
     "Exit status 0 when there is nothing to list, 1 otherwise.\n",
     VerifyCommand},
    {"zone", "NAME", "derive a zone's offset and daylight-saving rules",
     "Reads the system's compiled zone NAME (e.g. Europe/Lisbon) and prints the UTC offset\n"
     "and the two daylight-saving rules the program derives from it, as UTCOffset,DSTStart,\n"
     "DSTEnd in the text of the world tables ('none' for no saving). A zone the program's\n"
     "rules cannot hold prints the reason and exits 1. TZDIR names another zone folder.\n",
     ZoneCommand},
};

#ifndef TAVIK_VERSION
#define TAVIK_VERSION "unknown"
#endif

const TCommand* FindCommand(const std::string& name) {
    for (const TCommand& c : Commands)
        if (name == c.Name)
            return &c;
    return nullptr;
}

void PrintHelp(std::ostream& out) {
    out << "usage: tvktool COMMAND ARGUMENTS...\n"
           "       tvktool COMMAND --help\n"
           "       tvktool --help | --version\n\n"
           "Reads, writes and checks Tavik data files (.tvk) and the world tables.\n\n"
           "Commands:\n";
    std::size_t width = 0;
    for (const TCommand& c : Commands)
        width = std::max(width, std::strlen(c.Name) + 1 + std::strlen(c.Arguments));
    for (const TCommand& c : Commands) {
        const std::string head = std::string(c.Name) + " " + c.Arguments;
        out << "  " << head << std::string(width - head.size() + 2, ' ') << c.Summary << '\n';
    }
    out << "\nExit status: 0 done, 1 a file error or findings, 2 wrong usage.\n";
}

bool IsHelp(const std::string& a) {
    return a == "--help" || a == "-h" || a == "help";
}

} // namespace

int RunTvkTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << "tvktool: a command is missing\nTry 'tvktool --help'.\n";
        return 2;
    }
    const std::string& name = args[0];
    if (IsHelp(name)) {
        // "tvktool help COMMAND" describes that command.
        if (args.size() == 2 && FindCommand(args[1]))
            return RunTvkTool({args[1], "--help"}, out, err);
        PrintHelp(out);
        return 0;
    }
    if (name == "--version") {
        out << "tvktool " << TAVIK_VERSION << '\n';
        return 0;
    }
    const TCommand* command = FindCommand(name);
    if (!command) {
        err << "tvktool: unknown command '" << name << "'\nTry 'tvktool --help'.\n";
        return 2;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (std::any_of(rest.begin(), rest.end(),
                    [](const std::string& a) { return a == "--help" || a == "-h"; })) {
        out << "usage: tvktool " << command->Name << " " << command->Arguments << "\n\n"
            << command->Description;
        return 0;
    }
    try {
        TCommandLine line(rest);
        return command->Run(line, out, err);
    } catch (const EUsageError& e) {
        err << "tvktool: " << command->Name << ": " << e.what() << "\nusage: tvktool "
            << command->Name << " " << command->Arguments << "\nTry 'tvktool " << command->Name
            << " --help'.\n";
        return 2;
    }
}
