// Change notices of observable values: order, ids, names, extra arguments,
// unchanged and not-a-number values, registration and removal.
#include <cmath>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

#include <qlxrapi/Dynamic.h>

#include "RecordingListener.h"

namespace {

TEST(DynamicNotice, EachRegistrationIsCalledInOrderWithItsIdAndTheName) {
  NoticeLog log;
  RecordingListener first(log), second(log);
  Dynamic<int> value;
  value.AddDependant(&first, 7);
  value.AddDependant(&second, 3);
  value.AddDependant(&first, 9);  // the same listener again: called again

  value.Set(5, "Changed");

  const auto notices = log.Notices();
  ASSERT_EQ(notices.size(), 3u);
  EXPECT_EQ(notices[0].listener, &first);
  EXPECT_EQ(notices[0].id, 7);
  EXPECT_EQ(notices[1].listener, &second);
  EXPECT_EQ(notices[1].id, 3);
  EXPECT_EQ(notices[2].listener, &first);
  EXPECT_EQ(notices[2].id, 9);
  for (const auto& notice : notices) EXPECT_EQ(notice.name, "Changed");
  EXPECT_EQ(value.Get(), 5);
}

TEST(DynamicNotice, NewValueHoldsZero) {
  EXPECT_EQ(Dynamic<int>().Get(), 0);
  EXPECT_EQ(Dynamic<float>().Get(), 0.0f);
  EXPECT_EQ(Dynamic<double>().Get(), 0.0);
}

TEST(DynamicNotice, SettingTheValueItHoldsSendsNothing) {
  NoticeLog log;
  RecordingListener listener(log);
  Dynamic<int> value;
  value.AddDependant(&listener, 1);
  value.Set(0, "Changed");
  EXPECT_EQ(log.Count(), 0u);
  value.Set(4, "Changed");
  value.Set(4, "Changed");
  EXPECT_EQ(log.Count(), 1u);
}

TEST(DynamicNotice, NotANumberIsNeverStoredNorAnnounced) {
  NoticeLog log;
  RecordingListener listener(log);
  Dynamic<double> value;
  value.Set(1.0, "Changed");
  value.AddDependant(&listener, 1);
  value.Set(std::numeric_limits<double>::quiet_NaN(), "Changed");
  EXPECT_EQ(value.Get(), 1.0);
  EXPECT_EQ(log.Count(), 0u);

  Dynamic<float> component;
  component.AddDependant(&listener, 2);
  component.Set(std::nanf(""), "Changed");
  EXPECT_EQ(component.Get(), 0.0f);
  EXPECT_EQ(log.Count(), 0u);
}

TEST(DynamicNotice, ExtraArgumentsArriveAsWordsInTheOrderPassed) {
  struct ArgumentReader : DynamicListener {
    void DynamicCallback(long, const char* name, void* args) override {
      if (std::strcmp(name, "Changed") != 0) return;  // the delete notice has one word
      auto* words = static_cast<std::uint64_t*>(args);
      pointer = reinterpret_cast<void*>(words[0]);
      integer = static_cast<std::int64_t>(words[1]);
      std::memcpy(&real, &words[2], sizeof(real));
      small = *static_cast<int*>(static_cast<void*>(&words[3]));  // low half, little-endian
    }
    void* pointer = nullptr;
    std::int64_t integer = 0;
    double real = 0;
    int small = 0;
  } reader;
  Dynamic<int> value;
  value.AddDependant(&reader, 0);
  int marker = 0;
  value.Set(3, "Changed", &marker, -42, 2.5f, 77);
  EXPECT_EQ(reader.pointer, &marker);
  EXPECT_EQ(reader.integer, -42);
  EXPECT_EQ(reader.real, 2.5);
  EXPECT_EQ(reader.small, 77);
}

TEST(DynamicNotice, NullListenersAreIgnored) {
  Dynamic<int> value;
  value.AddDependant(nullptr, 5);
  EXPECT_EQ(value.GetNoDependants(), 0u);
  value.DeleteDependant(nullptr);
  value.Set(1, "Changed");  // nothing to call, nothing to crash
  EXPECT_EQ(value.GetNoDependants(), 0u);
}

// Removal moves the last registration into each freed place: removing the
// listener registered first and last of [a, b, c, a] leaves [c, b].
TEST(DynamicNotice, RemovalMovesTheLastRegistrationIntoTheFreedPlace) {
  NoticeLog log;
  RecordingListener a(log), b(log), c(log);
  Dynamic<int> value;
  value.AddDependant(&a, 1);
  value.AddDependant(&b, 2);
  value.AddDependant(&c, 3);
  value.AddDependant(&a, 4);

  value.DeleteDependant(&a);
  value.Set(1, "Changed");

  const auto notices = log.Notices();
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[0].id, 3);
  EXPECT_EQ(notices[1].id, 2);
}

TEST(DynamicNotice, AListenerSettingAnotherValueIsServedBeforeTheWalkGoesOn) {
  NoticeLog log;
  Dynamic<int> outer, inner;
  struct Forwarder : DynamicListener {
    void DynamicCallback(long, const char*, void*) override { target->Set(1, "Inner"); }
    Dynamic<int>* target = nullptr;
  } forwarder;
  forwarder.target = &inner;
  RecordingListener watcher(log);
  outer.AddDependant(&forwarder, 1);
  outer.AddDependant(&watcher, 2);
  inner.AddDependant(&watcher, 3);

  outer.Set(1, "Outer");

  const auto notices = log.Notices();
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[0].name, "Inner");
  EXPECT_EQ(notices[1].name, "Outer");
}

TEST(DynamicNotice, AListenerMayRemoveItselfDuringANotice) {
  struct OneShot : DynamicListener {
    void DynamicCallback(long, const char*, void*) override {
      ++calls;
      talker->DeleteDependant(this);
    }
    DynamicTalker* talker = nullptr;
    int calls = 0;
  } oneShot;
  Dynamic<int> value;
  oneShot.talker = &value;
  value.AddDependant(&oneShot, 0);
  value.Set(1, "Changed");
  value.Set(2, "Changed");
  EXPECT_EQ(oneShot.calls, 1);
  EXPECT_EQ(value.GetNoDependants(), 0u);
}

TEST(DynamicNotice, ACopiedListenerIsRegisteredWithNoTalker) {
  NoticeLog log;
  RecordingListener original(log);
  Dynamic<int> value;
  value.AddDependant(&original, 1);
  {
    RecordingListener copy(original);
    value.Set(1, "Changed");
  }
  EXPECT_EQ(log.Count(), 1u);
  EXPECT_EQ(value.GetNoDependants(), 1u);
}

}  // namespace
