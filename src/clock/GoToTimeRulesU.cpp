#include "clock/GoToTimeRulesU.h"

#include "clock/ViewedTimeU.h"

#include <array>
#include <cctype>
#include <vector>

namespace {

const std::array<const char*, 12> EnglishMonths = {"january",   "february", "march",    "april",
                                                   "may",       "june",     "july",     "august",
                                                   "september", "october",  "november", "december"};
const std::array<const char*, 7> EnglishDays = {"monday", "tuesday",  "wednesday", "thursday",
                                                "friday", "saturday", "sunday"};

// Lower case in the data's code page: ASCII and the accented capitals of Windows-1252.
char Lower(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 'A' && u <= 'Z')
        return static_cast<char>(u + 32);
    if (u >= 0xC0 && u <= 0xDE && u != 0xD7)
        return static_cast<char>(u + 32);
    return c;
}

std::string Lower(const std::string& s) {
    std::string r = s;
    for (char& c : r)
        c = Lower(c);
    return r;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLetter(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u >= 0xC0;
}

struct TToken {
    std::string Text;
    bool Number = false;
};

// Runs of digits and runs of letters; everything else only separates them.
bool Tokens(const std::string& text, std::vector<TToken>& out) {
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (IsDigit(c) || IsLetter(c)) {
            const bool number = IsDigit(c);
            std::size_t j = i;
            while (j < text.size() && (number ? IsDigit(text[j]) : IsLetter(text[j])))
                ++j;
            out.push_back({text.substr(i, j - i), number});
            i = j;
            continue;
        }
        if (c != ' ' && c != ',' && c != '.' && c != '/' && c != '-' && c != '\t')
            return false;
        ++i;
    }
    return true;
}

// A month named in full or by three letters or more of its name, English or the locale's.
int MonthOfWord(const std::string& word, const TLocaleFacts& locale) {
    const std::string w = Lower(word);
    for (int m = 0; m < 12; ++m) {
        const auto k = static_cast<std::size_t>(m);
        if (w == Lower(locale.ShortMonthNames[k]))
            return m + 1;
        for (const std::string& name :
             {std::string(EnglishMonths[k]), Lower(locale.LongMonthNames[k])})
            if (w.size() >= 3 && name.compare(0, w.size(), w) == 0)
                return m + 1;
    }
    return 0;
}

bool IsDayWord(const std::string& word, const TLocaleFacts& locale) {
    const std::string w = Lower(word);
    for (std::size_t d = 0; d < 7; ++d) {
        if (w == Lower(locale.ShortDayNames[d]) || w == Lower(locale.LongDayNames[d]))
            return true;
        const std::string english = EnglishDays[d];
        if (w.size() >= 2 && english.compare(0, w.size(), w) == 0)
            return true;
    }
    return false;
}

bool SmallNumber(const TToken& t, int& out) {
    if (!t.Number || t.Text.size() > 2)
        return false;
    out = std::stoi(t.Text);
    return true;
}

bool Year(const TToken& t, int& out) {
    if (!t.Number || t.Text.size() != 4)
        return false;
    out = std::stoi(t.Text);
    return true;
}

std::string Trimmed(const std::string& s) {
    std::size_t a = 0, b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t'))
        ++a;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t'))
        --b;
    return s.substr(a, b - a);
}

bool ReadNumber(const std::string& s, std::size_t& i, std::size_t maxDigits, int& out) {
    const std::size_t start = i;
    while (i < s.size() && IsDigit(s[i]) && i - start < maxDigits)
        ++i;
    if (i == start)
        return false;
    out = std::stoi(s.substr(start, i - start));
    return true;
}

std::string TimeText(TDateTime t, bool twelveHour, const TLocaleFacts& locale) {
    return FormatDateTimeText(twelveHour ? "h:nn am/pm" : "h:nn", t, locale);
}

} // namespace

bool ParseGoToDate(const std::string& text, int dateStyle, int defaultYear,
                   const TLocaleFacts& locale, TDateParts& out) {
    std::vector<TToken> t;
    if (!Tokens(text, t) || t.empty())
        return false;
    if (!t.front().Number && MonthOfWord(t.front().Text, locale) == 0) {
        if (!IsDayWord(t.front().Text, locale))
            return false;
        t.erase(t.begin());
    }
    if (t.size() < 2 || t.size() > 3)
        return false;
    int year = defaultYear, month = 0, day = 0;
    std::vector<TToken> numbers;
    for (const TToken& k : t) {
        if (k.Number) {
            numbers.push_back(k);
        } else {
            if (month != 0)
                return false;
            month = MonthOfWord(k.Text, locale);
            if (month == 0)
                return false;
        }
    }
    if (month != 0) {
        // A day and perhaps a year, in either order around the month's name.
        if (numbers.empty() || numbers.size() > 2)
            return false;
        if (numbers.size() == 2 && !(SmallNumber(numbers[0], day) && Year(numbers[1], year)) &&
            !(Year(numbers[0], year) && SmallNumber(numbers[1], day)))
            return false;
        if (numbers.size() == 1 && !SmallNumber(numbers[0], day))
            return false;
    } else if (numbers.size() == 3 && Year(numbers[0], year)) {
        if (!SmallNumber(numbers[1], month) || !SmallNumber(numbers[2], day))
            return false;
    } else {
        // Day first, or month first where the date style writes it so; the year last.
        const bool monthFirst = dateStyle == 1;
        if (!SmallNumber(numbers[monthFirst ? 1 : 0], day) ||
            !SmallNumber(numbers[monthFirst ? 0 : 1], month))
            return false;
        if (numbers.size() == 3 && !Year(numbers[2], year))
            return false;
    }
    TDateTime check = 0;
    if (!TryEncodeDate(year, month, day, check))
        return false;
    out = {year, month, day};
    return true;
}

bool ParseGoToTime(const std::string& text, const TLocaleFacts& locale, TTimeParts& out) {
    std::string s = Lower(Trimmed(text));
    // The half of the day, with or without its dots and the space before it.
    int half = -1; // 0 am, 1 pm
    for (const auto& [suffix, h] : {std::pair("a.m.", 0), std::pair("p.m.", 1), std::pair("am", 0),
                                    std::pair("pm", 1), std::pair("a", 0), std::pair("p", 1)}) {
        const std::string x = suffix;
        if (s.size() > x.size() && s.compare(s.size() - x.size(), x.size(), x) == 0) {
            half = h;
            s = Trimmed(s.substr(0, s.size() - x.size()));
            break;
        }
    }
    int hour = 0, minute = 0, second = 0;
    std::size_t i = 0;
    auto separator = [&](std::size_t at) {
        return at < s.size() && (s[at] == ':' || s[at] == '.' || s[at] == locale.TimeSeparator);
    };
    if (s.size() >= 3 && s.size() <= 4 && s.find_first_not_of("0123456789") == s.npos) {
        // "930", "1530": the last two digits are the minutes.
        hour = std::stoi(s.substr(0, s.size() - 2));
        minute = std::stoi(s.substr(s.size() - 2));
        i = s.size();
    } else {
        if (!ReadNumber(s, i, 2, hour))
            return false;
        if (separator(i)) {
            ++i;
            const std::size_t m = i;
            if (!ReadNumber(s, i, 2, minute) || i - m != 2)
                return false;
            if (separator(i)) {
                ++i;
                const std::size_t sec = i;
                if (!ReadNumber(s, i, 2, second) || i - sec != 2)
                    return false;
            }
        }
    }
    if (i != s.size() || minute > 59 || second > 59)
        return false;
    if (half >= 0) {
        if (hour < 1 || hour > 12)
            return false;
        hour = hour % 12 + 12 * half;
    } else if (hour > 23) {
        return false;
    }
    out = {hour, minute, second, 0};
    return true;
}

TLocalInstant LocalToUtc(const TPlace& place, TDateTime local) {
    // The clock reads standard time or standard time plus the hour; each reading is right
    // where the rules agree with it, both are right where the clocks go back, none where they
    // go forward.
    const TDateTime standard = IncDateTime(local, -place.UTCOffset() / HoursPerDay);
    const TDateTime daylight = IncDateTime(standard, -OneHour);
    const bool standardFits = !place.InDST(standard);
    const bool daylightFits = place.InDST(daylight);
    TLocalInstant r;
    if (standardFits && daylightFits) {
        r.Utc = daylight;
        r.Fit = TLocalTimeFit::Repeated;
    } else if (daylightFits) {
        r.Utc = daylight;
    } else if (standardFits) {
        r.Utc = standard;
    } else {
        r.Utc = standard;
        r.Fit = TLocalTimeFit::Skipped;
    }
    r.Shown = place.LocalTime(r.Utc);
    return r;
}

std::string GoToDateText(TDateTime local, int dateStyle, const TLocaleFacts& locale) {
    return FormatDateTimeText(dateStyle == 1 ? "mmm d yyyy" : "d mmm yyyy", local, locale);
}

std::string GoToTimeText(TDateTime local, bool twelveHour, const TLocaleFacts& locale) {
    return TimeText(local, twelveHour, locale);
}

TGoToOutcome CheckGoTo(const TGoToRequest& q, const TLocaleFacts& locale) {
    TGoToOutcome r;
    TDateParts date;
    if (!ParseGoToDate(q.Date, q.DateStyle, q.DefaultYear, locale, date)) {
        r.BadField = TGoToField::Date;
        r.Text = q.DateStyle == 1 ? "Enter a date such as Dec 8 2026."
                                  : "Enter a date such as 8 Dec 2026.";
        return r;
    }
    if (date.Year < 1900) {
        r.BadField = TGoToField::Date;
        r.Text = "Enter a date from 1900 to 9999.";
        return r;
    }
    TTimeParts time;
    if (!ParseGoToTime(q.Time, locale, time)) {
        r.BadField = TGoToField::Time;
        r.Text = q.TwelveHour ? "Enter a time such as 3:30 pm." : "Enter a time such as 15:30.";
        return r;
    }
    if (q.City == nullptr || !q.Place) {
        r.BadField = TGoToField::City;
        r.Text = q.City == nullptr ? "Choose a city."
                                   : q.City->LongName + " has no place to take its time from.";
        return r;
    }
    TDateTime local = 0;
    TryEncodeDateTime(date.Year, date.Month, date.Day, time.Hour, time.Minute, time.Second, 0,
                      local);
    const TLocalInstant at = LocalToUtc(q.Place, local);
    if (at.Utc < FirstViewableInstant() || at.Utc > LastViewableInstant()) {
        r.BadField = TGoToField::Date;
        r.Text = "Enter a date from 1900 to 9999.";
        return r;
    }
    r.Ok = true;
    r.Utc = at.Utc;
    TViewedTime distance;
    distance.GoTo(at.Utc, q.RealUtc);
    const std::string words = ViewedOffsetWords(distance.OffsetSeconds());
    r.Text = FormatCentreDate(at.Shown, q.DateStyle == 1 ? 1 : 0, locale) + " " +
             TimeText(at.Shown, q.TwelveHour, locale) + " in " + q.City->LongName + ", " +
             (words.empty() ? std::string("now") : words) + ".";
    const std::string asked = TimeText(local, q.TwelveHour, locale);
    if (at.Fit == TLocalTimeFit::Skipped)
        r.Text += " The clocks there go forward over " + asked + " that night.";
    else if (at.Fit == TLocalTimeFit::Repeated)
        r.Text += " " + asked + " comes twice that night: this is the first, on summer time.";
    return r;
}
