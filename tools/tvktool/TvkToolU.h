#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// The command-line tool's whole behaviour, callable from tests: answers the exit status
// (0 done, 1 file error, 2 wrong usage).
int RunTvkTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// A date-time as "YYYY-MM-DD HH:MM:SS", rounded to the nearest second.
std::string FormatIsoSeconds(double dateTime);
// Parses "YYYY-MM-DDTHH:MM[:SS[.fff]][Z]" as UTC; false when it is no valid instant.
bool ParseUtcInstant(const std::string& text, double& dateTime);
// The shortest decimal form that reads back to the same double.
std::string JsonNumber(double v);
