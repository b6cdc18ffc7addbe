#pragma once

#include "data/LocationCollectionU.h"

#include <array>
#include <cstdint>
#include <string>

class TListTarget;
class TInStream;
class TOutStream;

class TAirport {
public:
    static constexpr std::size_t RecordSize = 168;
    static constexpr int SlotCount = 10;
    static constexpr std::size_t CodeLength = 5;

    std::int32_t UniqueID = 0;
    std::string Name;
    std::int32_t StateId = 0;
    std::int32_t CountryId = 0;

    // Slots are numbered 1 .. 10; callers keep to that range.
    std::string Codes(int slot) const;
    // Keeps the first five characters.
    void SetCodes(int slot, const std::string& code);
    std::int32_t ClosestCities(int slot) const {
        return ClosestCities_.at(static_cast<std::size_t>(slot - 1));
    }
    void SetClosestCities(int slot, std::int32_t cityId) {
        ClosestCities_.at(static_cast<std::size_t>(slot - 1)) = cityId;
    }
    // Moves the non-zero entries to the front in their order.
    void PackClosestCities();

    std::int32_t Id() const { return UniqueID; }
    void SetId(std::int32_t id) { UniqueID = id; }

    void ToRecord(std::uint8_t* out) const;
    void FromRecord(const std::uint8_t* in);

private:
    // Codes are short and many: kept as their stored short strings (a length and five bytes,
    // the unused ones zero), which also makes reading them a copy.
    std::array<std::uint8_t, SlotCount*(CodeLength + 1)> Codes_{};
    std::array<std::int32_t, SlotCount> ClosestCities_{};
};

class TAirports : public TLocationCollection<TAirport> {
public:
    void FillListBox(TListTarget& list) const;
    // Each id of 0 is no condition.
    void AddToComboBox(TListTarget& combo, std::int32_t countryId, std::int32_t stateId) const;

    void LoadFromStream(TInStream& stream);
    void SaveToStream(TOutStream& stream) const;
};
