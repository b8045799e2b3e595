// Positioned chunk reads and writes, the position cache and conversion
// through the video stream contexts.
#include "cliplib/clip/ClipFile.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <win32/testing/FileFaults.h>

#include <string>

#include "ClipTestSupport.h"
#include "quellor/testing/ScratchFolder.h"

namespace quellor::clip {
namespace {

using quellor::win32::testing::FileFault;
using quellor::win32::testing::ScopedFileFault;
using testing::AlignedBuffer;
using testing::Bytes;
using testing::StreamSpec;

StreamSpec Video(std::uint32_t chunk_size) {
  StreamSpec s;
  s.chunk_size = chunk_size;
  return s;
}

class ClipFileChunks : public ::testing::Test {
 protected:
  quellor::testing::ScratchFolder scratch_{"cliplib"};  // first made, last removed
  void SetUp() override {
    path_ = scratch_.path() + "/clip.rtv";
    // Two tracks: streams of 512, 1024, 512 and 1536 bytes, 3 frame sets.
    testing::WriteFileBytes(path_, testing::RtvFile(streams_, 3));
    clip_ = ClipFile::Open(path_.c_str());
  }

  const std::vector<StreamSpec> streams_ = {Video(512), Video(1024), Video(512), Video(1536)};
  std::string path_;
  std::unique_ptr<ClipFile> clip_;
};

TEST_F(ClipFileChunks, FieldIndexSelectsStreamAndFrameSet) {
  EXPECT_EQ(clip_->header().frame_set_size, 3584u);
  EXPECT_EQ(clip_->FieldCount(), 6u);
  struct Case {
    std::uint64_t field;
    int track;
    std::uint8_t fill;  // (frame set x 16 + stream + 1)
    std::size_t bytes;
  } cases[] = {{0, 0, 1, 512},  {1, 0, 2, 1024},  {0, 1, 3, 512},   {1, 1, 4, 1536},
               {4, 0, 33, 512}, {5, 1, 36, 1536}, {3, 0, 18, 1024}, {2, 1, 19, 512}};
  for (const Case& c : cases) {
    AlignedBuffer chunk(c.bytes + 512, 0xEE);
    ASSERT_TRUE(clip_->ReadChunk(c.field, chunk.data(), c.track)) << c.field << "/" << c.track;
    Bytes expected(c.bytes, c.fill);
    expected.resize(c.bytes + 512, 0xEE);  // exactly one chunk is read
    EXPECT_EQ(chunk.ToBytes(), expected) << c.field << "/" << c.track;
  }
}

TEST_F(ClipFileChunks, ReadIntoConversionBufferReturnsIt) {
  std::uint8_t* buffer = clip_->ReadChunk(3, 1);
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer, clip_->video_stream(3)->conversion_buffer());
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(buffer) % 4096, 0u);
  EXPECT_EQ(buffer[0], 20);
  EXPECT_EQ(buffer[1535], 20);
}

TEST_F(ClipFileChunks, ReadsPastTheEndOrOfMissingTracksFail) {
  AlignedBuffer chunk(2048);
  EXPECT_FALSE(clip_->ReadChunk(6, chunk.data(), 0));
  EXPECT_FALSE(clip_->ReadChunk(0, chunk.data(), 2));
  EXPECT_FALSE(clip_->ReadChunk(0, nullptr, 0));
  EXPECT_EQ(clip_->ReadChunk(7, 1), nullptr);
  // After failures the cache must still lead to the right bytes.
  ASSERT_TRUE(clip_->ReadChunk(1, chunk.data(), 0));
  EXPECT_EQ(chunk.data()[0], 2);
}

TEST_F(ClipFileChunks, ShortReadOfCutFileFailsAndCountsOnlyWholeFields) {
  Bytes bytes = testing::RtvFile(streams_, 2);
  bytes.resize(bytes.size() - 512);
  testing::WriteFileBytes(path_ + ".cut", bytes);
  auto clip = ClipFile::Open((path_ + ".cut").c_str());
  EXPECT_EQ(clip->FieldCount(), 3u);  // (7168 - 512) x 2 / 3584
  AlignedBuffer chunk(1536);
  EXPECT_FALSE(clip->ReadChunk(3, chunk.data(), 1));  // 1024 of 1536 bytes there
  EXPECT_TRUE(clip->ReadChunk(2, chunk.data(), 1));
}

TEST_F(ClipFileChunks, WriteChunkLandsAtItsOffsetOnly) {
  AlignedBuffer chunk(1024, 0xA5);
  ASSERT_TRUE(clip_->WriteChunk(3, chunk.data(), 0));  // stream 1, frame set 1
  AlignedBuffer past(512, 0x5A);
  ASSERT_TRUE(clip_->WriteChunk(6, past.data(), 1));  // stream 2, frame set 3: extends the file
  clip_->Close();

  Bytes expected = testing::RtvFile(streams_, 3);
  std::fill(expected.begin() + 512 + 3584 + 512, expected.begin() + 512 + 3584 + 1536, 0xA5);
  expected.resize(512 + 3 * 3584 + 2048, 0);  // stream 2 of frame set 3 ends the file
  std::fill(expected.end() - 512, expected.end(), 0x5A);
  EXPECT_EQ(testing::ReadFileBytes(path_), expected);
}

TEST_F(ClipFileChunks, SequentialWriteFollowsTheLastTransfer) {
  AlignedBuffer chunk(1024, 0x77);
  ASSERT_TRUE(clip_->ReadChunk(0, chunk.data(), 0));  // position 512 + 512
  ASSERT_TRUE(clip_->WriteAtCurrentPosition(chunk.data(), 512));
  // The cache forgot its position: a read of field 0 seeks again.
  ASSERT_TRUE(clip_->ReadChunk(0, chunk.data(), 0));
  EXPECT_EQ(chunk.data()[0], 1);
  ASSERT_TRUE(clip_->ReadChunk(1, chunk.data(), 0));
  clip_->Close();
  const Bytes bytes = testing::ReadFileBytes(path_);
  EXPECT_EQ(bytes[1024], 1);
  EXPECT_EQ(bytes[1535], 1);
  EXPECT_EQ(bytes[1536], 2);
}

TEST_F(ClipFileChunks, ReadErrorsAndShortWritesReportFailure) {
  AlignedBuffer chunk(1536, 0x11);
  {
    ScopedFileFault fault("clip.rtv", FileFault::ReadError);
    EXPECT_FALSE(clip_->ReadChunk(0, chunk.data(), 0));
  }
  {
    ScopedFileFault fault("clip.rtv", FileFault::DiskFull);
    fault.AfterBytes(512);
    EXPECT_FALSE(clip_->WriteChunk(1, chunk.data(), 0));  // 1024 bytes, 512 fit
  }
  // The position advanced by what was written; the next reads still land.
  ASSERT_TRUE(clip_->ReadChunk(3, chunk.data(), 1));
  EXPECT_EQ(chunk.data()[0], 20);
  ASSERT_TRUE(clip_->ReadChunk(1, chunk.data(), 0));
  EXPECT_EQ(chunk.data()[0], 0x11);
  EXPECT_EQ(chunk.data()[511], 0x11);
  EXPECT_EQ(chunk.data()[512], 2);
}

TEST_F(ClipFileChunks, CachedReadsDeliverTheSameBytesAsUnbufferedOnes) {
  for (std::uint64_t field = 0; field < 6; ++field) {
    for (int track : {0, 1}) {
      const std::uint32_t size = clip_->StreamForField(field, track)->chunk_size();
      AlignedBuffer direct(size);
      ASSERT_TRUE(clip_->ReadChunk(field, direct.data(), track)) << field << "/" << track;
      const std::uint8_t* cached = clip_->ReadChunkCached(field, track);
      ASSERT_NE(cached, nullptr) << field << "/" << track;
      EXPECT_EQ(cached, clip_->StreamForField(field, track)->conversion_buffer());
      EXPECT_EQ(Bytes(cached, cached + size), direct.ToBytes()) << field << "/" << track;
    }
  }
  EXPECT_EQ(clip_->ReadChunkCached(6, 0), nullptr);  // past the end
  EXPECT_EQ(clip_->ReadChunkCached(0, 2), nullptr);  // no such track
}

TEST_F(ClipFileChunks, CachedReadsSeeUnbufferedWritesAndKeepTheStreamingPosition) {
  ASSERT_NE(clip_->ReadChunkCached(3, 0), nullptr);  // the old bytes are cached now
  AlignedBuffer chunk(1024, 0xA5);
  ASSERT_TRUE(clip_->WriteChunk(3, chunk.data(), 0));
  const std::uint8_t* cached = clip_->ReadChunkCached(3, 0);
  ASSERT_NE(cached, nullptr);
  EXPECT_EQ(Bytes(cached, cached + 1024), chunk.ToBytes());
  // The cached handle has a position of its own: a sequential write after
  // cached reads still follows the last unbuffered transfer.
  ASSERT_NE(clip_->ReadChunkCached(0, 1), nullptr);
  AlignedBuffer next(512, 0x3C);
  ASSERT_TRUE(clip_->WriteAtCurrentPosition(next.data(), 512));  // stream 2 of frame set 1
  clip_->Close();
  const Bytes bytes = testing::ReadFileBytes(path_);
  EXPECT_EQ(bytes[512 + 3584 + 1536], 0x3C);
  EXPECT_EQ(bytes[512 + 3584 + 1536 + 511], 0x3C);
  EXPECT_EQ(bytes[512 + 3584 + 2048], 20);
}

TEST_F(ClipFileChunks, CachedReadsOfCutFilesAndFailingDisksFail) {
  Bytes bytes = testing::RtvFile(streams_, 2);
  bytes.resize(bytes.size() - 512);
  testing::WriteFileBytes(path_ + ".cut", bytes);
  auto clip = ClipFile::Open((path_ + ".cut").c_str());
  EXPECT_EQ(clip->ReadChunkCached(3, 1), nullptr);  // 1024 of 1536 bytes there
  ASSERT_NE(clip->ReadChunkCached(2, 1), nullptr);
  // The file is cut behind the chunk's header claims once it was opened.
  bytes.resize(bytes.size() - 2048);
  testing::WriteFileBytes(path_ + ".cut", bytes);
  EXPECT_EQ(clip->ReadChunkCached(2, 1), nullptr);
  {
    ScopedFileFault fault("clip.rtv", FileFault::ReadError, -1);
    EXPECT_EQ(clip_->ReadChunkCached(0, 0), nullptr);
  }
  {
    // Short transfers are taken up again: only the number of calls changes.
    ScopedFileFault fault("clip.rtv", FileFault::ShortRead, 3);
    const std::uint8_t* cached = clip_->ReadChunkCached(1, 0);
    ASSERT_NE(cached, nullptr);
    EXPECT_EQ(Bytes(cached, cached + 1024), Bytes(1024, 2));
    EXPECT_GT(fault.Triggered(), 0);
  }
}

TEST(VideoStreamContext, DecodeAndEncodeConvertOneFieldThroughTheBuffer) {
  const quellor::testing::ScratchFolder scratch("cliplib");
  const std::string path = scratch.path() + "/grey.rtv";
  StreamSpec field = Video(1024);
  field.active_line_length = 32;  // 16 pixels
  field.lines = 2;
  Bytes bytes = testing::RtvFile({field, field}, 1);
  // First field: black, 4:2:2 bytes Cb Y Cr Y.
  for (int i = 0; i < 64; i += 4) {
    bytes[512 + i] = 128;
    bytes[512 + i + 1] = 16;
    bytes[512 + i + 2] = 128;
    bytes[512 + i + 3] = 16;
  }
  testing::WriteFileBytes(path, bytes);
  auto clip = ClipFile::Open(path.c_str());
  ASSERT_NE(clip->ReadChunk(0, 0), nullptr);
  VideoStreamContext* stream = clip->video_stream(0);
  Bytes bgra(32 * 4 + 4, 0xEE);
  stream->Decode(bgra.data());
  for (int p = 0; p < 32; ++p) {
    ASSERT_EQ(bgra[p * 4 + 0], 0) << p;
    ASSERT_EQ(bgra[p * 4 + 3], 255) << p;
  }
  EXPECT_EQ(bgra[128], 0xEE);  // 16 x 2 pixels and no more

  Bytes white(32 * 4, 255);
  stream->Encode(white.data());
  EXPECT_EQ(stream->conversion_buffer()[0], 128);
  EXPECT_EQ(stream->conversion_buffer()[1], 235);
  EXPECT_EQ(stream->conversion_buffer()[63], 235);
  EXPECT_EQ(stream->conversion_buffer()[64], 1);  // the rest of the chunk is untouched
}

TEST(VideoStreamContext, ConversionNeverLeavesTheChunk) {
  // Lines claimed longer than the chunk: only the chunk's pixels convert.
  const quellor::testing::ScratchFolder scratch("cliplib");
  const std::string path = scratch.path() + "/liar.rtv";
  StreamSpec field = Video(512);
  field.active_line_length = 1440;
  field.lines = 240;
  testing::WriteFileBytes(path, testing::RtvFile({field, field}, 1));
  auto clip = ClipFile::Open(path.c_str());
  Bytes bgra(256 * 4 + 4, 0xEE);
  clip->video_stream(0)->Decode(bgra.data());
  EXPECT_EQ(bgra[256 * 4], 0xEE);
  clip->video_stream(0)->Encode(bgra.data());
}

}  // namespace
}  // namespace quellor::clip
