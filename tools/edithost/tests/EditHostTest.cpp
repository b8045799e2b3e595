// edithost against the built rtvbridge.so: usage, discovery, info, reading
// and writing in every format, clips passed to and from rtvtool, and
// recording and playing on the board's hand-driven field clock.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <atomic>
#include <csignal>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "Commands.h"
#include "board/BoardControl.h"
#include "board/testing/BoardClock.h"
#include "quellor/testing/BoardReset.h"

namespace quellor::edithost {
namespace {

class EditHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* root = std::getenv("QUELLOR_TEST_TMP");
    const char* bin = std::getenv("QUELLOR_BIN");
    bin_ = bin ? bin : ".";
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = (std::filesystem::path(root ? root : "/tmp") / "edithost" / info->name()).string();
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_ + "/windows");
    std::filesystem::create_directories(folder_ + "/board");
    std::ofstream(folder_ + "/windows/VideoQuellor.ini")
        << "[VideoQuellor Configuration]\nRefresh Rate Warning=0\nVideoMode=" << VideoMode()
        << "\nEdgeWrightVideoPreviewIn=0\nEdgeWrightVideoPreviewOut=0\n";
    setenv("QUELLOR_WINDIR", (folder_ + "/windows").c_str(), 1);
    // The plug-in loads the board library this program links: the same
    // board, on the field clock the test runs by hand.
    quellor::testing::UsePrivateBoard(folder_ + "/board");
  }
  void TearDown() override { quellor::testing::ResetBoard(); }
  virtual int VideoMode() const { return 1; }

  // Runs an edithost command with the built plug-in; output in out_, err_.
  int Run(Arguments args) {
    args.push_back("--plugin");
    args.push_back(bin_ + "/rtvbridge.so");
    std::ostringstream out, err;
    const int status = RunCommand(args, out, err);
    out_ = out.str();
    err_ = err.str();
    return status;
  }
  int RtvTool(const std::string& words) {
    const std::string command =
        "\"" + bin_ + "/rtvtool\" " + words + " >\"" + folder_ + "/rtvtool.out\" 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // Runs the command on a thread of its own while this one runs the board's
  // field clock, two fields (a frame) at a time, until the command ends.
  int RunOnTheFieldClock(const Arguments& args) {
    std::atomic<bool> done{false};
    int status = -1;
    std::thread command([&] {
      status = Run(args);
      done = true;
    });
    while (!done) {
      quellor::board::testing::AdvanceFields(2);
      std::this_thread::sleep_for(std::chrono::milliseconds(4));
    }
    command.join();
    return status;
  }
  std::string RtvToolOutput() const { return FileText(folder_ + "/rtvtool.out"); }
  static std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::string Path(const std::string& name) const { return folder_ + "/" + name; }

  std::string bin_, folder_, out_, err_;
};

TEST_F(EditHostTest, BadArgumentsGiveTheUsageAndStatusTwo) {
  EXPECT_EQ(RunCommand({}, std::cout, std::cerr), 2);
  EXPECT_EQ(Run({"frobnicate"}), 2);
  EXPECT_NE(err_.find("unknown command \"frobnicate\""), std::string::npos);
  EXPECT_EQ(Run({"read", "a.rtv", "--format", "420", "-o", "x"}), 2);
  EXPECT_EQ(Run({"read", "a.rtv", "--format", "422", "--frames", "5-2", "-o", "x"}), 2);
  EXPECT_EQ(Run({"write", "--format", "422", "-o", "x.rtv"}), 2);
  EXPECT_EQ(Run({"info"}), 2);
  EXPECT_NE(err_.find("usage: edithost"), std::string::npos);
}

TEST_F(EditHostTest, AMissingPluginIsAClearFailure) {
  std::ostringstream out, err;
  EXPECT_EQ(RunCommand({"interfaces", "--plugin", Path("nothere.so")}, out, err), 1);
  EXPECT_NE(err.str().find("edithost: cannot load the plug-in"), std::string::npos);
}

TEST_F(EditHostTest, DiscoversTheFourInterfaces) {
  ASSERT_EQ(Run({"interfaces"}), 0) << err_;
  EXPECT_NE(out_.find("reading    Video Quellor RTV File Input"), std::string::npos);
  EXPECT_NE(out_.find("writing    Video Quellor RTV File Output"), std::string::npos);
  EXPECT_NE(out_.find("recording  Video Quellor Record Device"), std::string::npos);
  EXPECT_NE(out_.find("sink       Video Quellor Output Device"), std::string::npos);
}

TEST_F(EditHostTest, InfoDescribesAnRtvToolClipAndRefusesOtherFiles) {
  ASSERT_EQ(RtvTool("generate --standard ntsc --frames 4 -o \"" + Path("bars.rtv") + "\""), 0);
  ASSERT_EQ(Run({"info", Path("bars.rtv")}), 0) << err_;
  EXPECT_NE(out_.find("frames     4"), std::string::npos) << out_;
  EXPECT_NE(out_.find("picture    720 x 480"), std::string::npos);
  EXPECT_NE(out_.find("RGBA-32"), std::string::npos);
  std::ofstream(Path("text.rtv")) << "hello, not a clip";
  EXPECT_EQ(Run({"info", Path("text.rtv")}), 1);
  EXPECT_NE(err_.find("not an RTV clip"), std::string::npos);
}

TEST_F(EditHostTest, ClipsWrittenThroughThePluginEqualRtvToolsInLosslessFormats) {
  ASSERT_EQ(RtvTool("generate --standard ntsc --frames 3 -o \"" + Path("bars.rtv") + "\""), 0);
  ASSERT_EQ(RtvTool("to-y4m \"" + Path("bars.rtv") + "\" -o \"" + Path("bars.y4m") + "\""), 0);
  for (const char* format : {"422", "444"}) {
    const std::string copy = Path(std::string("copy") + format + ".rtv");
    ASSERT_EQ(Run({"write", "--format", format, Path("bars.y4m"), "-o", copy}), 0) << err_;
    EXPECT_EQ(FileText(copy), FileText(Path("bars.rtv"))) << format;
    ASSERT_EQ(RtvTool("info \"" + copy + "\""), 0);
    EXPECT_NE(RtvToolOutput().find("Whole frames: 3"), std::string::npos) << RtvToolOutput();
  }
}

TEST_F(EditHostTest, ReadsPicturesAndRawFramesAndWritesPicturesBack) {
  ASSERT_EQ(RtvTool("generate --standard ntsc --frames 3 -o \"" + Path("bars.rtv") + "\""), 0);
  ASSERT_EQ(
      Run({"read", Path("bars.rtv"), "--format", "rgba", "--frames", "1-2", "-o", Path("f.png")}),
      0)
      << err_;
  EXPECT_TRUE(std::filesystem::exists(Path("f-0001.png")));
  EXPECT_TRUE(std::filesystem::exists(Path("f-0002.png")));
  ASSERT_EQ(
      Run({"read", Path("bars.rtv"), "--format", "422", "--frames", "2", "-o", Path("two.raw")}),
      0);
  EXPECT_EQ(std::filesystem::file_size(Path("two.raw")), 720u * 480 * 2 + 4);
  ASSERT_EQ(Run({"read", Path("bars.rtv"), "--format", "444", "-o", Path("all.raw")}), 0);
  EXPECT_EQ(std::filesystem::file_size(Path("all.raw")), 3u * 720 * 480 * 4);

  ASSERT_EQ(Run({"write", "--format", "rgba", Path("f-0001.png"), Path("f-0002.png"), "-o",
                 Path("back")}),
            0)
      << err_;
  ASSERT_EQ(Run({"info", Path("back.rtv")}), 0);
  EXPECT_NE(out_.find("frames     2"), std::string::npos);
  // Frames past the end, and pictures of the wrong size.
  EXPECT_EQ(
      Run({"read", Path("bars.rtv"), "--format", "422", "--frames", "2-3", "-o", Path("x.raw")}),
      1);
  EXPECT_NE(err_.find("the clip has 3 frames (0-2)"), std::string::npos);
}

TEST_F(EditHostTest, BadInputsForWritingAreClearFailures) {
  std::ofstream(Path("bad.y4m")) << "YUV4MPEG2 W720 H480 F30000:1001 It C420jpeg\n";
  EXPECT_EQ(Run({"write", "--format", "422", Path("bad.y4m"), "-o", Path("c.rtv")}), 1);
  EXPECT_NE(err_.find("only 4:2:2"), std::string::npos);
  std::ofstream(Path("small.y4m")) << "YUV4MPEG2 W352 H288 F25:1 It C422\n";
  EXPECT_EQ(Run({"write", "--format", "422", Path("small.y4m"), "-o", Path("c.rtv")}), 1);
  EXPECT_NE(err_.find("the plug-in writes 720 x 480"), std::string::npos);
  std::ofstream(Path("cut.y4m")) << "YUV4MPEG2 W720 H480 F30000:1001 It C422\nFRAME\nxyz";
  EXPECT_EQ(Run({"write", "--format", "422", Path("cut.y4m"), "-o", Path("c.rtv")}), 1);
  EXPECT_NE(err_.find("frame 0 is cut short"), std::string::npos);
  std::ofstream(Path("not.png")) << "not a picture";
  EXPECT_EQ(Run({"write", "--format", "444", Path("not.png"), "-o", Path("c.rtv")}), 1);
  EXPECT_NE(err_.find("not.png"), std::string::npos);
  EXPECT_EQ(Run({"write", "--format", "422", Path("bad.y4m"), "-o",
                 Path(std::string(300, 'z') + "/c.rtv")}),
            1);
  EXPECT_NE(err_.find("cannot create the clip"), std::string::npos);
}

// A disk that is full past `bytes` for every file this process writes: writes
// past it fail with EFBIG (the signal the kernel would send is ignored).
class ScopedFullDisk {
 public:
  explicit ScopedFullDisk(rlim_t bytes) {
    old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &old_);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~ScopedFullDisk() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, old_handler_);
  }

 private:
  rlimit old_{};
  void (*old_handler_)(int) = nullptr;
};

bool HasPartFiles(const std::string& folder) {
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename().string().find(".part-") != std::string::npos) return true;
  }
  return false;
}

TEST_F(EditHostTest, AFailedReadLeavesTheOldOutputAndNeverTheClip) {
  ASSERT_EQ(RtvTool("generate --standard ntsc --frames 3 -o \"" + Path("bars.rtv") + "\""), 0);
  const std::string clip = FileText(Path("bars.rtv"));
  // The clip named as its own output is refused before anything is written.
  EXPECT_EQ(Run({"read", Path("bars.rtv"), "--format", "422", "-o", Path("bars.rtv")}), 1);
  EXPECT_NE(err_.find("is the same file as the input"), std::string::npos) << err_;
  EXPECT_TRUE(FileText(Path("bars.rtv")) == clip);
  // Nor is an input of a write its own clip.
  ASSERT_EQ(RtvTool("to-y4m \"" + Path("bars.rtv") + "\" -o \"" + Path("bars.y4m") + "\""), 0);
  const std::string stream = FileText(Path("bars.y4m"));
  EXPECT_EQ(Run({"write", "--format", "422", Path("bars.y4m"), "-o", Path("bars.y4m")}), 1);
  EXPECT_NE(err_.find("is the same file as the input"), std::string::npos) << err_;
  EXPECT_TRUE(FileText(Path("bars.y4m")) == stream);

  // A disk that fills up during the second frame: failure, the old raw file
  // and the old picture as they were, no temporaries left.
  std::ofstream(Path("all.raw")) << "earlier frames";
  std::ofstream(Path("f.png")) << "earlier picture";
  {
    ScopedFullDisk full(1 << 20);
    EXPECT_EQ(Run({"read", Path("bars.rtv"), "--format", "444", "-o", Path("all.raw")}), 1);
    EXPECT_NE(err_.find("cannot write"), std::string::npos) << err_;
  }
  {
    ScopedFullDisk full(512);  // the bars' picture packs into a few kilobytes
    EXPECT_EQ(
        Run({"read", Path("bars.rtv"), "--format", "rgba", "--frames", "0", "-o", Path("f.png")}),
        1);
  }
  EXPECT_TRUE(FileText(Path("all.raw")) == "earlier frames");
  EXPECT_TRUE(FileText(Path("f.png")) == "earlier picture");
  EXPECT_FALSE(HasPartFiles(folder_));
  // With room, the same commands replace them.
  ASSERT_EQ(Run({"read", Path("bars.rtv"), "--format", "444", "-o", Path("all.raw")}), 0);
  EXPECT_EQ(std::filesystem::file_size(Path("all.raw")), 3u * 720 * 480 * 4);
}

class PalEditHostTest : public EditHostTest {
 protected:
  int VideoMode() const override { return 0; }
};

TEST_F(PalEditHostTest, PalClipsRoundTripByteForByte) {
  ASSERT_EQ(RtvTool("generate --standard pal --frames 2 -o \"" + Path("bars.rtv") + "\""), 0);
  ASSERT_EQ(RtvTool("to-y4m \"" + Path("bars.rtv") + "\" -o \"" + Path("bars.y4m") + "\""), 0);
  ASSERT_EQ(Run({"write", "--format", "422", Path("bars.y4m"), "-o", Path("copy.rtv")}), 0) << err_;
  EXPECT_EQ(FileText(Path("copy.rtv")), FileText(Path("bars.rtv")));
  ASSERT_EQ(Run({"read", Path("copy.rtv"), "--format", "422", "-o", Path("copy.raw")}), 0);
  const std::string raw = FileText(Path("copy.raw"));
  const std::string clip = FileText(Path("bars.rtv"));
  ASSERT_EQ(raw.size(), 2u * (829440 + 4));
  // Each frame is the stored fields, then the trailer behind them.
  EXPECT_EQ(raw.substr(0, 829440), clip.substr(512, 829440));
  EXPECT_EQ(raw.substr(829444, 829440), clip.substr(512 + 829440, 829440));
}

// Frame n (both fields) of an NTSC clip as rtvtool writes it.
std::string ClipFrame(const std::string& clip, std::size_t n) {
  constexpr std::size_t kFrame = 691200;
  return clip.size() >= 512 + (n + 1) * kFrame ? clip.substr(512 + n * kFrame, kFrame) : "";
}

// The board's input plays a clip whose frames all differ (a moving marker);
// a take of it holds whole frames in their order, each first field with its
// own second field, and the frame the board shows after a play is the last
// frame played, pixel for pixel.
TEST_F(EditHostTest, RecordsTheInputAndPlaysClipsOutOfTheBoard) {
  ASSERT_EQ(RtvTool("generate --standard ntsc --frames 8 -o \"" + Path("source.rtv") + "\""), 0);
  quellor::board::InputSetting input;
  input.kind = quellor::board::InputSourceKind::Clip;
  input.clipPath = Path("source.rtv");
  std::string error;
  ASSERT_TRUE(quellor::board::SetInputSource(input, error)) << error;
  const std::string source = FileText(Path("source.rtv"));
  for (std::size_t n = 1; n < 8; ++n) ASSERT_NE(ClipFrame(source, n), ClipFrame(source, 0)) << n;

  // 0.1 s is 3 frames; the command stops once it has them, and the clock
  // runs on while it does.
  ASSERT_EQ(RunOnTheFieldClock({"record", "--seconds", "0.1", "-o", Path("take.rtv")}), 0) << err_;
  const int recorded = std::atoi(out_.substr(out_.find(": ") + 2).c_str());
  EXPECT_GE(recorded, 3) << out_;
  ASSERT_EQ(Run({"info", Path("take.rtv")}), 0);
  EXPECT_NE(out_.find("frames     " + std::to_string(recorded) + "\n"), std::string::npos) << out_;
  const std::string take = FileText(Path("take.rtv"));
  int previous = -1;
  for (int k = 0; k < recorded; ++k) {
    int match = -1;
    for (int n = 0; n < 8 && match < 0; ++n) {
      if (ClipFrame(take, k) == ClipFrame(source, n)) match = n;
    }
    ASSERT_GE(match, 0) << "take frame " << k << " is no frame of the input";
    if (previous >= 0) {
      EXPECT_EQ(match, (previous + 1) % 8) << "take frame " << k;
    }
    previous = match;
  }

  ASSERT_EQ(RtvTool("generate --standard ntsc --frames 4 -o \"" + Path("bars.rtv") + "\""), 0);
  ASSERT_EQ(RunOnTheFieldClock({"play", Path("take.rtv"), Path("bars.rtv"), "--speed", "100"}), 0)
      << err_;
  EXPECT_NE(out_.find("played " + std::to_string(recorded + 4) + " frames of 2 clips"),
            std::string::npos)
      << out_;
  quellor::board::testing::AdvanceFields(2);
  quellor::board::BoardFrame shown;
  ASSERT_TRUE(quellor::board::ReadShownFrame(shown, error)) << error;
  ASSERT_EQ(shown.pixels.size(), 691200u);
  EXPECT_TRUE(std::string(shown.pixels.begin(), shown.pixels.end()) ==
              ClipFrame(FileText(Path("bars.rtv")), 3))
      << "the board does not show the last frame played";
}

TEST_F(EditHostTest, RecordAndPlayRefuseBadArgumentsAndMissingClips) {
  EXPECT_EQ(Run({"record", "-o", Path("x.rtv")}), 2);
  EXPECT_EQ(Run({"record", "--seconds", "-1", "-o", Path("x.rtv")}), 2);
  EXPECT_EQ(Run({"record", "--seconds", "1"}), 2);
  EXPECT_EQ(Run({"play"}), 2);
  EXPECT_EQ(Run({"play", Path("x.rtv"), "--speed", "0"}), 2);
  EXPECT_EQ(Run({"play", Path("missing.rtv")}), 1);
  EXPECT_NE(err_.find("missing.rtv"), std::string::npos);
}

}  // namespace
}  // namespace quellor::edithost
