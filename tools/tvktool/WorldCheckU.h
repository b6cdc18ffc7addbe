#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

// Compares the local times that the program computes for the cities of the world tables with
// those of the system's time-zone database.

// Seconds since 1970-01-01 UTC of the span checked: every hour of 2026 .. 2030.
constexpr std::int64_t CheckSpanBegin = 1767225600; // 2026-01-01 00:00
constexpr std::int64_t CheckSpanEnd = 1924992000;   // 2031-01-01 00:00

// The zone's offsets from UTC in seconds at every hour of the span and at each of its
// transitions, one minute before and one after; sorted by instant. Empty when the system has
// no such zone. Changes the process's TZ while it runs and restores it.
std::vector<std::pair<std::int64_t, std::int32_t>> ZoneSamples(const std::string& zone);

struct TCheckOptions {
    std::size_t Sample = 0; // check this many cities spread over the table; 0 = all
    bool Brief = false;     // leave out the expected differences
};

// tvktool check DIR: lists the unexpected differences and broken links (lines beginning
// "unexpected: "), then the expected ones by zone ("expected: "), then one summary line.
// 0 when nothing unexpected was found, 1 otherwise.
int RunWorldCheck(const std::string& dir, const TCheckOptions& options, std::ostream& out,
                  std::ostream& err);
