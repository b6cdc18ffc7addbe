#include "manage/ZonePickerRulesU.h"

#include <algorithm>

namespace {

char Lower(char c) {
    if (c >= 'A' && c <= 'Z')
        return static_cast<char>(c - 'A' + 'a');
    return c == '_' ? ' ' : c;
}

std::string Folded(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        out += Lower(c);
    return out;
}

std::string Trimmed(const std::string& text) {
    const std::size_t b = text.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    return text.substr(b, text.find_last_not_of(" \t") - b + 1);
}

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Whether the text begins a part of the name: at its start, after a '/', or after a word break
// ("york" in "america/new york", "salle" in "america/la salle").
bool BeginsAPart(const std::string& name, const std::string& text) {
    for (std::size_t at = name.find(text); at != std::string::npos; at = name.find(text, at + 1)) {
        const char before = at == 0 ? '/' : name[at - 1];
        if (before == '/' || before == ' ' || before == '-')
            return true;
    }
    return false;
}

} // namespace

std::string ZoneLineText(const TZoneName& zone) {
    if (zone.Countries.empty())
        return zone.Name;
    std::string text = zone.Name + " (";
    for (std::size_t i = 0; i < zone.Countries.size(); ++i)
        text += (i == 0 ? "" : ", ") + zone.Countries[i];
    return text + ")";
}

std::string ZoneCountryCode(const std::string& text) {
    const std::string t = Trimmed(text);
    if (t.size() != 2 || !IsLetter(t[0]) || !IsLetter(t[1]))
        return {};
    std::string code = t;
    for (char& c : code)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return code;
}

std::vector<std::size_t> FilterZones(const std::vector<TZoneName>& zones,
                                     const std::string& search) {
    const std::string text = Folded(Trimmed(search));
    const std::string code = ZoneCountryCode(search);
    std::vector<std::size_t> first, second;
    for (std::size_t i = 0; i < zones.size(); ++i) {
        const TZoneName& z = zones[i];
        const std::string name = Folded(z.Name);
        const bool serves = !code.empty() && std::find(z.Countries.begin(), z.Countries.end(),
                                                       code) != z.Countries.end();
        if (text.empty() || serves || BeginsAPart(name, text))
            first.push_back(i);
        else if (name.find(text) != std::string::npos)
            second.push_back(i);
    }
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

std::optional<TZonePick> PickOfZone(const TZoneDerivation& zone) {
    if (!zone.Ok)
        return std::nullopt;
    return TZonePick{zone.UTCOffset, zone.DSTStart, zone.DSTEnd};
}

void ShowZonePick(const TZonePick& pick, std::string& offsetText, TDSTPanelState& panel,
                  const TDSTSummaryContext& context) {
    offsetText = FormatGeneral(pick.UTCOffset, context.Locale);
    LoadDSTPanel(panel, pick.DSTStart, pick.DSTEnd, true, context);
}

std::int64_t UnixSeconds(TDateTime utc) {
    constexpr std::int64_t UnixEpochMs = 25569LL * 86400000LL;
    const std::int64_t ms = ToMilliseconds(utc) - UnixEpochMs;
    return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
}
