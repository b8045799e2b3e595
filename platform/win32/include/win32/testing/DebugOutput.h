// Capturing OutputDebugStringA in tests.
#pragma once

#include <quellor/Export.h>

#include <memory>
#include <string>

namespace quellor::win32::testing {

// While alive, every OutputDebugStringA text is appended to Text() (whether
// or not QUELLOR_DEBUG is set), in call order and from every thread.
class QUELLOR_EXPORT ScopedDebugOutputCapture {
 public:
  ScopedDebugOutputCapture();
  ~ScopedDebugOutputCapture();
  ScopedDebugOutputCapture(const ScopedDebugOutputCapture&) = delete;
  ScopedDebugOutputCapture& operator=(const ScopedDebugOutputCapture&) = delete;

  std::string Text() const;

  struct State;  // shared with the output function

 private:
  std::shared_ptr<State> state_;
};

}  // namespace quellor::win32::testing
