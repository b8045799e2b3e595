// The commands of rtvtool, callable without a process so they can be tested.
// Each takes the words after the command name and returns the exit status:
// 0 success, 1 failure (message on `err`), 2 bad arguments (usage on `err`).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace quellor::rtvtool {

using Arguments = std::vector<std::string>;

int RunInfo(const Arguments& args, std::ostream& out, std::ostream& err);
int RunExport(const Arguments& args, std::ostream& out, std::ostream& err);
int RunToY4m(const Arguments& args, std::ostream& out, std::ostream& err);
int RunFromY4m(const Arguments& args, std::ostream& out, std::ostream& err);
int RunGenerate(const Arguments& args, std::ostream& out, std::ostream& err);

// Dispatches on args[0]; prints the usage text for an unknown command.
int RunCommand(const Arguments& args, std::ostream& out, std::ostream& err);

extern const char* const kUsageText;

}  // namespace quellor::rtvtool
