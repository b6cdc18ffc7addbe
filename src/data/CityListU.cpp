#include "data/CityListU.h"

#include "data/RecordIoU.h"

namespace {

const TSummerTimeRule NoRule{};

} // namespace

double TPlace::UTCOffset() const {
    return State ? State->UTCOffset : Country ? Country->UTCOffset : 0.0;
}

const TSummerTimeRule& TPlace::DSTStart() const {
    return State ? State->DSTStart : Country ? Country->DSTStart : NoRule;
}

const TSummerTimeRule& TPlace::DSTEnd() const {
    return State ? State->DSTEnd : Country ? Country->DSTEnd : NoRule;
}

TDateTime TPlace::LocalTime(TDateTime utcNow) const {
    return PlaceLocalTime(UTCOffset(), DSTStart(), DSTEnd(), utcNow);
}

TDateTime TPlace::LocalTimeWholeHours(TDateTime utcNow) const {
    return PlaceLocalTimeWholeHours(UTCOffset(), DSTStart(), DSTEnd(), utcNow);
}

bool TPlace::InDST(TDateTime utcNow) const {
    return PlaceInDST(UTCOffset(), DSTStart(), DSTEnd(), utcNow);
}

TPlace PlaceOfCity(const TCityList& data, const TCity& city) {
    TPlace p;
    if (city.StateId != 0)
        p.State = data.States.FindById(city.StateId);
    else if (city.CountryId != 0)
        p.Country = data.Countries.FindById(city.CountryId);
    return p;
}

void ReadCityList(TInStream& stream, TCityList& data) {
    // Remember whom the references name: the city objects go away with their collection.
    const bool hadMyCity = data.MyCity != nullptr;
    const bool hadCurrent = data.CurrentCity != nullptr;
    const std::int32_t myId = hadMyCity ? data.MyCity->UniqueID : 0;
    const std::int32_t currentId = hadCurrent ? data.CurrentCity->UniqueID : 0;
    bool citiesReplaced = false;
    try {
        data.Countries.Clear();
        data.Countries.LoadFromStream(stream);
        data.States.Clear();
        data.States.LoadFromStream(stream);
        data.MyCity = nullptr;
        data.CurrentCity = nullptr;
        data.Cities.Clear();
        citiesReplaced = true;
        data.Cities.LoadFromStream(stream);
        data.Airports.Clear();
        data.Airports.LoadFromStream(stream);
    } catch (const EReadError&) {
        if (citiesReplaced) {
            data.MyCity = hadMyCity ? data.Cities.FindById(myId) : nullptr;
            data.CurrentCity = hadCurrent ? data.Cities.FindById(currentId) : nullptr;
        }
        throw;
    }
    std::uint8_t b[4];
    std::int32_t id = 0;
    if (stream.Read(b, 4) == 4)
        id = GetI32(b);
    if (id == 0) {
        data.MyCity = nullptr;
        data.CurrentCity = hadCurrent ? data.Cities.FindById(currentId) : nullptr;
    } else {
        data.MyCity = data.Cities.FindById(id);
        data.CurrentCity = data.MyCity;
    }
}

void WriteCityList(TOutStream& stream, const TCityList& data) {
    data.Countries.SaveToStream(stream);
    data.States.SaveToStream(stream);
    data.Cities.SaveToStream(stream);
    data.Airports.SaveToStream(stream);
    WriteCount(stream, data.MyCity ? data.MyCity->UniqueID : 0);
}

void LoadCityListFile(const std::string& fileName, TCityList& data) {
    const std::vector<std::uint8_t> bytes = ReadWholeFile(fileName);
    TMemoryInStream stream(bytes);
    ReadCityList(stream, data);
}

bool CityListReadsCleanly(const std::string& fileName) {
    try {
        TCityList probe;
        LoadCityListFile(fileName, probe);
        return true;
    } catch (const EStreamError&) {
        return false;
    }
}

void SaveCityListFile(const std::string& fileName, TCityList& data, TBackup backup) {
    // The backup is there to undo a save; a damaged file over the last good one would undo
    // nothing.
    if (backup == TBackup::Keep && !CityListReadsCleanly(ResolveSaveTarget(fileName)) &&
        CityListReadsCleanly(BackupFileName(fileName)))
        backup = TBackup::None;
    TMemoryOutStream out;
    out.Bytes.reserve(20 + data.Countries.Count() * TCountry::RecordSize +
                      data.States.Count() * TState::RecordSize +
                      data.Cities.Count() * TCity::RecordSize +
                      data.Airports.Count() * TAirport::RecordSize);
    WriteCityList(out, data);
    ReplaceFileContent(fileName, out.Bytes, backup);
    data.Modified = false;
}
