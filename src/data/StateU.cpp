#include "data/StateU.h"

#include "data/FormatU.h"
#include "data/ListTargetU.h"
#include "data/RecordIoU.h"

TDateTime TState::LocalTime(TDateTime utcNow) const {
    return PlaceLocalTime(UTCOffset, DSTStart, DSTEnd, utcNow);
}

TDateTime TState::LocalTimeWholeHours(TDateTime utcNow) const {
    return PlaceLocalTimeWholeHours(UTCOffset, DSTStart, DSTEnd, utcNow);
}

void TState::ToRecord(std::uint8_t* out) const {
    PutI32(out, UniqueID);
    PutShortString(out + 4, 55, TrimAnsi(Name));
    PutShortString(out + 60, 5, Code);
    PutI32(out + 66, CountryId);
    PutF64(out + 70, UTCOffset);
    PutI32(out + 78, Reserved);
    DSTStart.ToBytes(out + 82);
    DSTEnd.ToBytes(out + 102);
}

void TState::FromRecord(const std::uint8_t* in) {
    UniqueID = GetI32(in);
    AssignTrimmedShortString(Name, in + 4, 55);
    AssignShortString(Code, in + 60, 5);
    CountryId = GetI32(in + 66);
    UTCOffset = GetF64(in + 70);
    Reserved = GetI32(in + 78);
    DSTStart = TSummerTimeRule::FromBytes(in + 82);
    DSTEnd = TSummerTimeRule::FromBytes(in + 102);
}

std::string StateComboText(const TState& s, bool showOffsets, const TLocaleFacts& locale) {
    if (!showOffsets)
        return s.Name;
    if (s.UTCOffset > 0)
        return s.Name + " (UTC +" + FormatGeneral(s.UTCOffset, locale) + ")";
    if (s.UTCOffset == 0)
        return s.Name + " (UTC)";
    return s.Name + " (UTC " + FormatGeneral(s.UTCOffset, locale) + ")";
}

void TStates::FillListBox(TListTarget& list) const {
    list.Clear();
    for (const auto& s : *this)
        list.Add(s->Name, s);
}

void TStates::FillComboBox(TListTarget& combo, std::int32_t countryId, bool showOffsets,
                           const TLocaleFacts& locale) const {
    combo.Clear();
    AddToComboBox(combo, countryId, showOffsets, locale);
}

void TStates::AddToComboBox(TListTarget& combo, std::int32_t countryId, bool showOffsets,
                            const TLocaleFacts& locale) const {
    for (const auto& s : *this)
        if (countryId == 0 || s->CountryId == countryId)
            combo.Add(StateComboText(*s, showOffsets, locale), s);
}

void TStates::LoadFromStream(TInStream& stream) {
    LoadBlock<TState::RecordSize>(stream, *this,
                                  [](const std::uint8_t* b, TState& s) { s.FromRecord(b); });
}

void TStates::SaveToStream(TOutStream& stream) const {
    SaveBlock<TState::RecordSize>(stream, *this,
                                  [](const TState& s, std::uint8_t* b) { s.ToRecord(b); });
}
