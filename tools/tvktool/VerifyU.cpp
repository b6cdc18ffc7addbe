#include "VerifyU.h"

#include "TvkToolU.h"
#include "data/AnsiTextU.h"
#include "data/ByteIoU.h"
#include "data/CityListU.h"
#include "data/StreamU.h"

#include <cmath>
#include <map>
#include <ostream>

namespace {

// A short string in a record: where its length byte stands, what it may hold, what it is.
struct TTextField {
    std::size_t Offset;
    std::size_t Capacity;
    const char* Name;
};

struct TBlock {
    const char* Kind; // "country", ...
    const char* Plural;
    std::size_t RecordSize;
    std::vector<TTextField> Texts;
};

const TBlock Blocks[] = {
    {"country", "countries", TCountry::RecordSize, {{4, 255, "Name"}, {260, 5, "Code"}}},
    {"state", "states", TState::RecordSize, {{4, 55, "Name"}, {60, 5, "Code"}}},
    {"city", "cities", TCity::RecordSize, {{4, 8, "ShortName"}, {13, 55, "LongName"}}},
    {"airport",
     "airports",
     TAirport::RecordSize,
     {{4, 55, "Name"},
      {60, 5, "Codes[1]"},
      {66, 5, "Codes[2]"},
      {72, 5, "Codes[3]"},
      {78, 5, "Codes[4]"},
      {84, 5, "Codes[5]"},
      {90, 5, "Codes[6]"},
      {96, 5, "Codes[7]"},
      {102, 5, "Codes[8]"},
      {108, 5, "Codes[9]"},
      {114, 5, "Codes[10]"}}},
};

// "city 7 (id 12, Sydney)": the record's place in its block (from 1) and what it says.
std::string Record(const char* kind, int index, std::int32_t id, const std::string& name) {
    return std::string(kind) + " " + std::to_string(index + 1) + " (id " + std::to_string(id) +
           (name.empty() ? std::string() : ", " + AnsiToUtf8(name)) + ")";
}

// The bytes themselves: counts, text lengths, where the file ends. Answers the stored My City
// id, 0 when the file does not hold one.
std::int32_t VerifyLayout(const std::vector<std::uint8_t>& bytes, std::vector<std::string>& found) {
    const std::size_t size = bytes.size();
    std::size_t pos = 0;
    for (const TBlock& block : Blocks) {
        if (size - pos < 4) {
            found.push_back("the file ends inside the " + std::string(block.Plural) +
                            " count at byte " + std::to_string(pos) +
                            ": the program stops with \"Stream read error\"");
            return 0;
        }
        const std::int32_t count = GetI32(bytes.data() + pos);
        if (count < 0)
            found.push_back(std::string(block.Plural) + " count " + std::to_string(count) +
                            " at byte " + std::to_string(pos) + " is negative: read as none");
        pos += 4;
        for (std::int32_t i = 0; i < count; ++i) {
            if (size - pos < block.RecordSize) {
                found.push_back("the file ends inside " + std::string(block.Kind) + " " +
                                std::to_string(i + 1) + " of " + std::to_string(count) +
                                " at byte " + std::to_string(pos) +
                                ": the program stops with \"Stream read error\"");
                return 0;
            }
            const std::uint8_t* r = bytes.data() + pos;
            for (const TTextField& t : block.Texts)
                if (r[t.Offset] > t.Capacity)
                    found.push_back(Record(block.Kind, i, GetI32(r), "") + ": " + t.Name +
                                    " length " + std::to_string(r[t.Offset]) + " at byte " +
                                    std::to_string(pos + t.Offset) + " is beyond its capacity " +
                                    std::to_string(t.Capacity) + ": read as " +
                                    std::to_string(t.Capacity));
            pos += block.RecordSize;
        }
    }
    if (size - pos < 4) {
        found.push_back("the file ends " + std::string(size == pos ? "before" : "inside") +
                        " the My City id at byte " + std::to_string(pos) + ": read as none");
        return 0;
    }
    if (size - pos > 4)
        found.push_back(std::to_string(size - pos - 4) + " bytes after the My City id at byte " +
                        std::to_string(pos + 4) + ": ignored");
    return GetI32(bytes.data() + pos);
}

template <typename Collection, typename Name>
void VerifyIds(const char* kind, const Collection& items, Name name,
               std::vector<std::string>& found) {
    std::map<std::int32_t, int> first;
    int i = 0;
    for (const auto& item : items) {
        const auto [at, fresh] = first.emplace(item->Id(), i);
        if (!fresh) {
            const auto& earlier = *items.begin()[at->second];
            found.push_back(Record(kind, i, item->Id(), name(*item)) + ": same id as " +
                            Record(kind, at->second, earlier.Id(), name(earlier)) +
                            ", which the program finds instead");
        }
        ++i;
    }
}

void VerifyOffset(const std::string& where, double offset, std::vector<std::string>& found) {
    if (std::isnan(offset))
        found.push_back(where + ": UTCOffset is not a number");
    else if (std::isinf(offset))
        found.push_back(where + ": UTCOffset is infinite");
    else if (offset <= UnsetUTCOffset)
        found.push_back(where + ": UTCOffset " + JsonNumber(offset) + " means not set");
    else if (offset < -12 || offset > 14)
        found.push_back(where + ": UTCOffset " + JsonNumber(offset) + " is outside -12..14");
}

const char* const MonthNames[] = {"January",   "February", "March",    "April",
                                  "May",       "June",     "July",     "August",
                                  "September", "October",  "November", "December"};

// A day of a month: empty when it exists every year, else why not.
std::string DayProblem(unsigned month, unsigned day) {
    if (month < 1 || month > 12)
        return "month " + std::to_string(month) + " does not exist";
    const std::string name = MonthNames[month - 1];
    if (day == 29 && month == 2)
        return "29 February exists only in leap years";
    if (day < 1 || static_cast<int>(day) > DaysInMonth(2001, static_cast<int>(month)))
        return "day " + std::to_string(day) + " of " + name + " does not exist";
    return {};
}

// The dates that the program computes from a place's rules. The start rule's kind decides
// how both rules are read; other kinds compute no daylight saving at all.
void VerifyRules(const std::string& where, const TSummerTimeRule& start, const TSummerTimeRule& end,
                 std::vector<std::string>& found) {
    const std::uint8_t kind = start.Kind;
    if (kind == RuleKindNone)
        return;
    if (kind != RuleKindFixed && kind != RuleKindWeekday) {
        found.push_back(where + ": DSTStart kind " + std::to_string(kind) +
                        " is none of 0 (fixed date), 1 (weekday), 2 (none): no daylight saving");
        return;
    }
    for (const auto& [name, r] :
         {std::pair<const char*, const TSummerTimeRule&>{"DSTStart", start}, {"DSTEnd", end}}) {
        std::string problem;
        if (kind == RuleKindFixed) {
            problem = DayProblem(r.FixedMonth, r.FixedDay);
        } else if (r.RuleMonth < 1 || r.RuleMonth > 12) {
            problem = "month " + std::to_string(r.RuleMonth) + " does not exist";
        } else if (r.AfterDay == 0) {
            if (r.WeekDay < 1 || r.WeekDay > 7)
                problem = "weekday " + std::to_string(r.WeekDay) + " does not exist";
            else if (r.WeekOrdinal > 4)
                problem =
                    "week " + std::to_string(r.WeekOrdinal + 1) + " of a month does not exist";
        } else {
            problem = DayProblem(r.RuleMonth, r.AfterDay);
            if (problem.empty() && (r.WeekDay < 1 || r.WeekDay > 7))
                problem =
                    "weekday " + std::to_string(r.WeekDay) + " does not exist (counted as Sunday)";
        }
        if (problem.empty() && !(r.ChangeTime >= 0.0 && r.ChangeTime < 1.0))
            problem = "change time " + JsonNumber(r.ChangeTime) + " is no time of day";
        if (!problem.empty())
            found.push_back(where + ": " + name + ": " + problem);
    }
}

// The records as the program reads them. Links are followed only in a whole file: in a cut
// one they would name every record that was never read.
void VerifyRecords(const TCityList& d, bool whole, std::int32_t myCityId,
                   std::vector<std::string>& found) {
    VerifyIds(
        "country", d.Countries, [](const TCountry& c) { return c.Name; }, found);
    VerifyIds(
        "state", d.States, [](const TState& s) { return s.Name; }, found);
    VerifyIds(
        "city", d.Cities, [](const TCity& c) { return c.LongName; }, found);
    VerifyIds(
        "airport", d.Airports, [](const TAirport& a) { return a.Name; }, found);

    int i = 0;
    for (const auto& c : d.Countries) {
        const std::string where = Record("country", i++, c->UniqueId, c->Name);
        VerifyOffset(where, c->UTCOffset, found);
        VerifyRules(where, c->DSTStart, c->DSTEnd, found);
    }
    i = 0;
    for (const auto& s : d.States) {
        const std::string where = Record("state", i++, s->UniqueID, s->Name);
        VerifyOffset(where, s->UTCOffset, found);
        VerifyRules(where, s->DSTStart, s->DSTEnd, found);
    }
    if (!whole)
        return;
    i = 0;
    for (const auto& c : d.Countries) {
        const std::string where = Record("country", i++, c->UniqueId, c->Name);
        if (c->CapitalCity != 0 && !d.Cities.FindById(c->CapitalCity))
            found.push_back(where + ": capital city " + std::to_string(c->CapitalCity) +
                            " does not exist");
    }
    i = 0;
    for (const auto& s : d.States) {
        const std::string where = Record("state", i++, s->UniqueID, s->Name);
        if (!d.Countries.FindById(s->CountryId))
            found.push_back(where + ": country " + std::to_string(s->CountryId) +
                            " does not exist");
    }
    i = 0;
    for (const auto& c : d.Cities) {
        const std::string where = Record("city", i++, c->UniqueID, c->LongName);
        const TState* state = c->StateId != 0 ? d.States.FindById(c->StateId) : nullptr;
        if (c->StateId != 0 && !state)
            found.push_back(where + ": state " + std::to_string(c->StateId) +
                            " does not exist: the city has no time");
        if (c->CountryId != 0 && !d.Countries.FindById(c->CountryId))
            found.push_back(where + ": country " + std::to_string(c->CountryId) +
                            " does not exist" + (c->StateId == 0 ? ": the city has no time" : ""));
        if (c->StateId == 0 && c->CountryId == 0)
            found.push_back(where + ": neither state nor country: the city has no time");
        if (state && c->CountryId != 0 && state->CountryId != c->CountryId)
            found.push_back(where + ": state " + std::to_string(c->StateId) +
                            " belongs to country " + std::to_string(state->CountryId) +
                            ", the city to country " + std::to_string(c->CountryId));
    }
    i = 0;
    for (const auto& a : d.Airports) {
        const std::string where = Record("airport", i++, a->UniqueID, a->Name);
        for (int slot = 1; slot <= TAirport::SlotCount; ++slot)
            if (a->ClosestCities(slot) != 0 && !d.Cities.FindById(a->ClosestCities(slot)))
                found.push_back(where + ": closest city " + std::to_string(a->ClosestCities(slot)) +
                                " in slot " + std::to_string(slot) + " does not exist");
        if (a->StateId != 0 && !d.States.FindById(a->StateId))
            found.push_back(where + ": state " + std::to_string(a->StateId) + " does not exist");
        if (a->CountryId != 0 && !d.Countries.FindById(a->CountryId))
            found.push_back(where + ": country " + std::to_string(a->CountryId) +
                            " does not exist");
    }
    if (myCityId != 0 && !d.Cities.FindById(myCityId))
        found.push_back("My City " + std::to_string(myCityId) + " does not exist: read as none");
}

} // namespace

std::vector<std::string> VerifyCityListBytes(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::string> found;
    const std::int32_t myCityId = VerifyLayout(bytes, found);
    TCityList data;
    TMemoryInStream stream(bytes);
    bool whole = true;
    try {
        ReadCityList(stream, data);
    } catch (const EReadError&) {
        whole = false; // told above; the records read so far are still worth a look
    }
    VerifyRecords(data, whole, myCityId, found);
    return found;
}

int RunVerify(const std::string& file, std::ostream& out, std::ostream& err) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadWholeFile(file);
    } catch (const EStreamError& e) {
        err << FileErrorText(file, e.what()) << '\n';
        return 1;
    }
    const std::vector<std::string> found = VerifyCityListBytes(bytes);
    for (const std::string& f : found)
        out << f << '\n';
    return found.empty() ? 0 : 1;
}
