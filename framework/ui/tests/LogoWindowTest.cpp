// The start-up logo: its own window thread, the picture found along "Skins",
// the shape, the failure texts and the ways it is taken down.
#include <gtest/gtest.h>
#include <qlxrapi/BaseWindowClass.h>
#include <qlxrapi/FindFiles.h>
#include <qlxrapi/VideoQuellorXRLogo.h>
#include <qlxrapi/WindowBitmap.h>
#include <quellor/testing/DesktopReset.h>
#include <quellor/testing/ScratchFolder.h>
#include <win32/automation/Desktop.h>
#include <win32/automation/Presenter.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "WindowTesting.h"

namespace {

namespace fs = std::filesystem;
using quellor::desktop::CaptureScreen;

constexpr char kLogoPath[] = "Logo/VideoQuellorLogo.tga";

// A 32-bit Targa picture, rows top-down: pixel (x, y) is opaque colour
// inside the frame of border pixels, fully transparent in it.
std::string TargaWithBorder(int width, int height, int border, std::uint32_t rgb) {
  std::string file(18, '\0');
  file[2] = 2;
  file[12] = char(width & 255);
  file[13] = char(width >> 8);
  file[14] = char(height & 255);
  file[15] = char(height >> 8);
  file[16] = 32;
  file[17] = 0x28;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool inside = x >= border && y >= border && x < width - border && y < height - border;
      file += char(rgb & 255);
      file += char((rgb >> 8) & 255);
      file += char((rgb >> 16) & 255);
      file += char(inside ? 255 : 0);
    }
  return file;
}

// Waits for another thread's work (the logo's painting) by polling; a test
// that needs longer than this has failed.
template <typename Ready>
bool WaitFor(Ready ready) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!ready()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

bool HasTopLevelTitled(const char* title) {
  for (const auto& w : quellor::desktop::TopLevelWindows())
    if (w.title == title && w.visible) return true;
  return false;
}

class LogoWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    quellor::testing::ResetDesktop();
    m_folder = std::make_unique<quellor::testing::ScratchFolder>("logo");
    m_skins = m_folder->path();
    FindFiles_AddPath("Skins", m_skins.c_str());
  }
  void TearDown() override {
    FindFiles_DeletePath("Skins", m_skins.c_str());
    quellor::testing::DestroyThreadWindows();
    uitest::Settle();
  }
  void PutLogo(const std::string& bytes) {
    quellor::testing::WriteFile(fs::path(m_skins) / kLogoPath, bytes);
  }

  std::unique_ptr<quellor::testing::ScratchFolder> m_folder;
  std::string m_skins;
};

TEST_F(LogoWindow, ShowsTheCentredTopmostPictureShapedByItsAlpha) {
  PutLogo(TargaWithBorder(60, 40, 10, 0x3366CC));
  VideoQuellorXRLogo logo;
  ASSERT_TRUE(logo.IsUp()) << logo.GetFailureText();
  EXPECT_EQ(logo.GetFailureText(), nullptr);
  HWND window = logo.GetWindowHandle();
  ASSERT_NE(window, nullptr);

  char title[64] = {};
  GetWindowTextA(window, title, sizeof title);
  EXPECT_STREQ(title, "VideoQuellor Starting ...");
  RECT r{};
  GetWindowRect(window, &r);
  const long x = (GetSystemMetrics(SM_CXFULLSCREEN) - 60) >> 1;
  const long y = (GetSystemMetrics(SM_CYFULLSCREEN) - 40) >> 1;
  EXPECT_EQ(r.left, x);
  EXPECT_EQ(r.top, y);
  EXPECT_EQ(r.right - r.left, 60);
  EXPECT_EQ(r.bottom - r.top, 40);
  EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(GetParent(window), nullptr);
  EXPECT_NE(GetWindowThreadProcessId(window, nullptr), GetCurrentThreadId());

  // The opaque middle is painted; the transparent border shows the desktop.
  const std::uint32_t desktop = CaptureScreen().At(0, 0);
  ASSERT_TRUE(WaitFor([&] { return CaptureScreen().At(x + 30, y + 20) == 0x3366CC; }));
  const auto screen = CaptureScreen();
  EXPECT_EQ(screen.At(x + 10, y + 10), 0x3366CCu);
  EXPECT_EQ(screen.At(x + 49, y + 29), 0x3366CCu);
  EXPECT_EQ(screen.At(x + 9, y + 20), desktop);
  EXPECT_EQ(screen.At(x + 30, y + 30), desktop);
  EXPECT_EQ(screen.At(x, y), desktop);
}

TEST_F(LogoWindow, DestroyingTheLogoTakesItsWindowDown) {
  PutLogo(TargaWithBorder(8, 8, 0, 0xFFFFFF));
  auto logo = std::make_unique<VideoQuellorXRLogo>();
  ASSERT_TRUE(logo->IsUp());
  HWND window = logo->GetWindowHandle();
  logo.reset();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(HasTopLevelTitled("VideoQuellor Starting ..."));
}

TEST_F(LogoWindow, CreatedOnOneThreadAndDestroyedOnAnother) {
  PutLogo(TargaWithBorder(16, 16, 2, 0x00FF00));
  std::unique_ptr<VideoQuellorXRLogo> logo;
  std::thread([&] { logo = std::make_unique<VideoQuellorXRLogo>(); }).join();
  ASSERT_TRUE(logo->IsUp());
  HWND window = logo->GetWindowHandle();
  EXPECT_TRUE(IsWindow(window));
  std::thread([&] { logo.reset(); }).join();
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(LogoWindow, TwoLogosRegisterConsecutiveClassNames) {
  PutLogo(TargaWithBorder(8, 8, 0, 0xFFFFFF));
  VideoQuellorXRLogo first;
  VideoQuellorXRLogo second;
  ASSERT_TRUE(first.IsUp());
  ASSERT_TRUE(second.IsUp());
  int a = 0, b = 0;
  ASSERT_EQ(std::sscanf(first.GetClassName(), "VideoQuellorXRLogo_%d", &a), 1);
  ASSERT_EQ(std::sscanf(second.GetClassName(), "VideoQuellorXRLogo_%d", &b), 1);
  EXPECT_GE(a, 1);
  EXPECT_EQ(b, a + 1);
  char className[64] = {};
  GetClassNameA(second.GetWindowHandle(), className, sizeof className);
  EXPECT_STREQ(className, second.GetClassName());
}

TEST_F(LogoWindow, MissingLogoFileReportsItsTextAndShowsNothing) {
  VideoQuellorXRLogo logo;  // nothing under Logo\ in any Skins folder
  EXPECT_FALSE(logo.IsUp());
  ASSERT_NE(logo.GetFailureText(), nullptr);
  EXPECT_STREQ(logo.GetFailureText(), "Could not find the VideoQuellor logo skin file.");
  EXPECT_EQ(logo.GetWindowHandle(), nullptr);
  EXPECT_FALSE(HasTopLevelTitled("VideoQuellor Starting ..."));
}

TEST_F(LogoWindow, UnreadableLogoFileReportsTheSameText) {
  PutLogo("this is no picture");
  VideoQuellorXRLogo logo;
  EXPECT_FALSE(logo.IsUp());
  ASSERT_NE(logo.GetFailureText(), nullptr);
  EXPECT_STREQ(logo.GetFailureText(), "Could not find the VideoQuellor logo skin file.");
}

TEST_F(LogoWindow, ClassThatCannotBeRegisteredReportsItsText) {
  PutLogo(TargaWithBorder(8, 8, 0, 0xFFFFFF));
  int next = 0;
  {
    VideoQuellorXRLogo probe;
    ASSERT_EQ(std::sscanf(probe.GetClassName(), "VideoQuellorXRLogo_%d", &next), 1);
  }
  // Someone else already holds the name the next logo will ask for.
  const std::string taken = "VideoQuellorXRLogo_" + std::to_string(next + 1);
  WNDCLASSA other{};
  other.lpfnWndProc = DefWindowProcA;
  other.lpszClassName = taken.c_str();
  ASSERT_NE(RegisterClassA(&other), 0);
  VideoQuellorXRLogo logo;
  EXPECT_FALSE(logo.IsUp());
  ASSERT_NE(logo.GetFailureText(), nullptr);
  EXPECT_STREQ(logo.GetFailureText(), "VideoQuellorXRLogo::Could not register class");
  UnregisterClassA(taken.c_str(), nullptr);
}

TEST_F(LogoWindow, DestroyingTheHostWindowLeavesTheLogoUp) {
  PutLogo(TargaWithBorder(20, 20, 0, 0xCC2200));
  uitest::Log log;
  auto* host = new uitest::TestWindow(log);
  ASSERT_TRUE(host->Open(nullptr, "host", WS_POPUP | WS_VISIBLE));
  VideoQuellorXRLogo logo;
  ASSERT_TRUE(logo.IsUp());
  HWND hostWindow = host->GetWindowHandle();
  DestroyWindow(hostWindow);  // the host's last framework window: its loop is told to quit
  uitest::Settle();
  EXPECT_FALSE(IsWindow(hostWindow));
  EXPECT_TRUE(logo.IsUp());
  EXPECT_TRUE(IsWindow(logo.GetWindowHandle()));
  // The quit was the host's: the logo's own loop still paints.
  InvalidateRect(logo.GetWindowHandle(), nullptr, TRUE);
  const long x = (GetSystemMetrics(SM_CXFULLSCREEN) - 20) >> 1;
  const long y = (GetSystemMetrics(SM_CYFULLSCREEN) - 20) >> 1;
  EXPECT_TRUE(WaitFor([&] { return CaptureScreen().At(x + 5, y + 5) == 0xCC2200; }));
}

TEST_F(LogoWindow, LogoWindowClosedUnderItsLoopIsDestroyedWithoutWaitingForever) {
  PutLogo(TargaWithBorder(8, 8, 0, 0xFFFFFF));
  auto logo = std::make_unique<VideoQuellorXRLogo>();
  ASSERT_TRUE(logo->IsUp());
  HWND window = logo->GetWindowHandle();
  PostMessageA(window, WM_CLOSE, 0, 0);  // a user closing it
  ASSERT_TRUE(WaitFor([&] { return !logo->IsUp(); }));
  EXPECT_FALSE(IsWindow(window));
  logo.reset();  // returns: nothing to wait for
}

TEST(LogoPicture, TheBuiltLogoIsAShapedPictureOfReasonableSize) {
  const char* bin = std::getenv("QUELLOR_BIN");
  ASSERT_NE(bin, nullptr);
  const std::string path = std::string(bin) + "/Skins/Logo/VideoQuellorLogo.tga";
  WindowBitmap picture;
  ASSERT_TRUE(picture.ReadBitmapFile(const_cast<char*>(path.c_str()))) << path;
  const unsigned long w = picture.GetWidth(), h = picture.GetHeight();
  EXPECT_GE(w, 320u);
  EXPECT_GE(h, 120u);
  EXPECT_LE(w, 800u);
  // Rounded corners are cut away; the plate is whole and not flat.
  EXPECT_EQ(picture.GetPixel(0, 0)->alpha, 0);
  EXPECT_EQ(picture.GetPixel(w - 1, h - 1)->alpha, 0);
  EXPECT_EQ(picture.GetPixel(w / 2, h / 2)->alpha, 255);
  EXPECT_EQ(picture.GetPixel(w / 2, 0)->alpha, 255);
  EXPECT_EQ(picture.GetPixel(0, h / 2)->alpha, 255);
  unsigned brightest = 0, darkest = 255;
  for (unsigned long y = 0; y < h; ++y)
    for (unsigned long x = 0; x < w; ++x) {
      const WindowPixel* p = picture.GetPixel(x, y);
      if (p->alpha < 255) continue;
      const unsigned level = (p->red + p->green + p->blue) / 3;
      brightest = std::max(brightest, level);
      darkest = std::min(darkest, level);
    }
  EXPECT_GT(brightest, 200u);  // the name in white
  EXPECT_LT(darkest, 40u);     // on a dark plate
}

TEST_F(LogoWindow, TheBuiltLogoShowsOnScreenAsDrawn) {
  const char* bin = std::getenv("QUELLOR_BIN");
  ASSERT_NE(bin, nullptr);
  FindFiles_AddPath("Skins", (std::string(bin) + "/Skins").c_str());
  VideoQuellorXRLogo logo;
  FindFiles_DeletePath("Skins", (std::string(bin) + "/Skins").c_str());
  ASSERT_TRUE(logo.IsUp()) << logo.GetFailureText();
  WindowBitmap picture;
  const std::string path = std::string(bin) + "/Skins/Logo/VideoQuellorLogo.tga";
  ASSERT_TRUE(picture.ReadBitmapFile(const_cast<char*>(path.c_str())));
  RECT r{};
  GetWindowRect(logo.GetWindowHandle(), &r);
  const unsigned long cx = picture.GetWidth() / 2, cy = picture.GetHeight() / 2;
  const WindowPixel* middle = picture.GetPixel(cx, cy);
  const std::uint32_t expected =
      (std::uint32_t(middle->red) << 16) | (std::uint32_t(middle->green) << 8) | middle->blue;
  ASSERT_TRUE(WaitFor([&] { return CaptureScreen().At(r.left + cx, r.top + cy) == expected; }));
  // For a person to look at: the logo as the screen shows it.
  const auto screen = CaptureScreen();
  quellor::desktop::Picture shot;
  shot.width = r.right - r.left + 40;
  shot.height = r.bottom - r.top + 40;
  for (int y = 0; y < shot.height; ++y)
    for (int x = 0; x < shot.width; ++x)
      shot.pixels.push_back(screen.At(r.left - 20 + x, r.top - 20 + y));
  EXPECT_TRUE(quellor::desktop::WritePng(
      shot, (m_folder->fspath().parent_path() / "logo-on-screen.png").string()));
  EXPECT_EQ(screen.At(r.left, r.top), screen.At(0, 0));  // a cut-away corner
}

}  // namespace
