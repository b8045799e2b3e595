#include "CommandLine.h"

namespace quellor::quellhost {

const char kHostUsage[] =
    "usage: quellhost <command> [arguments]\n"
    "  list, --list          list the class names the plug-ins registered\n"
    "  new, --new NAME...    create an object of each class NAME and report it\n"
    "  help, --help          this text\n"
    "  graph [--seconds S | --fields N] NAME=Class(key=value, ...) ...\n"
    "                        play a processing graph out of the board (see README)\n"
    "  scope [--output] --mode N [-o scope.png]\n"
    "                        a waveform monitor or vectorscope of the board (see README)\n";

HostCommand ParseHostCommand(const std::vector<std::string>& words) {
  HostCommand command;
  if (words.empty()) {
    command.error = "no command given";
    return command;
  }
  const std::string& verb = words.front();
  std::vector<std::string> rest(words.begin() + 1, words.end());
  if (verb == "help" || verb == "--help" || verb == "-h") {
    command.kind = HostCommandKind::Help;
  } else if (verb == "list" || verb == "--list") {
    command.kind = HostCommandKind::List;
    if (!rest.empty()) command.error = "list takes no arguments";
  } else if (verb == "new" || verb == "--new") {
    command.kind = HostCommandKind::New;
    command.names = std::move(rest);
    if (command.names.empty()) command.error = "new needs a class name";
  } else if (verb == "graph") {
    command.kind = HostCommandKind::Graph;
    command.names = std::move(rest);
    if (command.names.empty()) command.error = "graph needs a description";
  } else if (verb == "scope") {
    command.kind = HostCommandKind::Scope;
    command.names = std::move(rest);
  } else {
    command.error = "unknown command \"" + verb + "\"";
  }
  return command;
}

}  // namespace quellor::quellhost
