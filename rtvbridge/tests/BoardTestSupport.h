// The board side of the recording and sink tests: the manual field clock,
// a probe of our own that keeps every field the input pin delivers, the
// output as shown, and a bounded wait for another thread's work.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "BridgeTestSupport.h"
#include "board/Engine.h"

namespace quellor::rtvbridge::testing {

// Waits, 1 ms at a time, up to 5 s for `done`; true when it came. Used for
// the plug-in's own threads, which poll each millisecond.
bool WaitFor(const std::function<bool()>& done);

// Keeps the pixels of every field at the input pin by time stamp.
class InputWatcher {
 public:
  InputWatcher();
  ~InputWatcher();
  // The frame (first field then second) whose first field has `stamp`.
  Bytes Frame(std::uint32_t stamp) const;

 private:
  static DWORD OnField(void* context, const BYTE* pixels, const RTME_FieldInfo* info);
  DWORD instance_ = 0;
  DWORD probe_ = 0;
  DWORD owner_ = 0;
  mutable std::mutex mutex_;
  std::map<std::uint32_t, Bytes> fields_;
};

// The frame the board's output shows now (both fields), empty when live.
Bytes ShownFrame();

}  // namespace quellor::rtvbridge::testing
