// The clip input's time line over real clip files.
#include <cliplib/clip/ClipWriter.h>
#include <gtest/gtest.h>

#include <win32/testing/DebugOutput.h>

#include <unistd.h>

#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "VideoTestFields.h"
#include "videoproc/DataStreamPool.h"
#include "videoproc/RTVFileInput.h"

namespace {

using quellor::videoproc::testing::TestField;

std::string TempPath(const std::string& name) {
  const char* root = std::getenv("QUELLOR_TEST_TMP");
  // Per process: ctest runs each test in a process of its own, side by side.
  return std::string(root ? root : "/tmp") + "/videoproc-clip-" + std::to_string(getpid()) + "-" +
         name;
}

// A clip of `frames` frames whose every pair reads U = id, Y0 = frame,
// V = field, Y1 = 16.
std::string MakeClip(const std::string& name, int id, int frames, unsigned lines) {
  const std::string path = TempPath(name);
  quellor::clip::ClipWriter::Create(path.c_str(), 2, 0, 720, lines,
                                    lines == 240 ? 29.97002997f : 25.0f);
  // Two fields of 360 x lines words, sector-aligned for the unbuffered writes.
  const std::size_t words = std::size_t{720} * lines;
  std::unique_ptr<std::uint32_t, decltype(&std::free)> memory(
      static_cast<std::uint32_t*>(std::aligned_alloc(4096, (words * 4 + 4095) / 4096 * 4096)),
      &std::free);
  std::uint32_t* frame = memory.get();
  for (int f = 0; f < frames; ++f) {
    for (std::size_t i = 0; i < words; ++i) {
      const std::uint8_t field = i < words / 2 ? 0 : 1;
      frame[i] =
          VideoUYVY_Word(static_cast<std::uint8_t>(id), static_cast<std::uint8_t>(f), field, 16);
    }
    EXPECT_TRUE(quellor::clip::ClipWriter::WriteFrame(path.c_str(), frame));
  }
  quellor::clip::ClipWriter::Close(path.c_str());
  return path;
}

struct Shown {
  int clip, frame, field;
};

Shown RenderAt(RTVFileInput& input, double time, std::uint32_t lines = 240) {
  TestField field(720, lines, 0, time);
  DataStream stream;
  stream.AddStream(&field.item);
  bool abort = false;
  EXPECT_TRUE(input.Render(&stream, nullptr, &abort));
  const std::uint32_t word = field.words[360];  // line 1
  return {static_cast<int>(word & 0xFF), static_cast<int>(word >> 8 & 0xFF),
          static_cast<int>(word >> 16 & 0xFF)};
}

class ClipInput : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ten_ = MakeClip("ten.rtv", 1, 10, 288);
    five_ = MakeClip("five.rtv", 2, 5, 288);
    ntsc_ = MakeClip("ntsc.rtv", 3, 4, 240);
    corrupt_ = TempPath("corrupt.rtv");
    std::ofstream(corrupt_) << "not a clip at all";
  }
  static void TearDownTestSuite() {
    for (const std::string* path : {&ten_, &five_, &ntsc_, &corrupt_}) std::remove(path->c_str());
  }
  static std::string ten_, five_, ntsc_, corrupt_;
};
std::string ClipInput::ten_, ClipInput::five_, ClipInput::ntsc_, ClipInput::corrupt_;

TEST_F(ClipInput, EmptyListIsBlack) {
  RTVFileInput input;
  EXPECT_EQ(input.GetPreferredLength(), 0.0);
  EXPECT_DOUBLE_EQ(input.GetFrameRate(), 30000.0 / 1001.0);
  EXPECT_STREQ(input.DataStream_StreamsOut(), "RTV File Output");
  TestField field(720, 240, 0x12345678, 1.0);
  DataStream stream;
  stream.AddStream(&field.item);
  bool abort = false;
  EXPECT_TRUE(input.Render(&stream, nullptr, &abort));
  for (std::uint32_t word : field.words) ASSERT_EQ(word, kVideoUYVYBlack);
}

TEST_F(ClipInput, SeveralClipsPlayAsOneTimeLine) {
  RTVFileInput input;
  input.FileSelect_Set(0, ten_.c_str());
  input.FileSelect_Set(1, five_.c_str());
  EXPECT_DOUBLE_EQ(input.GetFrameRate(), 25.0);
  EXPECT_DOUBLE_EQ(input.GetPreferredLength(), 14 / 25.0);
  EXPECT_DOUBLE_EQ(input.GetClipLength(1), 5 / 25.0);
  EXPECT_EQ(input.GetClipLength(2), 0.0);
  // 0.42 s: field 21 of the joined line, field 1 of frame 0 of the second clip.
  Shown s = RenderAt(input, 0.42, 288);
  EXPECT_EQ(s.clip, 2);
  EXPECT_EQ(s.frame, 0);
  EXPECT_EQ(s.field, 1);
  s = RenderAt(input, 0.38, 288);  // field 19: the last field of the first clip
  EXPECT_EQ(s.clip, 1);
  EXPECT_EQ(s.frame, 9);
  EXPECT_EQ(s.field, 1);
  s = RenderAt(input, 99.0, 288);  // beyond the end: the last frame
  EXPECT_EQ(s.clip, 2);
  EXPECT_EQ(s.frame, 4);
  s = RenderAt(input, -0.5, 288);  // before the start: frame 0
  EXPECT_EQ(s.clip, 1);
  EXPECT_EQ(s.frame, 0);

  input.FileSelect_DeleteFilename(0);
  EXPECT_DOUBLE_EQ(input.GetPreferredLength(), 4 / 25.0);
  EXPECT_EQ(RenderAt(input, 0.0, 288).clip, 2);
}

TEST_F(ClipInput, MissingAndCorruptClipsAreSkippedWithAMessage) {
  RTVFileInput input;
  quellor::win32::testing::ScopedDebugOutputCapture capture;
  input.FileSelect_Set(0, ten_.c_str());
  input.FileSelect_Set(1, TempPath("no-such-clip.rtv").c_str());
  input.FileSelect_Set(2, corrupt_.c_str());
  input.FileSelect_Set(3, five_.c_str());
  EXPECT_NE(capture.Text().find("no-such-clip.rtv\" cannot be opened"), std::string::npos)
      << capture.Text();
  EXPECT_NE(capture.Text().find("corrupt.rtv\" cannot be opened"), std::string::npos);
  EXPECT_DOUBLE_EQ(input.GetPreferredLength(), 14 / 25.0);
  const Shown s = RenderAt(input, 10 / 25.0, 288);  // the first frame after the first clip
  EXPECT_EQ(s.clip, 2);
  EXPECT_EQ(s.frame, 0);
  EXPECT_EQ(s.field, 0);

  RTVFileInput onlyMissing;
  onlyMissing.FileSelect_Set(0, corrupt_.c_str());
  TestField field(720, 240, 0x12345678, 0.0);
  DataStream stream;
  stream.AddStream(&field.item);
  bool abort = false;
  EXPECT_TRUE(onlyMissing.Render(&stream, nullptr, &abort));
  EXPECT_EQ(field.words[0], kVideoUYVYBlack);
}

TEST_F(ClipInput, PalClipInAnNtscFieldIsCroppedAndNtscInPalIsPadded) {
  RTVFileInput input;
  input.FileSelect_Set(0, ntsc_.c_str());
  EXPECT_DOUBLE_EQ(input.GetFrameRate(), 30000.0 / 1001.0);
  input.FileSelect_Set(1, ten_.c_str());
  EXPECT_DOUBLE_EQ(input.GetFrameRate(), 25.0) << "a PAL clip sets 25 for all";
  input.FileSelect_Set(1, ntsc_.c_str());
  input.FileSelect_Set(0, ten_.c_str());  // PAL clip first, NTSC fields asked for

  TestField ntscField(720, 240, 0, 0.0);
  DataStream stream;
  stream.AddStream(&ntscField.item);
  bool abort = false;
  ASSERT_TRUE(input.Render(&stream, nullptr, &abort));
  EXPECT_EQ(ntscField.words.back() & 0xFF, 1u) << "cropped: the PAL clip's lines fill it";

  TestField palField(720, 288, 0, 12 / 25.0);  // frame 12: frame 2 of the NTSC clip
  DataStream palStream;
  palStream.AddStream(&palField.item);
  ASSERT_TRUE(input.Render(&palStream, nullptr, &abort));
  EXPECT_EQ(palField.words[0] & 0xFF, 3u);
  EXPECT_EQ(palField.words[360 * 240], kVideoUYVYBlack) << "lines past the clip are black";
}

// A pooled field item starts on a page, so the clip is read into it straight
// from the disk; it must hold what a read through the clip's own buffer
// (an item at an odd address) gives, field by field.
TEST_F(ClipInput, FieldsReadStraightIntoPooledItemsMatchCopiedOnes) {
  RTVFileInput input;
  input.FileSelect_Set(0, ten_.c_str());
  for (double time : {0.0, 3 / 25.0, 3 / 25.0 + 0.02, 9 / 25.0}) {
    const std::uint32_t bytes = VideoUYVY_BlockBytes(720, 288);
    DataStream_Data* pooled =
        GetDataStreamData(kVideoStreamName, sizeof(VideoStream_Header), bytes);
    ASSERT_NE(pooled, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(pooled->GetData()) % 4096, 0u);
    *static_cast<VideoStream_Header*>(pooled->GetHeader()) =
        VideoStream_Header{720, 288, 0, kVideoAspectRatio, time, 0.02};
    DataStream direct;
    direct.AddStream(pooled);
    TestField copied(720, 288, 0, time);
    DataStream viaBuffer;
    viaBuffer.AddStream(&copied.item);
    bool abort = false;
    ASSERT_TRUE(input.Render(&direct, nullptr, &abort));
    ASSERT_TRUE(input.Render(&viaBuffer, nullptr, &abort));
    EXPECT_EQ(std::memcmp(pooled->GetData(), copied.words.data(), bytes), 0) << time;
    const auto n = static_cast<std::uint32_t>(time * 50 + 0.5);  // fields from the start
    EXPECT_EQ(copied.words[360] >> 8 & 0xFF, n / 2) << time;
    EXPECT_EQ(copied.words[360] >> 16 & 0xFF, n & 1) << time;
    ReleaseDataStreamData(pooled);
  }
}

}  // namespace
