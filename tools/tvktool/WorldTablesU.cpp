#include "WorldTablesU.h"

#include "TvkToolU.h"
#include "data/AnsiTextU.h"
#include "data/StreamU.h"

#include <array>
#include <bit>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>

namespace fs = std::filesystem;

EWorldTableError::EWorldTableError(const std::string& file, int line, const std::string& field,
                                   const std::string& what)
    : std::runtime_error(file + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " +
                         (field.empty() ? "" : field + ": ") + what) {}

// ---------------------------------------------------------------------------------------------
// CSV

std::vector<TCsvRow> ParseCsv(const std::string& text, const std::string& fileName) {
    std::vector<TCsvRow> rows;
    std::size_t i = 0;
    const std::size_t n = text.size();
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        i = 3;
    int line = 1;
    while (i < n) {
        TCsvRow row;
        row.Line = line;
        std::string field;
        bool endOfRecord = false;
        while (!endOfRecord) {
            field.clear();
            if (i < n && text[i] == '"') {
                const int openedOn = line;
                ++i;
                for (;;) {
                    if (i >= n)
                        throw EWorldTableError(fileName, openedOn, "", "quoted field not closed");
                    const char c = text[i++];
                    if (c == '"') {
                        if (i < n && text[i] == '"') {
                            field += '"';
                            ++i;
                        } else {
                            break;
                        }
                    } else {
                        if (c == '\n')
                            ++line;
                        field += c;
                    }
                }
                if (i < n && text[i] != ',' && text[i] != '\n' && text[i] != '\r')
                    throw EWorldTableError(fileName, line, "", "text after a closing quote");
            } else {
                while (i < n && text[i] != ',' && text[i] != '\n' && text[i] != '\r')
                    field += text[i++];
            }
            row.Fields.push_back(field);
            if (i >= n) {
                endOfRecord = true;
            } else if (text[i] == ',') {
                ++i;
            } else {
                // CRLF or LF ends the record; a lone CR does too.
                if (text[i] == '\r')
                    ++i;
                if (i < n && text[i] == '\n')
                    ++i;
                ++line;
                endOfRecord = true;
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string CsvField(const std::string& value) {
    if (value.find_first_of(",\"\r\n") == std::string::npos)
        return value;
    std::string out = "\"";
    for (char c : value) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

// ---------------------------------------------------------------------------------------------
// Numbers and rules

namespace {

const std::array<const char*, 4> Ordinals = {"First", "Second", "Third", "Last"};
const std::array<const char*, 7> Weekdays = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                             "Friday", "Saturday", "Sunday"};
const std::array<const char*, 12> Months = {"January",   "February", "March",    "April",
                                            "May",       "June",     "July",     "August",
                                            "September", "October",  "November", "December"};

int IndexOf(const char* const* names, int count, const std::string& word) {
    for (int i = 0; i < count; ++i)
        if (word == names[i])
            return i;
    return -1;
}

bool ParseInt64(const std::string& text, long long lo, long long hi, long long& v) {
    if (text.empty() || text.size() > 20)
        return false;
    std::size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size())
        return false;
    for (std::size_t k = i; k < text.size(); ++k)
        if (text[k] < '0' || text[k] > '9')
            return false;
    errno = 0;
    char* end = nullptr;
    const long long r = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || r < lo || r > hi)
        return false;
    v = r;
    return true;
}

// "HH:MM" with hours 0..23; the stored time is exactly (h*60+m)/1440.0.
bool ParseClock(const std::string& text, double& t) {
    if (text.size() != 5 || text[2] != ':')
        return false;
    long long h = 0, m = 0;
    if (!ParseInt64(text.substr(0, 2), 0, 23, h) || !ParseInt64(text.substr(3, 2), 0, 59, m))
        return false;
    t = static_cast<double>(h * 60 + m) / 1440.0;
    return true;
}

bool FormatClock(double t, std::string& text) {
    if (!(t >= 0.0 && t < 1.0) || std::signbit(t))
        return false;
    const long long minutes = std::llround(t * 1440.0);
    if (minutes >= 1440 || static_cast<double>(minutes) / 1440.0 != t)
        return false;
    char b[16];
    std::snprintf(b, sizeof b, "%02d:%02d", static_cast<int>(minutes / 60),
                  static_cast<int>(minutes % 60));
    text = b;
    return true;
}

std::vector<std::string> SplitBlanks(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    std::string w;
    while (in >> w)
        words.push_back(w);
    return words;
}

std::vector<std::string> SplitBar(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = text.find('|', start);
        parts.push_back(text.substr(start, bar - start));
        if (bar == std::string::npos)
            return parts;
        start = bar + 1;
    }
}

} // namespace

std::string FormatExactDouble(double v) {
    if (std::isnan(v)) {
        char b[32];
        std::snprintf(b, sizeof b, "bits:%016llx",
                      static_cast<unsigned long long>(std::bit_cast<std::uint64_t>(v)));
        return b;
    }
    return JsonNumber(v);
}

bool ParseExactDouble(const std::string& text, double& v) {
    if (text.rfind("bits:", 0) == 0) {
        const std::string hex = text.substr(5);
        if (hex.size() != 16 || hex.find_first_not_of("0123456789abcdefABCDEF") != hex.npos)
            return false;
        v = std::bit_cast<double>(
            static_cast<std::uint64_t>(std::strtoull(hex.c_str(), nullptr, 16)));
        return true;
    }
    if (text.empty() || text.find_first_of(" \t\r\n") != std::string::npos)
        return false;
    char* end = nullptr;
    const double r = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size())
        return false;
    v = r;
    return true;
}

std::string FormatRule(const TSummerTimeRule& r) {
    std::string clock;
    const bool clockOk = FormatClock(r.ChangeTime, clock);
    if (r.Kind == RuleKindNone && r == TSummerTimeRule{} && !std::signbit(r.ChangeTime))
        return "none";
    if (r.Kind == RuleKindWeekday && clockOk && r.FixedDay == 0 && r.FixedMonth == 0 &&
        r.WeekOrdinal <= 3 && r.WeekDay >= 1 && r.WeekDay <= 7 && r.RuleMonth >= 1 &&
        r.RuleMonth <= 12 && r.AfterDay <= 31) {
        std::string s = std::string(Ordinals[r.WeekOrdinal]) + " " + Weekdays[r.WeekDay - 1u];
        if (r.AfterDay != 0)
            s += " after " + std::to_string(r.AfterDay);
        return s + " " + Months[r.RuleMonth - 1u] + " " + clock;
    }
    if (r.Kind == RuleKindFixed && clockOk && r.WeekOrdinal == 0 && r.WeekDay == 0 &&
        r.AfterDay == 0 && r.RuleMonth == 0 && r.FixedDay >= 1 && r.FixedDay <= 31 &&
        r.FixedMonth >= 1 && r.FixedMonth <= 12)
        return "fixed " + std::to_string(r.FixedDay) + " " + Months[r.FixedMonth - 1u] + " " +
               clock;
    return "raw " + std::to_string(r.Kind) + " " + std::to_string(r.FixedDay) + " " +
           std::to_string(r.FixedMonth) + " " + std::to_string(r.WeekOrdinal) + " " +
           std::to_string(r.WeekDay) + " " + std::to_string(r.AfterDay) + " " +
           std::to_string(r.RuleMonth) + " " + FormatExactDouble(r.ChangeTime);
}

bool ParseRule(const std::string& text, TSummerTimeRule& rule, std::string& why) {
    const std::vector<std::string> w = SplitBlanks(text);
    TSummerTimeRule r;
    auto month = [&](const std::string& word, std::uint16_t& out) {
        const int m = IndexOf(Months.data(), 12, word);
        if (m < 0) {
            why = "not a month: '" + word + "'";
            return false;
        }
        out = static_cast<std::uint16_t>(m + 1);
        return true;
    };
    auto clock = [&](const std::string& word) {
        if (!ParseClock(word, r.ChangeTime)) {
            why = "not a time HH:MM: '" + word + "'";
            return false;
        }
        return true;
    };
    auto day = [&](const std::string& word, std::uint16_t& out) {
        long long d = 0;
        if (!ParseInt64(word, 1, 31, d)) {
            why = "not a day 1..31: '" + word + "'";
            return false;
        }
        out = static_cast<std::uint16_t>(d);
        return true;
    };
    if (w.empty()) {
        why = "empty rule";
        return false;
    }
    if (w[0] == "none") {
        if (w.size() != 1) {
            why = "'none' takes nothing after it";
            return false;
        }
        rule = r;
        return true;
    }
    if (w[0] == "fixed") {
        if (w.size() != 4) {
            why = "expected 'fixed <Day> <Month> HH:MM'";
            return false;
        }
        r.Kind = RuleKindFixed;
        if (!day(w[1], r.FixedDay) || !month(w[2], r.FixedMonth) || !clock(w[3]))
            return false;
        rule = r;
        return true;
    }
    if (w[0] == "raw") {
        if (w.size() != 9) {
            why = "expected 'raw <Kind> <FixedDay> <FixedMonth> <WeekOrdinal> <WeekDay> "
                  "<AfterDay> <RuleMonth> <ChangeTime>'";
            return false;
        }
        static const char* const names[] = {"Kind",    "FixedDay", "FixedMonth", "WeekOrdinal",
                                            "WeekDay", "AfterDay", "RuleMonth"};
        long long v[7];
        for (int k = 0; k < 7; ++k) {
            const long long hi = (k == 0 || k == 3) ? 255 : 65535;
            if (!ParseInt64(w[static_cast<std::size_t>(k) + 1], 0, hi, v[k])) {
                why = std::string(names[k]) + " not 0.." + std::to_string(hi) + ": '" +
                      w[static_cast<std::size_t>(k) + 1] + "'";
                return false;
            }
        }
        if (!ParseExactDouble(w[8], r.ChangeTime)) {
            why = "ChangeTime not a number: '" + w[8] + "'";
            return false;
        }
        r.Kind = static_cast<std::uint8_t>(v[0]);
        r.FixedDay = static_cast<std::uint16_t>(v[1]);
        r.FixedMonth = static_cast<std::uint16_t>(v[2]);
        r.WeekOrdinal = static_cast<std::uint8_t>(v[3]);
        r.WeekDay = static_cast<std::uint16_t>(v[4]);
        r.AfterDay = static_cast<std::uint16_t>(v[5]);
        r.RuleMonth = static_cast<std::uint16_t>(v[6]);
        rule = r;
        return true;
    }
    const int ord = IndexOf(Ordinals.data(), 4, w[0]);
    if (ord < 0) {
        why = "unknown rule form '" + w[0] + "' (none, fixed, raw or First/Second/Third/Last)";
        return false;
    }
    const bool after = w.size() == 6 && w[2] == "after";
    if (w.size() != 4 && !after) {
        why = "expected '<Ordinal> <Weekday> [after <Day>] <Month> HH:MM'";
        return false;
    }
    const int wd = IndexOf(Weekdays.data(), 7, w[1]);
    if (wd < 0) {
        why = "not a weekday: '" + w[1] + "'";
        return false;
    }
    r.Kind = RuleKindWeekday;
    r.WeekOrdinal = static_cast<std::uint8_t>(ord);
    r.WeekDay = static_cast<std::uint16_t>(wd + 1);
    if (after && !day(w[3], r.AfterDay))
        return false;
    if (!month(w[after ? 4 : 2], r.RuleMonth) || !clock(w[after ? 5 : 3]))
        return false;
    rule = r;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Tables

namespace {

// One table file being read: its columns by name, and typed access to a row's fields that
// reports faults with file, line and column.
class TTableReader {
public:
    TTableReader(const fs::path& dir, const std::string& name,
                 const std::vector<std::string>& required, const std::vector<std::string>& optional)
        : Name_((dir / name).string()) {
        std::ifstream in(dir / name, std::ios::binary);
        if (!in)
            throw EWorldTableError(Name_, 0, "",
                                   "cannot open (" + std::string(std::strerror(errno)) + ")");
        std::ostringstream text;
        text << in.rdbuf();
        Rows_ = ParseCsv(text.str(), Name_);
        if (Rows_.empty())
            throw EWorldTableError(Name_, 1, "", "header line missing");
        const TCsvRow& header = Rows_.front();
        for (std::size_t i = 0; i < header.Fields.size(); ++i) {
            const std::string& col = header.Fields[i];
            bool known = false;
            for (const auto* list : {&required, &optional})
                for (const auto& c : *list)
                    known = known || c == col;
            if (!known)
                throw EWorldTableError(Name_, 1, col, "unknown column");
            if (!Columns_.emplace(col, i).second)
                throw EWorldTableError(Name_, 1, col, "column given twice");
        }
        for (const auto& c : required)
            if (!Columns_.count(c))
                throw EWorldTableError(Name_, 1, c, "column missing");
        Rows_.erase(Rows_.begin());
        // Blank lines carry no record.
        std::erase_if(Rows_,
                      [](const TCsvRow& r) { return r.Fields.size() == 1 && r.Fields[0].empty(); });
        for (const auto& row : Rows_)
            if (row.Fields.size() != header.Fields.size())
                throw EWorldTableError(Name_, row.Line, "",
                                       std::to_string(row.Fields.size()) + " fields, header has " +
                                           std::to_string(header.Fields.size()));
    }

    const std::vector<TCsvRow>& Rows() const { return Rows_; }
    const std::string& Name() const { return Name_; }

    std::string Raw(const TCsvRow& row, const std::string& col) const {
        const auto it = Columns_.find(col);
        return it == Columns_.end() ? std::string() : row.Fields[it->second];
    }

    [[noreturn]] void Fail(const TCsvRow& row, const std::string& col,
                           const std::string& what) const {
        throw EWorldTableError(Name_, row.Line, col, what);
    }

    std::int32_t Int(const TCsvRow& row, const std::string& col) const {
        long long v = 0;
        if (!ParseInt64(Raw(row, col), INT32_MIN, INT32_MAX, v))
            Fail(row, col, "not a 32-bit integer: '" + Raw(row, col) + "'");
        return static_cast<std::int32_t>(v);
    }

    double Number(const TCsvRow& row, const std::string& col) const {
        double v = 0;
        if (!ParseExactDouble(Raw(row, col), v))
            Fail(row, col, "not a number: '" + Raw(row, col) + "'");
        return v;
    }

    // A text in the code page, within the stored capacity.
    std::string Text(const TCsvRow& row, const std::string& col, std::size_t capacity,
                     const std::string& raw) const {
        std::string ansi;
        if (!Utf8ToAnsi(raw, ansi))
            Fail(row, col, "text not storable in Windows-1252: '" + raw + "'");
        if (ansi.size() > capacity)
            Fail(row, col,
                 "longer than " + std::to_string(capacity) + " characters: '" + raw + "'");
        return ansi;
    }
    std::string Text(const TCsvRow& row, const std::string& col, std::size_t capacity) const {
        return Text(row, col, capacity, Raw(row, col));
    }

    TSummerTimeRule Rule(const TCsvRow& row, const std::string& col) const {
        TSummerTimeRule r;
        std::string why;
        if (!ParseRule(Raw(row, col), r, why))
            Fail(row, col, why);
        return r;
    }

private:
    std::string Name_;
    std::vector<TCsvRow> Rows_;
    std::map<std::string, std::size_t> Columns_;
};

// Stored capacities of the text fields (the data file's short strings).
constexpr std::size_t CountryNameCap = 255, NameCap = 55, CodeCap = 5, ShortNameCap = 8;

class TTableWriter {
public:
    TTableWriter(const fs::path& dir, const std::string& name, const std::string& header)
        : Path_(dir / name) {
        Out_ << header << '\n';
    }
    TTableWriter& operator<<(const std::string& field) {
        Out_ << (First_ ? "" : ",") << CsvField(field);
        First_ = false;
        return *this;
    }
    void EndRow() {
        Out_ << '\n';
        First_ = true;
    }
    void Save() {
        std::ofstream f(Path_, std::ios::binary | std::ios::trunc);
        f << Out_.str();
        f.close();
        if (!f)
            throw EWorldTableError(Path_.string(), 0, "", "cannot write");
    }

private:
    fs::path Path_;
    std::ostringstream Out_;
    bool First_ = true;
};

std::string Utf8(const std::string& ansi) {
    return AnsiToUtf8(ansi);
}

std::string Extra(const TWorldExtras* extras, std::vector<std::string> TWorldExtras::*column,
                  std::size_t index) {
    if (!extras)
        return {};
    const auto& v = extras->*column;
    return index < v.size() ? v[index] : std::string();
}

} // namespace

void ReadWorldTables(const std::string& dirName, TCityList& data, TWorldExtras* extras) {
    const fs::path dir(dirName);
    TWorldExtras ex;
    data.MyCity = data.CurrentCity = nullptr;
    data.Countries.Clear();
    data.States.Clear();
    data.Cities.Clear();
    data.Airports.Clear();

    {
        TTableReader t(
            dir, "countries.csv",
            {"UniqueId", "Name", "Code", "UTCOffset", "CapitalCity", "DSTStart", "DSTEnd"},
            {"Zone"});
        data.Countries.Reserve(t.Rows().size());
        for (const auto& row : t.Rows()) {
            TCountry& c = data.Countries.Add();
            c.UniqueId = t.Int(row, "UniqueId");
            c.Name = t.Text(row, "Name", CountryNameCap);
            c.Code = t.Text(row, "Code", CodeCap);
            c.UTCOffset = t.Number(row, "UTCOffset");
            c.CapitalCity = t.Int(row, "CapitalCity");
            c.DSTStart = t.Rule(row, "DSTStart");
            c.DSTEnd = t.Rule(row, "DSTEnd");
            ex.CountryZones.push_back(t.Raw(row, "Zone"));
        }
    }
    {
        TTableReader t(dir, "states.csv",
                       {"UniqueID", "Name", "Code", "CountryId", "UTCOffset", "Reserved",
                        "DSTStart", "DSTEnd"},
                       {"Zone"});
        data.States.Reserve(t.Rows().size());
        for (const auto& row : t.Rows()) {
            TState& s = data.States.Add();
            s.UniqueID = t.Int(row, "UniqueID");
            s.Name = t.Text(row, "Name", NameCap);
            s.Code = t.Text(row, "Code", CodeCap);
            s.CountryId = t.Int(row, "CountryId");
            s.UTCOffset = t.Number(row, "UTCOffset");
            s.Reserved = t.Int(row, "Reserved");
            s.DSTStart = t.Rule(row, "DSTStart");
            s.DSTEnd = t.Rule(row, "DSTEnd");
            ex.StateZones.push_back(t.Raw(row, "Zone"));
        }
    }
    {
        TTableReader t(dir, "cities.csv",
                       {"UniqueID", "ShortName", "LongName", "StateId", "CountryId", "Default"},
                       {"Zone", "Population"});
        data.Cities.Reserve(t.Rows().size());
        for (const auto& row : t.Rows()) {
            TCity& c = data.Cities.Add();
            c.UniqueID = t.Int(row, "UniqueID");
            c.SetShortName(t.Text(row, "ShortName", ShortNameCap));
            c.LongName = t.Text(row, "LongName", NameCap);
            c.StateId = t.Int(row, "StateId");
            c.CountryId = t.Int(row, "CountryId");
            const std::string def = t.Raw(row, "Default");
            if (def != "0" && def != "1")
                t.Fail(row, "Default", "expected 0 or 1: '" + def + "'");
            c.Default = def == "1";
            ex.CityZones.push_back(t.Raw(row, "Zone"));
            const std::string population = t.Raw(row, "Population");
            long long people = 0;
            if (!population.empty() && !ParseInt64(population, 0, LLONG_MAX, people))
                t.Fail(row, "Population", "not a count: '" + population + "'");
            ex.CityPopulations.push_back(population);
        }
    }
    {
        TTableReader t(dir, "airports.csv",
                       {"UniqueID", "Name", "Codes", "ClosestCities", "StateId", "CountryId"},
                       {"Latitude", "Longitude"});
        data.Airports.Reserve(t.Rows().size());
        for (const auto& row : t.Rows()) {
            TAirport& a = data.Airports.Add();
            a.UniqueID = t.Int(row, "UniqueID");
            a.Name = t.Text(row, "Name", NameCap);
            const std::string codes = t.Raw(row, "Codes");
            if (!codes.empty()) {
                const auto slots = SplitBar(codes);
                if (slots.size() > TAirport::SlotCount)
                    t.Fail(row, "Codes", "more than ten slots");
                for (std::size_t i = 0; i < slots.size(); ++i)
                    a.SetCodes(static_cast<int>(i) + 1, t.Text(row, "Codes", CodeCap, slots[i]));
            }
            const std::string cities = t.Raw(row, "ClosestCities");
            if (!cities.empty()) {
                const auto slots = SplitBar(cities);
                if (slots.size() > TAirport::SlotCount)
                    t.Fail(row, "ClosestCities", "more than ten slots");
                for (std::size_t i = 0; i < slots.size(); ++i) {
                    long long v = 0;
                    if (!ParseInt64(slots[i], INT32_MIN, INT32_MAX, v))
                        t.Fail(row, "ClosestCities", "not a 32-bit integer: '" + slots[i] + "'");
                    a.SetClosestCities(static_cast<int>(i) + 1, static_cast<std::int32_t>(v));
                }
            }
            a.StateId = t.Int(row, "StateId");
            a.CountryId = t.Int(row, "CountryId");
            for (const char* col : {"Latitude", "Longitude"}) {
                double v = 0;
                const std::string raw = t.Raw(row, col);
                if (!raw.empty() && !ParseExactDouble(raw, v))
                    t.Fail(row, col, "not a number: '" + raw + "'");
            }
            ex.AirportLatitudes.push_back(t.Raw(row, "Latitude"));
            ex.AirportLongitudes.push_back(t.Raw(row, "Longitude"));
        }
    }
    {
        TTableReader t(dir, "mycity.csv", {"MyCity"}, {});
        if (t.Rows().size() != 1)
            throw EWorldTableError(t.Name(), t.Rows().empty() ? 2 : t.Rows()[1].Line, "",
                                   "expected exactly one row");
        const std::int32_t id = t.Int(t.Rows()[0], "MyCity");
        if (id != 0) {
            data.MyCity = data.Cities.FindById(id);
            if (!data.MyCity)
                t.Fail(t.Rows()[0], "MyCity", "no city has id " + std::to_string(id));
            data.CurrentCity = data.MyCity;
        }
    }
    if (extras)
        *extras = std::move(ex);
}

void WriteWorldTables(const std::string& dirName, const TCityList& data,
                      const TWorldExtras* extras) {
    const fs::path dir(dirName);
    std::error_code ec;
    fs::create_directories(dir, ec);
    {
        TTableWriter w(dir, "countries.csv",
                       "UniqueId,Name,Code,UTCOffset,CapitalCity,DSTStart,DSTEnd,Zone");
        std::size_t i = 0;
        for (const auto& c : data.Countries) {
            w << std::to_string(c->UniqueId) << Utf8(TrimAnsi(c->Name).substr(0, CountryNameCap))
              << Utf8(c->Code.substr(0, CodeCap)) << FormatExactDouble(c->UTCOffset)
              << std::to_string(c->CapitalCity) << FormatRule(c->DSTStart) << FormatRule(c->DSTEnd)
              << Extra(extras, &TWorldExtras::CountryZones, i++);
            w.EndRow();
        }
        w.Save();
    }
    {
        TTableWriter w(dir, "states.csv",
                       "UniqueID,Name,Code,CountryId,UTCOffset,Reserved,DSTStart,DSTEnd,Zone");
        std::size_t i = 0;
        for (const auto& s : data.States) {
            w << std::to_string(s->UniqueID) << Utf8(TrimAnsi(s->Name).substr(0, NameCap))
              << Utf8(s->Code.substr(0, CodeCap)) << std::to_string(s->CountryId)
              << FormatExactDouble(s->UTCOffset) << std::to_string(s->Reserved)
              << FormatRule(s->DSTStart) << FormatRule(s->DSTEnd)
              << Extra(extras, &TWorldExtras::StateZones, i++);
            w.EndRow();
        }
        w.Save();
    }
    {
        TTableWriter w(dir, "cities.csv",
                       "UniqueID,ShortName,LongName,StateId,CountryId,Default,Zone,Population");
        std::size_t i = 0;
        for (const auto& c : data.Cities) {
            w << std::to_string(c->UniqueID) << Utf8(TrimAnsi(c->ShortName()))
              << Utf8(TrimAnsi(c->LongName).substr(0, NameCap)) << std::to_string(c->StateId)
              << std::to_string(c->CountryId) << (c->Default ? "1" : "0")
              << Extra(extras, &TWorldExtras::CityZones, i)
              << Extra(extras, &TWorldExtras::CityPopulations, i);
            ++i;
            w.EndRow();
        }
        w.Save();
    }
    {
        TTableWriter w(dir, "airports.csv",
                       "UniqueID,Name,Codes,ClosestCities,StateId,CountryId,Latitude,Longitude");
        std::size_t i = 0;
        for (const auto& a : data.Airports) {
            int lastCode = 0, lastCity = 0;
            for (int s = 1; s <= TAirport::SlotCount; ++s) {
                if (a->Codes(s).find('|') != std::string::npos)
                    throw EWorldTableError((dir / "airports.csv").string(), static_cast<int>(i) + 2,
                                           "Codes", "code '" + Utf8(a->Codes(s)) + "' holds '|'");
                if (!a->Codes(s).empty())
                    lastCode = s;
                if (a->ClosestCities(s) != 0)
                    lastCity = s;
            }
            std::string codes, cities;
            for (int s = 1; s <= lastCode; ++s) {
                if (s > 1)
                    codes += '|';
                codes += Utf8(a->Codes(s));
            }
            for (int s = 1; s <= lastCity; ++s) {
                if (s > 1)
                    cities += '|';
                cities += std::to_string(a->ClosestCities(s));
            }
            w << std::to_string(a->UniqueID) << Utf8(TrimAnsi(a->Name).substr(0, NameCap)) << codes
              << cities << std::to_string(a->StateId) << std::to_string(a->CountryId)
              << Extra(extras, &TWorldExtras::AirportLatitudes, i)
              << Extra(extras, &TWorldExtras::AirportLongitudes, i);
            ++i;
            w.EndRow();
        }
        w.Save();
    }
    {
        TTableWriter w(dir, "mycity.csv", "MyCity");
        w << std::to_string(data.MyCity ? data.MyCity->UniqueID : 0);
        w.EndRow();
        w.Save();
    }
}

int BuildWorld(const std::string& dir, const std::string& outFile, std::ostream& err) {
    TCityList data;
    try {
        ReadWorldTables(dir, data);
        SaveCityListFile(outFile, data, TBackup::None); // the tables are its source and backup
    } catch (const EStreamError& e) {
        err << FileErrorText(outFile, e.what()) << '\n';
        return 1;
    } catch (const std::exception& e) {
        err << "tvktool: " << e.what() << '\n';
        return 1;
    }
    return 0;
}

int ExportWorld(const std::string& file, const std::string& dir, std::ostream& err) {
    TCityList data;
    try {
        LoadCityListFile(file, data);
    } catch (const EStreamError& e) {
        err << FileErrorText(file, e.what()) << '\n';
        return 1;
    }
    try {
        WriteWorldTables(dir, data);
    } catch (const std::exception& e) {
        err << "tvktool: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
