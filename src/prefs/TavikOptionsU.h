#pragma once

#include "data/DateTimeU.h"
#include "data/FormatU.h"

#include <cstdint>
#include <string>
#include <vector>

// The display options: 18 one-byte fields, each field's index its byte offset in the file.
struct TDisplayOptions {
    static constexpr std::size_t StoredSize = 18;

    std::uint8_t ShowSeconds = 0;
    std::uint8_t ShowDate = 0;
    std::uint8_t ShowCities = 0;
    std::uint8_t AnalogClock = 0;
    std::uint8_t SpareFlag = 0;
    std::uint8_t ShowCountryName = 0;
    std::uint8_t ShowStateName = 0;
    std::uint8_t ShowAirportName = 0;
    std::uint8_t StayOnTop = 0;
    std::uint8_t DaytimeStartHour = 0;
    std::uint8_t DaytimeStartMinute = 0;
    std::uint8_t DaytimeEndHour = 0;
    std::uint8_t DaytimeEndMinute = 0;
    std::uint8_t TimeStyle = 0; // 0 am/pm, 1 24 hour
    std::uint8_t DateStyle = 0; // 0 day month year, 1 month day year, 2 the locale's long date
    std::uint8_t SpareByte = 0;
    std::uint8_t Docked = 0;
    std::uint8_t SmallCityFont = 0;

    bool operator==(const TDisplayOptions&) const = default;

    void ToBytes(std::uint8_t* out) const;
    void FromBytes(const std::uint8_t* in, std::size_t count);
};
static_assert(sizeof(TDisplayOptions) == TDisplayOptions::StoredSize);

// The first start's options; SpareByte keeps its value.
void SetDefaults(TDisplayOptions& options);

class TInStream;
class TOutStream;
void WriteToStream(const TDisplayOptions& options, TOutStream& stream);
// Reads up to 18 bytes in place; bytes past the end of the stream keep their values.
void ReadFromStream(TDisplayOptions& options, TInStream& stream);

// Whether a local time of day falls in the daytime window (start inclusive, end exclusive, no
// wrap past midnight). Bounds are taken as minutes since midnight, so 8:75 reads as 9:15 and an
// end of 24:00 or later runs to midnight.
bool IsDaytime(const TDisplayOptions& options, TDateTime localTime);

// The time pattern for a record, or the current one when TimeStyle is out of range.
std::string TimeFormatFor(const TDisplayOptions& options, const std::string& current);
// The date pattern for a record, or the current one when DateStyle is out of range.
std::string DateFormatFor(const TDisplayOptions& options, const std::string& localeLongDate,
                          const std::string& current);

// The preferences file: the record, the window's left and top, and a reset byte.
struct TPreferencesFile {
    static constexpr std::size_t StoredSize = 27;
    static constexpr const char* FileName = "tavikprefs";

    TDisplayOptions Options;
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::uint8_t ResetRequested = 0;
};

// False when the file is missing, unreadable or shorter than 27 bytes; prefs then keeps only
// what it held before. Never reports anything.
bool ReadPreferencesFile(const std::string& fileName, TPreferencesFile& prefs);
// Writes the 27 bytes with a reset byte of 0; false on failure, which callers ignore.
bool WritePreferencesFile(const std::string& fileName, const TPreferencesFile& prefs);

// A screen's rectangle in desktop pixels.
struct TScreenArea {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

// The part of a window's top edge that must lie on one screen for a stored position to be used,
// so that the window can still be seen and dragged (all of a narrower window's edge).
constexpr int MinVisibleTopEdge = 48;

// Whether a window of the given width placed at left, top shows enough of its top edge on one of
// the screens. Positions come from the file and may be anything: the sums are taken in 64 bits.
bool TopEdgeOnScreen(std::int64_t left, std::int64_t top, int width,
                     const std::vector<TScreenArea>& screens);
