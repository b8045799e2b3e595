// The first word of a tool's command line names its command: the table of
// commands, the usage text for none or help, and the message for an unknown
// one, shared by the command-line tools so they answer alike.
#pragma once

#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

namespace quellor::tools {

using CommandArguments = std::vector<std::string>;
using CommandFunction = int (*)(const CommandArguments& args, std::ostream& out, std::ostream& err);

struct Command {
  const char* name;
  CommandFunction run;
};

// Runs the command args[0] names with the words after it. Exit status 2 with
// the usage on `err` for no command or an unknown one; 0 with the usage on
// `out` for "help", "--help" and "-h".
inline int RunCommandTable(const char* program, const char* usage,
                           std::initializer_list<Command> commands, const CommandArguments& args,
                           std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    err << usage;
    return 2;
  }
  const CommandArguments rest(args.begin() + 1, args.end());
  const std::string& name = args[0];
  for (const Command& command : commands) {
    if (name == command.name) return command.run(rest, out, err);
  }
  if (name == "--help" || name == "-h" || name == "help") {
    out << usage;
    return 0;
  }
  err << program << ": unknown command \"" << name << "\"\n" << usage;
  return 2;
}

}  // namespace quellor::tools
