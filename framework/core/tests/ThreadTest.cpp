// Thread objects.
#include <atomic>
#include <latch>

#include <gtest/gtest.h>

#include <qlxrapi/Thread.h>

namespace {

class CountingThread : public Thread {
 public:
  explicit CountingThread(std::latch& done) : m_done(done) {}
  void ThreadEntryPoint() override {
    ++runs;
    m_done.count_down();
  }
  std::atomic<int> runs{0};

 private:
  std::latch& m_done;
};

TEST(FrameworkThread, EachStartRunsTheEntryPointOnAnotherThread) {
  std::latch done(2);
  CountingThread thread(done);
  EXPECT_EQ(thread.GetThreadHandle(), nullptr);
  ASSERT_TRUE(thread.StartThread());
  HANDLE first = thread.GetThreadHandle();
  EXPECT_NE(first, nullptr);
  ASSERT_TRUE(thread.StartThread());
  EXPECT_NE(thread.GetThreadIdentifier(), 0u);
  done.wait();
  EXPECT_EQ(thread.runs, 2);
  EXPECT_EQ(WaitForSingleObject(thread.GetThreadHandle(), INFINITE), WAIT_OBJECT_0);
  DWORD code = 99;
  EXPECT_TRUE(GetExitCodeThread(thread.GetThreadHandle(), &code));
  EXPECT_EQ(code, 0u);
}

TEST(FrameworkThread, AThrownTextEndsOnlyTheThread) {
  struct Throwing : Thread {
    void ThreadEntryPoint() override {
      throw const_cast<char*>("Could not find the VideoQuellor logo skin file.");
    }
  } thread;
  ASSERT_TRUE(thread.StartThread());
  EXPECT_EQ(WaitForSingleObject(thread.GetThreadHandle(), INFINITE), WAIT_OBJECT_0);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(thread.GetThreadHandle(), &code));
  EXPECT_EQ(code, 1u);
}

}  // namespace
