// quellhost's command line: one command and its words.
//
//   quellhost list          (also --list)   the registered class names
//   quellhost new NAME...   (also --new)    create objects by name
//   quellhost graph ...                     play a processing graph (GraphCommand.h)
//   quellhost scope ...                     a scope of the board (ScopeCommand.h)
//
// Commands are words so that later ones (building a processing graph,
// playing it) add to the list without changing the existing ones.
#pragma once

#include <string>
#include <vector>

namespace quellor::quellhost {

enum class HostCommandKind { Help, List, New, Graph, Scope };

struct HostCommand {
  HostCommandKind kind = HostCommandKind::Help;
  std::vector<std::string> names;  // of New; of Graph and Scope: their words
  std::string error;               // empty when the words made sense
};

HostCommand ParseHostCommand(const std::vector<std::string>& words);

// The usage text printed by help and after a command-line error.
extern const char kHostUsage[];

}  // namespace quellor::quellhost
