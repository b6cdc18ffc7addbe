#include "data/LocationStoreU.h"

#include <algorithm>

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

void TLocationStore::Edited() {
    Data_.Modified = true;
    TellChanged();
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
        // Nothing may go on naming the id, which the next new city would inherit.
        for (TCountry* c : Data_.Countries)
            if (c->CapitalCity == id)
                c->CapitalCity = 0;
        for (TAirport* a : Data_.Airports) {
            for (int slot = 1; slot <= TAirport::SlotCount; ++slot)
                if (a->ClosestCities(slot) == id)
                    a->SetClosestCities(slot, 0);
            a->PackClosestCities();
        }
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
    Data_.Modified = true;
    TellChanged();
    return true;
}

void TLocationStore::SetMyCity(TCity* city) {
    Data_.MyCity = city;
    Data_.CurrentCity = city;
    if (city != nullptr)
        city->Default = true;
    Data_.Modified = true;
    TellChanged();
}

void TLocationStore::SetOnDial(TCity* city, bool onDial) {
    if (city == nullptr || city->Default == onDial)
        return;
    city->Default = onDial;
    Data_.Modified = true;
    TellChanged();
}

void TLocationStore::Replaced() {
    ++Generation_;
    for (TLocationListener* l : Listeners_)
        l->LocationsReplaced();
}

void TLocationStore::Open(const std::string& fileName) {
    struct TTellAtEnd {
        TLocationStore& Store;
        ~TTellAtEnd() { Store.Replaced(); }
    } tell{*this};
    LoadCityListFile(fileName, Data_);
    FileName_ = fileName;
}

void TLocationStore::Save(TBackup backup) {
    SaveCityListFile(FileName_, Data_, backup);
}

void TLocationStore::SaveAs(const std::string& fileName, TBackup backup) {
    SaveCityListFile(fileName, Data_, backup);
    FileName_ = fileName;
}
