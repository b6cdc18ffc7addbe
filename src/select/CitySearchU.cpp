#include "select/CitySearchU.h"

#include "data/ListTargetU.h"
#include "select/FullCityNameU.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>

int SplitWords(const std::string& text, std::vector<std::string>& words) {
    words.clear();
    if (text.empty())
        return -1;
    std::size_t start = 0;
    for (;;) {
        const std::size_t blank = text.find(' ', start);
        if (blank == std::string::npos) {
            if (start < text.size())
                words.push_back(text.substr(start));
            break;
        }
        words.push_back(text.substr(start, blank - start));
        start = blank + 1;
    }
    return static_cast<int>(words.size());
}

char FoldAnsiCase(char c) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7))
        return static_cast<char>(b + 0x20);
    switch (b) {
    case 0x8A: // S caron
    case 0x8C: // OE
    case 0x8E: // Z caron
        return static_cast<char>(b + 0x10);
    case 0x9F: // Y diaeresis
        return static_cast<char>(0xFF);
    default:
        return c;
    }
}

char FoldAnsiLetter(char c) {
    const auto b = static_cast<unsigned char>(FoldAnsiCase(c));
    // The lower-case letters of 0xE0..0xFF and the carons, by their base letter; others keep
    // their own (0xE6 ae, 0xF0 eth, 0xFE thorn, 0xF7 the division sign).
    static constexpr char Latin[33] = "aaaaaa\xE6"
                                      "ceeeeiiii\xF0nooooo\xF7ouuuuy\xFEy";
    if (b >= 0xE0)
        return Latin[b - 0xE0];
    switch (b) {
    case 0x9A:
        return 's';
    case 0x9E:
        return 'z';
    default:
        return static_cast<char>(b);
    }
}

bool AirportHasCode(const TAirport& airport, const std::string& code) {
    if (code.empty())
        return false;
    for (int slot = 1; slot <= TAirport::SlotCount; ++slot) {
        const std::string& own = airport.Codes(slot);
        if (own.size() != code.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < own.size() && same; ++i)
            same = FoldAnsiCase(own[i]) == FoldAnsiCase(code[i]);
        if (same)
            return true;
    }
    return false;
}

namespace {

void FoldInto(const std::string& s, std::string& out) {
    static const auto table = [] {
        std::array<char, 256> t{};
        for (int b = 0; b < 256; ++b)
            t[static_cast<std::size_t>(b)] = FoldAnsiLetter(static_cast<char>(b));
        return t;
    }();
    out.resize(s.size());
    for (std::size_t i = 0; i < s.size(); ++i)
        out[i] = table[static_cast<unsigned char>(s[i])];
}

// Records by id for one search: a city's place is looked up without scanning a collection.
// The first record with an id wins, as with FindById. Each entry also keeps what follows a city's
// own name in its full name when the record is its place, made once for the many cities there.
template <typename T> class TPlaceIndex {
public:
    struct TEntry {
        std::int32_t Id;
        const T* Record;
        std::string Tail;
        bool HasTail;
    };

    explicit TPlaceIndex(const TLocationCollection<T>& items) {
        Entries.reserve(static_cast<std::size_t>(items.Count()));
        for (const T* item : items)
            if (item->Id() != 0)
                Entries.push_back({item->Id(), item, {}, false});
        std::stable_sort(Entries.begin(), Entries.end(),
                         [](const TEntry& a, const TEntry& b) { return a.Id < b.Id; });
    }
    TEntry* Find(std::int32_t id) {
        const auto it =
            std::lower_bound(Entries.begin(), Entries.end(), id,
                             [](const TEntry& e, std::int32_t key) { return e.Id < key; });
        return it != Entries.end() && it->Id == id ? &*it : nullptr;
    }
    const T* Record(std::int32_t id) {
        const TEntry* e = Find(id);
        return e ? e->Record : nullptr;
    }

private:
    std::vector<TEntry> Entries;
};

// The same composition as FullCityName, with the places looked up in the indexes and each
// offset written once: a search may name thousands of places.
class TFullNames {
public:
    TFullNames(const TCityList& data, const TLocaleFacts& locale)
        : States(data.States), Countries(data.Countries), Locale(locale) {}

    std::string Of(const TCity& city) {
        if (city.StateId != 0) {
            auto* e = States.Find(city.StateId);
            if (e == nullptr)
                return city.LongName;
            if (!e->HasTail) {
                const TCountry* country = Countries.Record(e->Record->CountryId);
                e->Tail = ", " + e->Record->Name;
                if (country != nullptr)
                    e->Tail += ", " + country->Name;
                e->Tail += Suffix(e->Record->UTCOffset);
                e->HasTail = true;
            }
            return city.LongName + e->Tail;
        }
        auto* e = city.CountryId != 0 ? Countries.Find(city.CountryId) : nullptr;
        if (e == nullptr)
            return city.LongName;
        if (!e->HasTail) {
            e->Tail = ", " + e->Record->Name + Suffix(e->Record->UTCOffset);
            e->HasTail = true;
        }
        return city.LongName + e->Tail;
    }

    TPlaceIndex<TState> States;
    TPlaceIndex<TCountry> Countries;

private:
    const std::string& Suffix(double offset) {
        for (const auto& [value, text] : Suffixes)
            if (value == offset || (std::isnan(value) && std::isnan(offset)))
                return text;
        return Suffixes.emplace_back(offset, OffsetSuffix(offset, Locale)).second;
    }

    const TLocaleFacts& Locale;
    std::vector<std::pair<double, std::string>> Suffixes;
};

bool Serves(const TAirport& airport, std::int32_t cityId) {
    if (cityId == 0)
        return false; // 0 marks an empty slot
    for (int slot = 1; slot <= TAirport::SlotCount; ++slot)
        if (airport.ClosestCities(slot) == cityId)
            return true;
    return false;
}

// A city in a state lies in the state's country; one whose state is missing in none.
bool InCountry(const TCity& city, const TState* cityState, const TCountry& country) {
    if (city.StateId != 0)
        return cityState != nullptr && cityState->CountryId == country.UniqueId;
    return city.CountryId == country.UniqueId;
}

} // namespace

void FilterCities(const TCityList& data, const TCountry* country, const TState* state,
                  const TAirport* airport, TListTarget& results, const std::string& keywords,
                  double offset, const TLocaleFacts& locale) {
    std::vector<std::string> words;
    SplitWords(keywords, words);
    std::vector<std::string> folded;
    for (const std::string& w : words)
        if (!w.empty()) {
            folded.emplace_back();
            FoldInto(w, folded.back());
        }
    const bool byOffset = offset > AnyOffset;
    TFullNames names(data, locale);
    std::string name;

    for (const TCity* city : data.Cities) {
        if (state != nullptr && city->StateId != state->UniqueID)
            continue;
        if (airport != nullptr && !Serves(*airport, city->UniqueID))
            continue;
        if (!folded.empty()) {
            FoldInto(city->LongName, name);
            const std::string_view haystack(name);
            bool all = true;
            for (const std::string& w : folded)
                if (haystack.find(w) == std::string_view::npos) {
                    all = false;
                    break;
                }
            if (!all)
                continue;
        }
        if (country != nullptr || byOffset) {
            // The place that governs the city's time: its state, else its country.
            const TState* cityState =
                city->StateId != 0 ? names.States.Record(city->StateId) : nullptr;
            if (country != nullptr && !InCountry(*city, cityState, *country))
                continue;
            if (byOffset) {
                const TCountry* cityCountry =
                    city->StateId == 0 ? names.Countries.Record(city->CountryId) : nullptr;
                const bool match = cityState != nullptr     ? cityState->UTCOffset == offset
                                   : cityCountry != nullptr ? cityCountry->UTCOffset == offset
                                                            : false;
                if (!match)
                    continue;
            }
        }
        results.Add(names.Of(*city), const_cast<TCity*>(city));
    }
}

const std::vector<double>& SearchOffsets() {
    // Every half hour from -12 to +14, and the three quarter hours places use.
    static const std::vector<double> offsets = [] {
        std::vector<double> v;
        for (int half = -24; half <= 28; ++half) {
            v.push_back(half / 2.0);
            if (half == 11 || half == 17 || half == 25)
                v.push_back(half / 2.0 + 0.25);
        }
        return v;
    }();
    return offsets;
}

std::string SearchOffsetText(double offset, const TLocaleFacts& locale) {
    return (offset > 0 ? "+" : "") + FormatGeneral(offset, locale);
}

void FillCountryFilter(const TCityList& data, TListTarget& list) {
    list.Clear();
    list.Add("- Any Country -", nullptr);
    data.Countries.AddToComboBox(list, false, TLocaleFacts{});
    list.SetItemIndex(0);
}

void FillStateFilter(const TCityList& data, TListTarget& list, std::int32_t countryId) {
    list.Clear();
    list.Add("- Any State -", nullptr);
    data.States.AddToComboBox(list, countryId, false, TLocaleFacts{});
    list.SetItemIndex(0);
}

void FillAirportFilter(const TCityList& data, TListTarget& list, std::int32_t countryId,
                       std::int32_t stateId) {
    list.Clear();
    list.Add("- Any Airport -", nullptr);
    data.Airports.AddToComboBox(list, countryId, stateId);
    list.SetItemIndex(0);
}

void FillOffsetFilter(TListTarget& list, const TLocaleFacts& locale) {
    list.Clear();
    list.Add("Any", nullptr);
    for (double offset : SearchOffsets())
        list.Add(SearchOffsetText(offset, locale), nullptr);
    list.SetItemIndex(0);
}
