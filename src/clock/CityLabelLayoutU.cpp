#include "clock/CityLabelLayoutU.h"

#include "data/ClockChangesU.h"

#include <cmath>
#include <cstdio>
#include <unordered_map>

namespace {

constexpr int CircleWidth = 38;
constexpr int TopDifference = 292 - 67; // the large top skin over the small one
constexpr const char* CrLf = "\r\n";

// The first item of each id in collection order, as a lookup by id would find it.
template <typename Collection, typename T>
std::unordered_map<std::int32_t, const T*> FirstById(const Collection& items) {
    std::unordered_map<std::int32_t, const T*> m;
    m.reserve(static_cast<std::size_t>(items.Count()));
    for (const T* item : items)
        if (item->Id() != 0)
            m.emplace(item->Id(), item);
    return m;
}

std::string UtcText(double offset, bool plusAtZero) {
    char b[48];
    const double whole = std::trunc(offset);
    if (!std::isfinite(whole) || std::fabs(whole) > 1e9)
        return "UTC";
    if (offset > 0 || (plusAtZero && offset >= 0))
        std::snprintf(b, sizeof b, "UTC +%.0f", whole);
    else
        std::snprintf(b, sizeof b, "UTC %.0f", whole == 0 ? 0.0 : whole);
    return b;
}

std::string HintDate(TDateTime t, int dateStyle, const TLocaleFacts& locale) {
    if (dateStyle != 1)
        return FormatCentreDate(t, dateStyle, locale);
    std::string s = FormatCentreDate(t, 1, locale);
    // The month comes second and is written in lower case here: "Mon dec 7 2026".
    if (s.size() > 7)
        for (std::size_t i = 4; i < 7; ++i)
            s[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(s[i])));
    return s;
}

} // namespace

std::string CityLabelHint(const TCityLabelPlan& plan) {
    return plan.ChangeHint.empty() ? plan.Hint : plan.Hint + CrLf + plan.ChangeHint;
}

std::string CityLabelCaption(const TCity& city, int code) {
    if (code == 3)
        return city.ShortName();
    return city.ShortName().substr(0, 6) + OffsetMarks(code);
}

TCityLabelLayout BuildCityLabelLayout(const TCityList& data, const TDisplayOptions& o,
                                      TDateTime currentLocalTime, TDateTime utcNow,
                                      const std::string& timeFormat, const TLocaleFacts& locale) {
    TCityLabelLayout r;
    r.DayCitySlots.fill(-1);
    r.NightCitySlots.fill(-1);
    const int h = Hour12(DecodeTime(currentLocalTime).Hour);
    const auto states = FirstById<TStates, TState>(data.States);
    const auto countries = FirstById<TCountries, TCountry>(data.Countries);
    auto find = [](const auto& map, std::int32_t id) -> decltype(map.begin()->second) {
        const auto it = map.find(id);
        return it == map.end() ? nullptr : it->second;
    };

    struct Candidate {
        const TCity* City;
        const TState* State;
        const TCountry* Country;
        TDateTime Time;
    };
    // Each column holds one hour; collect its cities in collection order.
    std::array<std::vector<Candidate>, 12> byColumn;
    for (const TCity* c : data.Cities) {
        if (!c->Default)
            continue;
        Candidate cand{c, nullptr, nullptr, 0};
        if (c->StateId != 0) {
            cand.State = find(states, c->StateId);
            if (cand.State == nullptr)
                continue;
            cand.Country = find(countries, cand.State->CountryId);
            if (cand.Country == nullptr)
                continue;
            cand.Time = cand.State->LocalTimeWholeHours(utcNow);
        } else if (c->CountryId != 0) {
            cand.Country = find(countries, c->CountryId);
            if (cand.Country == nullptr)
                continue;
            cand.Time = cand.Country->LocalTimeWholeHours(utcNow);
        } else {
            continue;
        }
        const int n = Hour12(DecodeTime(cand.Time).Hour);
        int column = n - h;
        if (column <= 0)
            column += 12;
        if (column >= 1 && column <= 11)
            byColumn[static_cast<std::size_t>(column)].push_back(cand);
    }

    for (int k = h + 1; k <= h + 11; ++k) {
        int column = Hour12(k) - h;
        if (column <= 0)
            column += 12;
        for (const Candidate& cand : byColumn[static_cast<std::size_t>(column)]) {
            const bool isDay = IsDaytime(o, cand.Time);
            const int first = 4 * (column - 1) + 1;
            int start = first, limit = 2;
            if (o.SmallCityFont)
                limit = 4;
            else if (column % 2 == 0) {
                start = first + 2;
                limit = 4;
            }
            auto& table = isDay ? r.DayCitySlots : r.NightCitySlots;
            int slot = start;
            while (slot <= 44 && slot - first < limit && table[static_cast<std::size_t>(slot)] > 0)
                ++slot;
            if (slot > 44 || slot - first >= limit)
                continue; // no room: no label, no message
            table[static_cast<std::size_t>(slot)] = cand.City->UniqueID;

            TCityLabelPlan plan;
            plan.Id = cand.City->UniqueID;
            plan.Column = column;
            plan.Slot = slot;
            plan.IsDay = isDay;
            plan.Top =
                (isDay ? 342 : 405) - (o.AnalogClock ? 0 : TopDifference) + ((slot - 1) % 4) * 16;
            plan.Left = 12 + (CircleWidth + 15) * ((slot - 1) / 4);
            plan.FixedWidth = column == 11 ? CircleWidth + 5 : 0;

            const double offset = cand.State     ? cand.State->UTCOffset
                                  : cand.Country ? cand.Country->UTCOffset
                                                 : 0.0;
            const int code = OffsetFraction(offset);
            std::string utc = UtcText(offset, cand.State != nullptr);
            if (code != 3)
                utc += OffsetFractionChar(code);
            plan.Caption = CityLabelCaption(*cand.City, code);
            plan.Hint = cand.City->LongName + CrLf;
            if (cand.State)
                plan.Hint += cand.State->Name + CrLf;
            plan.Hint += (cand.Country ? cand.Country->Name : std::string()) + CrLf;
            plan.Hint += utc + CrLf + FormatDateTimeText(timeFormat, cand.Time, locale) + CrLf +
                         HintDate(cand.Time, o.DateStyle, locale);
            const TPlace place{cand.State, cand.State ? nullptr : cand.Country};
            const auto changes = ClockChanges(place, utcNow, IncDateTime(utcNow, 7));
            if (!changes.empty())
                plan.ChangeHint = ChangeHint(changes.front(), o.TimeStyle == 1);
            r.Labels.push_back(std::move(plan));
        }
    }
    return r;
}
