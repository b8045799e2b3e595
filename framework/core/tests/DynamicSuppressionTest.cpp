// MessagesOff / MessagesOn brackets: the depth counts nesting, the pending
// flag is single.
#include <gtest/gtest.h>

#include <qlxrapi/Dynamic.h>

#include "RecordingListener.h"

namespace {

class DynamicSuppression : public ::testing::Test {
 protected:
  void SetUp() override { value.AddDependant(&listener, 1); }
  NoticeLog log;
  RecordingListener listener{log};
  Dynamic<int> value;
};

TEST_F(DynamicSuppression, ABracketTurnsSeveralChangesIntoOneChangedNotice) {
  value.MessagesOff();
  value.Set(1, "First");
  value.Set(2, "Second");
  value.Set(3, "Third");
  EXPECT_EQ(log.Count(), 0u);
  EXPECT_TRUE(value.IsMessagePending());
  value.MessagesOn(true);
  ASSERT_EQ(log.Count(), 1u);
  EXPECT_EQ(log.Notices()[0].name, "Changed");
  EXPECT_FALSE(value.IsMessagePending());
  EXPECT_EQ(value.Get(), 3);
}

TEST_F(DynamicSuppression, MessagesOnWithoutSendingDropsThePendingNotice) {
  value.MessagesOff();
  value.Set(1, "Changed");
  value.MessagesOn(false);
  EXPECT_EQ(log.Count(), 0u);
  EXPECT_FALSE(value.IsMessagePending());
  value.Set(2, "Changed");
  EXPECT_EQ(log.Count(), 1u);
}

TEST_F(DynamicSuppression, MessagesOnAtDepthZeroStaysAtZero) {
  value.MessagesOn(true);
  value.MessagesOn(false);
  EXPECT_EQ(value.GetMessagesOffDepth(), 0);
  value.Set(1, "Changed");
  EXPECT_EQ(log.Count(), 1u);
}

// The inner MessagesOn(true) re-raises while the depth is still 1, which only
// sets pending again, and then clears it: the outer bracket announces nothing.
TEST_F(DynamicSuppression, AChangeInsideAnInnerBracketIsNotAnnouncedByTheOuterOne) {
  value.MessagesOff();
  value.MessagesOff();
  value.Set(1, "Changed");
  value.MessagesOn(true);
  EXPECT_EQ(value.GetMessagesOffDepth(), 1);
  EXPECT_FALSE(value.IsMessagePending());
  EXPECT_EQ(log.Count(), 0u);
  value.MessagesOn(true);
  EXPECT_EQ(value.GetMessagesOffDepth(), 0);
  EXPECT_EQ(log.Count(), 0u);
}

TEST_F(DynamicSuppression, AChangeAfterTheInnerBracketIsAnnouncedByTheOuterOne) {
  value.MessagesOff();
  value.MessagesOff();
  value.MessagesOn(true);
  value.Set(1, "Changed");
  value.MessagesOn(true);
  ASSERT_EQ(log.Count(), 1u);
  EXPECT_EQ(log.Notices()[0].name, "Changed");
}

TEST_F(DynamicSuppression, OpeningAnInnerBracketForgetsWhatWasPending) {
  value.MessagesOff();
  value.Set(1, "Changed");
  value.MessagesOff();
  EXPECT_FALSE(value.IsMessagePending());
  value.MessagesOn(true);
  value.MessagesOn(true);
  EXPECT_EQ(log.Count(), 0u);
}

TEST_F(DynamicSuppression, ExplicitChangedInsideABracketOnlySetsPending) {
  value.MessagesOff();
  value.Changed("Anything", 5);
  EXPECT_TRUE(value.IsMessagePending());
  EXPECT_EQ(log.Count(), 0u);
  value.MessagesOn(true);
  ASSERT_EQ(log.Count(), 1u);
  EXPECT_EQ(log.Notices()[0].name, "Changed");
}

}  // namespace
