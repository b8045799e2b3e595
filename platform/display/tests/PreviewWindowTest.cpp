// VideoPreviewIn on a display: its window shows the board's input live,
// scaled to the window, with the field number and standard in the title,
// and its pixels are the ones `boardctl snapshot --input` writes.
#include "PresenterFixture.h"
// clang-format off
#include <png.h>
#include <unistd.h>
// clang-format on

#include "quellor/testing/ChildProcess.h"
#include "quellor/testing/ScratchFolder.h"

namespace {

using namespace quellor::display::testing;
using quellor::testing::ProgramPath;

// The X window whose name starts with `prefix` (0 when none is viewable).
Window FindXByPrefix(Display* d, const std::string& prefix, std::string& name) {
  Window root = DefaultRootWindow(d), parent = 0, *children = nullptr;
  unsigned count = 0;
  Window found = 0;
  if (!XQueryTree(d, root, &root, &parent, &children, &count)) return 0;
  for (unsigned i = 0; i < count && !found; ++i) {
    char* text = nullptr;
    XWindowAttributes a{};
    if (XFetchName(d, children[i], &text) && text && std::string(text).rfind(prefix, 0) == 0 &&
        XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable) {
      found = children[i];
      name = text;
    }
    if (text) XFree(text);
  }
  if (children) XFree(children);
  return found;
}

TEST_F(PresenterTest, APreviewWindowShowsTheInputLiveAsTheSnapshotDoes) {
  const std::string preview = ProgramPath("VideoPreviewIn");
  const std::string boardctl = ProgramPath("boardctl");
  if (access(preview.c_str(), X_OK) != 0 || access(boardctl.c_str(), X_OK) != 0)
    GTEST_SKIP() << "VideoPreviewIn or boardctl is not built";
  quellor::testing::ScratchFolder scratch("preview-window");
  const quellor::testing::EnvironmentList board{{"QUELLOR_BOARD_DIR", scratch.path() + "/board"}};
  quellor::testing::ChildOptions options;
  options.environment = board;
  ASSERT_EQ(quellor::testing::RunChild(boardctl, {"input", "bars"}, options).exitCode, 0);
  quellor::testing::EnvironmentList shown = board;
  shown.push_back({"DISPLAY", server_->Name()});
  shown.push_back({"QUELLOR_HEADLESS", "0"});
  quellor::testing::ChildProcess child(preview, {"-o", scratch.path() + "/in.png"}, shown);
  ASSERT_TRUE(child.started());

  Display* d = server_->Connection();
  std::string title;
  Window x = 0;
  ASSERT_TRUE(PumpUntil([&] { return (x = FindXByPrefix(d, "Video Preview In: field ", title)); }));
  EXPECT_NE(title.find(", NTSC"), std::string::npos) << title;
  // The field number in the title moves on.
  const std::string first = title;
  EXPECT_TRUE(PumpUntil(
      [&] { return FindXByPrefix(d, "Video Preview In: field ", title) && title != first; }));

  // The snapshot of the same input, at the centre of each of the seven bars.
  const std::string snapshot = scratch.path() + "/snapshot.png";
  ASSERT_EQ(quellor::testing::RunChild(boardctl, {"snapshot", "--input", "-o", snapshot}, options)
                .exitCode,
            0);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, snapshot.c_str()));
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
  // The window's client area: inside the subset's frame and caption.
  XWindowAttributes a{};
  ASSERT_TRUE(XGetWindowAttributes(d, x, &a));
  const int frame = GetSystemMetrics(SM_CXFRAME);
  const int top = GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION);
  const int clientWidth = a.width - 2 * frame, clientHeight = a.height - top - frame;
  ASSERT_GT(clientWidth, 70);
  int matched = 0;
  std::string seen;
  EXPECT_TRUE(PumpUntil([&] {
    XImage* shot = XGetImage(d, x, 0, 0, unsigned(a.width), unsigned(a.height), AllPlanes, ZPixmap);
    if (!shot) return false;
    matched = 0;
    seen.clear();
    for (int bar = 0; bar < 7; ++bar) {
      const int sx = int((bar + 0.5) * image.width / 7), sy = int(image.height / 3);
      const uint8_t* want = &rgb[(size_t(sy) * image.width + size_t(sx)) * 3];
      const unsigned long got =
          XGetPixel(shot, frame + int((bar + 0.5) * clientWidth / 7), top + clientHeight / 3);
      const int r = int(got >> 16 & 0xFF), g = int(got >> 8 & 0xFF), b = int(got & 0xFF);
      if (std::abs(r - want[0]) <= 8 && std::abs(g - want[1]) <= 8 && std::abs(b - want[2]) <= 8)
        ++matched;
      seen += std::to_string(r) + "," + std::to_string(g) + "," + std::to_string(b) + " ";
    }
    XDestroyImage(shot);
    return matched == 7;
  })) << seen;
  child.Finish(std::chrono::seconds(1));  // it runs until closed: ended by force
}

}  // namespace
