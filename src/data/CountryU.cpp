#include "data/CountryU.h"

#include "data/FormatU.h"
#include "data/ListTargetU.h"
#include "data/RecordIoU.h"

TDateTime TCountry::LocalTime(TDateTime utcNow) const {
    return PlaceLocalTime(UTCOffset, DSTStart, DSTEnd, utcNow);
}

TDateTime TCountry::LocalTimeWholeHours(TDateTime utcNow) const {
    return PlaceLocalTimeWholeHours(UTCOffset, DSTStart, DSTEnd, utcNow);
}

void TCountry::ToRecord(std::uint8_t* out) const {
    PutI32(out, UniqueId);
    PutShortString(out + 4, 255, TrimAnsi(Name));
    PutShortString(out + 260, 5, Code);
    PutF64(out + 266, UTCOffset);
    PutI32(out + 274, CapitalCity);
    DSTStart.ToBytes(out + 278);
    DSTEnd.ToBytes(out + 298);
}

void TCountry::FromRecord(const std::uint8_t* in) {
    UniqueId = GetI32(in);
    AssignTrimmedShortString(Name, in + 4, 255);
    AssignShortString(Code, in + 260, 5);
    UTCOffset = GetF64(in + 266);
    CapitalCity = GetI32(in + 274);
    DSTStart = TSummerTimeRule::FromBytes(in + 278);
    DSTEnd = TSummerTimeRule::FromBytes(in + 298);
}

std::string CountryComboText(const TCountry& c, bool showOffsets, const TLocaleFacts& locale) {
    if (!showOffsets)
        return c.Name;
    const double off = c.UTCOffset;
    if (off > 0)
        return c.Name + " (UTC +" + FormatGeneral(off, locale) + ")";
    if (off == 0)
        return c.Name + " (UTC)";
    if (off > UnsetUTCOffset)
        return c.Name + " (UTC " + FormatGeneral(off, locale) + ")";
    return c.Name;
}

void TCountries::FillListBox(TListTarget& list) const {
    list.Clear();
    for (const auto& c : *this)
        list.Add(c->Name, c);
}

void TCountries::FillComboBox(TListTarget& combo, bool showOffsets,
                              const TLocaleFacts& locale) const {
    combo.Clear();
    AddToComboBox(combo, showOffsets, locale);
}

void TCountries::AddToComboBox(TListTarget& combo, bool showOffsets,
                               const TLocaleFacts& locale) const {
    for (const auto& c : *this)
        combo.Add(CountryComboText(*c, showOffsets, locale), c);
}

void TCountries::LoadFromStream(TInStream& stream) {
    LoadBlock<TCountry::RecordSize>(stream, *this,
                                    [](const std::uint8_t* b, TCountry& c) { c.FromRecord(b); });
}

void TCountries::SaveToStream(TOutStream& stream) const {
    SaveBlock<TCountry::RecordSize>(stream, *this,
                                    [](const TCountry& c, std::uint8_t* b) { c.ToRecord(b); });
}
