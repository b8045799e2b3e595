#include <win32/testing/DebugOutput.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace quellor::win32::testing {

struct ScopedDebugOutputCapture::State {
  mutable std::mutex mutex;
  std::string text;
};

namespace {

struct Captures {
  std::mutex mutex;
  std::vector<std::shared_ptr<ScopedDebugOutputCapture::State>> active;
};

Captures& TheCaptures() {
  static auto* captures = new Captures;
  return *captures;
}

}  // namespace

ScopedDebugOutputCapture::ScopedDebugOutputCapture() : state_(std::make_shared<State>()) {
  std::lock_guard lock(TheCaptures().mutex);
  TheCaptures().active.push_back(state_);
}

ScopedDebugOutputCapture::~ScopedDebugOutputCapture() {
  Captures& captures = TheCaptures();
  std::lock_guard lock(captures.mutex);
  std::erase(captures.active, state_);
}

std::string ScopedDebugOutputCapture::Text() const {
  std::lock_guard lock(state_->mutex);
  return state_->text;
}

}  // namespace quellor::win32::testing

// Debug output goes to standard error when QUELLOR_DEBUG is "1", and to the
// tests' captures whenever they listen.
extern "C" void WINAPI OutputDebugStringA(LPCSTR lpOutputString) {
  if (lpOutputString == nullptr) return;
  using quellor::win32::testing::TheCaptures;
  {
    auto& captures = TheCaptures();
    std::lock_guard lock(captures.mutex);
    for (const auto& state : captures.active) {
      std::lock_guard state_lock(state->mutex);
      state->text += lpOutputString;
    }
  }
  const char* debug = std::getenv("QUELLOR_DEBUG");
  if (debug != nullptr && std::strcmp(debug, "1") == 0) {
    std::fputs(lpOutputString, stderr);
    std::fflush(stderr);
  }
}
