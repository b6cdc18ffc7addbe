#pragma once

#include "data/CityListU.h"
#include "data/SummerTimeU.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// The world database as human-readable tables: one CSV file per record kind (countries.csv,
// states.csv, cities.csv, airports.csv, mycity.csv), row order = collection order.

// A fault in a table, told as "file:line: field: what".
class EWorldTableError : public std::runtime_error {
public:
    EWorldTableError(const std::string& file, int line, const std::string& field,
                     const std::string& what);
};

// Columns that the tables carry for the generator and the check but the data file does not
// store; each vector runs parallel to its collection.
struct TWorldExtras {
    std::vector<std::string> CountryZones;
    std::vector<std::string> StateZones;
    std::vector<std::string> CityZones;
    std::vector<std::string> CityPopulations; // of the generator's source, 0 when unknown
    std::vector<std::string> AirportLatitudes;
    std::vector<std::string> AirportLongitudes;
};

// One parsed CSV record with the line it starts on.
struct TCsvRow {
    int Line = 0;
    std::vector<std::string> Fields;
};
// RFC 4180; a leading UTF-8 byte order mark is skipped. Throws EWorldTableError for a quote
// left open or text after a closing quote.
std::vector<TCsvRow> ParseCsv(const std::string& text, const std::string& fileName);
std::string CsvField(const std::string& value);

// A rule as table text: "none", "Last Sunday March 02:00", "First Sunday after 7 March 02:00",
// "fixed 21 March 00:00", or "raw ..." with every field when no readable form is exact.
std::string FormatRule(const TSummerTimeRule& rule);
// False with a reason when the text is no rule.
bool ParseRule(const std::string& text, TSummerTimeRule& rule, std::string& why);

// Numbers print as the shortest text that reads back exactly; NaN keeps its bits.
std::string FormatExactDouble(double v);
bool ParseExactDouble(const std::string& text, double& v);

// Reads the tables of a folder; My City follows the stored id. Throws EWorldTableError.
void ReadWorldTables(const std::string& dir, TCityList& data, TWorldExtras* extras = nullptr);
// Writes the tables; the extra columns come from extras, empty without. Throws
// EWorldTableError when a value has no table form (a code holding '|') or a file cannot be
// written.
void WriteWorldTables(const std::string& dir, const TCityList& data,
                      const TWorldExtras* extras = nullptr);

// tvktool build DIR OUT and export FILE DIR: exit status 0 or 1, messages on err.
int BuildWorld(const std::string& dir, const std::string& outFile, std::ostream& err);
int ExportWorld(const std::string& file, const std::string& dir, std::ostream& err);
