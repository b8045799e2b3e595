// Environment variables changed for the life of an object.
#pragma once

#include <optional>
#include <string>

namespace quellor::testing {

// Sets (or with std::nullopt, removes) a variable; the destructor puts back
// what was there before.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::optional<std::string>& value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

}  // namespace quellor::testing
