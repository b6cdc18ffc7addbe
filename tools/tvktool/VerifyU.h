#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

// What the program's reader accepts without a word but a person should know about a data
// file: counts, text lengths and trailing bytes in the bytes themselves, then duplicate ids,
// links to missing records, odd offsets and daylight-saving dates that cannot exist in the
// records as the program reads them. One text per finding, in file order.
std::vector<std::string> VerifyCityListBytes(const std::vector<std::uint8_t>& bytes);

// tvktool verify FILE: the findings one per line on out; 0 when there are none, 1 when there
// are, 1 with a message on err when the file cannot be read at all.
int RunVerify(const std::string& file, std::ostream& out, std::ostream& err);
