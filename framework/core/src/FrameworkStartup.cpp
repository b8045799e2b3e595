// Start-up and shut-down of the framework library, run when the library is
// loaded and unloaded: the steps each area contributed (StartupSteps.h), in
// their fixed order, undone in reverse. The core's own steps are listed here;
// the other areas add theirs from their own files.
#include "PluginLoader.h"
#include "PluginRegistry.h"
#include "SearchPaths.h"
#include "TalkerChain.h"
#include "qlxrapi/StartupSteps.h"

namespace {

using quellor::framework::LibraryStartupSteps;

bool StartTalkerChain() {
  TalkerChainLock();  // never destroyed: talkers of other modules may outlive us
  return true;
}

bool StartSearchPaths() {
  CreateSearchPaths();
  return true;
}

bool StartPluginRegistry() {
  CreatePluginRegistry();
  return true;
}

// A failure here (the program's path cannot be read) makes the library's
// DllMain refuse the load.
bool StartPluginLoader() {
  return RunPluginLoaderStep();
}

QLXRAPI_STARTUP_STEP(TalkerChain, &StartTalkerChain, nullptr);
QLXRAPI_STARTUP_STEP(SearchPaths, &StartSearchPaths, &DestroySearchPaths);
QLXRAPI_STARTUP_STEP(PluginRegistry, &StartPluginRegistry, &DestroyPluginRegistry);
QLXRAPI_STARTUP_STEP(PluginLoader, &StartPluginLoader, nullptr);

class FrameworkStartup {
 public:
  // A start-up that failed makes the library refuse its load; what the
  // steps before the failure set up is undone at once rather than left to
  // an unload that a loader keeping the image would never run.
  FrameworkStartup() {
    if (!LibraryStartupSteps().Start()) LibraryStartupSteps().Stop();
  }
  ~FrameworkStartup() { LibraryStartupSteps().Stop(); }

  FrameworkStartup(const FrameworkStartup&) = delete;
  FrameworkStartup& operator=(const FrameworkStartup&) = delete;
};

// Runs after the steps are registered and before the library's other static
// objects, so they may use what the steps set up; destroyed after them.
__attribute__((init_priority(102))) FrameworkStartup g_frameworkStartup;

}  // namespace
