// One talker notifying on several threads at once while its registrations
// change, and the "DynamicTalker::Delete" notice against locks of the
// listeners' own. Run under ThreadSanitizer as well.
#include <gtest/gtest.h>
#include <qlxrapi/Dynamic.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

class Counting : public DynamicListener {
 public:
  ~Counting() override { RemoveAllDependantsToThis(); }
  void DynamicCallback(long, const char*, void*) override { ++calls; }
  std::atomic<int> calls{0};
};

TEST(DynamicConcurrentNotice, TwoThreadsNotifyingOneTalkerEachReachTheSteadyListener) {
  constexpr int kNotices = 2000;
  Dynamic<int> value;
  Counting steady;
  value.AddDependant(&steady, 0);
  std::atomic<bool> done{false};
  // Registrations come and go meanwhile, moving the steady one about.
  std::thread churn([&] {
    Counting passing[4];
    while (!done) {
      for (auto& p : passing) value.AddDependant(&p, 1);
      for (auto& p : passing) value.DeleteDependant(&p);
    }
  });
  auto notify = [&] {
    for (int i = 0; i < kNotices; ++i) value.Changed("Changed");
  };
  std::thread first(notify), second(notify);
  first.join();
  second.join();
  done = true;
  churn.join();
  EXPECT_EQ(steady.calls, 2 * kNotices);
}

TEST(DynamicConcurrentNotice, NestingIsCountedPerThread) {
  // A notice nested deep on one thread does not cut another thread's notices.
  Dynamic<int> value;
  std::promise<void> deep;
  std::shared_future<void> deepReached = deep.get_future().share();
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::atomic<int> otherCalls{0};
  const auto nester = std::this_thread::get_id();
  struct Nester : DynamicListener {
    std::function<void()> react;
    void DynamicCallback(long, const char* name, void*) override {
      if (std::string(name) != "DynamicTalker::Delete") react();
    }
  } listener;
  int depth = 0;
  listener.react = [&] {
    if (std::this_thread::get_id() != nester) {
      ++otherCalls;
      return;
    }
    if (++depth < DynamicTalker::kMaxNestedNotices) {
      value.Changed("Changed");
      return;
    }
    deep.set_value();
    released.wait();
  };
  value.AddDependant(&listener, 0);
  std::thread other([&] {
    deepReached.wait();
    value.Changed("Changed");
    release.set_value();
  });
  value.Changed("Changed");
  other.join();
  value.DeleteDependant(&listener);
  EXPECT_EQ(otherCalls, 1);
}

TEST(DynamicConcurrentNotice, DeleteNoticeWaitingForALockDoesNotStopOtherThreadsMakingValues) {
  // The window thread destroys a value whose Delete listener takes a lock
  // of its own; a render thread holds that lock while it makes a value. The
  // Delete notice must not hold the talkers' process-wide lock meanwhile.
  std::mutex renderLock;
  std::promise<void> inNotice;
  std::promise<void> holding;
  std::mutex releasedMutex;
  std::condition_variable releasedSignal;
  bool released = false;
  bool gotLock = false;
  struct TakesLock : DynamicListener {
    std::function<void()> react;
    void DynamicCallback(long, const char* name, void*) override {
      if (std::string(name) == "DynamicTalker::Delete") react();
    }
  } listener;
  listener.react = [&] {
    inNotice.set_value();
    holding.get_future().wait();
    {
      // Bounded: a fault shows as a failure, not a hang.
      std::unique_lock wait(releasedMutex);
      gotLock = releasedSignal.wait_for(wait, std::chrono::seconds(5), [&] { return released; });
    }
    if (gotLock) std::lock_guard hold(renderLock);
  };
  auto value = std::make_unique<Dynamic<int>>();
  value->AddDependant(&listener, 0);
  std::future<void> noticeStarted = inNotice.get_future();
  std::thread render([&] {
    {
      std::lock_guard hold(renderLock);
      noticeStarted.wait();
      holding.set_value();
      Dynamic<float> made;  // takes the process-wide lock
    }
    std::lock_guard hold(releasedMutex);
    released = true;
    releasedSignal.notify_all();
  });
  value.reset();
  render.join();
  EXPECT_TRUE(gotLock);
}

}  // namespace
