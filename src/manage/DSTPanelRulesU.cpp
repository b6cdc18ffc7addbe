#include "manage/DSTPanelRulesU.h"

#include <cstdlib>
#include <limits>

namespace {

// The text of a whole number with an optional sign and blanks around it; false otherwise.
bool ParseWhole(const std::string& text, long& out) {
    std::size_t b = text.find_first_not_of(' ');
    std::size_t e = text.find_last_not_of(' ');
    if (b == std::string::npos)
        return false;
    const std::string t = text.substr(b, e - b + 1);
    std::size_t i = (t[0] == '+' || t[0] == '-') ? 1 : 0;
    if (i == t.size() || t.size() - i > 9)
        return false;
    for (std::size_t k = i; k < t.size(); ++k)
        if (t[k] < '0' || t[k] > '9')
            return false;
    out = std::strtol(t.c_str(), nullptr, 10);
    return true;
}

bool IsBlank(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

// A rule without its week or its weekday counts from an after day all the same, to a date the
// user never chose, and reloads as no saving at all: such a row gives no dates.
bool RuleRowComplete(const TDSTPanelHalf& half) {
    return half.Ordinal >= 0 && half.WeekDay >= 0;
}

int IndexOr(int stored, int count) {
    return stored >= 0 && stored < count ? stored : -1;
}

std::uint16_t IndexPlusOne(int index) {
    return index >= 0 ? static_cast<std::uint16_t>(index + 1) : 0;
}

std::string TwoDigits(int n) {
    return PadTimeText(std::to_string(n));
}

// The rule the summary is computed with: no time of day, and a missing ordinal as 255.
TSummerTimeRule SummaryRule(const TDSTPanelHalf& half, bool ruleMode) {
    TSummerTimeRule r = RuleFromHalf(half, ruleMode, 255);
    r.ChangeTime = 0;
    return r;
}

} // namespace

std::uint16_t DayNumber(const std::string& text) {
    long n = 0;
    if (!ParseWhole(text, n) || n < 0 || n > std::numeric_limits<std::uint16_t>::max())
        return 0;
    return static_cast<std::uint16_t>(n);
}

double TimeOfDay(const std::string& hour, const std::string& minute) {
    long h = 0, m = 0;
    TDateTime t = 0;
    // "02" with the minutes left empty is two o'clock, not midnight.
    const std::string& minutes = IsBlank(minute) && !IsBlank(hour) ? std::string("0") : minute;
    if (!ParseWhole(hour, h) || !ParseWhole(minutes, m) || h < 0 || m < 0 || h > 99 || m > 99 ||
        !TryEncodeTime(static_cast<int>(h), static_cast<int>(m), 0, 0, t))
        return 0;
    return t;
}

TDSTTimeFault FirstTimeFault(const TDSTPanelState& panel) {
    // Minutes without their hour would store a change at midnight the user never typed.
    if (IsBlank(panel.Start.Hour) && !IsBlank(panel.Start.Minute))
        return TDSTTimeFault::StartHour;
    if (IsBlank(panel.End.Hour) && !IsBlank(panel.End.Minute))
        return TDSTTimeFault::EndHour;
    return TDSTTimeFault::None;
}

void StartNewRecordTimes(TDSTPanelState& panel) {
    for (TDSTPanelHalf* h : {&panel.Start, &panel.End})
        if (h->Minute.empty())
            h->Minute = "00";
}

std::string PadTimeText(const std::string& text) {
    return text.size() == 1 ? "0" + text : text;
}

void ClearRuleFields(TDSTPanelState& panel) {
    for (TDSTPanelHalf* h : {&panel.Start, &panel.End}) {
        h->Ordinal = -1;
        h->WeekDay = -1;
        h->Month = -1;
        h->AfterDay.clear();
    }
    panel.Summary.clear();
}

void ClearFixedFields(TDSTPanelState& panel) {
    for (TDSTPanelHalf* h : {&panel.Start, &panel.End}) {
        h->FixedDay.clear();
        h->FixedMonth = -1;
    }
}

void ClearTimeFields(TDSTPanelState& panel) {
    for (TDSTPanelHalf* h : {&panel.Start, &panel.End}) {
        h->Hour.clear();
        h->Minute.clear();
    }
}

TSummerTimeRule RuleFromHalf(const TDSTPanelHalf& half, bool ruleMode,
                             std::uint8_t ordinalWhenNone) {
    TSummerTimeRule r;
    if (ruleMode) {
        r.Kind = RuleKindWeekday;
        r.WeekOrdinal =
            half.Ordinal >= 0 ? static_cast<std::uint8_t>(half.Ordinal) : ordinalWhenNone;
        r.WeekDay = IndexPlusOne(half.WeekDay);
        r.RuleMonth = IndexPlusOne(half.Month);
        r.AfterDay = DayNumber(half.AfterDay);
    } else {
        r.Kind = RuleKindFixed;
        r.FixedDay = DayNumber(half.FixedDay);
        r.FixedMonth = IndexPlusOne(half.FixedMonth);
    }
    r.ChangeTime = TimeOfDay(half.Hour, half.Minute);
    return r;
}

void ShowRuleInHalf(const TSummerTimeRule& rule, bool ruleFields, TDSTPanelHalf& half) {
    if (ruleFields) {
        half.Ordinal = IndexOr(rule.WeekOrdinal, 4);
        half.WeekDay = IndexOr(rule.WeekDay - 1, 7);
        half.AfterDay = rule.AfterDay == 0 ? std::string() : std::to_string(rule.AfterDay);
        half.Month = IndexOr(rule.RuleMonth - 1, 12);
    } else {
        half.FixedDay = std::to_string(rule.FixedDay);
        half.FixedMonth = IndexOr(rule.FixedMonth - 1, 12);
    }
}

TDSTCheck ValidateDSTPanel(const TDSTPanelState& panel, const TDSTSummaryContext& context) {
    if (!panel.Checked)
        return {true, {}};
    TDateParts today;
    if (!TryDecodeDate(context.LocalNow, today))
        return {false, "Not ok"};
    const int y = today.Year;
    const TSummerTimeRule s = SummaryRule(panel.Start, panel.RuleMode);
    const TSummerTimeRule e = SummaryRule(panel.End, panel.RuleMode);
    const auto date = panel.RuleMode ? WeekdayRuleDate : FixedRuleDate;
    TDateTime sPrev = 0, sThis = 0, sNext = 0, ePrev = 0, eThis = 0, eNext = 0;
    const bool okS = date(y - 1, s, sPrev);
    date(y, s, sThis);
    date(y + 1, s, sNext);
    const bool okE = date(y - 1, e, ePrev);
    date(y, e, eThis);
    date(y + 1, e, eNext);
    if (!okS || !okE ||
        (panel.RuleMode && !(RuleRowComplete(panel.Start) && RuleRowComplete(panel.End))))
        return {false, "Not ok"};
    const auto text = [&](TDateTime from, TDateTime to) {
        return "Start: " + FormatDateTimeText(context.DateFormat, from, context.Locale) +
               "     End: " + FormatDateTimeText(context.DateFormat, to, context.Locale);
    };
    // The dates stand; a time without its hour still keeps the panel from being stored.
    const bool timesOk = FirstTimeFault(panel) == TDSTTimeFault::None;
    if (sThis <= eThis)
        return {timesOk, text(sThis, eThis)};
    // The period spans the new year: the one that holds today, or the next one.
    if (context.LocalNow <= eThis)
        return {timesOk, text(sPrev, eThis)};
    return {timesOk, text(sThis, eNext)};
}

void DescribeDSTPanel(TDSTPanelState& panel, const TDSTSummaryContext& context) {
    panel.Summary = ValidateDSTPanel(panel, context).Summary;
}

void LoadDSTPanel(TDSTPanelState& panel, const TSummerTimeRule& start, const TSummerTimeRule& end,
                  bool full, const TDSTSummaryContext& context) {
    const auto showAs = [&](bool ruleMode) {
        ClearRuleFields(panel);
        ClearFixedFields(panel);
        panel.Checked = true;
        panel.RuleMode = ruleMode;
        panel.PanelEnabled = true;
        ShowRuleInHalf(start, ruleMode, panel.Start);
        ShowRuleInHalf(end, ruleMode, panel.End);
        DescribeDSTPanel(panel, context);
    };
    const bool weekdayRule = start.Kind == RuleKindWeekday;
    if (weekdayRule)
        showAs(true);
    // The rule loaded last decides on fixed dates: the end rule once the start rule was shown.
    if ((weekdayRule ? end.Kind : start.Kind) == RuleKindFixed)
        showAs(false);
    if (start.WeekDay == 0 && start.FixedDay == 0 && full) {
        ClearRuleFields(panel);
        ClearFixedFields(panel);
        panel.Checked = false;
        panel.PanelEnabled = false;
        ClearTimeFields(panel);
        panel.TimeRowEnabled = false;
        return;
    }
    const TTimeParts s = DecodeTime(start.ChangeTime);
    const TTimeParts e = DecodeTime(end.ChangeTime);
    panel.Start.Hour = TwoDigits(s.Hour);
    panel.Start.Minute = TwoDigits(s.Minute);
    panel.End.Hour = TwoDigits(e.Hour);
    panel.End.Minute = TwoDigits(e.Minute);
    panel.TimeRowEnabled = true;
}

void StoreDSTPanel(const TDSTPanelState& panel, TDSTPanelOwner owner, TSummerTimeRule& start,
                   TSummerTimeRule& end) {
    const bool country = owner == TDSTPanelOwner::Country;
    if (!panel.Checked) {
        // Both forms mean no saving; which one a place gets depends on its page.
        TSummerTimeRule none;
        none.Kind = country ? RuleKindWeekday : RuleKindNone;
        start = none;
        end = none;
        return;
    }
    start = RuleFromHalf(panel.Start, panel.RuleMode, country ? 0 : 255);
    end = RuleFromHalf(panel.End, panel.RuleMode, country ? start.WeekOrdinal : 255);
}
