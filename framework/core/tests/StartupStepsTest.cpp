// The start-up list: steps run in their fixed order whatever order they were
// added in, a failure ends the start-up there, and shut-down undoes exactly
// the steps that ran, in reverse. Then the library's own list, from the core
// area linked straight into this program.
#include <qlxrapi/StartupSteps.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using quellor::framework::LibraryStartupSteps;
using quellor::framework::StartupOrder;
using quellor::framework::StartupStep;
using quellor::framework::StartupSteps;

std::string g_trace;
bool g_failSearchPaths = false;

bool StartA() {
  g_trace += "+chain ";
  return true;
}
void StopA() {
  g_trace += "-chain ";
}
bool StartB() {
  g_trace += "+paths ";
  return !g_failSearchPaths;
}
void StopB() {
  g_trace += "-paths ";
}
bool StartC() {
  g_trace += "+loader ";
  return true;
}

class StartupList : public ::testing::Test {
 protected:
  void SetUp() override {
    g_trace.clear();
    g_failSearchPaths = false;
    // Added out of order, as the areas' files register in no fixed order.
    ASSERT_TRUE(steps.Add({"PluginLoader", StartupOrder::PluginLoader, &StartC, nullptr}));
    ASSERT_TRUE(steps.Add({"TalkerChain", StartupOrder::TalkerChain, &StartA, &StopA}));
    ASSERT_TRUE(steps.Add({"SearchPaths", StartupOrder::SearchPaths, &StartB, &StopB}));
  }
  StartupSteps steps;
};

TEST_F(StartupList, RunsInOrderAndUndoesInReverse) {
  ASSERT_EQ(steps.Count(), 3u);
  EXPECT_STREQ(steps.At(0).name, "TalkerChain");
  EXPECT_STREQ(steps.At(2).name, "PluginLoader");
  EXPECT_TRUE(steps.Start());
  EXPECT_EQ(steps.Started(), 3u);
  steps.Stop();
  EXPECT_EQ(g_trace, "+chain +paths +loader -paths -chain ");
  EXPECT_EQ(steps.Started(), 0u);
  steps.Stop();  // nothing left to undo
  EXPECT_EQ(g_trace, "+chain +paths +loader -paths -chain ");
}

TEST_F(StartupList, AFailedStepEndsTheStartUpAndIsNotUndone) {
  g_failSearchPaths = true;
  EXPECT_FALSE(steps.Start());
  EXPECT_STREQ(steps.FailedStep(), "SearchPaths");
  EXPECT_EQ(steps.Started(), 1u);
  steps.Stop();
  EXPECT_EQ(g_trace, "+chain +paths -chain ");
}

TEST_F(StartupList, RefusesTakenPlacesNamelessStepsAndPlacesBeforeRunningSteps) {
  EXPECT_FALSE(steps.Add({"Other", StartupOrder::SearchPaths, &StartB, nullptr}));
  EXPECT_FALSE(steps.Add({nullptr, StartupOrder::Resources, nullptr, nullptr}));
  ASSERT_TRUE(steps.Start());
  // A step before one that already ran would be undone out of order.
  EXPECT_FALSE(steps.Add({"Skins", StartupOrder::DefaultSkins, nullptr, nullptr}));
  EXPECT_EQ(steps.Count(), 3u);
  steps.Stop();
}

TEST(StartupListCapacity, FillsToItsCapacityAndNoFurther) {
  StartupSteps steps;
  for (int i = 0; i < static_cast<int>(StartupSteps::kCapacity); ++i) {
    EXPECT_TRUE(steps.Add({"step", static_cast<StartupOrder>(i), nullptr, nullptr}));
  }
  EXPECT_FALSE(steps.Add({"step", static_cast<StartupOrder>(1000), nullptr, nullptr}));
}

TEST(LibraryStartup, TheCoresStepsRanInTheirOrder) {
  const StartupSteps& steps = LibraryStartupSteps();
  std::string names;
  for (std::size_t i = 0; i < steps.Count(); ++i) names += std::string(steps.At(i).name) + " ";
  EXPECT_EQ(names, "TalkerChain SearchPaths PluginRegistry PluginLoader ");
  EXPECT_EQ(steps.Started(), steps.Count());
  EXPECT_EQ(steps.FailedStep(), nullptr);
}

}  // namespace
