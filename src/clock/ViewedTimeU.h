#pragma once

#include "data/DateTimeU.h"

#include <cstdint>
#include <string>

// How far from now the face stands. The user turns it forward and back; the clock goes on
// ticking at that distance, so three hours ahead stays three hours ahead. Nothing of it is
// stored: it is a way of looking, not a setting.
class TViewedTime {
public:
    static constexpr std::int64_t HourStep = 3600;   // seconds
    static constexpr std::int64_t QuarterStep = 900; // seconds
    // Without a step for this long, the face returns to now.
    static constexpr std::int64_t IdleSeconds = 120;

    bool Viewing() const { return Offset != 0; }
    // Whole seconds from now; 0 when the face shows now.
    std::int64_t OffsetSeconds() const { return Offset; }

    // The instant the face shows when the real clock reads realUtc.
    TDateTime FaceInstant(TDateTime realUtc) const;

    // Moves steps hours (or quarter hours) forward, or back for negative steps. The viewed
    // instant stays between the first day of 1900 and the last of 9999. True when it moved.
    bool Step(int steps, bool quarter, TDateTime realUtc);
    // Shows that UTC instant, to the second; within half a minute of now is now. True when the
    // face moves.
    bool GoTo(TDateTime instantUtc, TDateTime realUtc);
    // True when the face was not at now.
    bool BackToNow();
    // For the tick: back to now once IdleSeconds have passed since the last step or GoTo.
    // True when that happened now.
    bool ReturnWhenIdle(TDateTime realUtc);

private:
    bool SetOffset(std::int64_t seconds, TDateTime realUtc);

    std::int64_t Offset = 0;
    std::int64_t LastMoveMs = 0; // real time of the last move, in ToMilliseconds
};

// The first and last instants the face may be moved to.
TDateTime FirstViewableInstant();
TDateTime LastViewableInstant();

// The caption beside the time: "+3 h", "−1 d 2 h", "+2 h 45 min", rounded to the minute;
// empty at now. In UTF-8: its minus sign (U+2212) lies outside the data's code page.
std::string ViewedOffsetCaption(std::int64_t offsetSeconds);

// The same in words for a screen reader: "3 hours from now", "1 day 2 hours ago",
// "15 minutes from now"; empty at now.
std::string ViewedOffsetWords(std::int64_t offsetSeconds);

// What a screen reader hears first while the face is not at now:
// "Showing 18:00, 3 hours from now".
std::string ViewedSpeech(const std::string& timeText, std::int64_t offsetSeconds);
