// Runs `quellhost graph` from libquellhost_graph.so, loaded beside the
// program once the framework (and with it Video.quell) is loaded.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "FrameworkLibrary.h"

namespace quellor::quellhost {

int LaunchGraphCommand(const FrameworkLibrary& framework, const std::vector<std::string>& words,
                       std::ostream& out, std::ostream& err);
// `quellhost scope`, from libquellhost_scope.so in the same way.
int LaunchScopeCommand(const FrameworkLibrary& framework, const std::vector<std::string>& words,
                       std::ostream& out, std::ostream& err);

}  // namespace quellor::quellhost
