// The open clip file table: eight slots by path, random replacement, and
// reopening that continues after the last whole frame.
#include "cliplib/clip/OpenClipTable.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <win32/testing/SystemCalls.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <string>

#include "ClipTestSupport.h"
#include "cliplib/clip/ClipWriter.h"
#include "quellor/testing/ScratchFolder.h"

namespace quellor::clip {
namespace {

using testing::AlignedBuffer;
using testing::Bytes;
using testing::StreamSpec;

// 16 x 16 fields of 512 bytes: one frame set is exactly the two fields.
StreamSpec SmallField() {
  StreamSpec s;
  s.chunk_size = 512;
  s.active_line_length = 32;
  s.lines = 16;
  return s;
}

class OpenClipTableTest : public ::testing::Test {
 protected:
  quellor::testing::ScratchFolder scratch_{"cliplib"};  // first made, last removed
  void SetUp() override {
    OpenClipTable::Instance().CloseAll();
    folder_ = scratch_.path();
  }
  void TearDown() override { OpenClipTable::Instance().CloseAll(); }

  // A clip of `frames` whole frames and, if `partial`, half a frame more.
  std::string MakeClip(const std::string& name, std::uint32_t frames, bool partial = false) {
    Bytes bytes = testing::RtvFile({SmallField(), SmallField()}, frames);
    if (partial) bytes.resize(bytes.size() + 512, 0xCC);
    const std::string path = folder_ + "/" + name;
    testing::WriteFileBytes(path, bytes);
    return path;
  }

  std::string folder_;
};

TEST_F(OpenClipTableTest, SlotDescribesTheClipAndContinuesAfterWholeFrames) {
  const std::string path = MakeClip("a.rtv", 3, true);
  OpenClipTable::LockedSlot slot = OpenClipTable::Instance().Acquire(path.c_str());
  ASSERT_TRUE(slot);
  EXPECT_STREQ(slot->path, path.c_str());
  EXPECT_NE(slot->path, path.c_str());  // its own copy
  EXPECT_EQ(slot->pixels_per_line, 16u);
  EXPECT_EQ(slot->lines, 16u);
  EXPECT_EQ(slot->field_bytes, 512u);
  EXPECT_EQ(slot->clip->FieldCount(), 7u);
  EXPECT_EQ(slot->next_frame_index, 3u);
}

TEST_F(OpenClipTableTest, SamePathGivesSameSlotAndCloseReportsWhetherItWasOpen) {
  const std::string path = MakeClip("a.rtv", 1);
  OpenClipSlot* first = nullptr;
  {
    auto slot = OpenClipTable::Instance().Acquire(path.c_str());
    ASSERT_TRUE(slot);
    first = &*slot;
    slot->next_frame_index = 42;
  }
  {
    auto slot = OpenClipTable::Instance().Acquire(path.c_str());
    EXPECT_EQ(&*slot, first);
    EXPECT_EQ(slot->next_frame_index, 42u);
  }
  // Paths compare byte for byte: another spelling is another slot.
  EXPECT_FALSE(OpenClipTable::Instance().Close((folder_ + "/./a.rtv").c_str()));
  EXPECT_TRUE(OpenClipTable::Instance().Close(path.c_str()));
  EXPECT_FALSE(OpenClipTable::Instance().Close(path.c_str()));
  EXPECT_TRUE(OpenClipTable::Instance().Close(nullptr));
  EXPECT_TRUE(OpenClipTable::Instance().OpenPaths().empty());
}

TEST_F(OpenClipTableTest, UnopenableClipGivesNoSlot) {
  const std::string bad = folder_ + "/bad.rtv";
  testing::WriteFileBytes(bad, Bytes(100, 0));
  EXPECT_FALSE(OpenClipTable::Instance().Acquire(bad.c_str()));
  EXPECT_FALSE(OpenClipTable::Instance().Acquire((folder_ + "/none.rtv").c_str()));
  EXPECT_FALSE(OpenClipTable::Instance().Acquire(nullptr));
  EXPECT_TRUE(OpenClipTable::Instance().OpenPaths().empty());
}

TEST_F(OpenClipTableTest, NinePathsThroughEightSlotsReplaceAtRandom) {
  std::array<std::string, 9> paths;
  for (int i = 0; i < 9; ++i) paths[i] = MakeClip("clip" + std::to_string(i) + ".rtv", 2);

  // The slot of each new path is rand() & 7, even while others are empty.
  constexpr unsigned kSeed = 20240;
  std::srand(kSeed);
  std::array<std::string, 8> expected;
  for (const auto& path : paths) expected[std::rand() & 7] = path;

  std::srand(kSeed);
  for (const auto& path : paths) ASSERT_TRUE(OpenClipTable::Instance().Acquire(path.c_str()));
  std::vector<std::string> want;
  for (const auto& path : expected) {
    if (!path.empty()) want.push_back(path);
  }
  EXPECT_EQ(OpenClipTable::Instance().OpenPaths(), want);
  EXPECT_LT(want.size(), 9u);
}

// Every size query of the read-write descriptors of one file fails after
// the first (the one its open makes), as on a server that went away.
struct SizeQueriesFail : quellor::win32::testing::SystemCalls {
  quellor::win32::testing::SystemCalls& real = quellor::win32::testing::RealSystemCalls();
  std::string path_part;
  std::map<int, int> queries;  // read-write descriptor of the file: size queries so far
  explicit SizeQueriesFail(std::string part) : path_part(std::move(part)) {}
  int open(const char* p, int f, mode_t m) override {
    const int fd = real.open(p, f, m);
    if (fd >= 0 && (f & O_ACCMODE) == O_RDWR && std::string(p).find(path_part) != std::string::npos)
      queries[fd] = 0;
    return fd;
  }
  int close(int fd) override {
    queries.erase(fd);
    return real.close(fd);
  }
  ssize_t read(int fd, void* b, std::size_t n) override { return real.read(fd, b, n); }
  ssize_t write(int fd, const void* b, std::size_t n) override { return real.write(fd, b, n); }
  off_t lseek(int fd, off_t o, int w) override { return real.lseek(fd, o, w); }
  int fstat(int fd, struct stat* s) override {
    auto it = queries.find(fd);
    if (it != queries.end() && it->second++ > 0) {
      errno = EIO;
      return -1;
    }
    return real.fstat(fd, s);
  }
  int ftruncate(int fd, off_t l) override { return real.ftruncate(fd, l); }
  int fsync(int fd) override { return real.fsync(fd); }
};

TEST_F(OpenClipTableTest, AClipWhoseSizeCannotBeHadIsNotWrittenFromItsStart) {
  const std::string path = MakeClip("sizeless.rtv", 2);
  const Bytes before = testing::ReadFileBytes(path);
  AlignedBuffer frame(1024, 0xAB);
  {
    SizeQueriesFail failing("sizeless.rtv");
    quellor::win32::testing::ScopedSystemCalls scope(failing);
    EXPECT_FALSE(ClipWriter::WriteFrame(path.c_str(), frame.data()));
    EXPECT_FALSE(OpenClipTable::Instance().Acquire(path.c_str()));
  }
  OpenClipTable::Instance().CloseAll();
  EXPECT_EQ(testing::ReadFileBytes(path), before);  // frame 0 is still the clip's own
}

TEST_F(OpenClipTableTest, EvictedPathReopensAfterItsLastWholeFrame) {
  const std::string path = MakeClip("evicted.rtv", 2, true);
  AlignedBuffer frame(1024, 0xAB);
  // Fill every slot with others until `path` has been replaced.
  std::srand(7);
  ASSERT_TRUE(ClipWriter::WriteFrame(path.c_str(), frame.data()));  // frame 2
  auto is_open = [&] {
    const auto open = OpenClipTable::Instance().OpenPaths();
    return std::find(open.begin(), open.end(), path) != open.end();
  };
  for (int i = 0; is_open(); ++i) {
    ASSERT_LT(i, 200);
    ASSERT_TRUE(OpenClipTable::Instance().Acquire(MakeClip("o" + std::to_string(i), 1).c_str()));
  }
  AlignedBuffer next(1024, 0xCD);
  ASSERT_TRUE(ClipWriter::WriteFrame(path.c_str(), next.data()));  // reopened: frame 3
  OpenClipTable::Instance().CloseAll();

  Bytes expected = testing::RtvFile({SmallField(), SmallField()}, 2);
  expected.resize(expected.size() + 1024, 0xAB);
  expected.resize(expected.size() + 1024, 0xCD);
  EXPECT_EQ(testing::ReadFileBytes(path), expected);
}

}  // namespace
}  // namespace quellor::clip
