#include "clock/ViewedTimeU.h"

#include <algorithm>
#include <cmath>

namespace {

// Whole minutes, halves away from zero: a Go to Time a few seconds off a whole minute still
// reads as that minute.
std::int64_t RoundedMinutes(std::int64_t seconds) {
    return seconds >= 0 ? (seconds + 30) / 60 : -((-seconds + 30) / 60);
}

std::int64_t FloorSeconds(std::int64_t ms) {
    return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
}

std::int64_t CeilSeconds(std::int64_t ms) {
    return -FloorSeconds(-ms);
}

struct TSpan {
    std::int64_t Days, Hours, Minutes;
};

TSpan SpanOf(std::int64_t minutes) {
    const std::int64_t m = minutes < 0 ? -minutes : minutes;
    return {m / 1440, m % 1440 / 60, m % 60};
}

std::string Counted(std::int64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

TDateTime FirstViewableInstant() {
    TDateTime t = 0;
    TryEncodeDate(1900, 1, 1, t);
    return t;
}

TDateTime LastViewableInstant() {
    TDateTime t = 0;
    TryEncodeDateTime(9999, 12, 31, 23, 59, 59, 0, t);
    return t;
}

TDateTime TViewedTime::FaceInstant(TDateTime realUtc) const {
    if (Offset == 0)
        return realUtc;
    return IncDateTime(realUtc, static_cast<double>(Offset) / 86400.0);
}

bool TViewedTime::SetOffset(std::int64_t seconds, TDateTime realUtc) {
    const std::int64_t realMs = ToMilliseconds(realUtc);
    LastMoveMs = realMs;
    // The calendar has an end, and the place rules a start: the face stops at them.
    const std::int64_t lowest = CeilSeconds(ToMilliseconds(FirstViewableInstant()) - realMs);
    const std::int64_t highest = FloorSeconds(ToMilliseconds(LastViewableInstant()) - realMs);
    seconds = std::clamp(seconds, lowest, std::max(lowest, highest));
    if (RoundedMinutes(seconds) == 0)
        seconds = 0;
    if (seconds == Offset)
        return false;
    Offset = seconds;
    return true;
}

bool TViewedTime::Step(int steps, bool quarter, TDateTime realUtc) {
    return SetOffset(Offset + std::int64_t{steps} * (quarter ? QuarterStep : HourStep), realUtc);
}

bool TViewedTime::GoTo(TDateTime instantUtc, TDateTime realUtc) {
    const std::int64_t ms = ToMilliseconds(instantUtc) - ToMilliseconds(realUtc);
    const std::int64_t seconds = ms >= 0 ? (ms + 500) / 1000 : -((-ms + 500) / 1000);
    return SetOffset(seconds, realUtc);
}

bool TViewedTime::BackToNow() {
    if (Offset == 0)
        return false;
    Offset = 0;
    return true;
}

bool TViewedTime::ReturnWhenIdle(TDateTime realUtc) {
    if (Offset == 0)
        return false;
    const std::int64_t realMs = ToMilliseconds(realUtc);
    if (realMs < LastMoveMs) {
        LastMoveMs = realMs; // the system clock was set back: the pause counts from here
        return false;
    }
    if (realMs - LastMoveMs < IdleSeconds * 1000)
        return false;
    return BackToNow();
}

std::string ViewedOffsetCaption(std::int64_t offsetSeconds) {
    const std::int64_t minutes = RoundedMinutes(offsetSeconds);
    if (minutes == 0)
        return "";
    const TSpan s = SpanOf(minutes);
    std::string body;
    auto part = [&body](std::int64_t n, const char* unit) {
        if (n == 0)
            return;
        if (!body.empty())
            body += ' ';
        body += std::to_string(n) + " " + unit;
    };
    part(s.Days, "d");
    part(s.Hours, "h");
    part(s.Minutes, "min");
    return (minutes > 0 ? "+" : "\xE2\x88\x92") + body;
}

std::string ViewedOffsetWords(std::int64_t offsetSeconds) {
    const std::int64_t minutes = RoundedMinutes(offsetSeconds);
    if (minutes == 0)
        return "";
    const TSpan s = SpanOf(minutes);
    std::string r;
    auto part = [&r](std::int64_t n, const char* one, const char* many) {
        if (n == 0)
            return;
        if (!r.empty())
            r += ' ';
        r += Counted(n, one, many);
    };
    part(s.Days, "day", "days");
    part(s.Hours, "hour", "hours");
    part(s.Minutes, "minute", "minutes");
    return r + (minutes > 0 ? " from now" : " ago");
}

std::string ViewedSpeech(const std::string& timeText, std::int64_t offsetSeconds) {
    const std::string words = ViewedOffsetWords(offsetSeconds);
    if (words.empty())
        return "";
    return "Showing " + timeText + ", " + words;
}
