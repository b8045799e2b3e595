// rtvtool's commands on generated material: info text and JSON, PNG export,
// lossless YUV4MPEG2 round trips and the error paths.
#include <gtest/gtest.h>

#include <png.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "Commands.h"
#include "quellor/testing/ScratchFolder.h"

namespace quellor::rtvtool {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

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

class RtvToolTest : public ::testing::Test {
 protected:
  std::string At(const std::string& name) const { return folder_ + "/" + name; }
  quellor::testing::ScratchFolder scratch_{"rtvtool"};
  const std::string folder_ = scratch_.path();
};

TEST_F(RtvToolTest, InfoDescribesAGeneratedNtscClip) {
  ASSERT_EQ(Tool({"generate", "--standard", "ntsc", "--frames", "3", "-o", At("bars.rtv")}).status,
            0);
  EXPECT_EQ(ReadBytes(At("bars.rtv")).size(), 512u + 3 * 691200);
  const ToolRun run = Tool({"info", At("bars.rtv")});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "File: " + At("bars.rtv") +
                         "\n"
                         "Magic: FMTR\n"
                         "Type: 1\n"
                         "Data offset: 512\n"
                         "Stream count: 2\n"
                         "Frame set size: 691200\n"
                         "Header field rate: 59.940052\n"
                         "Stream 0: kind 1 (video), subtype 8, chunk size 345600, raster offset "
                         "34596, raster line length 1716, active line length 1440, lines 240\n"
                         "Stream 1: kind 1 (video), subtype 8, chunk size 345600, raster offset "
                         "485904, raster line length 1716, active line length 1440, lines 240\n"
                         "Field rate: 59.940052\n"
                         "Fields: 6\n"
                         "Whole frames: 3\n");
  EXPECT_EQ(run.err, "");
}

TEST_F(RtvToolTest, InfoJsonOfAGeneratedPalClip) {
  ASSERT_EQ(Tool({"generate", "--standard", "pal", "--frames", "2", "-o", At("pal.rtv")}).status,
            0);
  const ToolRun run = Tool({"info", At("pal.rtv"), "--json"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "{\n  \"file\": \"" + At("pal.rtv") +
                         "\",\n"
                         "  \"header\": {\"magic\": \"FMTR\", \"type\": 1, \"data_offset\": 512, "
                         "\"stream_count\": 2, \"frame_set_size\": 829440, \"field_rate\": 50},\n"
                         "  \"streams\": [\n"
                         "    {\"kind\": 1, \"subtype\": 8, \"chunk_size\": 414720, "
                         "\"raster_offset\": 38304, \"raster_line_length\": 1728, "
                         "\"active_line_length\": 1440, \"lines\": 288},\n"
                         "    {\"kind\": 1, \"subtype\": 8, \"chunk_size\": 414720, "
                         "\"raster_offset\": 579168, \"raster_line_length\": 1728, "
                         "\"active_line_length\": 1440, \"lines\": 288}\n"
                         "  ],\n"
                         "  \"field_rate\": 50,\n"
                         "  \"fields\": 4,\n"
                         "  \"frames\": 2\n}\n");
}

TEST_F(RtvToolTest, ReaderErrorsReachStandardErrorAndTheExitStatus) {
  WriteBytes(At("junk.rtv"), Bytes(64, 'x'));
  ToolRun run = Tool({"info", At("junk.rtv")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "rtvtool: " + At("junk.rtv") + ": This is not an RTV file.\n");
  run = Tool({"to-y4m", At("missing.rtv"), "-o", At("out.y4m")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "rtvtool: " + At("missing.rtv") + ": Could not open the file.\n");
  run = Tool({"generate", "--standard", "ntsc", "--frames", "1", "-o", At("no/such/dir.rtv")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "rtvtool: cannot create " + At("no/such/dir.rtv") + ": No such file or directory\n");
}

TEST_F(RtvToolTest, BadArgumentsPrintUsage) {
  for (const Arguments& args :
       std::vector<Arguments>{{},
                              {"frobnicate"},
                              {"info"},
                              {"info", "a", "b"},
                              {"info", "a", "--yaml"},
                              {"export", "a", "--frame", "x", "-o", "p.png"},
                              {"export", "a", "-o"},
                              {"generate", "--standard", "secam", "--frames", "1", "-o", "x.rtv"},
                              {"from-y4m", "in.y4m"}}) {
    const ToolRun run = Tool(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("usage: rtvtool info FILE [--json]"), std::string::npos);
  }
}

TEST_F(RtvToolTest, Y4mRoundTripOfAClipIsByteExact) {
  ASSERT_EQ(Tool({"generate", "--standard", "ntsc", "--frames", "3", "-o", At("in.rtv")}).status,
            0);
  ASSERT_EQ(Tool({"to-y4m", At("in.rtv"), "-o", At("mid.y4m")}).status, 0);
  const Bytes y4m = ReadBytes(At("mid.y4m"));
  const std::string header = "YUV4MPEG2 W720 H480 F30000:1001 It A10:11 C422\n";
  ASSERT_EQ(y4m.size(), header.size() + 3 * (6 + 720 * 480 * 2));
  EXPECT_EQ(std::string(y4m.begin(), y4m.begin() + header.size()), header);
  EXPECT_EQ(std::string(y4m.begin() + header.size(), y4m.begin() + header.size() + 6), "FRAME\n");

  const ToolRun run = Tool({"from-y4m", At("mid.y4m"), "-o", At("out.rtv")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(ReadBytes(At("out.rtv")) == ReadBytes(At("in.rtv")));
}

// A 32 x 32 picture (fields of 32 x 16 x 2 = 1024 bytes): Y = x + 7y,
// Cb = 100 + pair, Cr = 200 - y.
Bytes SmallY4m(int frames) {
  const std::string header = "YUV4MPEG2 W32 H32 F25:1 It A1:1 C422\n";
  Bytes bytes(header.begin(), header.end());
  for (int f = 0; f < frames; ++f) {
    const std::string frame = "FRAME\n";
    bytes.insert(bytes.end(), frame.begin(), frame.end());
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) bytes.push_back(static_cast<std::uint8_t>(x + 7 * y + f));
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 16; ++x) bytes.push_back(static_cast<std::uint8_t>(100 + x));
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 16; ++x) bytes.push_back(static_cast<std::uint8_t>(200 - y));
  }
  return bytes;
}

TEST_F(RtvToolTest, FromY4mPacksEvenLinesIntoTheFirstField) {
  WriteBytes(At("small.y4m"), SmallY4m(2));
  const ToolRun run = Tool({"from-y4m", At("small.y4m"), "-o", At("small.rtv")});
  ASSERT_EQ(run.status, 0) << run.err;
  const Bytes rtv = ReadBytes(At("small.rtv"));
  ASSERT_EQ(rtv.size(), 512u + 2 * 2048);
  // Frame 0, first field, line 1 = picture line 2; pair 3: Cb Y0 Cr Y1.
  const std::size_t at = 512 + 1 * 64 + 3 * 4;
  EXPECT_EQ((Bytes{rtv[at], rtv[at + 1], rtv[at + 2], rtv[at + 3]}),
            (Bytes{103, 6 + 14, 198, 7 + 14}));
  // Frame 1, second field, line 0 = picture line 1; pair 0.
  const std::size_t odd = 512 + 2048 + 1024;
  EXPECT_EQ((Bytes{rtv[odd], rtv[odd + 1], rtv[odd + 2], rtv[odd + 3]}),
            (Bytes{100, 0 + 7 + 1, 199, 1 + 7 + 1}));

  ASSERT_EQ(Tool({"to-y4m", At("small.rtv"), "-o", At("back.y4m")}).status, 0);
  Bytes expected = SmallY4m(2);
  const std::string header = "YUV4MPEG2 W32 H32 F25:1 It A10:11 C422\n";  // aspect of 4:3 video
  expected.erase(expected.begin(), expected.begin() + 37);
  expected.insert(expected.begin(), header.begin(), header.end());
  EXPECT_TRUE(ReadBytes(At("back.y4m")) == expected);
}

TEST_F(RtvToolTest, FromY4mRefusesWhatCannotBecomeAClip) {
  struct Case {
    std::string header;
    std::string reason;
  } cases[] = {
      {"YUV4MPEG2 W32 H32 F25:1 It C420jpeg", "only 4:2:2 (C422) input can become a clip"},
      {"YUV4MPEG2 W32 H32 F25:1 Ib C422", "only top-field-first (It) input can become a clip"},
      {"YUV4MPEG2 W31 H32 F25:1 It C422", "the picture needs an even, non-zero width and height"},
      {"YUV4MPEG2 W30 H30 F25:1 It C422",
       "a field (width x height bytes of 4:2:2 per frame) must be a whole number of 512-byte "
       "sectors"},
      {"GIF89a", "not a YUV4MPEG2 file"},
  };
  for (const Case& c : cases) {
    const std::string text = c.header + "\n";
    WriteBytes(At("bad.y4m"), Bytes(text.begin(), text.end()));
    const ToolRun run = Tool({"from-y4m", At("bad.y4m"), "-o", At("bad.rtv")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "rtvtool: " + At("bad.y4m") + ": " + c.reason + "\n");
  }
  // A cut frame fails the whole job: no clip of the frames before it.
  Bytes cut = SmallY4m(2);
  cut.resize(cut.size() - 10);
  WriteBytes(At("cut.y4m"), cut);
  const ToolRun run = Tool({"from-y4m", At("cut.y4m"), "-o", At("cut.rtv")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "rtvtool: " + At("cut.y4m") + ": frame 1 is cut short\n");
  EXPECT_FALSE(std::filesystem::exists(At("cut.rtv")));
}

TEST_F(RtvToolTest, ExportWritesBothFieldsInterleavedAsPng) {
  ASSERT_EQ(Tool({"generate", "--standard", "pal", "--frames", "2", "-o", At("bars.rtv")}).status,
            0);
  ToolRun run = Tool({"export", At("bars.rtv"), "--frame", "1", "-o", At("frame.png")});
  ASSERT_EQ(run.status, 0) << run.err;

  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, At("frame.png").c_str()));
  EXPECT_EQ(image.width, 720u);
  EXPECT_EQ(image.height, 576u);
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
  // Top left: the 75% white bar; x = 400, y = 100 (green bar): mostly green.
  EXPECT_NEAR(rgb[0], 191, 3);
  EXPECT_NEAR(rgb[1], 191, 3);
  EXPECT_NEAR(rgb[2], 191, 3);
  const std::size_t green = (100 * 720 + 400) * 3;
  EXPECT_LT(rgb[green], 10);
  EXPECT_NEAR(rgb[green + 1], 191, 3);
  // Every line of both fields is there: the bottom line is the dark band.
  const std::size_t bottom = (575 * 720 + 700) * 3;
  EXPECT_NEAR(rgb[bottom + 1], 0, 3);

  run = Tool({"export", At("bars.rtv"), "--frame", "2", "-o", At("none.png")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "rtvtool: " + At("bars.rtv") + ": frame 2 is beyond the clip's 2 whole frames\n");
}

}  // namespace
}  // namespace quellor::rtvtool
