// What quellhost's commands do, writing to the given streams.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "FrameworkLibrary.h"

namespace quellor::quellhost {

// Exit statuses.
constexpr int kHostSuccess = 0;
constexpr int kHostNotFound = 1;  // a name no class answers, or a failed creation
constexpr int kHostUsageError = 2;
constexpr int kHostNoFramework = 3;

// One registered name a line; controls are marked " (control)".
int ListClasses(const FrameworkLibrary& framework, std::ostream& out);

// For each name: "NAME: created __X" (the object's type), then destroys the
// object; "NAME: no registered class answers this name" on err otherwise.
int CreateObjects(const FrameworkLibrary& framework, const std::vector<std::string>& names,
                  std::ostream& out, std::ostream& err);

}  // namespace quellor::quellhost
