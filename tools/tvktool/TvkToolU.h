#pragma once

#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// The command-line tool's whole behaviour, callable from tests: answers the exit status
// (0 done, 1 a file error or findings, 2 wrong usage).
int RunTvkTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Wrong usage of one command; the text says what was wrong.
class EUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The arguments after a command's name. A command takes its options first, then its
// positional arguments, then calls End; each throws EUsageError naming what was wrong.
class TCommandLine {
public:
    explicit TCommandLine(std::vector<std::string> args) : Args_(std::move(args)) {}

    // "--name VALUE" or "--name=VALUE", taken out wherever it stands.
    std::optional<std::string> Value(const std::string& option);
    // "--name", taken out wherever it stands.
    bool Flag(const std::string& option);
    // The next positional argument; what names it in the message when it is missing.
    std::string Next(const std::string& what);
    // Fails on anything left over.
    void End() const;

private:
    std::vector<std::string> Args_;
};

// "tvktool: FILE: message" with the system's reason when a file cannot be opened or created.
std::string FileErrorText(const std::string& file, const std::string& message);

// A date-time as "YYYY-MM-DD HH:MM:SS", rounded to the nearest second.
std::string FormatIsoSeconds(double dateTime);
// Parses "YYYY-MM-DDTHH:MM[:SS[.fff]][Z]" as UTC; false when it is no valid instant.
bool ParseUtcInstant(const std::string& text, double& dateTime);
// The shortest decimal form that reads back to the same double.
std::string JsonNumber(double v);
