// Notices from several threads while listeners come and go. Run under
// ThreadSanitizer and AddressSanitizer as well.
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <qlxrapi/Dynamic.h>

namespace {

struct ListenerState {
  std::atomic<bool> destroyed{false};
  std::atomic<int> calls{0};
  std::atomic<int> callsAfterDestruction{0};
};

class CountingListener : public DynamicListener {
 public:
  explicit CountingListener(ListenerState& state) : m_state(state) {}
  ~CountingListener() override {
    RemoveAllDependantsToThis();
    m_state.destroyed = true;  // from here on, any call is a fault
  }
  void DynamicCallback(long, const char*, void*) override {
    if (m_state.destroyed) ++m_state.callsAfterDestruction;
    ++m_ownCalls;  // touches the object: a call after its deletion shows in ASan
    ++m_state.calls;
  }

 private:
  ListenerState& m_state;
  std::atomic<int> m_ownCalls{0};
};

TEST(DynamicThreading, ListenersDestroyedWhileOtherThreadsNotifyAreNeverCalledAgain) {
  constexpr int kTalkers = 3;
  constexpr int kNotifiers = 3;
  constexpr int kRounds = 40;
  Dynamic<int> talkers[kTalkers];
  std::atomic<bool> stop{false};
  std::vector<std::thread> notifiers;
  for (int n = 0; n < kNotifiers; ++n) {
    notifiers.emplace_back([&, n] {
      for (int k = 1; !stop; ++k) talkers[(k + n) % kTalkers].Set(k * kNotifiers + n, "Changed");
    });
  }

  std::vector<std::unique_ptr<ListenerState>> states;
  for (int round = 0; round < kRounds; ++round) {
    states.push_back(std::make_unique<ListenerState>());
    auto* listener = new CountingListener(*states.back());
    for (int t = 0; t < kTalkers; ++t) talkers[t].AddDependant(listener, t);
    // Let deliveries to it get under way before it goes.
    while (states.back()->calls < 3) std::this_thread::yield();
    delete listener;
  }
  stop = true;
  for (auto& notifier : notifiers) notifier.join();

  for (const auto& state : states) EXPECT_EQ(state->callsAfterDestruction, 0);
  for (auto& talker : talkers) EXPECT_EQ(talker.GetNoDependants(), 0u);
}

TEST(DynamicThreading, TalkersMayComeAndGoOnSeveralThreads) {
  ListenerState state;
  CountingListener listener(state);
  std::vector<std::thread> threads;
  for (int n = 0; n < 4; ++n) {
    threads.emplace_back([&] {
      for (int k = 0; k < 200; ++k) {
        Dynamic<double> value;
        value.AddDependant(&listener, k);
        value.Set(1.0 + k, "Changed");
      }
    });
  }
  for (auto& thread : threads) thread.join();
  // One "Changed" and one "DynamicTalker::Delete" per value.
  EXPECT_EQ(state.calls, 4 * 200 * 2);
}

TEST(DynamicThreading, BracketsAndNoticesFromSeveralThreadsKeepTheDepthConsistent) {
  Dynamic<int> value;
  std::vector<std::thread> threads;
  for (int n = 0; n < 4; ++n) {
    threads.emplace_back([&, n] {
      for (int k = 0; k < 1000; ++k) {
        value.MessagesOff();
        value.Set(k * 4 + n, "Changed");
        value.MessagesOn(true);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(value.GetMessagesOffDepth(), 0);
}

}  // namespace
