#pragma once

#include "prefs/TavikOptionsU.h"

#include <array>
#include <optional>
#include <string>

// What the Preferences dialog's controls hold, as plain values, so that the mapping between
// them and the display options can be tested without widgets.
struct TOptionsControls {
    bool ShowSeconds = false;
    bool ShowDate = false;
    bool ShowCountry = false;
    bool ShowState = false;
    bool ShowAirport = false;
    // The chosen button of each radio group; -1 when none is chosen.
    int DateStyle = -1;
    int TimeStyle = -1;
    int Font = -1; // 0 large, 1 small
    // Start hour, start minute, end hour, end minute, as the edits show them.
    std::array<std::string, 4> Daytime;

    bool operator==(const TOptionsControls&) const = default;
};

// The daytime edits in their order, and the range of each one's arrows.
enum TDaytimeEdit { StartHour, StartMinute, EndHour, EndMinute };
constexpr int DaytimeEditMax(int edit) {
    return edit == StartHour || edit == EndHour ? 23 : 59;
}

// The controls showing these options. A style beyond the last button chooses the last one;
// daytime values beyond the arrows' range show as the range's end, as the arrows hold them.
TOptionsControls ControlsFor(const TDisplayOptions& options);

// Reads the controls into the options; everything without a control keeps its value. The
// daytime texts are read in order and clamped into their range; the first one that is not a
// number ends that reading, leaving its field and those after it as they were.
void StoreControls(const TOptionsControls& controls, TDisplayOptions& options);

// The defaults, except for the four settings of the View menu, which stay as they were.
void DefaultsKeepingView(TDisplayOptions& options);

// The whole number a daytime text holds (blanks before it and a sign allowed), saturated far
// beyond any range; none when the text is not a number.
std::optional<int> DaytimeNumber(const std::string& text);

// Whether a daytime edit accepts this text while typing: digits only, at most two, or three
// while a new digit pushes out a leading zero.
bool IsDaytimeEntry(const std::string& text);

// What a daytime edit shows after a change: one character gets a leading zero ("8" -> "08"),
// and a third digit typed after such a zero pushes it out ("084" -> "84"), so that two digits
// can be typed in a row.
std::string TwoDigitText(const std::string& text);
