// quellhost: a host program of the framework and its plug-ins. It loads
// libQLXRAPI.so from its own folder, which loads every plug-in there.
#include <iostream>
#include <string>
#include <vector>

#include "FrameworkLibrary.h"
#include "CommandLine.h"
#include "Commands.h"
#include "GraphLauncher.h"

int main(int argc, char** argv) {
  using namespace quellor::quellhost;
  HostCommand command = ParseHostCommand(std::vector<std::string>(argv + 1, argv + argc));
  if (!command.error.empty()) {
    std::cerr << "quellhost: " << command.error << '\n' << kHostUsage;
    return kHostUsageError;
  }
  if (command.kind == HostCommandKind::Help) {
    std::cout << kHostUsage;
    return kHostSuccess;
  }
  FrameworkLibrary framework;
  if (!framework.Loaded()) {
    std::cerr << "quellhost: " << framework.Problem() << '\n';
    return kHostNoFramework;
  }
  if (command.kind == HostCommandKind::List) return ListClasses(framework, std::cout);
  if (command.kind == HostCommandKind::Graph) {
    return LaunchGraphCommand(framework, command.names, std::cout, std::cerr);
  }
  if (command.kind == HostCommandKind::Scope) {
    return LaunchScopeCommand(framework, command.names, std::cout, std::cerr);
  }
  return CreateObjects(framework, command.names, std::cout, std::cerr);
}
