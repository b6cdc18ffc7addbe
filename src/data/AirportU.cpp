#include "data/AirportU.h"

#include "data/ListTargetU.h"
#include "data/RecordIoU.h"

std::string TAirport::Codes(int slot) const {
    const std::uint8_t* p = &Codes_.at(static_cast<std::size_t>(slot - 1) * (CodeLength + 1));
    return std::string(reinterpret_cast<const char*>(p + 1), p[0]);
}

void TAirport::SetCodes(int slot, const std::string& code) {
    std::uint8_t* p = &Codes_.at(static_cast<std::size_t>(slot - 1) * (CodeLength + 1));
    PutShortString(p, CodeLength, code);
}

void TAirport::PackClosestCities() {
    std::array<std::int32_t, SlotCount> packed{};
    std::size_t n = 0;
    for (std::int32_t id : ClosestCities_)
        if (id != 0)
            packed[n++] = id;
    ClosestCities_ = packed;
}

void TAirport::ToRecord(std::uint8_t* out) const {
    PutI32(out, UniqueID);
    PutShortString(out + 4, 55, TrimAnsi(Name));
    std::memcpy(out + 60, Codes_.data(), Codes_.size());
    for (int i = 0; i < SlotCount; ++i)
        PutI32(out + 120 + 4 * i, ClosestCities_[static_cast<std::size_t>(i)]);
    PutI32(out + 160, StateId);
    PutI32(out + 164, CountryId);
}

void TAirport::FromRecord(const std::uint8_t* in) {
    UniqueID = GetI32(in);
    AssignTrimmedShortString(Name, in + 4, 55);
    std::memcpy(Codes_.data(), in + 60, Codes_.size());
    for (std::size_t i = 0; i < Codes_.size(); i += CodeLength + 1) {
        // A length beyond the capacity reads as the capacity; what follows the text is cleared.
        Codes_[i] = std::min<std::uint8_t>(Codes_[i], CodeLength);
        std::memset(Codes_.data() + i + 1 + Codes_[i], 0, CodeLength - Codes_[i]);
    }
    for (int i = 0; i < SlotCount; ++i)
        ClosestCities_[static_cast<std::size_t>(i)] = GetI32(in + 120 + 4 * i);
    StateId = GetI32(in + 160);
    CountryId = GetI32(in + 164);
}

void TAirports::FillListBox(TListTarget& list) const {
    list.Clear();
    for (const auto& a : *this)
        list.Add(a->Name, a);
}

void TAirports::AddToComboBox(TListTarget& combo, std::int32_t countryId,
                              std::int32_t stateId) const {
    for (const auto& a : *this)
        if ((stateId == 0 || a->StateId == stateId) &&
            (countryId == 0 || a->CountryId == countryId))
            combo.Add(a->Name, a);
}

void TAirports::LoadFromStream(TInStream& stream) {
    LoadBlock<TAirport::RecordSize>(stream, *this,
                                    [](const std::uint8_t* b, TAirport& a) { a.FromRecord(b); });
}

void TAirports::SaveToStream(TOutStream& stream) const {
    SaveBlock<TAirport::RecordSize>(stream, *this,
                                    [](const TAirport& a, std::uint8_t* b) { a.ToRecord(b); });
}
