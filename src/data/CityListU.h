#pragma once

#include "data/AirportU.h"
#include "data/CityU.h"
#include "data/CountryU.h"
#include "data/StateU.h"
#include "data/StreamU.h"

#include <cstdint>
#include <string>
#include <vector>

// The location database as the main window holds it for the whole run.
struct TCityList {
    TCountries Countries;
    TStates States;
    TCities Cities;
    TAirports Airports;
    TCity* MyCity = nullptr;
    TCity* CurrentCity = nullptr;
    bool Modified = false;
};

// The place whose offset and rules govern a city: its state when it names one, else its
// country. Exactly one of the two is set when the place is found; neither when it is missing.
struct TPlace {
    const TState* State = nullptr;
    const TCountry* Country = nullptr;

    explicit operator bool() const { return State != nullptr || Country != nullptr; }
    double UTCOffset() const;
    const TSummerTimeRule& DSTStart() const;
    const TSummerTimeRule& DSTEnd() const;
    TDateTime LocalTime(TDateTime utcNow) const;
    TDateTime LocalTimeWholeHours(TDateTime utcNow) const;
    bool InDST(TDateTime utcNow) const;
};
TPlace PlaceOfCity(const TCityList& data, const TCity& city);

// Reads the five blocks into the data, emptying each collection just before its block. My City
// and the current city follow the stored id. Throws EReadError when the stream ends inside a
// count or record: what was read stays, and the two references keep naming the cities they
// named (looked up again by id when the cities were replaced, none when gone).
void ReadCityList(TInStream& stream, TCityList& data);
void WriteCityList(TOutStream& stream, const TCityList& data);

// Throws EFOpenError when the file cannot be opened, EReadError as above.
void LoadCityListFile(const std::string& fileName, TCityList& data);
// Whether the file opens and the reader takes it whole, without a Stream read error.
bool CityListReadsCleanly(const std::string& fileName);
// Replaces the file safely, keeping the content it replaces as BackupFileName unless told not to
// (a file made from other sources), and clears Modified; on failure throws EFCreateError or
// EWriteError, leaves the old file intact and Modified as it was. A file the reader refuses is
// never kept over a backup it takes: that backup stays as it is.
void SaveCityListFile(const std::string& fileName, TCityList& data, TBackup backup = TBackup::Keep);
