// Start-up and shut-down of the framework library, run when the library is
// loaded and unloaded. The steps run in this order and are undone in reverse;
// each area adds its own step at its place.
#include "PluginLoader.h"
#include "SearchPaths.h"
#include "TalkerChain.h"

namespace {

// The plug-in loader: loads every plug-in library beside the host program.
// Runs last, when everything a plug-in registers with exists.
void RunPluginLoader() {
  RunPluginLoaderStep();
}

class FrameworkStartup {
 public:
  FrameworkStartup() {
    TalkerChainLock();  // the lock of the chain of all observable values
    // Common controls, default skins and resources, message queue lists: the
    // window framework's steps go here.
    CreateSearchPaths();
    // The plug-in registry goes here.
    RunPluginLoader();
  }

  ~FrameworkStartup() { DestroySearchPaths(); }

  FrameworkStartup(const FrameworkStartup&) = delete;
  FrameworkStartup& operator=(const FrameworkStartup&) = delete;
};

// Runs before the library's other static objects, so they may use what it
// sets up.
__attribute__((init_priority(101))) FrameworkStartup g_frameworkStartup;

}  // namespace
