// A small command-line reader: options ("--port DEV", "--quiet") in any
// place, the remaining words as positional arguments.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace cli {

class Args {
  public:
    // valueOptions take the next word as their value; flagOptions stand alone.
    Args(const std::vector<std::string>& words, const std::set<std::string>& valueOptions,
         const std::set<std::string>& flagOptions);

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    bool Flag(const std::string& name) const { return flags_.count(name) != 0; }
    std::optional<std::string> Value(const std::string& name) const;
    const std::vector<std::string>& Positional() const { return positional_; }

    // Parses an option's value as a non-negative number; sets an error and
    // returns fallback when it is not one.
    unsigned long Number(const std::string& name, unsigned long fallback);

  private:
    std::vector<std::pair<std::string, std::string>> values_;
    std::set<std::string> flags_;
    std::vector<std::string> positional_;
    std::string error_;
};

// The names of a comma-separated list ("A,B,,C" gives A, B, C).
std::vector<std::string> CommaList(const std::string& text);

}  // namespace cli
