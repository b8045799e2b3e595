// Splits a command's words into positional words, options with a value
// ("-o FILE", "--frame N") and flags ("--json").
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace quellor::rtvtool {

class CommandLine {
 public:
  // `valued` names the options that take a value, `flags` those that do not.
  // Anything else starting with '-' (except "-" alone) is an error.
  CommandLine(const std::vector<std::string>& words, const std::set<std::string>& valued,
              const std::set<std::string>& flags);

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  const std::vector<std::string>& positional() const { return positional_; }
  bool Flag(const std::string& name) const { return flags_.count(name) != 0; }
  std::optional<std::string> Value(const std::string& name) const;
  // A decimal number option; nullopt when missing or not a number.
  std::optional<std::uint64_t> Number(const std::string& name) const;

 private:
  std::vector<std::string> positional_;
  std::map<std::string, std::string> values_;
  std::set<std::string> flags_;
  std::string error_;
};

}  // namespace quellor::rtvtool
