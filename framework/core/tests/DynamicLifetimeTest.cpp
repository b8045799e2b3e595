// The "DynamicTalker::Delete" notice, listeners that go away, and colours.
#include <memory>

#include <gtest/gtest.h>

#include <qlxrapi/DynamicColor.h>

#include "RecordingListener.h"

namespace {

TEST(DynamicLifetime, DestroyingATalkerAnnouncesDeleteWithItsAddressToEveryRegistration) {
  NoticeLog log;
  RecordingListener first(log), second(log);
  auto value = std::make_unique<Dynamic<int>>();
  const auto address = reinterpret_cast<std::uint64_t>(static_cast<DynamicTalker*>(value.get()));
  value->AddDependant(&first, 1);
  value->AddDependant(&second, 2);

  value.reset();

  const auto notices = log.Notices();
  ASSERT_EQ(notices.size(), 2u);
  for (const auto& notice : notices) {
    EXPECT_EQ(notice.name, "DynamicTalker::Delete");
    EXPECT_EQ(notice.firstWord, address);
  }
  EXPECT_EQ(notices[0].id, 1);
  EXPECT_EQ(notices[1].id, 2);
}

// The delete notice is the listeners' only warning: it is not swallowed by a
// suppression bracket that is still open.
TEST(DynamicLifetime, DeleteIsAnnouncedEvenWhileMessagesAreOff) {
  NoticeLog log;
  RecordingListener listener(log);
  auto value = std::make_unique<Dynamic<int>>();
  value->AddDependant(&listener, 1);
  value->MessagesOff();
  value.reset();
  ASSERT_EQ(log.Count(), 1u);
  EXPECT_EQ(log.Notices()[0].name, "DynamicTalker::Delete");
}

// A listener registered with three talkers (one of them twice) is removed
// from all of them by the base destructor alone.
TEST(DynamicLifetime, ADestroyedListenerIsRemovedFromEveryTalker) {
  struct Plain : DynamicListener {
    void DynamicCallback(long, const char*, void*) override { ++*calls; }
    int* calls = nullptr;
  };
  int calls = 0;
  Dynamic<int> a, b, c;
  auto* plain = new Plain;
  plain->calls = &calls;
  a.AddDependant(plain, 1);
  b.AddDependant(plain, 2);
  b.AddDependant(plain, 3);
  c.AddDependant(plain, 4);

  delete plain;

  EXPECT_EQ(a.GetNoDependants() + b.GetNoDependants() + c.GetNoDependants(), 0u);
  a.Set(1, "Changed");
  b.Set(1, "Changed");
  c.Set(1, "Changed");
  EXPECT_EQ(calls, 0);
}

TEST(DynamicLifetime, AListenerMayDeleteItselfOnTheDeleteNotice) {
  struct Watcher : DynamicListener {
    void DynamicCallback(long, const char* name, void*) override {
      if (std::string(name) == "DynamicTalker::Delete") delete this;
    }
  };
  auto value = std::make_unique<Dynamic<int>>();
  Dynamic<int> other;
  auto* watcher = new Watcher;
  value->AddDependant(watcher, 0);
  other.AddDependant(watcher, 0);
  value.reset();  // the watcher goes away inside the notice
  EXPECT_EQ(other.GetNoDependants(), 0u);
}

TEST(DynamicColor, HoldsItsFourComponentsWithDefaultAlphaOne) {
  DynamicColor color;
  EXPECT_EQ(color.GetComponentValue(DynamicColor_Red), 0.0f);
  EXPECT_EQ(color.GetComponentValue(DynamicColor_Green), 0.0f);
  EXPECT_EQ(color.GetComponentValue(DynamicColor_Blue), 0.0f);
  EXPECT_EQ(color.GetComponentValue(DynamicColor_Alpha), 1.0f);
  DynamicColor given(0.1f, 0.2f, 0.3f, 0.4f);
  EXPECT_EQ(given.GetComponent(DynamicColor_Blue)->Get(), 0.3f);
}

TEST(DynamicColor, SettingAComponentReturnsTheOldValueAndAnnouncesOnlyThatComponent) {
  NoticeLog log;
  RecordingListener one(log), all(log);
  DynamicColor color;
  color.GetComponent(DynamicColor_Green)->AddDependant(&one, 11);
  color.AddDependant(&all, 22);

  EXPECT_EQ(color.SetComponentValue(DynamicColor_Green, 0.5f), 0.0f);

  const auto notices = log.Notices();
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[0].id, 11);
  EXPECT_EQ(notices[1].id, 22);
  EXPECT_EQ(notices[0].name, "Changed");
  EXPECT_EQ(color.GetComponentValue(DynamicColor_Green), 0.5f);

  log.Clear();
  color.DeleteDependant(&all);
  color.SetComponentValue(DynamicColor_Red, 1.0f);
  color.SetComponentValue(DynamicColor_Alpha, 0.0f);
  EXPECT_EQ(log.Count(), 0u);
}

TEST(DynamicColor, BadComponentsThrowTheirTexts) {
  DynamicColor color;
  const auto bad = static_cast<DynamicColor_Component>(4);
  const auto negative = static_cast<DynamicColor_Component>(-1);
  auto thrownText = [](auto&& call) -> std::string {
    try {
      call();
    } catch (char* text) {
      return text;
    }
    return "nothing thrown";
  };
  EXPECT_EQ(thrownText([&] { color.GetComponent(bad); }),
            "DynamicColor::GetComponent Invalid color component");
  EXPECT_EQ(thrownText([&] { color.GetComponentValue(negative); }),
            "DynamicColor::GetComponentValue Invalid color component");
  EXPECT_EQ(thrownText([&] { color.SetComponentValue(bad, 1.0f); }),
            "DynamicColor::SetComponentValue Invalid color component");
}

TEST(DynamicColor, DestroyingItAnnouncesDeleteForEachComponent) {
  NoticeLog log;
  RecordingListener listener(log);
  {
    DynamicColor color;
    color.AddDependant(&listener, 0);
  }
  const auto notices = log.Notices();
  ASSERT_EQ(notices.size(), 4u);
  for (const auto& notice : notices) EXPECT_EQ(notice.name, "DynamicTalker::Delete");
}

}  // namespace
