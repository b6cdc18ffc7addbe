#pragma once

#include "data/FormatU.h"
#include "data/SummerTimeU.h"

#include <string>

// What one half of the daylight-saving panel shows: the start or the end controls. Combo
// selections are indexes, -1 for none; edits are their texts.
struct TDSTPanelHalf {
    int Ordinal = -1; // First, Second, Third, Last
    int WeekDay = -1; // Monday .. Sunday
    std::string AfterDay;
    int Month = -1; // January .. December
    std::string FixedDay;
    int FixedMonth = -1;
    std::string Hour;
    std::string Minute;

    bool operator==(const TDSTPanelHalf&) const = default;
};

// The whole panel as a value: the window reads its controls into it, the rules below change
// it, and the window shows it again.
struct TDSTPanelState {
    bool Checked = false; // "Daylight Saving"
    bool RuleMode = true; // "Rule" selected, else "Fixed Dates"
    TDSTPanelHalf Start;
    TDSTPanelHalf End;
    std::string Summary; // the example line under the rule rows
    bool PanelEnabled = false;
    bool TimeRowEnabled = false;

    bool operator==(const TDSTPanelState&) const = default;
};

// The country and the state page store "no saving" and a missing ordinal differently.
enum class TDSTPanelOwner { Country, State };

// What the summary needs: the local date and time now, and how dates are written.
struct TDSTSummaryContext {
    TDateTime LocalNow = 0;
    std::string DateFormat = "ddd dd/mm/yyyy";
    TLocaleFacts Locale;
};

struct TDSTCheck {
    bool Valid = false;
    std::string Summary; // Windows-1252, as the date texts are
};

void ClearRuleFields(TDSTPanelState& panel);
void ClearFixedFields(TDSTPanelState& panel);
void ClearTimeFields(TDSTPanelState& panel);
// The first hour edit left empty while its minutes are given; such a time is refused.
enum class TDSTTimeFault { None, StartHour, EndHour };
TDSTTimeFault FirstTimeFault(const TDSTPanelState& panel);
// A new record's minute edits start at "00": typing the hour alone gives a whole hour.
void StartNewRecordTimes(TDSTPanelState& panel);
// A single character becomes "0" and that character.
std::string PadTimeText(const std::string& text);

// Whether the panel gives dates that exist, from complete rows, with times that can be stored,
// and the summary of the period around now.
TDSTCheck ValidateDSTPanel(const TDSTPanelState& panel, const TDSTSummaryContext& context);
// Puts the summary into the panel (empty when "Daylight Saving" is unchecked).
void DescribeDSTPanel(TDSTPanelState& panel, const TDSTSummaryContext& context);

// Shows a record's two rules. Without full, a record without saving does not uncheck the box:
// its stored times are shown and the time row enabled.
void LoadDSTPanel(TDSTPanelState& panel, const TSummerTimeRule& start, const TSummerTimeRule& end,
                  bool full, const TDSTSummaryContext& context);
// The two rules the panel stands for, as Apply stores them.
void StoreDSTPanel(const TDSTPanelState& panel, TDSTPanelOwner owner, TSummerTimeRule& start,
                   TSummerTimeRule& end);

// One half as a rule of the selected mode, with its time of day. ordinalWhenNone is stored when
// no ordinal is selected.
TSummerTimeRule RuleFromHalf(const TDSTPanelHalf& half, bool ruleMode,
                             std::uint8_t ordinalWhenNone);
// Shows a rule's fields in one half; rule or fixed fields by the rule's kind.
void ShowRuleInHalf(const TSummerTimeRule& rule, bool ruleFields, TDSTPanelHalf& half);

// A whole number of a day edit: 0 when the text is empty, no number, or too large to store.
std::uint16_t DayNumber(const std::string& text);
// The time of day of an hour and a minute text; empty minutes after an hour count as 00. 0:00
// when either is no number or the pair is no valid time.
double TimeOfDay(const std::string& hour, const std::string& minute);
