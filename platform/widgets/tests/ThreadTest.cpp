// The thread class: Run() on its own thread, priorities before and during.
#include <gtest/gtest.h>

#include <atomic>

#include "widgets/Thread.h"

namespace {

class PriorityProbe : public quellor::widgets::Thread {
 public:
  ~PriorityProbe() override { Join(); }
  std::atomic<int> seenPriority{-100};
  std::atomic<DWORD> threadId{0};

 protected:
  void Run() override {
    threadId = GetCurrentThreadId();
    seenPriority = GetThreadPriority(GetCurrentThread());
  }
};

TEST(WidgetsThread, RunsOnItsOwnThreadWithThePriorityGivenBeforeTheStart) {
  PriorityProbe probe;
  EXPECT_TRUE(probe.SetPriority(THREAD_PRIORITY_TIME_CRITICAL));
  EXPECT_EQ(probe.Priority(), THREAD_PRIORITY_TIME_CRITICAL);
  ASSERT_TRUE(probe.Start());
  EXPECT_FALSE(probe.Start());  // one run per object
  probe.Join();
  EXPECT_FALSE(probe.Running());
  EXPECT_NE(probe.threadId.load(), GetCurrentThreadId());
  EXPECT_EQ(probe.seenPriority.load(), THREAD_PRIORITY_TIME_CRITICAL);
}

TEST(WidgetsThread, RefusesPrioritiesWindowsDoesNotHave) {
  PriorityProbe probe;
  EXPECT_FALSE(probe.SetPriority(3));
  EXPECT_FALSE(probe.SetPriority(16));
  EXPECT_EQ(probe.Priority(), THREAD_PRIORITY_NORMAL);
  probe.Join();  // never started: returns at once
}

}  // namespace
