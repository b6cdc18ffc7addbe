#include "prefs/TavikOptionsU.h"

#include "data/ByteIoU.h"
#include "data/StreamU.h"

#include <algorithm>
#include <cstring>

namespace {

// The stored order of the fields.
constexpr std::uint8_t TDisplayOptions::*Fields[TDisplayOptions::StoredSize] = {
    &TDisplayOptions::ShowSeconds,
    &TDisplayOptions::ShowDate,
    &TDisplayOptions::ShowCities,
    &TDisplayOptions::AnalogClock,
    &TDisplayOptions::SpareFlag,
    &TDisplayOptions::ShowCountryName,
    &TDisplayOptions::ShowStateName,
    &TDisplayOptions::ShowAirportName,
    &TDisplayOptions::StayOnTop,
    &TDisplayOptions::DaytimeStartHour,
    &TDisplayOptions::DaytimeStartMinute,
    &TDisplayOptions::DaytimeEndHour,
    &TDisplayOptions::DaytimeEndMinute,
    &TDisplayOptions::TimeStyle,
    &TDisplayOptions::DateStyle,
    &TDisplayOptions::SpareByte,
    &TDisplayOptions::Docked,
    &TDisplayOptions::SmallCityFont};

} // namespace

void TDisplayOptions::ToBytes(std::uint8_t* out) const {
    for (std::size_t i = 0; i < StoredSize; ++i)
        out[i] = this->*Fields[i];
}

void TDisplayOptions::FromBytes(const std::uint8_t* in, std::size_t count) {
    for (std::size_t i = 0; i < StoredSize && i < count; ++i)
        this->*Fields[i] = in[i];
}

void SetDefaults(TDisplayOptions& o) {
    o.ShowSeconds = 1;
    o.ShowDate = 1;
    o.ShowCities = 1;
    o.AnalogClock = 1;
    o.SpareFlag = 1;
    o.ShowCountryName = 1;
    o.ShowStateName = 1;
    o.ShowAirportName = 1;
    o.StayOnTop = 1;
    o.DaytimeStartHour = 8;
    o.DaytimeStartMinute = 0;
    o.DaytimeEndHour = 20;
    o.DaytimeEndMinute = 0;
    o.TimeStyle = 0;
    o.DateStyle = 0;
    o.Docked = 0;
    o.SmallCityFont = 0;
}

void WriteToStream(const TDisplayOptions& options, TOutStream& stream) {
    std::uint8_t b[TDisplayOptions::StoredSize];
    options.ToBytes(b);
    stream.WriteBuffer(b, sizeof b);
}

void ReadFromStream(TDisplayOptions& options, TInStream& stream) {
    std::uint8_t b[TDisplayOptions::StoredSize];
    const std::size_t n = stream.Read(b, sizeof b);
    options.FromBytes(b, n);
}

bool IsDaytime(const TDisplayOptions& o, TDateTime localTime) {
    const int start = o.DaytimeStartHour * 60 + o.DaytimeStartMinute;
    const int end = o.DaytimeEndHour * 60 + o.DaytimeEndMinute;
    const TTimeParts t = DecodeTime(localTime);
    const int ms = ((t.Hour * 60 + t.Minute) * 60 + t.Second) * 1000 + t.MSec;
    return start * 60000 <= ms && ms < end * 60000;
}

std::string TimeFormatFor(const TDisplayOptions& o, const std::string& current) {
    if (o.TimeStyle > 1)
        return current;
    std::string f = "h:mm";
    if (o.ShowSeconds)
        f += ":ss";
    if (o.TimeStyle == 0)
        f += " am/pm";
    return f;
}

std::string DateFormatFor(const TDisplayOptions& o, const std::string& localeLongDate,
                          const std::string& current) {
    switch (o.DateStyle) {
    case 0:
        return "ddd dd/mm/yyyy";
    case 1:
        return "ddd mm/dd/yyyy";
    case 2:
        return localeLongDate;
    default:
        return current;
    }
}

bool ReadPreferencesFile(const std::string& fileName, TPreferencesFile& prefs) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadFileBytes(fileName, TPreferencesFile::StoredSize);
    } catch (const EStreamError&) {
        return false;
    }
    if (bytes.size() < TPreferencesFile::StoredSize)
        return false;
    prefs.Options.FromBytes(bytes.data(), TDisplayOptions::StoredSize);
    prefs.Left = GetI32(bytes.data() + 18);
    prefs.Top = GetI32(bytes.data() + 22);
    prefs.ResetRequested = bytes[26];
    return true;
}

bool WritePreferencesFile(const std::string& fileName, const TPreferencesFile& prefs) {
    std::vector<std::uint8_t> bytes(TPreferencesFile::StoredSize, 0);
    prefs.Options.ToBytes(bytes.data());
    PutI32(bytes.data() + 18, prefs.Left);
    PutI32(bytes.data() + 22, prefs.Top);
    bytes[26] = 0;
    try {
        ReplaceFileContent(fileName, bytes);
    } catch (const EStreamError&) {
        return false;
    }
    return true;
}

bool TopEdgeOnScreen(std::int64_t left, std::int64_t top, int width,
                     const std::vector<TScreenArea>& screens) {
    const std::int64_t w = std::max(width, 1);
    const std::int64_t need = std::min<std::int64_t>(w, MinVisibleTopEdge);
    for (const TScreenArea& s : screens) {
        const std::int64_t sLeft = s.Left, sTop = s.Top;
        if (top < sTop || top >= sTop + s.Height)
            continue;
        const std::int64_t from = std::max(left, sLeft);
        const std::int64_t to = std::min(left + w, sLeft + s.Width);
        if (to - from >= need)
            return true;
    }
    return false;
}
