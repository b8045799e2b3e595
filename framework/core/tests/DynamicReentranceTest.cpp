// Notices whose callbacks change what the notice is walking: the talker, its
// registrations, its value, or the listeners themselves.
#include <gtest/gtest.h>
#include <qlxrapi/Dynamic.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "RecordingListener.h"

namespace {

// Runs a function of the test's on every notice.
class Reacting : public DynamicListener {
 public:
  explicit Reacting(std::function<void(const char*)> react = {}) : m_react(std::move(react)) {}
  ~Reacting() override { RemoveAllDependantsToThis(); }
  void DynamicCallback(long, const char* name, void*) override {
    names.push_back(name);
    if (m_react) m_react(name);
  }
  std::vector<std::string> names;
  std::function<void(const char*)> m_react;
};

bool IsDelete(const char* name) {
  return std::string(name) == "DynamicTalker::Delete";
}

std::vector<std::string> NamesOf(NoticeLog& log) {
  std::vector<std::string> names;
  for (const auto& notice : log.Notices()) names.push_back(notice.name);
  return names;
}

TEST(DynamicReentrance, ATalkerDeletedByItsOwnNoticeEndsTheNoticeAndAnnouncesDelete) {
  NoticeLog log;
  auto* value = new Dynamic<int>;
  Reacting deleter([&](const char* name) {
    if (!IsDelete(name)) delete value;
  });
  RecordingListener before(log), after(log);
  value->AddDependant(&before, 1);
  value->AddDependant(&deleter, 2);
  value->AddDependant(&after, 3);

  value->Set(1, "Changed");  // must not come back to the freed talker

  // Everyone hears Delete from inside the notice; the rest of the Changed
  // walk is dropped with the talker.
  EXPECT_EQ(NamesOf(log), (std::vector<std::string>{"Changed", "DynamicTalker::Delete",
                                                    "DynamicTalker::Delete"}));
  EXPECT_EQ(deleter.names, (std::vector<std::string>{"Changed", "DynamicTalker::Delete"}));
}

TEST(DynamicReentrance, ATalkerDeletedFromANestedNoticeEndsEveryWalkOfIt) {
  // outer's notice sets outer again (nesting its own walk); the nested walk
  // goes to a listener that destroys outer. Both walks must stop.
  auto* outer = new Dynamic<int>;
  int afterCalls = 0;
  Reacting again([&](const char* name) {
    if (!IsDelete(name) && outer->Get() == 1) outer->Set(2, "Changed");
  });
  Reacting deleter([&](const char* name) {
    if (!IsDelete(name) && outer->Get() == 2) delete outer;
  });
  Reacting after([&](const char* name) {
    if (!IsDelete(name)) ++afterCalls;
  });
  outer->AddDependant(&again, 0);
  outer->AddDependant(&deleter, 0);
  outer->AddDependant(&after, 0);
  outer->Set(1, "Changed");
  EXPECT_EQ(afterCalls, 0);
  EXPECT_EQ(after.names.back(), "DynamicTalker::Delete");
}

TEST(DynamicReentrance, AListenerLeavingDuringANoticeCostsNoOtherListenerTheNotice) {
  // Removal moves the last registration forward: a walk over the live list
  // would pass over it.
  NoticeLog log;
  Dynamic<int> value;
  Reacting leaver;
  leaver.m_react = [&](const char*) { value.DeleteDependant(&leaver); };
  RecordingListener b(log), c(log);
  value.AddDependant(&leaver, 1);
  value.AddDependant(&b, 2);
  value.AddDependant(&c, 3);
  value.Set(1, "Changed");
  ASSERT_EQ(log.Count(), 2u);
  EXPECT_EQ(log.Notices()[0].id, 2);
  EXPECT_EQ(log.Notices()[1].id, 3);
}

TEST(DynamicReentrance, AListenerDeletingItselfSkipsItsOtherRegistrationsOnly) {
  NoticeLog log;
  Dynamic<int> value;
  struct SelfDeleting : DynamicListener {
    void DynamicCallback(long, const char*, void*) override {
      ++*calls;
      delete this;
    }
    int* calls = nullptr;
  };
  int calls = 0;
  auto* self = new SelfDeleting;
  self->calls = &calls;
  RecordingListener middle(log);
  value.AddDependant(self, 1);
  value.AddDependant(&middle, 2);
  value.AddDependant(self, 3);
  value.Set(1, "Changed");  // the second registration must not reach the freed listener
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(log.Count(), 1u);
  EXPECT_EQ(value.GetNoDependants(), 1u);
}

TEST(DynamicReentrance, AListenerDeletedByAnotherDuringANoticeIsNotCalled) {
  for (int victimPlace : {1, 2}) {  // just after the killer, and last
    SCOPED_TRACE(victimPlace);
    NoticeLog log;
    Dynamic<int> value;
    auto* victim = new RecordingListener(log);
    RecordingListener bystander(log);
    Reacting killer([&](const char*) {
      delete victim;
      victim = nullptr;
    });
    value.AddDependant(&killer, 0);
    if (victimPlace == 1) {
      value.AddDependant(victim, 1);
      value.AddDependant(&bystander, 2);
    } else {
      value.AddDependant(&bystander, 2);
      value.AddDependant(victim, 1);
    }
    value.Set(1, "Changed");
    ASSERT_EQ(log.Count(), 1u);
    EXPECT_EQ(log.Notices()[0].id, 2);
  }
}

TEST(DynamicReentrance, AListenerAddedDuringANoticeHearsTheNextOne) {
  NoticeLog log;
  Dynamic<int> value;
  RecordingListener late(log);
  Reacting adder([&](const char*) { value.AddDependant(&late, 7); });
  value.AddDependant(&adder, 0);
  value.Set(1, "Changed");
  EXPECT_EQ(log.Count(), 0u);
  value.DeleteDependant(&adder);
  value.Set(2, "Changed");
  EXPECT_EQ(log.Count(), 1u);
}

TEST(DynamicReentrance, ListenersAddingListenersOnEveryNoticeDoNotKeepTheNoticeGoing) {
  Dynamic<int> value;
  std::vector<std::unique_ptr<Reacting>> added;
  std::function<void(const char*)> addOne = [&](const char* name) {
    if (IsDelete(name) || added.size() >= 1000) return;  // a bound for a faulty walk
    added.push_back(std::make_unique<Reacting>(addOne));
    value.AddDependant(added.back().get(), 0);
  };
  Reacting first(addOne);
  value.AddDependant(&first, 0);
  value.Set(1, "Changed");
  EXPECT_EQ(added.size(), 1u);
  value.Set(2, "Changed");
  EXPECT_EQ(added.size(), 3u);  // first and the one it added, each adding one
}

TEST(DynamicReentrance, SettingTheValueFromItsOwnNoticeIsDeliveredInFull) {
  // A clamp: the nested notice reaches everyone before the outer walk goes on.
  NoticeLog log;
  Dynamic<int> value;
  Reacting clamp([&](const char*) {
    if (value.Get() > 100) value.Set(100, "Clamped");
  });
  RecordingListener watcher(log);
  value.AddDependant(&clamp, 0);
  value.AddDependant(&watcher, 1);
  value.Set(150, "Changed");
  EXPECT_EQ(NamesOf(log), (std::vector<std::string>{"Clamped", "Changed"}));
  EXPECT_EQ(value.Get(), 100);
}

TEST(DynamicReentrance, EndlessSettingFromNoticesIsCutAtTheNestingBound) {
  Dynamic<int> value;
  int calls = 0;
  Reacting climber([&](const char* name) {
    if (IsDelete(name) || ++calls > 100000) return;  // a bound for a faulty talker
    value.Set(value.Get() + 1, "Changed");
  });
  value.AddDependant(&climber, 0);
  value.Set(1, "Changed");
  EXPECT_EQ(calls, DynamicTalker::kMaxNestedNotices);
  EXPECT_EQ(value.Get(), DynamicTalker::kMaxNestedNotices + 1);  // stored, not announced
  value.DeleteDependant(&climber);
  calls = 0;

  // Two values bound to each other that never agree.
  Dynamic<int> a, b;
  Reacting aToB([&](const char* name) {
    if (!IsDelete(name) && ++calls < 100000) b.Set(a.Get() + 1, "Changed");
  });
  Reacting bToA([&](const char* name) {
    if (!IsDelete(name) && ++calls < 100000) a.Set(b.Get() + 1, "Changed");
  });
  a.AddDependant(&aToB, 0);
  b.AddDependant(&bToA, 0);
  a.Set(1, "Changed");
  EXPECT_LE(calls, 2 * DynamicTalker::kMaxNestedNotices);
  a.DeleteDependant(&aToB);
  b.DeleteDependant(&bToA);

  // The bound is per walk depth: a later notice flows again.
  calls = 0;
  NoticeLog log;
  RecordingListener watcher(log);
  value.AddDependant(&watcher, 0);
  value.Set(0, "Changed");
  EXPECT_EQ(log.Count(), 1u);
}

TEST(DynamicReentrance, DeleteIsAnnouncedPastTheNestingBound) {
  // A talker destroyed at the deepest nesting still warns its listeners.
  auto* value = new Dynamic<int>;
  bool heardDelete = false;
  Reacting climber([&](const char* name) {
    if (IsDelete(name)) {
      heardDelete = true;
      return;
    }
    if (value->Get() == DynamicTalker::kMaxNestedNotices) {
      delete value;
      return;
    }
    value->Set(value->Get() + 1, "Changed");
  });
  value->AddDependant(&climber, 0);
  value->Set(1, "Changed");
  EXPECT_TRUE(heardDelete);
}

}  // namespace
