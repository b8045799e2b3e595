// The reader given what an attacker would give it: a pipe for a file, more
// streams than any clip has, chunks far larger than the file.
#include "cliplib/clip/ClipFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "ClipTestSupport.h"
#include "quellor/testing/ScratchFolder.h"

namespace quellor::clip {
namespace {

using testing::Bytes;
using testing::StreamSpec;

std::string OpenError(const std::string& path) {
  try {
    ClipFile::Open(path.c_str());
  } catch (const char* text) {
    return text;
  }
  return "";
}

StreamSpec Video(std::uint32_t chunk_size) {
  StreamSpec s;
  s.chunk_size = chunk_size;
  return s;
}

// The scratch folder of these cases, removed when the program ends.
std::string Scratch() {
  static const quellor::testing::ScratchFolder folder("cliplib_hostile");
  return folder.path();
}

TEST(ClipFileHostile, APipeIsNotOpenedAtAll) {
  const std::string path = Scratch() + "/pipe.rtv";
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  EXPECT_EQ(OpenError(path), "The file is not a regular file.");  // at once: no writer needed
  EXPECT_EQ(OpenError(Scratch()), "The file is not a regular file.");
}

TEST(ClipFileHostile, StreamsAreBoundedOnceTheirHeadersAreAllThere) {
  const std::string path = Scratch() + "/streams.rtv";
  testing::WriteFileBytes(path, testing::RtvHeaders(std::vector<StreamSpec>(1024, Video(512))));
  EXPECT_EQ(OpenError(path), "");
  testing::WriteFileBytes(path, testing::RtvHeaders(std::vector<StreamSpec>(1026, Video(512))));
  EXPECT_EQ(OpenError(path), "There are too many streams in the file.");
}

TEST(ClipFileHostile, BuffersAreTakenOnlyForChunksTheFileHolds) {
  // 512 streams of chunks just under 4 GiB: opening maps nothing.
  const std::string path = Scratch() + "/huge.rtv";
  testing::WriteFileBytes(path,
                          testing::RtvHeaders(std::vector<StreamSpec>(512, Video(0xFFFFFE00u))));
  auto clip = ClipFile::Open(path.c_str());
  ASSERT_EQ(clip->video_stream_count(), 512u);
  EXPECT_FALSE(clip->ChunkInFile(0, 0));
  EXPECT_EQ(clip->ReadChunk(0, 0), nullptr);
  // A chunk that is there gets its buffer on the first read.
  testing::WriteFileBytes(path, testing::RtvFile({Video(512), Video(512)}, 1));
  clip = ClipFile::Open(path.c_str());
  EXPECT_TRUE(clip->ChunkInFile(1, 0));
  EXPECT_FALSE(clip->ChunkInFile(2, 0));
  EXPECT_NE(clip->ReadChunk(1, 0), nullptr);
  EXPECT_EQ(clip->ReadChunk(1, 0), clip->video_stream(1)->conversion_buffer());
}

}  // namespace
}  // namespace quellor::clip
