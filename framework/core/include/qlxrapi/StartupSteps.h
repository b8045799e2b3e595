// The framework library's start-up and shut-down as one ordered list of named
// steps. Each area of the library contributes its own steps from its own
// files; the order is fixed here, in StartupOrder, and nowhere else. At load
// the steps run in that order; at unload the ones that ran are undone in
// reverse.
//
// For the library's own areas: nothing here is exported to hosts.
#pragma once

#include <cstddef>

namespace quellor::framework {

// The place of each step. Gaps leave room for steps that come between.
enum class StartupOrder : int {
  TalkerChain = 10,        // the lock of the chain of all observable values
  CommonControls = 20,     // window framework
  DefaultSkins = 30,       // window framework
  Resources = 40,          // window framework
  MessageQueueLists = 50,  // window framework
  SearchPaths = 60,        // the "Skins" search path
  PluginRegistry = 70,
  ControlClasses = 75,  // window framework: control classes, once the registry exists
  PluginLoader = 80,    // last: everything a plug-in registers with exists
};

struct StartupStep {
  const char* name;
  StartupOrder order;
  // Sets the step up; false when it failed, which ends the start-up there.
  // Null when the step has nothing to set up.
  bool (*start)();
  // Undoes start at unload; null when there is nothing to undo.
  void (*stop)();
};

// A fixed-capacity list, usable before any dynamic initialisation runs (its
// registrations come from static initialisers of several files, in no
// particular order).
class StartupSteps {
 public:
  static constexpr std::size_t kCapacity = 16;

  constexpr StartupSteps() = default;

  // Adds step at the place its order gives. False (and nothing added) when
  // the list is full, the step has no name, or another step holds that order.
  bool Add(const StartupStep& step);

  // Runs the steps not yet started, in order, up to the first that fails.
  // True when every step succeeded.
  bool Start();
  // Undoes the started steps in reverse order; they may be started again.
  void Stop();

  std::size_t Count() const { return count_; }
  // Step index in order; index < Count().
  const StartupStep& At(std::size_t index) const { return steps_[index]; }
  // How many steps, from the first, have been started.
  std::size_t Started() const { return started_; }
  // The name of the step that failed in the last Start, or null.
  const char* FailedStep() const { return failed_; }

 private:
  StartupStep steps_[kCapacity] = {};
  std::size_t count_ = 0;
  std::size_t started_ = 0;
  const char* failed_ = nullptr;
};

// The library's own list, run when it loads and undone when it unloads.
StartupSteps& LibraryStartupSteps();

// Adds a step to the library's list from a static initialiser that runs
// before the list is run.
struct StartupStepRegistration {
  explicit StartupStepRegistration(const StartupStep& step);
};

}  // namespace quellor::framework

// Contributes a step to the library's start-up from the file that defines it:
//   QLXRAPI_STARTUP_STEP(SearchPaths, &Start, &Stop);
// Registrations run before the list does (priority 101, the list 102).
#define QLXRAPI_STARTUP_STEP(Order, start, stop)                                    \
  __attribute__((init_priority(101))) ::quellor::framework::StartupStepRegistration \
      g_startupStep##Order(::quellor::framework::StartupStep{                       \
          #Order, ::quellor::framework::StartupOrder::Order, (start), (stop)})
