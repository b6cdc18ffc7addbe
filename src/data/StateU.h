#pragma once

#include "data/LocationCollectionU.h"
#include "data/SummerTimeU.h"

#include <cstdint>
#include <string>

class TListTarget;
class TInStream;
class TOutStream;
struct TLocaleFacts;

class TState {
public:
    static constexpr std::size_t RecordSize = 122;

    std::int32_t UniqueID = 0;
    std::string Name;
    std::string Code;
    std::int32_t CountryId = 0;
    double UTCOffset = -99.0;
    std::int32_t Reserved = 0; // never set here; kept as read
    TSummerTimeRule DSTStart;
    TSummerTimeRule DSTEnd;

    std::int32_t Id() const { return UniqueID; }
    void SetId(std::int32_t id) { UniqueID = id; }

    TDateTime LocalTime(TDateTime utcNow) const;
    TDateTime LocalTimeWholeHours(TDateTime utcNow) const;

    void ToRecord(std::uint8_t* out) const;
    void FromRecord(const std::uint8_t* in);
};

class TStates : public TLocationCollection<TState> {
public:
    void FillListBox(TListTarget& list) const;
    // Only the states of that country; country id 0 takes all.
    void FillComboBox(TListTarget& combo, std::int32_t countryId, bool showOffsets,
                      const TLocaleFacts& locale) const;
    void AddToComboBox(TListTarget& combo, std::int32_t countryId, bool showOffsets,
                       const TLocaleFacts& locale) const;

    void LoadFromStream(TInStream& stream);
    void SaveToStream(TOutStream& stream) const;
};

// States have no "not set" exception: -99 shows as (UTC -99).
std::string StateComboText(const TState& s, bool showOffsets, const TLocaleFacts& locale);
