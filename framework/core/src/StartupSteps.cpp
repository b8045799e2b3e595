#include "qlxrapi/StartupSteps.h"

namespace quellor::framework {

bool StartupSteps::Add(const StartupStep& step) {
  if (count_ == kCapacity || step.name == nullptr) return false;
  std::size_t place = 0;
  while (place < count_ && steps_[place].order < step.order) ++place;
  if (place < count_ && steps_[place].order == step.order) return false;
  // Steps are added before the list runs; one added later after a started
  // step would never be undone in the right place, so refuse it.
  if (place < started_) return false;
  for (std::size_t i = count_; i > place; --i) steps_[i] = steps_[i - 1];
  steps_[place] = step;
  ++count_;
  return true;
}

bool StartupSteps::Start() {
  failed_ = nullptr;
  while (started_ < count_) {
    const StartupStep& step = steps_[started_];
    if (step.start != nullptr && !step.start()) {
      failed_ = step.name;
      return false;
    }
    ++started_;
  }
  return true;
}

void StartupSteps::Stop() {
  while (started_ > 0) {
    --started_;
    if (steps_[started_].stop != nullptr) steps_[started_].stop();
  }
}

namespace {
// Constant-initialised, so registrations from any file's static
// initialisers find it ready.
constinit StartupSteps g_librarySteps;
}  // namespace

StartupSteps& LibraryStartupSteps() {
  return g_librarySteps;
}

StartupStepRegistration::StartupStepRegistration(const StartupStep& step) {
  g_librarySteps.Add(step);
}

}  // namespace quellor::framework
