#include "data/LocationStoreU.h"

#include <algorithm>

void UnlinkCityFromAirports(TAirports& airports, std::int32_t cityId) {
    for (TAirport* a : airports) {
        for (int slot = 1; slot <= TAirport::SlotCount; ++slot)
            if (a->ClosestCities(slot) == cityId)
                a->SetClosestCities(slot, 0);
        a->PackClosestCities();
    }
}

void UnlinkDeletedCity(TCityList& data, std::int32_t cityId) {
    if (cityId == 0)
        return;
    for (TCountry* c : data.Countries)
        if (c->CapitalCity == cityId)
            c->CapitalCity = 0;
    UnlinkCityFromAirports(data.Airports, cityId);
}

void TLocationStore::AddListener(TLocationListener* listener) {
    if (listener != nullptr &&
        std::find(Listeners_.begin(), Listeners_.end(), listener) == Listeners_.end())
        Listeners_.push_back(listener);
}

void TLocationStore::RemoveListener(TLocationListener* listener) {
    std::erase(Listeners_, listener);
}

void TLocationStore::TellChanged() {
    ++Generation_;
    for (TLocationListener* l : Listeners_)
        l->LocationsChanged();
}

void TLocationStore::MarkAndTell() {
    Data_.Modified = true;
    TellChanged();
}

void TLocationStore::Edited() {
    MarkAndTell();
}

namespace {

// Stores the value over the record, or as a new record; the record keeps its id.
template <typename R, typename C> R& Store(C& collection, R* record, const R& value) {
    R& target = record != nullptr ? *record : collection.AddWithNewId();
    const std::int32_t id = target.Id();
    target = value;
    target.SetId(id);
    return target;
}

// Links or unlinks one airport as the city page's check says; a full airport takes no link.
void LinkAirport(TAirport& airport, std::int32_t cityId, bool linked) {
    int holding = 0, empty = 0;
    for (int slot = 1; slot <= TAirport::SlotCount; ++slot) {
        const std::int32_t id = airport.ClosestCities(slot);
        if (id == cityId && holding == 0)
            holding = slot;
        if (id == 0 && empty == 0)
            empty = slot;
    }
    if (!linked && holding != 0)
        airport.SetClosestCities(holding, 0);
    else if (linked && holding == 0 && empty != 0)
        airport.SetClosestCities(empty, cityId);
}

} // namespace

TCountry& TLocationStore::ApplyCountry(const TCountryChange& change) {
    TCountry& c = Store(Data_.Countries, change.Record, change.Value);
    MarkAndTell();
    return c;
}

TState& TLocationStore::ApplyState(const TStateChange& change) {
    TState& s = Store(Data_.States, change.Record, change.Value);
    MarkAndTell();
    return s;
}

TCity& TLocationStore::ApplyCity(const TCityChange& change) {
    TCity& c = Store(Data_.Cities, change.Record, change.Value);
    if (change.CapitalOf != nullptr && Data_.Countries.IndexOf(change.CapitalOf) >= 0)
        change.CapitalOf->CapitalCity = c.UniqueID;
    for (const auto& [airport, linked] : change.Airports)
        if (Data_.Airports.IndexOf(airport) >= 0)
            LinkAirport(*airport, c.UniqueID, linked);
    MarkAndTell();
    return c;
}

TAirport& TLocationStore::ApplyAirport(const TAirportChange& change) {
    TAirport& a = Store(Data_.Airports, change.Record, change.Value);
    MarkAndTell();
    return a;
}

namespace {

template <typename C> bool DeleteById(C& collection, std::int32_t id) {
    auto* item = collection.FindById(id);
    if (item == nullptr)
        return false;
    collection.Delete(collection.IndexOf(item));
    return true;
}

} // namespace

bool TLocationStore::Delete(TRecordKind kind, std::int32_t id) {
    bool deleted = false;
    switch (kind) {
    case TRecordKind::Country:
        deleted = DeleteById(Data_.Countries, id);
        break;
    case TRecordKind::State:
        deleted = DeleteById(Data_.States, id);
        break;
    case TRecordKind::Airport:
        deleted = DeleteById(Data_.Airports, id);
        break;
    case TRecordKind::City: {
        TCity* city = Data_.Cities.FindById(id);
        if (city == nullptr)
            return false;
        UnlinkDeletedCity(Data_, id);
        if (Data_.CurrentCity == city && Data_.CurrentCity != Data_.MyCity)
            Data_.CurrentCity = Data_.MyCity;
        Data_.Cities.Delete(Data_.Cities.IndexOf(city));
        deleted = true;
        break;
    }
    }
    if (!deleted)
        return false;
    Data_.Modified = true;
    ++Generation_;
    for (TLocationListener* l : Listeners_)
        l->LocationRemoved(kind, id);
    return true;
}

bool TLocationStore::SetCurrentCity(TCity* city) {
    if (city == nullptr || Data_.Cities.IndexOf(city) < 0)
        return false;
    Data_.CurrentCity = city;
    city->Default = true;
    MarkAndTell();
    return true;
}

bool TLocationStore::ShowCity(TCity* city) {
    if (city == nullptr || Data_.Cities.IndexOf(city) < 0)
        return false;
    Data_.CurrentCity = city;
    TellChanged();
    return true;
}

void TLocationStore::SetMyCity(TCity* city) {
    Data_.MyCity = city;
    Data_.CurrentCity = city;
    if (city != nullptr)
        city->Default = true;
    MarkAndTell();
}

void TLocationStore::SetOnDial(TCity* city, bool onDial, TChoice choice) {
    if (city == nullptr)
        return;
    SetOnDial({{city, onDial}}, choice);
}

void TLocationStore::SetOnDial(const std::vector<std::pair<TCity*, bool>>& marks, TChoice choice) {
    bool changed = false;
    for (const auto& [city, onDial] : marks)
        if (city != nullptr && city->Default != onDial) {
            city->Default = onDial;
            changed = true;
        }
    if (choice == TChoice::Lasting)
        Data_.Modified = true;
    if (changed)
        TellChanged();
}

void TLocationStore::Replaced() {
    ++Generation_;
    for (TLocationListener* l : Listeners_)
        l->LocationsReplaced();
}

TCheckedFile TLocationStore::CheckFile(const std::string& fileName) {
    TCheckedFile file{fileName, ReadWholeFile(fileName)};
    TMemoryInStream check(file.Bytes);
    TCityList fresh;
    ReadCityList(check, fresh);
    return file;
}

void TLocationStore::Open(const TCheckedFile& file) {
    Data_.MyCity = nullptr; // the new list names its own
    Data_.CurrentCity = nullptr;
    TMemoryInStream in(file.Bytes);
    struct TTellAtEnd {
        TLocationStore& Store;
        ~TTellAtEnd() { Store.Replaced(); }
    } tell{*this};
    ReadCityList(in, Data_); // read cleanly once, so it does again
    Data_.Modified = false;  // what is shown is now what the file holds
    FileName_ = file.FileName;
}

void TLocationStore::Open(const std::string& fileName) {
    Open(CheckFile(fileName));
}

void TLocationStore::Save(TBackup backup) {
    SaveCityListFile(FileName_, Data_, backup);
}

void TLocationStore::SaveAs(const std::string& fileName, TBackup backup) {
    SaveCityListFile(fileName, Data_, backup);
    FileName_ = fileName;
}
