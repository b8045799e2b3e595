// The board output as part of a larger object: made by name through the
// plug-in's class registry (the registered wrapper derives from the node), or
// a host's own class derived from it. Its threads must not run before the
// whole object is complete nor outlive the derived part (under
// ThreadSanitizer either shows as a race on the object's vptr, under
// AddressSanitizer as a use of the derived part's freed members).
#include <board/BoardControl.h>
#include <board/testing/BoardClock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <qlxrapi/PluginClass.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "BoardTestFixture.h"
#include "videoproc/VideoGradient.h"
#include "videoproc/VideoQuellorOutput.h"

namespace {

using quellor::videoproc::testing::ManualBoardTest;
using quellor::videoproc::testing::WaitFor;

class RegisteredOutput : public ManualBoardTest {
 protected:
  void SetUp() override {
    ManualBoardTest::SetUp();
    const char* bin = std::getenv("QUELLOR_BIN");
    ASSERT_NE(bin, nullptr);
    plugin_ = LoadLibraryA((std::string(bin) + "/Video.quell").c_str());
    ASSERT_NE(plugin_, nullptr) << GetLastError();
  }
  void TearDown() override {
    if (plugin_ != nullptr) FreeLibrary(plugin_);
    ManualBoardTest::TearDown();
  }
  static PluginClass* New() {
    std::string name = "VideoQuellorOutput";
    return Orvane_New(name.data());
  }
  static std::size_t OutputsOnTheBoard() {
    quellor::board::BoardStatus status;
    std::string error;
    EXPECT_TRUE(quellor::board::ReadBoardStatus(status, error)) << error;
    std::size_t outputs = 0;
    for (const auto& object : status.objects) outputs += object.kind == "output" ? 1 : 0;
    return outputs;
  }
  HMODULE plugin_ = nullptr;
};

TEST_F(RegisteredOutput, RunsFromCreationAndStopsBeforeItGoesWhilePlaying) {
  VideoGradient source;
  source.SetFlatColour(180, 128, 128);
  for (int round = 0; round < 3; ++round) {
    PluginClass* object = New();
    ASSERT_NE(object, nullptr);
    auto* out = dynamic_cast<VideoQuellorOutput*>(object);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(OutputsOnTheBoard(), 2u) << "one engine output for each standard";
    // A host that only made the output sees its first still frame: the
    // threads run from creation on (the counters start nothing).
    ASSERT_TRUE(WaitFor([&] { return out->GetCounters().shown == 1; }));
    ASSERT_TRUE(out->SetConnection_In(&source, 0));
    out->GetLoopingMode()->Set(1);
    out->GetFrameIncrement()->Set(1.0);
    quellor::board::testing::AdvanceFields(4);
    ASSERT_TRUE(WaitFor([&] { return out->GetCounters().shown >= 3; }));
    delete object;  // while frames are queued and the render thread runs
    EXPECT_EQ(OutputsOnTheBoard(), 0u);
  }
}

// A host's output with an end of its own: its threads must call this
// override, and never once the derived part is gone.
class ShortOutput : public VideoQuellorOutput {
 public:
  explicit ShortOutput(double length) : length_(std::make_unique<double>(length)) {}
  ~ShortOutput() override { PluginClass_Destroying(); }
  double GetPreferredLength() override { return *length_; }

 private:
  std::unique_ptr<double> length_;  // freed with the derived part
};

class DerivedOutput : public ManualBoardTest {};

TEST_F(DerivedOutput, ThreadsStartAtFirstUseCallTheOverrideAndEndBeforeTheDerivedPart) {
  VideoGradient source;  // endless: the end is the override's
  for (int round = 0; round < 3; ++round) {
    auto out = std::make_unique<ShortOutput>(0.25);
    ASSERT_TRUE(out->SetConnection_In(&source, 0));  // the first use
    ASSERT_TRUE(WaitFor([&] { return out->GetCounters().shown == 1; })) << "the still frame";
    out->GetFrameIncrement()->Set(1.0);
    for (int i = 0; i < 400 && out->GetFrameIncrement()->Get() != kVideoOutputStopped; ++i) {
      quellor::board::testing::AdvanceFields(2);
      Sleep(1);
    }
    EXPECT_EQ(out->GetFrameIncrement()->Get(), kVideoOutputStopped);
    EXPECT_EQ(out->GetRenderPosition(), 0.25);
    out->GetCurrentTimeFrame()->Set(0.0);  // a seek: a still frame, then play again
    out->GetFrameIncrement()->Set(1.0);
    quellor::board::testing::AdvanceFields(2);
    out.reset();  // while it plays
  }
}

}  // namespace
