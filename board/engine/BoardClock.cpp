// The field clock: a thread that runs each field when its time comes, or the
// manual clock of the tests.
#include <chrono>

#include "Board.h"
#include "board/testing/BoardClock.h"

namespace quellor::board {

namespace {
// A process that was stopped (debugger, overloaded machine) runs at most this
// many late fields and skips the rest.
constexpr std::uint32_t kMaxLateFields = 4;
}  // namespace

void Board::StartClockIfNeeded() {
  std::lock_guard lock(clockMutex_);
  if (manualClock_ || clockThread_.joinable()) return;
  clockStop_ = std::make_shared<std::atomic<bool>>(false);
  clockThread_ = std::thread([this, stop = clockStop_] { ClockThread(stop); });
}

void Board::StopClock() {
  std::unique_lock lock(clockMutex_);
  if (!clockThread_.joinable()) return;
  *clockStop_ = true;
  clockWake_.notify_all();
  std::thread thread = std::move(clockThread_);
  lock.unlock();
  // A program may end (or switch to the manual clock) from inside a callback
  // on the clock thread itself; that thread ends on its own once it returns.
  if (thread.get_id() == std::this_thread::get_id()) {
    thread.detach();
    return;
  }
  thread.join();
}

void Board::ClockThread(std::shared_ptr<std::atomic<bool>> stop) {
  InputState state;
  {
    std::lock_guard lock(mutex_);
    state = input_;
  }
  std::uint32_t next = state.FieldAt(MonotonicNanoseconds()) + 1;
  std::unique_lock clockLock(clockMutex_);
  while (!*stop) {
    {
      std::lock_guard lock(mutex_);
      state = input_;
    }
    const std::uint32_t current = state.FieldAt(MonotonicNanoseconds());
    if (static_cast<std::int32_t>(current - next) >= 0) {
      if (current - next > kMaxLateFields) next = current - kMaxLateFields;
      clockLock.unlock();
      RunField(next);
      clockLock.lock();
      ++next;
      continue;
    }
    const auto due =
        std::chrono::steady_clock::time_point(std::chrono::nanoseconds(state.StartOfField(next)));
    clockWake_.wait_until(clockLock, due);
  }
}

void Board::UseManualClock(std::uint32_t currentField) {
  manualClock_ = true;
  StopClock();
  currentField_ = currentField;
}

void Board::AdvanceFields(std::uint32_t count) {
  if (!manualClock_) return;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t field = currentField_ + 1;
    currentField_ = field;
    RunField(field);
  }
}

void Board::UseRealtimeClock() {
  manualClock_ = false;
  StartClockIfNeeded();
}

std::uint32_t Board::CurrentField() {
  if (manualClock_) return currentField_;
  std::lock_guard lock(mutex_);
  return CurrentFieldLocked();
}

std::uint32_t Board::CurrentFieldLocked() const {
  return manualClock_ ? currentField_.load() : input_.FieldAt(MonotonicNanoseconds());
}

std::uint64_t Board::ProcessOverruns() {
  return processOverruns_;
}

void Board::Reset() {
  std::lock_guard fieldLock(fieldMutex_);
  std::lock_guard lock(mutex_);
  for (auto& [handle, probe] : probes_) probe->destroyed = true;
  for (auto& [handle, producer] : producers_) producer->destroyed = true;
  probes_.clear();
  owners_.clear();
  outputs_.clear();
  producers_.clear();
  allocators_.clear();
  spiders_.clear();
  allocations_.clear();
  switchers_.clear();
  instances_.clear();
  contexts_.clear();
  processOverruns_ = 0;
  OpenFolder();
}

namespace testing {

void UseManualClock(std::uint32_t currentField) {
  Board::Instance().UseManualClock(currentField);
}
void AdvanceFields(std::uint32_t count) {
  Board::Instance().AdvanceFields(count);
}
void UseRealtimeClock() {
  Board::Instance().UseRealtimeClock();
}
std::uint32_t CurrentField() {
  return Board::Instance().CurrentField();
}
std::uint64_t ProcessOverruns() {
  return Board::Instance().ProcessOverruns();
}
void ResetBoard() {
  Board::Instance().Reset();
}
std::vector<OutputFrameCounts> OutputFrames() {
  return Board::Instance().OutputFrames();
}

}  // namespace testing

}  // namespace quellor::board
