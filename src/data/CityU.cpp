#include "data/CityU.h"

#include "data/CountryU.h"
#include "data/ListTargetU.h"
#include "data/RecordIoU.h"
#include "data/StateU.h"

void TCity::ToRecord(std::uint8_t* out) const {
    PutI32(out, UniqueID);
    PutShortString(out + 4, 8, TrimAnsi(ShortName_));
    PutShortString(out + 13, 55, TrimAnsi(LongName));
    PutI32(out + 69, StateId);
    PutI32(out + 73, CountryId);
    out[77] = Default ? 1 : 0;
}

void TCity::FromRecord(const std::uint8_t* in) {
    UniqueID = GetI32(in);
    AssignTrimmedShortString(ShortName_, in + 4, 8); // never longer than 8
    AssignTrimmedShortString(LongName, in + 13, 55);
    StateId = GetI32(in + 69);
    CountryId = GetI32(in + 73);
    Default = in[77] != 0;
}

void TCities::FillListBox(TListTarget& list, const TCity* myCity) const {
    list.Clear();
    for (const auto& c : *this)
        list.Add(c == myCity ? c->LongName + " *" : c->LongName, c);
    if (!list.IsCheckList())
        return;
    for (int i = 0; i < list.Count(); ++i) {
        const auto* city = static_cast<const TCity*>(list.Item(i));
        if (city != nullptr && city->Default)
            list.SetChecked(i, true);
    }
}

void TCities::AddToCityCombo(TListTarget& combo, const TCountry* country,
                             const TState* state) const {
    combo.Add("-- No City --", nullptr);
    if (state != nullptr) {
        for (const auto& c : *this)
            if (c->StateId == state->UniqueID)
                combo.Add(c->LongName + " (" + state->Name + ")", c);
    } else if (country != nullptr) {
        for (const auto& c : *this)
            if (c->CountryId == country->UniqueId)
                combo.Add(c->LongName, c);
    }
}

void TCities::SelectCityInCombo(TListTarget& combo, std::int32_t cityId) {
    combo.SetItemIndex(-1);
    if (cityId == 0) {
        if (combo.Count() > 0)
            combo.SetItemIndex(0);
        return;
    }
    for (int i = 1; i < combo.Count(); ++i) {
        const auto* city = static_cast<const TCity*>(combo.Item(i));
        if (city != nullptr && city->UniqueID == cityId)
            combo.SetItemIndex(i);
    }
}

void TCities::LoadFromStream(TInStream& stream) {
    LoadBlock<TCity::RecordSize>(stream, *this,
                                 [](const std::uint8_t* b, TCity& c) { c.FromRecord(b); });
}

void TCities::SaveToStream(TOutStream& stream) const {
    SaveBlock<TCity::RecordSize>(stream, *this,
                                 [](const TCity& c, std::uint8_t* b) { c.ToRecord(b); });
}
