#pragma once

#include "data/CityListU.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The kinds of record the store can take away.
enum class TRecordKind { Country, State, City, Airport };

// What a window hears from the store. Each call comes after the change, with the data as it now
// stands; a listener must not add or remove listeners while it is being told.
class TLocationListener {
public:
    virtual ~TLocationListener() = default;
    // Records were edited in place (names, places, the dial's ring, My City, the centre).
    virtual void LocationsChanged() {}
    // A record is gone: anything still holding it or its id lets go of it.
    virtual void LocationRemoved(TRecordKind kind, std::int32_t id) {
        static_cast<void>(kind);
        static_cast<void>(id);
    }
    // The whole data was read again (Open, a restore): every record held is stale.
    virtual void LocationsReplaced() {}
};

// A record as a rule checked it: stored over Record, or as a new record when Record is null
// (the id is the store's to give).
template <typename R> struct TRecordChange {
    R* Record = nullptr;
    R Value;
};
using TCountryChange = TRecordChange<TCountry>;
using TStateChange = TRecordChange<TState>;
using TAirportChange = TRecordChange<TAirport>;
// A city also links what names it: the country it becomes the capital of, and the airports
// that serve it or no longer do (a full airport takes no new city).
struct TCityChange {
    TCity* Record = nullptr;
    TCity Value;
    TCountry* CapitalOf = nullptr;
    std::vector<std::pair<TAirport*, bool>> Airports;
};

// Takes the city out of every airport's list and packs every list.
void UnlinkCityFromAirports(TAirports& airports, std::int32_t cityId);
// Before a city is deleted: nothing may go on naming its id, which the next new city would
// inherit (the next id is the largest + 1). Clears every capital that names it and takes it out
// of every airport's list.
void UnlinkDeletedCity(TCityList& data, std::int32_t cityId);

// A city list file read whole and found readable, not yet taken into the data.
struct TCheckedFile {
    std::string FileName;
    std::vector<std::uint8_t> Bytes;
};

// Whether a change of the dial's ring is the user's lasting choice (saved, so the data is
// modified) or one of the moment (shown until the next start).
enum class TChoice { Lasting, OfTheMoment };

// The location data of the run with its bookkeeping: the file it came from, whether it changed
// since, and a generation that grows with every change, so that caches can tell whether what
// they hold is still current (a deleted and a new record may share an address and an id).
// Windows read the data and change it through the intents below, which tell the listeners.
class TLocationStore {
public:
    TLocationStore() = default;
    TLocationStore(const TLocationStore&) = delete;
    TLocationStore& operator=(const TLocationStore&) = delete;

    TCityList& Data() { return Data_; }
    const TCityList& Data() const { return Data_; }
    const std::string& FileName() const { return FileName_; }
    void SetFileName(const std::string& fileName) { FileName_ = fileName; }
    bool Modified() const { return Data_.Modified; }
    std::uint64_t Generation() const { return Generation_; }

    void AddListener(TLocationListener* listener);
    void RemoveListener(TLocationListener* listener);

    // Records edited in place by a rule that already checked them: marks the data modified and
    // tells the listeners.
    void Edited();

    // Stores a checked record, new or edited, marks the data modified and tells; the record
    // as it is now stored.
    TCountry& ApplyCountry(const TCountryChange& change);
    TState& ApplyState(const TStateChange& change);
    TCity& ApplyCity(const TCityChange& change);
    TAirport& ApplyAirport(const TAirportChange& change);

    // Takes the record away with every reference to it: a city leaves the capitals and the
    // airports that name it, and the centre goes back to My City. False when there is no such
    // record. Whether the record may go is the caller's rule (see ManageRecordsU).
    bool Delete(TRecordKind kind, std::int32_t id);
    // The centre of the dial, chosen to stay: the city joins the ring. Null is refused.
    bool SetCurrentCity(TCity* city);
    // The centre for a look: neither the ring nor the data's modified mark change. Null and a
    // city not in the data are refused.
    bool ShowCity(TCity* city);
    // My City, which also takes the centre and is always on the dial.
    void SetMyCity(TCity* city);
    // Puts the city on or off the dial. A lasting choice marks the data modified even when the
    // city was already so (the user chose to keep it); only a change is told.
    void SetOnDial(TCity* city, bool onDial, TChoice choice = TChoice::Lasting);
    // The ring as a list of marks gives it, as one change: told once, when a mark differs from
    // what the dial shows.
    void SetOnDial(const std::vector<std::pair<TCity*, bool>>& marks,
                   TChoice choice = TChoice::Lasting);

    // Reads the file whole and checks it (LoadCityListFile's errors); nothing is changed.
    static TCheckedFile CheckFile(const std::string& fileName);
    // Replaces the data with the checked file, which becomes the file name; the data is as the
    // file holds it (not modified). Listeners hear that everything was replaced.
    void Open(const TCheckedFile& file);
    // Checks, then replaces: a file that cannot be read whole leaves everything as it was.
    void Open(const std::string& fileName);
    // Writes to the file name (SaveCityListFile's errors); Modified is cleared on success.
    // Nothing shown changes, so nothing is told.
    void Save(TBackup backup = TBackup::Keep);
    // Writes to another file, which becomes the file name once written.
    void SaveAs(const std::string& fileName, TBackup backup = TBackup::Keep);
    // The data was replaced from outside (read by other means): tells the listeners.
    void Replaced();

private:
    void TellChanged();
    void MarkAndTell();

    TCityList Data_;
    std::string FileName_;
    std::uint64_t Generation_ = 0;
    std::vector<TLocationListener*> Listeners_;
};
