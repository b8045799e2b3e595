// rtvtool against mistakes and hostile files: outputs that would destroy an
// input, failed jobs, pipes where clips belong, headers that claim more than
// the file holds, rates JSON cannot carry and YUV4MPEG2 streams its own
// error texts exclude.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "Commands.h"

namespace quellor::rtvtool {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

struct ToolRun {
  int status;
  std::string out;
  std::string err;
};

ToolRun Tool(const Arguments& args) {
  std::ostringstream out, err;
  const int status = RunCommand(args, out, err);
  return {status, out.str(), err.str()};
}

Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void Put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

struct Stream {
  std::uint32_t chunk_size;
  std::uint32_t active_line_length;
  std::uint32_t lines;
};

// A clip header: "FMTR", type 1, the given streams (all video, YCbCr 4:2:2),
// padded with zeros to `size` bytes.
Bytes ClipBytes(std::uint32_t stream_count, std::uint32_t frame_set_size, float field_rate,
                const Stream& stream, std::size_t size, std::uint32_t data_offset = 512) {
  Bytes bytes(std::max<std::size_t>(size, 24 + 24 * std::size_t{stream_count}), 0);
  std::memcpy(bytes.data(), "FMTR", 4);
  Put32(bytes, 4, 1);
  Put32(bytes, 8, data_offset);
  Put32(bytes, 12, stream_count);
  Put32(bytes, 16, frame_set_size);
  std::uint32_t rate_bits = 0;
  std::memcpy(&rate_bits, &field_rate, sizeof rate_bits);
  Put32(bytes, 20, rate_bits);
  for (std::uint32_t i = 0; i < stream_count; ++i) {
    const std::size_t at = 24 + 24 * std::size_t{i};
    bytes[at] = 1;
    bytes[at + 2] = 8;
    Put32(bytes, at + 4, stream.chunk_size);
    Put32(bytes, at + 12, 1716);
    Put32(bytes, at + 16, stream.active_line_length);
    Put32(bytes, at + 20, stream.lines);
  }
  return bytes;
}

// One track of 16 x 8 pixel fields (256 bytes in a 512-byte chunk), `frames`
// whole frames.
Bytes SmallClip(int frames, float field_rate = 50.0f) {
  return ClipBytes(2, 1024, field_rate, {512, 32, 8}, 512 + 1024 * std::size_t(frames));
}

Bytes SmallY4m(const std::string& header, int frames) {
  Bytes bytes(header.begin(), header.end());
  for (int f = 0; f < frames; ++f) {
    const std::string word = "FRAME\n";
    bytes.insert(bytes.end(), word.begin(), word.end());
    bytes.resize(bytes.size() + 32 * 32 * 2, static_cast<std::uint8_t>(16 + f));
  }
  return bytes;
}

const std::string kY4mHeader = "YUV4MPEG2 W32 H32 F25:1 It A1:1 C422\n";

class RtvToolSafetyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* root = std::getenv("QUELLOR_TEST_TMP");
    folder_ = fs::path(root ? root : fs::temp_directory_path().c_str()) /
              (std::string("rtvtool_safety.") +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  std::string At(const std::string& name) const { return (folder_ / name).string(); }
  // The names in the folder, sorted: what a job left behind.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  fs::path folder_;
};

TEST_F(RtvToolSafetyTest, AnOutputThatIsAnInputIsRefusedUnderAnyName) {
  WriteBytes(At("a.rtv"), SmallClip(2));
  fs::create_hard_link(At("a.rtv"), At("same.rtv"));
  const Bytes clip = ReadBytes(At("a.rtv"));
  for (const Arguments& args : std::vector<Arguments>{
           {"to-y4m", At("a.rtv"), "-o", At("a.rtv")},
           {"to-y4m", At("a.rtv"), "-o", At("same.rtv")},
           {"export", At("a.rtv"), "--frame", "0", "-o", folder_.string() + "/./a.rtv"},
           {"from-y4m", At("a.rtv"), "-o", At("same.rtv")}}) {
    const ToolRun run = Tool(args);
    EXPECT_EQ(run.status, 1) << args[0];
    EXPECT_NE(run.err.find("is the same file as the input"), std::string::npos) << run.err;
    EXPECT_TRUE(ReadBytes(At("a.rtv")) == clip) << args[0];
  }
  WriteBytes(At("x.y4m"), SmallY4m(kY4mHeader, 1));
  const ToolRun run = Tool({"from-y4m", At("x.y4m"), "-o", At("x.y4m")});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(ReadBytes(At("x.y4m")) == SmallY4m(kY4mHeader, 1));
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.rtv", "same.rtv", "x.y4m"}));
}

TEST_F(RtvToolSafetyTest, AFailedJobLeavesTheOldOutputAndNoPartialFile) {
  const Bytes old = {'o', 'l', 'd'};
  // from-y4m: the second frame is cut short.
  Bytes cut = SmallY4m(kY4mHeader, 2);
  cut.resize(cut.size() - 10);
  WriteBytes(At("cut.y4m"), cut);
  WriteBytes(At("out.rtv"), old);
  EXPECT_EQ(Tool({"from-y4m", At("cut.y4m"), "-o", At("out.rtv")}).status, 1);
  EXPECT_TRUE(ReadBytes(At("out.rtv")) == old);
  // to-y4m: the second field's chunk is 1024 bytes, so frame 1's second
  // field runs past the end of the file.
  Bytes clip = SmallClip(2);
  Put32(clip, 24 + 24 + 4, 1024);
  WriteBytes(At("short.rtv"), clip);
  WriteBytes(At("out.y4m"), old);
  const ToolRun run = Tool({"to-y4m", At("short.rtv"), "-o", At("out.y4m")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot read frame 1"), std::string::npos) << run.err;
  EXPECT_TRUE(ReadBytes(At("out.y4m")) == old);
  // A job that succeeds replaces the old file whole.
  ASSERT_EQ(Tool({"generate", "--standard", "pal", "--frames", "1", "-o", At("out.rtv")}).status,
            0);
  EXPECT_EQ(ReadBytes(At("out.rtv")).size(), 512u + 829440);
  EXPECT_EQ(Names(), (std::vector<std::string>{"cut.y4m", "out.rtv", "out.y4m", "short.rtv"}));
}

TEST_F(RtvToolSafetyTest, APipeWhereAClipBelongsIsRefusedWithoutWaiting) {
  ASSERT_EQ(mkfifo(At("pipe.rtv").c_str(), 0600), 0);
  for (const Arguments& args : std::vector<Arguments>{
           {"info", At("pipe.rtv")}, {"to-y4m", At("pipe.rtv"), "-o", At("out.y4m")}}) {
    const ToolRun run = Tool(args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "rtvtool: " + At("pipe.rtv") + ": The file is not a regular file.\n");
  }
  EXPECT_EQ(Names(), (std::vector<std::string>{"pipe.rtv"}));
}

TEST_F(RtvToolSafetyTest, StreamCountsAreBoundedAndCostNothingUntilRead) {
  // 70,000 streams: refused at once, not one mapping each until memory runs out.
  const Stream small{512, 32, 8};
  WriteBytes(At("many.rtv"), ClipBytes(70000, 512, 50.0f, small, 0));
  ToolRun run = Tool({"info", At("many.rtv")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "rtvtool: " + At("many.rtv") + ": There are too many streams in the file.\n");
  // 1024 streams of 64 MiB chunks each open: nothing is allocated per stream
  // before it is read.
  WriteBytes(At("wide.rtv"), ClipBytes(1024, 0xFFFFFE00u, 50.0f, {64u << 20, 1440, 240}, 0));
  run = Tool({"info", At("wide.rtv")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("Stream count: 1024"), std::string::npos);
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
TEST_F(RtvToolSafetyTest, HugeChunksOfASmallFileAllocateNothingBeyondIt) {
  // Chunks just under 4 GiB with lines to match, in a 2 MB file: the fields
  // cannot be read, so nothing of their size may be allocated. Run under a
  // 1 GiB address-space limit, where such an allocation fails.
  WriteBytes(At("huge.rtv"), ClipBytes(2, 1024, 50.0f, {0xFFFFFE00u, 0x7FFFFF00u, 2}, 2u << 20));
  int pipe_ends[2];
  ASSERT_EQ(pipe(pipe_ends), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const rlimit limit{1u << 30, 1u << 30};
    setrlimit(RLIMIT_AS, &limit);
    const ToolRun run = Tool({"to-y4m", At("huge.rtv"), "-o", At("out.y4m")});
    (void)!write(pipe_ends[1], run.err.data(), run.err.size());
    _exit(run.status);
  }
  close(pipe_ends[1]);
  std::string err;
  char chunk[256];
  for (ssize_t got; (got = read(pipe_ends[0], chunk, sizeof chunk)) > 0;) err.append(chunk, got);
  close(pipe_ends[0]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(err, "rtvtool: " + At("huge.rtv") + ": cannot read frame 0\n");
  EXPECT_FALSE(fs::exists(At("out.y4m")));
}
#endif

TEST_F(RtvToolSafetyTest, RatesThatAreNotNumbersStayValidJsonAndAreRefusedForY4m) {
  WriteBytes(At("nan_rate.rtv"), SmallClip(1, std::numeric_limits<float>::quiet_NaN()));
  WriteBytes(At("infinite_rate.rtv"), SmallClip(1, std::numeric_limits<float>::infinity()));
  ToolRun run = Tool({"info", At("nan_rate.rtv"), "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("\"field_rate\": null, \"field_rate_bits\": 2143289344},"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("\n  \"field_rate\": null, \"field_rate_bits\": 2143289344,\n"),
            std::string::npos)
      << run.out;
  run = Tool({"info", At("infinite_rate.rtv"), "--json"});
  EXPECT_NE(run.out.find("\"field_rate\": null, \"field_rate_bits\": 2139095040"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(run.out.find(": inf"), std::string::npos) << run.out;

  for (const char* name : {"nan_rate.rtv", "infinite_rate.rtv"}) {
    run = Tool({"to-y4m", At(name), "-o", At("out.y4m")});
    EXPECT_EQ(run.status, 1) << name;
    EXPECT_NE(run.err.find("is not a frame rate a YUV4MPEG2 stream can carry"), std::string::npos)
        << run.err;
  }
  WriteBytes(At("slow.rtv"), SmallClip(1, 1.0e-9f));
  EXPECT_EQ(Tool({"to-y4m", At("slow.rtv"), "-o", At("out.y4m")}).status, 1);
  EXPECT_FALSE(fs::exists(At("out.y4m")));
}

TEST_F(RtvToolSafetyTest, FromY4mTakesExactlyWhatItsTextsSay) {
  struct Case {
    Bytes stream;
    std::string reason;
  };
  Bytes cut_word = SmallY4m(kY4mHeader, 1);
  const std::string fra = "FRA";
  cut_word.insert(cut_word.end(), fra.begin(), fra.end());
  Bytes long_word = SmallY4m(kY4mHeader, 1);
  const std::string frames = "FRAMES\n";
  long_word.insert(long_word.end(), frames.begin(), frames.end());
  long_word.resize(long_word.size() + 32 * 32 * 2);
  const Case cases[] = {
      {cut_word, "frame 1 lacks its FRAME line"},
      {long_word, "frame 1 lacks its FRAME line"},
      {SmallY4m("YUV4MPEG2 W32 H32 F25:1 Ip A1:1 C422\n", 1),
       "only top-field-first (It) input can become a clip"},
      {SmallY4m("YUV4MPEG2 W32 H32 F25:1 A1:1 C422\n", 1),
       "only top-field-first (It) input can become a clip"},
      {SmallY4m("YUV4MPEG2 W32 H32 F25:1 I? A1:1 C422\n", 1),
       "only top-field-first (It) input can become a clip"},
  };
  for (const Case& c : cases) {
    WriteBytes(At("in.y4m"), c.stream);
    const ToolRun run = Tool({"from-y4m", At("in.y4m"), "-o", At("out.rtv")});
    EXPECT_EQ(run.status, 1) << c.reason;
    EXPECT_EQ(run.err, "rtvtool: " + At("in.y4m") + ": " + c.reason + "\n");
    EXPECT_FALSE(fs::exists(At("out.rtv")));
  }
  // Frame parameters after the word are allowed.
  Bytes with_parameters = SmallY4m(kY4mHeader, 1);
  const std::string word = "FRAME Ixyz\n";
  with_parameters.insert(with_parameters.end(), word.begin(), word.end());
  with_parameters.resize(with_parameters.size() + 32 * 32 * 2);
  WriteBytes(At("in.y4m"), with_parameters);
  const ToolRun run = Tool({"from-y4m", At("in.y4m"), "-o", At("out.rtv")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadBytes(At("out.rtv")).size(), 512u + 2 * 2048);
}

}  // namespace
}  // namespace quellor::rtvtool
