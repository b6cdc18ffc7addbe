#include "CitySearchU.h"

#include "FullCityNameU.h"
#include "ListTargetU.h"

#include <cstdint>
#include <string_view>
#include <unordered_map>

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

namespace {

void FoldInto(const std::string& s, std::string& out) {
    out.resize(s.size());
    for (std::size_t i = 0; i < s.size(); ++i)
        out[i] = FoldAnsiCase(s[i]);
}

// Records by id, looked up once per search instead of scanning a collection for every city.
// The first record with an id wins, as with FindById.
template <typename T> class TIdIndex {
public:
    explicit TIdIndex(const TLocationCollection<T>& items) {
        Map.reserve(static_cast<std::size_t>(items.Count()));
        for (const T* item : items)
            if (item->Id() != 0)
                Map.emplace(item->Id(), item);
    }
    const T* Find(std::int32_t id) const {
        const auto it = Map.find(id);
        return it == Map.end() ? nullptr : it->second;
    }

private:
    std::unordered_map<std::int32_t, const T*> Map;
};

// What follows the city's own name in its full name depends on its place alone, and few
// places serve many cities: each place's part is made once.
class TNameTails {
public:
    TNameTails(const TCityList& data, const TLocaleFacts& locale) : Data(data), Locale(locale) {}
    const std::string& Of(const TCity& city) {
        const std::int64_t key =
            city.StateId != 0 ? (std::int64_t{1} << 32) | static_cast<std::uint32_t>(city.StateId)
                              : static_cast<std::uint32_t>(city.CountryId);
        auto it = Tails.find(key);
        if (it == Tails.end()) {
            TCity place; // a city of no name in the same place
            place.StateId = city.StateId;
            place.CountryId = city.CountryId;
            it = Tails.emplace(key, FullCityName(Data, &place, Locale)).first;
        }
        return it->second;
    }

private:
    const TCityList& Data;
    const TLocaleFacts& Locale;
    std::unordered_map<std::int64_t, std::string> Tails;
};

bool Serves(const TAirport& airport, std::int32_t cityId) {
    if (cityId == 0)
        return false; // 0 marks an empty slot
    for (int slot = 1; slot <= TAirport::SlotCount; ++slot)
        if (airport.ClosestCities(slot) == cityId)
            return true;
    return false;
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
    const TIdIndex<TState> states(data.States);
    const TIdIndex<TCountry> countries(data.Countries);
    TNameTails tails(data, locale);
    std::string name;

    for (const TCity* city : data.Cities) {
        const TState* cityState = city->StateId != 0 ? states.Find(city->StateId) : nullptr;
        if (country != nullptr) {
            // A city in a state belongs to the state's country; one whose state is missing
            // belongs to no country.
            const bool inCountry =
                city->StateId != 0
                    ? cityState != nullptr && cityState->CountryId == country->UniqueId
                    : city->CountryId == country->UniqueId;
            if (!inCountry)
                continue;
        }
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
        if (byOffset) {
            // The place that governs the city's time: its state, else its country.
            const TCountry* cityCountry = city->StateId == 0 && city->CountryId != 0
                                              ? countries.Find(city->CountryId)
                                              : nullptr;
            if (cityState != nullptr) {
                if (cityState->UTCOffset != offset)
                    continue;
            } else if (cityCountry != nullptr) {
                if (cityCountry->UTCOffset != offset)
                    continue;
            } else {
                continue;
            }
        }
        results.Add(city->LongName + tails.Of(*city), const_cast<TCity*>(city));
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
