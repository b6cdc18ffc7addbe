#pragma once

#include "data/LocationCollectionU.h"

#include <cstdint>
#include <string>

class TListTarget;
class TInStream;
class TOutStream;
class TCountry;
class TState;

class TCity {
public:
    static constexpr std::size_t RecordSize = 78;
    static constexpr std::size_t ShortNameLength = 8;

    std::int32_t UniqueID = 0;
    std::string LongName;
    std::int32_t StateId = 0;
    std::int32_t CountryId = 0;
    bool Default = false; // shown on the dial

    const std::string& ShortName() const { return ShortName_; }
    // Keeps the first eight characters.
    void SetShortName(const std::string& s) { ShortName_ = s.substr(0, ShortNameLength); }

    std::int32_t Id() const { return UniqueID; }
    void SetId(std::int32_t id) { UniqueID = id; }

    void ToRecord(std::uint8_t* out) const;
    void FromRecord(const std::uint8_t* in);

private:
    std::string ShortName_;
};

class TCities : public TLocationCollection<TCity> {
public:
    // The My City line ends in " *"; a check list gets the Default flags as check marks.
    void FillListBox(TListTarget& list, const TCity* myCity) const;
    void AddToCityCombo(TListTarget& combo, const TCountry* country, const TState* state) const;
    static void SelectCityInCombo(TListTarget& combo, std::int32_t cityId);

    void LoadFromStream(TInStream& stream);
    void SaveToStream(TOutStream& stream) const;
};
