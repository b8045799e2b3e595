// The clip writer: exact header bytes, frame placement, Write frame versus
// Append frame, failures that still advance the frame index, and writers on
// several threads.
#include "cliplib/clip/ClipWriter.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <win32/testing/FileFaults.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "ClipTestSupport.h"
#include "cliplib/clip/OpenClipTable.h"
#include "quellor/testing/ScratchFolder.h"

namespace quellor::clip {
namespace {

using quellor::win32::testing::FileFault;
using quellor::win32::testing::ScopedFileFault;
using testing::AlignedBuffer;
using testing::Bytes;

constexpr std::size_t kNtscField = 345600;
constexpr std::size_t kNtscFrame = 2 * kNtscField;

// One NTSC frame whose bytes tell frame, field and position apart.
void FillFrame(AlignedBuffer& frame, int number) {
  for (std::size_t i = 0; i < frame.size(); ++i) {
    frame.data()[i] =
        static_cast<std::uint8_t>(number * 37 + (i >= frame.size() / 2) * 101 + i / 512);
  }
}

std::string CreateError(const std::string& path, unsigned audio) {
  try {
    ClipWriter::Create(path.c_str(), 2, audio, 720, 240, 29.970026f);
  } catch (const char* text) {
    return text;
  }
  return "";
}

class ClipWriterTest : public ::testing::Test {
 protected:
  quellor::testing::ScratchFolder scratch_{"cliplib"};  // first made, last removed
  void SetUp() override {
    OpenClipTable::Instance().CloseAll();
    folder_ = scratch_.path();
    path_ = folder_ + "/clip.rtv";
  }
  void TearDown() override { OpenClipTable::Instance().CloseAll(); }

  std::string folder_;
  std::string path_;
};

TEST_F(ClipWriterTest, CreateWritesNtscHeadersOnly) {
  ClipWriter::Create(path_.c_str(), 2, 0, 720, 240, 29.970026f);
  const Bytes bytes = testing::ReadFileBytes(path_);
  ASSERT_EQ(bytes.size(), 72u);
  EXPECT_EQ(0, std::memcmp(bytes.data(), "FMTR", 4));
  EXPECT_EQ(testing::GetU32(bytes, 4), 1u);
  EXPECT_EQ(testing::GetU32(bytes, 8), 512u);
  EXPECT_EQ(testing::GetU32(bytes, 12), 2u);
  EXPECT_EQ(testing::GetU32(bytes, 16), 691200u);
  EXPECT_EQ(testing::GetF32(bytes, 20), 29.970026f * 2);
  EXPECT_NEAR(testing::GetF32(bytes, 20), 59.940052f, 1e-5);
  const std::uint32_t raster_offsets[] = {34596, 485904};
  for (int i = 0; i < 2; ++i) {
    const std::size_t at = 24 + 24 * i;
    EXPECT_EQ(bytes[at], 1);
    EXPECT_EQ(bytes[at + 1], 0);
    EXPECT_EQ(bytes[at + 2], 8);
    EXPECT_EQ(bytes[at + 3], 0);
    EXPECT_EQ(testing::GetU32(bytes, at + 4), 345600u);
    EXPECT_EQ(testing::GetU32(bytes, at + 8), raster_offsets[i]);
    EXPECT_EQ(testing::GetU32(bytes, at + 12), 1716u);
    EXPECT_EQ(testing::GetU32(bytes, at + 16), 1440u);
    EXPECT_EQ(testing::GetU32(bytes, at + 20), 240u);
  }
}

TEST_F(ClipWriterTest, CreateWritesPalHeadersAndPadsChunksToSectors) {
  ClipWriter::Create(path_.c_str(), 4, 0, 720, 288, 25.0f);
  Bytes bytes = testing::ReadFileBytes(path_);
  ASSERT_EQ(bytes.size(), 24u + 4 * 24);
  EXPECT_EQ(testing::GetU32(bytes, 16), 4u * 414720);
  EXPECT_EQ(testing::GetF32(bytes, 20), 50.0f);
  EXPECT_EQ(testing::GetU32(bytes, 24 + 8), 38304u);
  EXPECT_EQ(testing::GetU32(bytes, 48 + 8), 579168u);
  EXPECT_EQ(testing::GetU32(bytes, 72 + 8), 38304u);
  EXPECT_EQ(testing::GetU32(bytes, 96 + 12), 1728u);

  ClipWriter::Create(path_.c_str(), 2, 0, 10, 3, 25.0f);  // 60 bytes a field
  bytes = testing::ReadFileBytes(path_);
  EXPECT_EQ(testing::GetU32(bytes, 24 + 4), 512u);
  EXPECT_EQ(testing::GetU32(bytes, 16), 1024u);
  EXPECT_EQ(testing::GetU32(bytes, 24 + 16), 20u);
}

TEST_F(ClipWriterTest, CreateFailuresLeaveAtMostAnEmptyFile) {
  EXPECT_EQ(CreateError(path_, 1), "Currently audio stream writing is not supported.");
  EXPECT_EQ(testing::ReadFileBytes(path_).size(), 0u);
  EXPECT_EQ(CreateError(folder_ + "/no/such/folder.rtv", 0), "Cannot open file for output.");
  EXPECT_EQ(CreateError(folder_, 0), "Cannot open file for output.");
}

TEST_F(ClipWriterTest, APipeOrDeviceWhereAClipBelongsIsRefusedWithoutWaiting) {
  const std::string pipe = folder_ + "/pipe.rtv";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  std::atomic<bool> done{false};
  std::string error;
  std::thread creator([&] {
    error = CreateError(pipe, 0);
    done = true;
  });
  for (int waited = 0; !done && waited < 2000; ++waited) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  const bool waitedForAReader = !done;
  // Let a blocked opener go: a reader comes, and stays until it is done.
  const int reader = waitedForAReader ? open(pipe.c_str(), O_RDONLY | O_NONBLOCK) : -1;
  creator.join();
  if (reader >= 0) close(reader);
  EXPECT_FALSE(waitedForAReader);
  EXPECT_EQ(error, "Cannot open file for output.");
  EXPECT_EQ(CreateError("/dev/null", 0), "Cannot open file for output.");
}

TEST_F(ClipWriterTest, FirstFrameFieldsLandAt512And345600Later) {
  ClipWriter::Create(path_.c_str(), 2, 0, 720, 240, 29.970026f);
  AlignedBuffer frame(kNtscFrame);
  FillFrame(frame, 1);
  ASSERT_TRUE(ClipWriter::WriteFrame(path_.c_str(), frame.data()));
  ASSERT_TRUE(ClipWriter::Close(path_.c_str()));
  const Bytes bytes = testing::ReadFileBytes(path_);
  ASSERT_EQ(bytes.size(), 512 + kNtscFrame);
  EXPECT_EQ(Bytes(bytes.begin() + 72, bytes.begin() + 512), Bytes(440, 0));
  EXPECT_EQ(0, std::memcmp(bytes.data() + 512, frame.data(), kNtscField));
  EXPECT_EQ(0, std::memcmp(bytes.data() + 512 + 345600, frame.data() + kNtscField, kNtscField));
  EXPECT_FALSE(ClipWriter::Close(path_.c_str()));
}

TEST_F(ClipWriterTest, WriteThenAppendGivesTheBytesOfWriteOnly) {
  const std::string written = folder_ + "/written.rtv";
  const std::string appended = folder_ + "/appended.rtv";
  ClipWriter::Create(written.c_str(), 2, 0, 720, 240, 29.970026f);
  ClipWriter::Create(appended.c_str(), 2, 0, 720, 240, 29.970026f);
  AlignedBuffer frame(kNtscFrame);
  for (int n = 0; n < 4; ++n) {
    FillFrame(frame, n);
    ASSERT_TRUE(ClipWriter::WriteFrame(written.c_str(), frame.data()));
    ASSERT_TRUE(n == 0 ? ClipWriter::WriteFrame(appended.c_str(), frame.data())
                       : ClipWriter::AppendFrame(appended.c_str(), frame.data()));
  }
  ClipWriter::Close(written.c_str());
  ClipWriter::Close(appended.c_str());
  const Bytes expected = testing::ReadFileBytes(written);
  EXPECT_EQ(expected.size(), 512 + 4 * kNtscFrame);
  EXPECT_TRUE(testing::ReadFileBytes(appended) == expected);
}

TEST_F(ClipWriterTest, ReopenedClipContinuesAfterItsLastWholeFrame) {
  ClipWriter::Create(path_.c_str(), 2, 0, 720, 240, 29.970026f);
  AlignedBuffer frame(kNtscFrame);
  FillFrame(frame, 1);
  ASSERT_TRUE(ClipWriter::WriteFrame(path_.c_str(), frame.data()));
  ASSERT_TRUE(ClipWriter::WriteFrame(path_.c_str(), frame.data()));
  // The second frame's second field is lost: only one whole frame remains.
  ASSERT_TRUE(ClipWriter::Close(path_.c_str()));
  ASSERT_EQ(truncate(path_.c_str(), 512 + kNtscFrame + kNtscField + 1000), 0);
  FillFrame(frame, 2);
  ASSERT_TRUE(ClipWriter::WriteFrame(path_.c_str(), frame.data()));
  ASSERT_TRUE(ClipWriter::Close(path_.c_str()));
  const Bytes bytes = testing::ReadFileBytes(path_);
  ASSERT_EQ(bytes.size(), 512 + 2 * kNtscFrame);
  EXPECT_EQ(0, std::memcmp(bytes.data() + 512 + kNtscFrame, frame.data(), kNtscFrame));
}

TEST_F(ClipWriterTest, FailedWritesReturnFalseAndStillAdvanceTheFrameIndex) {
  ClipWriter::Create(path_.c_str(), 2, 0, 720, 240, 29.970026f);
  AlignedBuffer frame(kNtscFrame);
  FillFrame(frame, 0);
  ASSERT_TRUE(ClipWriter::WriteFrame(path_.c_str(), frame.data()));  // frame 0
  FillFrame(frame, 1);
  {
    ScopedFileFault full("clip.rtv", FileFault::DiskFull);
    EXPECT_FALSE(ClipWriter::WriteFrame(path_.c_str(), frame.data()));  // frame 1 lost
  }
  {
    ScopedFileFault full("clip.rtv", FileFault::DiskFull);
    full.AfterBytes(4096);
    EXPECT_FALSE(ClipWriter::AppendFrame(path_.c_str(), frame.data()));  // frame 2: 4096 bytes
  }
  {
    ScopedFileFault broken("clip.rtv", FileFault::WriteError);
    EXPECT_FALSE(ClipWriter::AppendFrame(path_.c_str(), frame.data()));  // frame 3 lost
  }
  AlignedBuffer later(kNtscFrame);
  {
    // Short transfers that the system completes in several calls succeed,
    // and an append after failures lands in its own place.
    ScopedFileFault shorter("clip.rtv", FileFault::ShortWrite, 3);
    FillFrame(later, 4);
    EXPECT_TRUE(ClipWriter::AppendFrame(path_.c_str(), later.data()));  // frame 4
  }
  {
    auto slot = OpenClipTable::Instance().Acquire(path_.c_str());
    EXPECT_EQ(slot->next_frame_index, 5u);
  }
  ASSERT_TRUE(ClipWriter::Close(path_.c_str()));
  const Bytes bytes = testing::ReadFileBytes(path_);
  ASSERT_EQ(bytes.size(), 512 + 5 * kNtscFrame);
  auto frame_bytes = [&](int n) {
    return Bytes(bytes.begin() + 512 + n * kNtscFrame, bytes.begin() + 512 + (n + 1) * kNtscFrame);
  };
  EXPECT_TRUE(frame_bytes(4) == later.ToBytes());
  EXPECT_TRUE(frame_bytes(1) == Bytes(kNtscFrame, 0));
  Bytes partial(kNtscFrame, 0);
  std::copy(frame.data(), frame.data() + 4096, partial.begin());
  EXPECT_TRUE(frame_bytes(2) == partial);
  EXPECT_TRUE(frame_bytes(3) == Bytes(kNtscFrame, 0));
}

TEST_F(ClipWriterTest, MissingClipFailsWithoutMessage) {
  AlignedBuffer frame(1024);
  EXPECT_FALSE(ClipWriter::WriteFrame((folder_ + "/none.rtv").c_str(), frame.data()));
  EXPECT_FALSE(ClipWriter::AppendFrame((folder_ + "/none.rtv").c_str(), frame.data()));
  EXPECT_FALSE(ClipWriter::Close((folder_ + "/none.rtv").c_str()));
}

TEST_F(ClipWriterTest, TwoWritersAndAReaderOnDifferentClipsAtOnce) {
  // 16 x 16 fields (512 bytes): frame sets are exactly two fields.
  constexpr int kFrames = 200;
  const std::string paths[2] = {folder_ + "/w0.rtv", folder_ + "/w1.rtv"};
  const std::string read_path = folder_ + "/r.rtv";
  for (const auto& path : paths) ClipWriter::Create(path.c_str(), 2, 0, 16, 16, 25.0f);
  ClipWriter::Create(read_path.c_str(), 2, 0, 16, 16, 25.0f);
  {
    AlignedBuffer frame(1024);
    for (int n = 0; n < 8; ++n) {
      std::memset(frame.data(), n, 1024);
      ASSERT_TRUE(ClipWriter::WriteFrame(read_path.c_str(), frame.data()));
    }
  }

  std::atomic<int> failures{0};
  auto writer = [&](int which) {
    AlignedBuffer frame(1024);
    for (int n = 0; n < kFrames; ++n) {
      std::memset(frame.data(), (n + which * 100) & 0xFF, 1024);
      const bool ok = n == 0 ? ClipWriter::WriteFrame(paths[which].c_str(), frame.data())
                             : ClipWriter::AppendFrame(paths[which].c_str(), frame.data());
      if (!ok) ++failures;
    }
  };
  auto reader = [&] {
    AlignedBuffer field(512);
    for (int i = 0; i < 4 * kFrames; ++i) {
      auto slot = OpenClipTable::Instance().Acquire(read_path.c_str());
      const std::uint64_t index = i % 16;
      if (!slot || !slot->clip->ReadChunk(index, field.data(), 0) || field.data()[0] != index / 2 ||
          field.data()[511] != index / 2) {
        ++failures;
      }
    }
  };
  std::thread first(writer, 0), second(writer, 1), third(reader);
  first.join();
  second.join();
  third.join();
  EXPECT_EQ(failures.load(), 0);
  for (int which = 0; which < 2; ++which) {
    ClipWriter::Close(paths[which].c_str());
    const Bytes bytes = testing::ReadFileBytes(paths[which]);
    ASSERT_EQ(bytes.size(), 512u + kFrames * 1024);
    for (int n = 0; n < kFrames; ++n) {
      ASSERT_EQ(bytes[512 + n * 1024], (n + which * 100) & 0xFF) << which << " " << n;
      ASSERT_EQ(bytes[512 + n * 1024 + 1023], (n + which * 100) & 0xFF) << which << " " << n;
    }
  }
}

}  // namespace
}  // namespace quellor::clip
