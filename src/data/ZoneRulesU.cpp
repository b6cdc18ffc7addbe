#include "data/ZoneRulesU.h"

#include "data/DateTimeU.h"

#include <array>
#include <cstdio>
#include <utility>

namespace {

const std::array<const char*, 4> Ordinals = {"First", "Second", "Third", "Last"};
const std::array<const char*, 7> WeekDays = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                             "Friday", "Saturday", "Sunday"};
const std::array<const char*, 12> Months = {"January",   "February", "March",    "April",
                                            "May",       "June",     "July",     "August",
                                            "September", "October",  "November", "December"};

// Month lengths that hold in every year, February aside.
constexpr int CommonYear = 2027;
constexpr std::int32_t SecondsPerDay = 86400;

// ---------------------------------------------------------------------------------------------
// The TZ string

class TTzScanner {
public:
    explicit TTzScanner(std::string_view text) : Text_(text) {}

    bool AtEnd() const { return Pos_ == Text_.size(); }
    bool Skip(char c) {
        if (AtEnd() || Text_[Pos_] != c)
            return false;
        ++Pos_;
        return true;
    }
    bool Peek(char c) const { return !AtEnd() && Text_[Pos_] == c; }
    bool PeekDigitOrSign() const {
        return !AtEnd() && (IsDigit(Text_[Pos_]) || Text_[Pos_] == '+' || Text_[Pos_] == '-');
    }

    // "<...>" or three letters or more.
    bool Name() {
        if (Skip('<')) {
            const std::size_t close = Text_.find('>', Pos_);
            if (close == std::string_view::npos)
                return false;
            Pos_ = close + 1;
            return true;
        }
        std::size_t n = 0;
        while (Pos_ + n < Text_.size() && IsLetter(Text_[Pos_ + n]))
            ++n;
        Pos_ += n;
        return n >= 3;
    }

    // [+-]h[h[h]][:m[m][:s[s]]] with the hours at most maxHours; seconds as written.
    bool Clock(int maxHours, std::int32_t& seconds) {
        const bool negative = Skip('-');
        if (!negative)
            Skip('+');
        int h = 0, m = 0, s = 0;
        if (!Number(3, h) || h > maxHours)
            return false;
        if (Skip(':')) {
            if (!Number(2, m) || m > 59)
                return false;
            if (Skip(':') && (!Number(2, s) || s > 59))
                return false;
        }
        seconds = (h * 3600 + m * 60 + s) * (negative ? -1 : 1);
        return true;
    }

    bool Number(int maxDigits, int& value) {
        int n = 0;
        value = 0;
        while (n < maxDigits && !AtEnd() && IsDigit(Text_[Pos_])) {
            value = value * 10 + (Text_[Pos_] - '0');
            ++Pos_;
            ++n;
        }
        return n > 0;
    }

private:
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    static bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

    std::string_view Text_;
    std::size_t Pos_ = 0;
};

// Hours of a zone offset, and of a change time (which may run past a day either way).
constexpr int MaxOffsetHours = 24;
constexpr int MaxRuleHours = 167;

bool ParseRule(TTzScanner& s, TPosixRule& r) {
    if (s.Skip('M')) {
        r.Form = 'M';
        if (!s.Number(2, r.Month) || !s.Skip('.') || !s.Number(1, r.Week) || !s.Skip('.') ||
            !s.Number(1, r.WeekDay))
            return false;
        if (r.Month < 1 || r.Month > 12 || r.Week < 1 || r.Week > 5 || r.WeekDay > 6)
            return false;
    } else if (s.Skip('J')) {
        r.Form = 'J';
        if (!s.Number(3, r.Day) || r.Day < 1 || r.Day > 365)
            return false;
    } else {
        r.Form = 'N';
        if (!s.Number(3, r.Day) || r.Day > 365)
            return false;
    }
    r.Time = 7200;
    return !s.Skip('/') || s.Clock(MaxRuleHours, r.Time);
}

// ---------------------------------------------------------------------------------------------
// The rules of the model

int FloorDiv(std::int32_t a, std::int32_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

int ModelWeekDay(int posixWeekDay) {
    return posixWeekDay == 0 ? 7 : posixWeekDay; // POSIX counts from Sunday = 0
}

// One date rule of the TZ string as a rule of the model, or a reason it has none.
bool ModelRule(const TPosixRule& p, TSummerTimeRule& out, std::string& why) {
    // A time past midnight or before it moves the change to a neighbouring day.
    const int shift = FloorDiv(p.Time, SecondsPerDay);
    const std::int32_t timeOfDay = p.Time - shift * SecondsPerDay;
    TSummerTimeRule r;
    if (p.Form == 'N') {
        why = "the change is counted in days of the year with 29 February among them";
        return false;
    }
    if (p.Form == 'J') {
        int day = p.Day + shift;
        if (day < 1 || day > 365) {
            why = "the change falls outside the year of its rule";
            return false;
        }
        // Days of the J form never count 29 February, but a time past midnight runs into it:
        // J59/25 is 29 February in a leap year and 1 March in others.
        if ((p.Day <= 59) != (day <= 59)) {
            why = "the change moves across 29 February, which only leap years have";
            return false;
        }
        int month = 1;
        while (day > DaysInMonth(CommonYear, month))
            day -= DaysInMonth(CommonYear, month++);
        r.Kind = RuleKindFixed;
        r.FixedDay = static_cast<std::uint16_t>(day);
        r.FixedMonth = static_cast<std::uint16_t>(month);
    } else {
        if (p.Month == 2 && p.Week == 5) {
            why = "the change falls in the last week of February, which moves with leap years";
            return false;
        }
        const int length = DaysInMonth(CommonYear, p.Month);
        // The change falls on the one day of its weekday among [first, first + 6].
        const int first = (p.Week == 5 ? length - 6 : 7 * (p.Week - 1) + 1) + shift;
        const int weekDay = ((p.WeekDay + shift) % 7 + 7) % 7;
        int afterMonth = p.Month, afterDay = first - 1;
        if (afterDay < 1) {
            if (p.Month == 1) {
                why = "the change can fall in the year before its rule";
                return false;
            }
            afterMonth = p.Month - 1;
            if (afterMonth == 2) {
                why = "the change is counted from the end of February, which moves with leap "
                      "years";
                return false;
            }
            afterDay += DaysInMonth(CommonYear, afterMonth);
        } else if (afterDay > length) {
            if (p.Month == 12) {
                why = "the change can fall in the year after its rule";
                return false;
            }
            afterDay -= length;
            afterMonth = p.Month + 1;
        }
        if (afterDay < 1 || afterDay > DaysInMonth(CommonYear, afterMonth)) {
            why = "the change lies too far from its month";
            return false;
        }
        r.Kind = RuleKindWeekday;
        r.WeekOrdinal = 0;
        r.WeekDay = static_cast<std::uint16_t>(ModelWeekDay(weekDay));
        r.AfterDay = static_cast<std::uint16_t>(afterDay);
        r.RuleMonth = static_cast<std::uint16_t>(afterMonth);
    }
    if (timeOfDay % 60 != 0) {
        why = "the clock changes at a time with seconds";
        return false;
    }
    // The same value the tables and the panel's time edits give for hours and minutes.
    r.ChangeTime = static_cast<double>(timeOfDay / 60) / 1440.0;
    out = r;
    return true;
}

std::string SavingWords(std::int32_t seconds) {
    static const char* const small[] = {"zero", "one", "two",   "three", "four",
                                        "five", "six", "seven", "eight", "nine"};
    const bool hours = seconds % 3600 == 0;
    const std::int32_t n = hours ? seconds / 3600 : seconds / 60;
    const std::string count = n >= 0 && n <= 9 ? std::string(small[n]) : std::to_string(n);
    if (seconds % 60 != 0)
        return "daylight saving of " + std::to_string(seconds) + " seconds";
    return "daylight saving of " + count + (hours ? " hours" : " minutes");
}

TZoneDerivation Refused(double offset, std::string why) {
    TZoneDerivation d;
    d.UTCOffset = offset;
    d.Reason = std::move(why);
    return d;
}

std::string Clock(double changeTime) {
    const TTimeParts t = DecodeTime(changeTime);
    char b[8];
    std::snprintf(b, sizeof b, "%02d:%02d", t.Hour % 24, t.Minute);
    return b;
}

} // namespace

bool ParsePosixTZ(std::string_view text, TPosixTZ& out, std::string& why) {
    TTzScanner s(text);
    TPosixTZ tz;
    why = "not a TZ string: " + std::string(text);
    if (!s.Name() || !s.Clock(MaxOffsetHours, tz.StdOffset))
        return false;
    tz.StdOffset = -tz.StdOffset; // POSIX counts west of Greenwich
    if (s.AtEnd()) {
        out = tz;
        return true;
    }
    if (!s.Name())
        return false;
    tz.HasDst = true;
    tz.DstOffset = tz.StdOffset + 3600;
    if (s.PeekDigitOrSign()) {
        if (!s.Clock(MaxOffsetHours, tz.DstOffset))
            return false;
        tz.DstOffset = -tz.DstOffset;
    }
    if (s.AtEnd()) {
        why = "daylight saving without its dates: " + std::string(text);
        return false;
    }
    if (!s.Skip(',') || !ParseRule(s, tz.Start) || !s.Skip(',') || !ParseRule(s, tz.End) ||
        !s.AtEnd())
        return false;
    why.clear();
    out = tz;
    return true;
}

TZoneDerivation DerivePosixTZ(std::string_view text) {
    TPosixTZ tz;
    std::string why;
    if (!ParsePosixTZ(text, tz, why))
        return Refused(0, why);
    std::int32_t standard = tz.StdOffset, daylight = tz.DstOffset;
    TPosixRule start = tz.Start, end = tz.End;
    if (tz.HasDst && daylight - standard == -3600) {
        // Winter is the zone's "daylight" time: its summer clock is the standard one plus an
        // hour, with the rules swapped; each change time stays on the clock it was read on.
        std::swap(standard, daylight);
        std::swap(start, end);
    }
    const double offset = standard / 3600.0;
    if (!tz.HasDst) {
        TZoneDerivation d;
        d.Ok = true;
        d.UTCOffset = offset;
        return d;
    }
    if (daylight - standard != 3600)
        return Refused(offset, SavingWords(daylight - standard));
    TZoneDerivation d;
    if (!ModelRule(start, d.DSTStart, why) || !ModelRule(end, d.DSTEnd, why))
        return Refused(offset, why);
    // The start rule's form decides how both dates are computed.
    if (d.DSTStart.Kind != d.DSTEnd.Kind)
        return Refused(offset, "one change falls on a fixed date and the other on a weekday");
    d.Ok = true;
    d.UTCOffset = offset;
    return d;
}

TZoneDerivation DeriveZoneFile(const TZoneFile& file, std::int64_t fromUtc) {
    if (file.Footer.empty())
        return Refused(file.Transitions.empty() ? file.InitialOffset / 3600.0
                                                : file.Transitions.back().Offset / 3600.0,
                       "the zone file gives no rule for the years after its last listed change");
    TZoneDerivation d = DerivePosixTZ(file.Footer);
    if (!d.Ok)
        return d;
    if (d.DSTStart.Kind == RuleKindNone) {
        TPosixTZ tz;
        std::string why;
        ParsePosixTZ(file.Footer, tz, why);
        for (const TZoneTransition& t : file.Transitions)
            if (t.At >= fromUtc && t.Offset != tz.StdOffset)
                return Refused(d.UTCOffset,
                               "the clock changes on dates listed one by one (a pause for "
                               "Ramadan, say), not by a yearly rule");
    }
    return d;
}

TZoneDerivation DeriveZone(const std::string& name, std::int64_t fromUtc) {
    TZoneFile file;
    std::string why;
    if (!ReadZone(name, file, why))
        return Refused(0, why);
    return DeriveZoneFile(file, fromUtc);
}

std::string RuleWords(const TSummerTimeRule& r) {
    if (r.Kind == RuleKindWeekday && r.WeekOrdinal <= 3 && r.WeekDay >= 1 && r.WeekDay <= 7 &&
        r.RuleMonth >= 1 && r.RuleMonth <= 12) {
        std::string s = std::string(Ordinals[r.WeekOrdinal]) + " " + WeekDays[r.WeekDay - 1u];
        if (r.AfterDay != 0)
            s += " after " + std::to_string(r.AfterDay);
        return s + " " + Months[r.RuleMonth - 1u] + " " + Clock(r.ChangeTime);
    }
    if (r.Kind == RuleKindFixed && r.FixedMonth >= 1 && r.FixedMonth <= 12)
        return std::to_string(r.FixedDay) + " " + Months[r.FixedMonth - 1u] + " " +
               Clock(r.ChangeTime);
    return "none";
}

std::string DescribeZone(const TZoneDerivation& zone, const TLocaleFacts& locale) {
    if (!zone.Ok)
        return "Cannot be used: " + zone.Reason;
    std::string s = "UTC " + std::string(zone.UTCOffset >= 0 ? "+" : "") +
                    FormatGeneral(zone.UTCOffset, locale) + "; ";
    if (zone.DSTStart.Kind == RuleKindNone)
        return s + "no daylight saving";
    return s + "daylight saving from " + RuleWords(zone.DSTStart) + " to " + RuleWords(zone.DSTEnd);
}
