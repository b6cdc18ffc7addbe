#pragma once

#include "data/CityListU.h"

#include <cstdint>
#include <string>
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

// The location data of the run with its bookkeeping: the file it came from, whether it changed
// since, and a generation that grows with every change, so that caches can tell whether what
// they hold is still current (a deleted and a new record may share an address and an id).
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

    // Records edited in place by a rule that already checked them (an applied page): marks the
    // data modified and tells the listeners.
    void Edited();
    // Takes the record away with every reference to it: a city leaves the capitals and the
    // airports that name it, and the centre goes back to My City. False when there is no such
    // record. Whether the record may go is the caller's rule (see ManageRecordsU).
    bool Delete(TRecordKind kind, std::int32_t id);
    // The centre of the dial; a city shown there joins the ring. Null is refused.
    bool SetCurrentCity(TCity* city);
    // My City, which also takes the centre and is always on the dial.
    void SetMyCity(TCity* city);
    // Puts the city on or off the dial. Nothing is told when it was already so.
    void SetOnDial(TCity* city, bool onDial);

    // Reads the file into the data (see LoadCityListFile for what it throws); whatever was read
    // replaces what was there, and the listeners hear so even when the reading failed midway.
    // The file name becomes this one once the file was read whole.
    void Open(const std::string& fileName);
    // Writes to the file name (SaveCityListFile's errors); Modified is cleared on success.
    void Save(TBackup backup = TBackup::Keep);
    void SaveAs(const std::string& fileName, TBackup backup = TBackup::Keep);
    // The data was replaced from outside (read by other means): tells the listeners.
    void Replaced();

private:
    void TellChanged();

    TCityList Data_;
    std::string FileName_;
    std::uint64_t Generation_ = 0;
    std::vector<TLocationListener*> Listeners_;
};
