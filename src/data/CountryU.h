#pragma once

#include "data/LocationCollectionU.h"
#include "data/SummerTimeU.h"

#include <cstdint>
#include <string>

class TListTarget;
class TInStream;
class TOutStream;
struct TLocaleFacts;

// Offsets of -99 and below mean "not set".
constexpr double UnsetUTCOffset = -99.0;

class TCountry {
public:
    static constexpr std::size_t RecordSize = 318;

    std::int32_t UniqueId = 0;
    std::string Name;
    std::string Code;
    double UTCOffset = UnsetUTCOffset;
    std::int32_t CapitalCity = 0;
    TSummerTimeRule DSTStart;
    TSummerTimeRule DSTEnd;

    std::int32_t Id() const { return UniqueId; }
    void SetId(std::int32_t id) { UniqueId = id; }

    TDateTime LocalTime(TDateTime utcNow) const;
    TDateTime LocalTimeWholeHours(TDateTime utcNow) const;

    void ToRecord(std::uint8_t* out) const;
    void FromRecord(const std::uint8_t* in);
};

class TCountries : public TLocationCollection<TCountry> {
public:
    void FillListBox(TListTarget& list) const;
    void FillComboBox(TListTarget& combo, bool showOffsets, const TLocaleFacts& locale) const;
    void AddToComboBox(TListTarget& combo, bool showOffsets, const TLocaleFacts& locale) const;

    // Appends the items of one block; the caller empties the collection first.
    void LoadFromStream(TInStream& stream);
    void SaveToStream(TOutStream& stream) const;
};

// A place's name with its offset, as the combo boxes show it.
std::string CountryComboText(const TCountry& c, bool showOffsets, const TLocaleFacts& locale);
