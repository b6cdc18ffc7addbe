#include "clock/FaceChecksU.h"

#include <cmath>
#include <string_view>
#include <utility>

namespace {

// A hint but for its time of day, the line before the date: the moment the label was built.
bool SameHintButTheTime(const std::string& a, const std::string& b) {
    auto split = [](const std::string& h) {
        const std::string_view v(h);
        const std::size_t date = v.rfind("\r\n");
        const std::size_t time = date == 0 || date == v.npos ? v.npos : v.rfind("\r\n", date - 1);
        if (time == v.npos)
            return std::pair(v, std::string_view());
        return std::pair(v.substr(0, time), v.substr(date));
    };
    return split(a) == split(b);
}

} // namespace

bool SameCityLabels(const TCityLabelLayout& a, const TCityLabelLayout& b) {
    if (a.DayCitySlots != b.DayCitySlots || a.NightCitySlots != b.NightCitySlots ||
        a.Labels.size() != b.Labels.size())
        return false;
    for (std::size_t i = 0; i < a.Labels.size(); ++i) {
        const TCityLabelPlan& p = a.Labels[i];
        const TCityLabelPlan& q = b.Labels[i];
        if (p.Id != q.Id || p.Column != q.Column || p.Slot != q.Slot || p.IsDay != q.IsDay ||
            p.Left != q.Left || p.Top != q.Top || p.FixedWidth != q.FixedWidth ||
            p.Caption != q.Caption || !SameHintButTheTime(p.Hint, q.Hint) ||
            p.ChangeHint != q.ChangeHint)
            return false;
    }
    return true;
}

TCityLabelsSource CityLabelsSourceOf(const TDisplayOptions& options, const std::string& timeFormat,
                                     const TCity* current, TDateTime utcNow,
                                     TDateTime currentLocalTime) {
    return {options, timeFormat, current, std::floor(utcNow * 24),
            std::floor(currentLocalTime * 24)};
}

bool CityLabelsSourceHolds(const TCityLabelsSource& built, const TDisplayOptions& options,
                           const std::string& timeFormat, const TCity* current, TDateTime utcNow,
                           TDateTime currentLocalTime) {
    return built.Options == options && built.TimeFormat == timeFormat && built.Current == current &&
           built.UtcHour == std::floor(utcNow * 24) &&
           built.LocalHour == std::floor(currentLocalTime * 24);
}

std::int64_t LabelCheckMinute(TDateTime t) {
    return std::isfinite(t) && std::fabs(t) < 1e7 ? std::llround(t * 86400000.0) / 60000 : 0;
}

bool DifferenceKeyHolds(const TDifferenceKey& made, const TDifferenceSource& now) {
    return made.Source == now &&
           (now.Current == nullptr || made.CurrentName == now.Current->LongName) &&
           (now.My == nullptr || made.MyName == now.My->LongName);
}

void RememberDifference(TDifferenceKey& made, const TDifferenceSource& now) {
    made.Source = now;
    made.CurrentName = now.Current ? now.Current->LongName : std::string();
    made.MyName = now.My ? now.My->LongName : std::string();
}

int CompareTimes(TDateTime a, TDateTime b) {
    return a < b ? -1 : a > b ? 1 : 0;
}
