#include "prefs/OptionsValuesU.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace {

constexpr int ChoiceOf(int value, int buttons) {
    return value < 0 ? -1 : std::min(value, buttons - 1);
}

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// The daytime fields in the order of their edits.
constexpr std::uint8_t TDisplayOptions::*DaytimeFields[] = {
    &TDisplayOptions::DaytimeStartHour, &TDisplayOptions::DaytimeStartMinute,
    &TDisplayOptions::DaytimeEndHour, &TDisplayOptions::DaytimeEndMinute};

} // namespace

TOptionsControls ControlsFor(const TDisplayOptions& o) {
    TOptionsControls c;
    c.ShowSeconds = o.ShowSeconds != 0;
    c.ShowDate = o.ShowDate != 0;
    c.ShowCountry = o.ShowCountryName != 0;
    c.ShowState = o.ShowStateName != 0;
    c.ShowAirport = o.ShowAirportName != 0;
    c.DateStyle = ChoiceOf(o.DateStyle, 2);
    c.TimeStyle = ChoiceOf(o.TimeStyle, 2);
    c.Font = o.SmallCityFont ? 1 : 0;
    for (int e = StartHour; e <= EndMinute; ++e) {
        const int shown = std::min<int>(o.*DaytimeFields[e], DaytimeEditMax(e));
        c.Daytime[static_cast<std::size_t>(e)] = TwoDigitText(std::to_string(shown));
    }
    return c;
}

void StoreControls(const TOptionsControls& c, TDisplayOptions& o) {
    o.ShowSeconds = c.ShowSeconds;
    o.ShowDate = c.ShowDate;
    o.ShowCountryName = c.ShowCountry;
    o.ShowStateName = c.ShowState;
    o.ShowAirportName = c.ShowAirport;
    for (int e = StartHour; e <= EndMinute; ++e) {
        const std::optional<int> n = DaytimeNumber(c.Daytime[static_cast<std::size_t>(e)]);
        if (!n)
            break;
        o.*DaytimeFields[e] = static_cast<std::uint8_t>(std::clamp(*n, 0, DaytimeEditMax(e)));
    }
    // One byte each: no chosen button stores 255.
    o.TimeStyle = static_cast<std::uint8_t>(c.TimeStyle & 0xFF);
    o.DateStyle = static_cast<std::uint8_t>(c.DateStyle & 0xFF);
    o.SmallCityFont = c.Font == 1;
}

void DefaultsKeepingView(TDisplayOptions& o) {
    const TDisplayOptions kept = o;
    SetDefaults(o);
    o.AnalogClock = kept.AnalogClock;
    o.ShowCities = kept.ShowCities;
    o.StayOnTop = kept.StayOnTop;
    o.Docked = kept.Docked;
}

std::optional<int> DaytimeNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    if (i == text.size())
        return std::nullopt;
    constexpr int Far = 1000000; // beyond every range, and no overflow on long texts
    int n = 0;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i]))
            return std::nullopt;
        n = std::min(n * 10 + (text[i] - '0'), Far);
    }
    return negative ? -n : n;
}

bool IsDaytimeEntry(const std::string& text) {
    if (!std::all_of(text.begin(), text.end(), IsDigit))
        return false;
    return text.size() <= 2 || (text.size() == 3 && text[0] == '0');
}

std::string TwoDigitText(const std::string& text) {
    if (text.size() == 1)
        return "0" + text;
    if (text.size() == 3 && text[0] == '0' && IsDaytimeEntry(text))
        return text.substr(1);
    return text;
}
