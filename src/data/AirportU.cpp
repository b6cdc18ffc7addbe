#include "AirportU.h"

#include "ListTargetU.h"
#include "RecordIoU.h"

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
    for (int i = 0; i < SlotCount; ++i)
        PutShortString(out + 60 + 6 * i, CodeLength, Codes_[static_cast<std::size_t>(i)]);
    for (int i = 0; i < SlotCount; ++i)
        PutI32(out + 120 + 4 * i, ClosestCities_[static_cast<std::size_t>(i)]);
    PutI32(out + 160, StateId);
    PutI32(out + 164, CountryId);
}

void TAirport::FromRecord(const std::uint8_t* in) {
    UniqueID = GetI32(in);
    AssignTrimmedShortString(Name, in + 4, 55);
    for (int i = 0; i < SlotCount; ++i)
        AssignShortString(Codes_[static_cast<std::size_t>(i)], in + 60 + 6 * i, CodeLength);
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
