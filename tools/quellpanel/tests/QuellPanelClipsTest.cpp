// quellpanel's clip list and scope, run headless from a script: a clip
// dropped from the shell on the list joins the clip input and plays out of
// the board; the scope in the panel's picture shows the board's output.
#include <cliplib/clip/ClipWriter.h>
#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "PanelRun.h"

namespace {

using namespace quellor::quellpanel::testing;

const char kClipGraph[] =
    "clip=RTVFileInput() out=VideoQuellorOutput(input=clip, standard=ntsc, loop=1)";

// An NTSC clip of `frames` frames of one flat grey.
std::string MakeFlatClip(const ScratchFolder& folder, const std::string& name, std::uint8_t luma,
                         int frames = 6) {
  const std::string path = (folder / name).string();
  constexpr unsigned kLines = 240;
  quellor::clip::ClipWriter::Create(path.c_str(), 2, 0, 720, kLines, 29.97002997f);
  // Both fields of 360 pairs a line; whole sectors, aligned, as the
  // unbuffered writes want.
  const std::size_t words = std::size_t{720} * kLines;
  std::unique_ptr<std::uint32_t, decltype(&std::free)> frame(
      static_cast<std::uint32_t*>(std::aligned_alloc(4096, (words * 4 + 4095) / 4096 * 4096)),
      &std::free);
  // U Y0 V Y1, bytes in memory order.
  const std::uint32_t pair =
      128u | std::uint32_t{luma} << 8 | 128u << 16 | std::uint32_t{luma} << 24;
  for (std::size_t i = 0; i < words; ++i) frame.get()[i] = pair;
  for (int f = 0; f < frames; ++f)
    EXPECT_TRUE(quellor::clip::ClipWriter::WriteFrame(path.c_str(), frame.get()));
  quellor::clip::ClipWriter::Close(path.c_str());
  return path;
}

struct Picture {
  std::uint32_t width = 0, height = 0;
  std::vector<std::uint8_t> rgb;  // 3 bytes a pixel, top row first
};

Picture ReadPicture(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  Picture picture;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
  image.format = PNG_FORMAT_RGB;
  picture.rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr)) {
    png_image_free(&image);
    return Picture{};
  }
  picture.width = image.width;
  picture.height = image.height;
  return picture;
}

// Pixels of the scope's traces (green, unlike anything else on the panel) in
// the panel's bottom 256 rows, where the scope sits.
long TracePixels(const Picture& picture) {
  long count = 0;
  const std::uint32_t top = picture.height > 256 ? picture.height - 256 : 0;
  for (std::uint32_t y = top; y < picture.height; ++y) {
    for (std::uint32_t x = 0; x < picture.width; ++x) {
      const std::uint8_t* p = &picture.rgb[(std::size_t(y) * picture.width + x) * 3];
      if (p[1] > p[0] + 40 && p[1] > p[2] + 40) ++count;
    }
  }
  return count;
}

// Rows of the scope (the panel's bottom 256) lit green across most of its 360
// columns: the graticule's level lines, or a flat picture's trace.
int FullWidthGreenRows(const Picture& picture) {
  int rows = 0;
  const std::uint32_t top = picture.height > 256 ? picture.height - 256 : 0;
  for (std::uint32_t y = top; y < picture.height; ++y) {
    int lit = 0;
    for (std::uint32_t x = 0; x < picture.width; ++x) {
      const std::uint8_t* p = &picture.rgb[(std::size_t(y) * picture.width + x) * 3];
      lit += p[1] > p[0] + 40 && p[1] > p[2] + 40;
    }
    rows += lit >= 300;
  }
  return rows;
}

TEST(QuellPanelClips, AClipDroppedOnTheListJoinsTheInputAndPlays) {
  ScratchFolder folder("quellpanel");
  const std::string grey = MakeFlatClip(folder, "grey.rtv", 150);
  const std::string dark = MakeFlatClip(folder, "dark.rtv", 40);
  const PanelRun run = RunPanel(folder,
                                "fields 4\n"
                                "output\n"
                                "drop " +
                                    grey +
                                    "\n"
                                    "clips\n"
                                    "fields 12\n"
                                    "output\n"
                                    "drop " +
                                    dark +
                                    "\n"
                                    "clips\n",
                                kClipGraph);
  ASSERT_EQ(run.status, 0) << run.out;
  const std::vector<double> luma = Numbers(run.out, "output luma");
  ASSERT_EQ(luma.size(), 2u) << run.out;
  EXPECT_NEAR(luma[0], 16.0, 1.0) << "an empty clip list plays black";
  EXPECT_NEAR(luma[1], 150.0, 1.0) << "the board shows the dropped clip's picture\n" << run.out;
  // Listed after the first drop, before the board played; the second drop
  // is appended, the first clip keeping its place.
  EXPECT_NE(run.out.find("clip 0: " + grey + "\noutput luma"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("clip 0: " + grey + "\nclip 1: " + dark + "\n"), std::string::npos)
      << run.out;
}

TEST(QuellPanelClips, AScriptMayDropFirstAndTheListHoldsWholePaths) {
  ScratchFolder folder("quellpanel");
  const std::string grey = MakeFlatClip(folder, "grey.rtv", 150, 1);
  const PanelRun run =
      RunPanel(folder, "drop " + (folder / "." / "grey.rtv").string() + "\nclips\n", kClipGraph);
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out, "clip 0: " + grey + "\n");
}

TEST(QuellPanelClips, DroppingNeedsAClipInputAndFiles) {
  ScratchFolder folder("quellpanel");
  PanelRun run = RunPanel(folder, "fields 2\ndrop " + (folder / "a.rtv").string() + "\n");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.out.find("script.txt:2: drop: the graph has no RTVFileInput"), std::string::npos)
      << run.out;
  run = RunPanel(folder, "drop\n", kClipGraph);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.out.find("script.txt:1: drop: which files?"), std::string::npos) << run.out;
}

TEST(QuellPanelScope, ThePanelsPictureShowsTheOutputOnItsScope) {
  ScratchFolder folder("quellpanel");
  const std::string before = (folder / "before.png").string();
  const std::string after = (folder / "after.png").string();
  const PanelRun run = RunPanel(folder, "shot " + before + "\nfields 12\nshot " + after + "\n");
  ASSERT_EQ(run.status, 0) << run.out;
  const Picture empty = ReadPicture(before), shown = ReadPicture(after);
  ASSERT_GT(shown.width, 360u);
  ASSERT_GT(shown.height, 256u);
  // The flat black gradient draws a line across the scope's width.
  EXPECT_GT(TracePixels(shown), TracePixels(empty) + 200) << "the scope stayed blank";
  // Before any field the scope shows its graticule alone: the 100, 50 and
  // 0 IRE lines at least.
  EXPECT_GE(FullWidthGreenRows(empty), 3) << "the scope was drawn without its graticule";
}

// The program copied into a folder of its own, its libraries linked in
// beside it, but no skins: the scope has nothing to draw its scale from.
TEST(QuellPanelScope, AScopeWithoutItsGraticulePicturesSaysSo) {
  namespace fs = std::filesystem;
  ScratchFolder folder("quellpanel");
  const fs::path bin = fs::path(ProgramPath("quellpanel")).parent_path();
  const fs::path program = folder / "program";
  fs::create_directories(program);
  fs::copy_file(bin / "quellpanel", program / "quellpanel");
  for (const char* library :
       {"libquellor_win32.so", "libQLXRAPI.so", "libquellpanel_panel.so", "Video.quell",
        "liborvanertme.so", "libHarmonex.so", "libov_tools.so"})
    fs::create_symlink(bin / library, program / library);
  quellor::testing::WriteFile(folder / "script.txt", "fields 2\n");
  ChildOptions options;
  options.errorToOutput = true;
  options.environment = {{"QUELLOR_BOARD_DIR", (folder / "board").string()},
                         {"QUELLOR_HEADLESS", "1"}};
  const auto child = RunChild((program / "quellpanel").string(),
                              {"--script", (folder / "script.txt").string(), kGraph}, options);
  EXPECT_EQ(child.exitCode, 0) << child.output;
  EXPECT_NE(child.output.find("the scope's graticule pictures were not found"), std::string::npos)
      << child.output;
  // With its skins beside it, the program says nothing of the kind.
  const PanelRun run = RunPanel(folder, "fields 2\n");
  EXPECT_EQ(run.out.find("graticule"), std::string::npos) << run.out;
}

}  // namespace
