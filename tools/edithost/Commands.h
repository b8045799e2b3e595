// The commands of edithost, callable without a process so they can be
// tested. Each takes the words after the command name and returns the exit
// status: 0 success, 1 failure (message on `err`), 2 bad arguments (usage on
// `err`).
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "BridgePlugin.h"

namespace quellor::edithost {

using Arguments = std::vector<std::string>;

// Positional words and options with a value ("-o FILE", "--format 422").
struct Options {
  std::vector<std::string> positional;
  std::map<std::string, std::string> values;
  std::string error;  // empty when the words were understood

  std::optional<std::string> Value(const std::string& name) const;
};
Options ParseOptions(const Arguments& words, const std::set<std::string>& valued);

// Loads the plug-in given by --plugin, else the one beside the program;
// null after a message on `err`.
std::unique_ptr<BridgePlugin> LoadPlugin(const Options& options, std::ostream& err);

int RunInterfaces(const Arguments& args, std::ostream& out, std::ostream& err);
int RunInfo(const Arguments& args, std::ostream& out, std::ostream& err);
int RunRead(const Arguments& args, std::ostream& out, std::ostream& err);
int RunWrite(const Arguments& args, std::ostream& out, std::ostream& err);
int RunRecord(const Arguments& args, std::ostream& out, std::ostream& err);
int RunPlay(const Arguments& args, std::ostream& out, std::ostream& err);

// Dispatches on args[0]; prints the usage text for an unknown command.
int RunCommand(const Arguments& args, std::ostream& out, std::ostream& err);

extern const char* const kUsageText;

}  // namespace quellor::edithost
