// The board output on the manual clock: play values, looping, seeking,
// speed, failing inputs, its life cycle, and a graph read back from the board.
#include <board/BoardControl.h>
#include <board/testing/BoardClock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "BoardTestFixture.h"
#include "videoproc/ChromaKey.h"
#include "videoproc/LumaEffect.h"
#include "videoproc/VideoGradient.h"
#include "videoproc/VideoQuellorOutput.h"
#include "videoproc/VideoStream_Header.h"

namespace {

using quellor::videoproc::testing::ManualBoardTest;
using quellor::videoproc::testing::WaitFor;

constexpr double kNtscFrame = 1001.0 / 30000.0;

// A source of a given length that records the headers it renders and can be
// told to fail one render.
class RecordingSource : public DataStream_Processor {
 public:
  explicit RecordingSource(double length) : length_(length) {}
  const char* DataStream_StreamsIn(unsigned long) override { return nullptr; }
  const char* DataStream_StreamsOut() override { return "Output"; }
  DataStream_Processor* GetConnection_In(unsigned long) override { return nullptr; }
  bool SetConnection_In(DataStream_Processor*, unsigned long) override { return false; }
  double GetPreferredLength() override { return length_; }
  bool Render(DataStream* stream, DataStream_Processor*, bool*) override {
    std::lock_guard lock(mutex_);
    const bool fail = renders_++ == failOn_;
    for (unsigned long i = 0; DataStream_Data* item = stream->GetStream("Video", i); ++i) {
      headers_.push_back(*static_cast<VideoStream_Header*>(item->GetHeader()));
    }
    return !fail;
  }
  std::vector<VideoStream_Header> Headers() {
    std::lock_guard lock(mutex_);
    return headers_;
  }
  void FailRender(int index) {
    std::lock_guard lock(mutex_);
    failOn_ = index;
  }

 private:
  double length_;
  std::mutex mutex_;
  std::vector<VideoStream_Header> headers_;
  int renders_ = 0;
  int failOn_ = -1;
};

// Advances the clock a frame at a time until `done` or `frames` frames.
template <typename Condition>
void PlayUntil(Condition done, int frames = 400) {
  for (int i = 0; i < frames && !done(); ++i) {
    quellor::board::testing::AdvanceFields(2);
    Sleep(1);
  }
}

// A source whose render or length throws a node's error text.
class ThrowingSource : public RecordingSource {
 public:
  ThrowingSource(double length, int throwOnRender, bool lengthThrows)
      : RecordingSource(length), throwOnRender_(throwOnRender), lengthThrows_(lengthThrows) {}
  double GetPreferredLength() override {
    lengthAsked_.fetch_add(1);
    if (lengthThrows_) throw "ThrowingSource: no length";
    return RecordingSource::GetPreferredLength();
  }
  bool Render(DataStream* stream, DataStream_Processor* caller, bool* abort) override {
    if (renders_.fetch_add(1) == throwOnRender_) throw "ThrowingSource: render failed";
    return RecordingSource::Render(stream, caller, abort);
  }
  int LengthAsked() const { return lengthAsked_.load(); }

 private:
  std::atomic<int> lengthAsked_{0};
  std::atomic<int> renders_{0};
  int throwOnRender_;
  bool lengthThrows_;
};

// Destroys the output on a thread of its own and reports whether that ended
// within a few seconds; a destruction that hangs is left behind, not waited for.
bool DestroyedInTime(std::unique_ptr<VideoQuellorOutput> out) {
  std::packaged_task<void()> destroy([&out] { out.reset(); });
  std::future<void> done = destroy.get_future();
  std::thread(std::move(destroy)).detach();
  if (done.wait_for(std::chrono::seconds(5)) == std::future_status::ready) return true;
  out.release();  // still in use by the hung destruction
  return false;
}

bool Stopped(VideoQuellorOutput& out) {
  return out.GetFrameIncrement()->Get() == kVideoOutputStopped;
}

// A new output's increment is 0.0: it shows one still frame at 0 and stops.
// Tests that count renders begin once that is over. An output made directly
// starts its threads at its first use (taking a play value is one).
void AwaitFirstStill(VideoQuellorOutput& out) {
  out.GetFrameIncrement();
  ASSERT_TRUE(WaitFor([&] { return out.GetCounters().shown == 1 && Stopped(out); }));
}

class BoardOutput : public ManualBoardTest {};

TEST_F(BoardOutput, WithoutInputShowsBlackAndTheTimeAdvancesByTheFrameTime) {
  VideoQuellorOutput out;
  EXPECT_STREQ(out.DataStream_StreamsIn(0), "Input");
  EXPECT_EQ(out.DataStream_StreamsIn(1), nullptr);
  EXPECT_EQ(out.DataStream_StreamsOut(), nullptr);
  EXPECT_EQ(out.GetPreferredLength(), 0.0);
  EXPECT_DOUBLE_EQ(out.GetFrameRate(), 30000.0 / 1001.0);
  EXPECT_FALSE(out.SetConnection_In(nullptr, 1));
  AwaitFirstStill(out);
  out.GetFrameIncrement()->Set(1.0);
  // The engine has four buffers: four frames go out before the clock moves,
  // the still frame and then 0, t and 2t.
  ASSERT_TRUE(WaitFor([&] { return out.GetCounters().shown == 4; }))
      << out.GetCounters().shown << " " << out.GetCounters().rendered;
  EXPECT_DOUBLE_EQ(out.GetCurrentTimeFrame()->Get(), 2 * kNtscFrame);
  // A frame shows from the next first field on; its buffer is free after both.
  quellor::board::testing::AdvanceFields(4);
  ASSERT_TRUE(WaitFor([&] { return out.GetCounters().shown == 5; }));
  EXPECT_DOUBLE_EQ(out.GetCurrentTimeFrame()->Get(), 3 * kNtscFrame);
  quellor::board::testing::AdvanceFields(2);
  quellor::board::BoardFrame shown;
  std::string error;
  ASSERT_TRUE(quellor::board::ReadShownFrame(shown, error)) << error;
  ASSERT_EQ(shown.pixels.size(), 720u * 480 * 2);
  for (std::size_t i = 0; i < shown.pixels.size(); i += 4) {
    ASSERT_EQ(shown.pixels[i + 1], 16) << i;
    ASSERT_EQ(shown.pixels[i], 128) << i;
  }
}

TEST_F(BoardOutput, StopsAtTheEndWithoutLoopingAndWrapsWithLooping) {
  RecordingSource source(2.0);
  VideoQuellorOutput out;
  ASSERT_TRUE(out.SetConnection_In(&source, 0));
  EXPECT_EQ(out.GetPreferredLength(), 2.0);
  out.GetFrameIncrement()->Set(1.0);
  PlayUntil([&] { return Stopped(out); });
  ASSERT_TRUE(Stopped(out));
  EXPECT_EQ(out.GetRenderPosition(), 2.0);

  // Looping at normal speed wraps to the start.
  out.GetLoopingMode()->Set(1);
  out.GetCurrentTimeFrame()->Set(1.9);  // a seek: one still frame, then stopped
  out.GetFrameIncrement()->Set(1.0);
  bool wrapped = false;
  PlayUntil([&] {
    for (const auto& h : source.Headers()) wrapped = wrapped || (h.time == 0.0 && h.field == 0);
    return wrapped;
  });
  EXPECT_TRUE(wrapped);
  EXPECT_FALSE(Stopped(out));

  // Looping at double speed stops at the end instead.
  out.GetFrameIncrement()->Set(2.0);
  PlayUntil([&] { return Stopped(out); });
  ASSERT_TRUE(Stopped(out));
  EXPECT_EQ(out.GetRenderPosition(), 2.0);
}

TEST_F(BoardOutput, BackwardsStopsAtZeroAndAStillFrameIsRenderedOnce) {
  RecordingSource source(10.0);
  VideoQuellorOutput out;
  AwaitFirstStill(out);
  ASSERT_TRUE(out.SetConnection_In(&source, 0));
  out.GetCurrentTimeFrame()->Set(0.5);  // a seek while stopped: one still frame there
  ASSERT_TRUE(WaitFor([&] { return Stopped(out); }));
  ASSERT_TRUE(WaitFor([&] { return source.Headers().size() >= 2; }));
  auto still = source.Headers();
  ASSERT_EQ(still.size(), 2u) << "exactly one still frame";
  EXPECT_EQ(still[0].time, 0.5);
  EXPECT_EQ(still[1].time, 0.5 + kNtscFrame * 0.5);
  EXPECT_DOUBLE_EQ(still[0].duration, kNtscFrame * 0.5);
  EXPECT_EQ(still[1].field, 1u);

  out.GetFrameIncrement()->Set(-1.0);
  PlayUntil([&] { return Stopped(out); });
  ASSERT_TRUE(Stopped(out));
  EXPECT_EQ(out.GetRenderPosition(), 0.0);
}

TEST_F(BoardOutput, SeekWhilePlayingRendersFromTheNewPosition) {
  RecordingSource source(100.0);
  VideoQuellorOutput out;
  ASSERT_TRUE(out.SetConnection_In(&source, 0));
  out.GetFrameIncrement()->Set(1.0);
  PlayUntil([&] { return out.GetCounters().shown >= 6; });
  out.GetCurrentTimeFrame()->Set(50.0);
  const std::size_t before = source.Headers().size();
  PlayUntil([&] { return source.Headers().size() >= before + 4; });
  auto headers = source.Headers();
  ASSERT_GE(headers.size(), before + 2);
  EXPECT_EQ(headers[before].time, 50.0) << "the first frame after the seek";
  PlayUntil([&] { return out.GetCurrentTimeFrame()->Get() >= 50.0; });
  EXPECT_GE(out.GetCurrentTimeFrame()->Get(), 50.0);

  // A speed change applies from the next frame rendered.
  out.GetFrameIncrement()->Set(3.0);
  const std::size_t atSpeed = source.Headers().size();
  PlayUntil([&] { return source.Headers().size() >= atSpeed + 6; });
  headers = source.Headers();
  ASSERT_GE(headers.size(), atSpeed + 4);
  EXPECT_NEAR(headers[atSpeed + 2].time - headers[atSpeed].time, 3 * kNtscFrame, 1e-9);
  EXPECT_NEAR(headers[atSpeed + 1].duration, 1.5 * kNtscFrame, 1e-9);
}

TEST_F(BoardOutput, AFrameTheInputFailsIsNeverShown) {
  RecordingSource source(100.0);
  source.FailRender(1);
  VideoQuellorOutput out;
  ASSERT_TRUE(out.SetConnection_In(&source, 0));
  out.GetFrameIncrement()->Set(1.0);
  PlayUntil([&] { return out.GetCounters().shown >= 5; });
  EXPECT_EQ(out.GetCounters().lost, 1u);
  // The failed frame's time (the second frame) is skipped on screen.
  std::vector<double> shownTimes;
  out.GetFrameIncrement()->Set(kVideoOutputStopped);
  EXPECT_GE(out.GetCounters().rendered, 4u);
}

TEST_F(BoardOutput, AnInputThatThrowsLosesItsFrameAndTheOutputPlaysOnAndStops) {
  ThrowingSource source(100.0, 1, false);
  auto out = std::make_unique<VideoQuellorOutput>();
  ASSERT_TRUE(out->SetConnection_In(&source, 0));
  out->GetFrameIncrement()->Set(1.0);
  PlayUntil([&] { return out->GetCounters().shown >= 5; });
  EXPECT_GE(out->GetCounters().shown, 5u) << "the render thread ended with the error";
  EXPECT_EQ(out->GetCounters().lost, 1u);
  EXPECT_TRUE(DestroyedInTime(std::move(out)));
}

TEST_F(BoardOutput, AnInputWhoseLengthThrowsPlaysWithoutEndAndIsDestroyed) {
  // The length is asked for each frame rendered; its error used to leave the
  // render thread's loop, and the destruction waited for that thread.
  ThrowingSource source(100.0, -1, true);
  auto out = std::make_unique<VideoQuellorOutput>();
  ASSERT_TRUE(out->SetConnection_In(&source, 0));
  out->GetFrameIncrement()->Set(1.0);
  PlayUntil([&] { return out->GetCounters().shown >= 5; });
  EXPECT_GE(out->GetCounters().shown, 5u);
  EXPECT_GT(source.LengthAsked(), 0);
  EXPECT_TRUE(DestroyedInTime(std::move(out)));
}

TEST_F(BoardOutput, StartStopRepeatedlyAndDestroyWhilePlaying) {
  RecordingSource source(1.0);
  for (int round = 0; round < 5; ++round) {
    auto out = std::make_unique<VideoQuellorOutput>();
    if (round % 2 == 0) AwaitFirstStill(*out);  // odd rounds race the first still frame
    ASSERT_TRUE(out->SetConnection_In(&source, 0));
    out->GetLoopingMode()->Set(1);
    out->GetFrameIncrement()->Set(1.0);
    quellor::board::testing::AdvanceFields(static_cast<std::uint32_t>(round * 2));
    ASSERT_TRUE(WaitFor([&] { return out->GetCounters().shown >= 2; }));
    out->GetFrameIncrement()->Set(kVideoOutputStopped);
    out->GetFrameIncrement()->Set(1.0);
    out.reset();  // while frames are queued and the render thread runs
  }
  quellor::board::BoardStatus status;
  std::string error;
  ASSERT_TRUE(quellor::board::ReadBoardStatus(status, error)) << error;
  for (const auto& object : status.objects) EXPECT_NE(object.kind, "output") << object.name;
}

TEST_F(BoardOutput, PalStandardAndAGraphReadBackFromTheBoard) {
  VideoGradient colour, brightness;
  colour.SetFlatColour(100, 101, 94);  // the keyer's key colour
  brightness.SetFlatColour(180, 128, 128);
  ChromaKey key;  // background colour Y 113, U 72, V 137
  ASSERT_TRUE(key.SetConnection_In(&colour, 0));
  LumaEffect effect;
  ASSERT_TRUE(effect.SetConnection_In(&brightness, 0));
  ASSERT_TRUE(effect.SetConnection_In(&key, 1));

  VideoQuellorOutput out;
  AwaitFirstStill(out);
  out.SetStandardFlag(0);
  EXPECT_DOUBLE_EQ(out.GetFrameRate(), 25.0);
  ASSERT_TRUE(out.SetConnection_In(&effect, 0));
  EXPECT_FALSE(key.SetConnection_In(&out, 0)) << "the output has no output";
  out.GetFrameIncrement()->Set(1.0);
  ASSERT_TRUE(WaitFor([&] { return out.GetCounters().shown >= 2; }));  // after the NTSC still
  // The board takes a frame at its next first field and shows both fields.
  quellor::board::testing::AdvanceFields(6);
  quellor::board::BoardFrame shown;
  std::string error;
  ASSERT_TRUE(quellor::board::ReadShownFrame(shown, error)) << error;
  ASSERT_EQ(shown.standard, quellor::board::VideoStandard::Pal);
  ASSERT_EQ(shown.pixels.size(), 720u * 576 * 2);
  const std::uint8_t expected[4] = {(101 * 7 + 72 * 248) >> 8, 180, (94 * 7 + 137 * 248) >> 8, 180};
  for (std::size_t i = 0; i < shown.pixels.size(); ++i) {
    ASSERT_EQ(shown.pixels[i], expected[i % 4]) << i;
  }
}

}  // namespace
