#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

// The zones of the world tables as the program's side file, and the check of a data file's
// places against the system's zones.

// Writes the side file for the tables in dir: a line for each country and state with a zone,
// and one for each city whose zone is not its place's. 0 done, 1 with a message on err.
int WriteWorldZones(const std::string& dir, const std::string& zonesFile, std::ostream& err);

// tvktool check-file FILE [--zones ZONEFILE] [--utc INSTANT]: without --zones the zones come
// from "default.zones" beside FILE and then FILE's own side file (its name with ".zones" for
// ".tvk"). Lists the places that disagree, those whose zone the rules cannot hold and those
// without a zone, then one summary line. 0 when nothing disagrees, 1 otherwise.
int RunCheckFile(const std::string& file, const std::optional<std::string>& zonesFile,
                 std::int64_t fromUtc, std::ostream& out, std::ostream& err);

// The side file that belongs to a data file: "user.tvk" gives "user.zones".
std::string ZonesFileFor(const std::string& dataFile);
