// The waveform monitor as a host uses it: a control window of the registered
// class on the board's input or output, fields handed over by the board's
// hand clock, the drawing thread's scopes read back from the 8-bit display
// and from the painted window.
#include <board/BoardControl.h>
#include <board/testing/BoardClock.h>
#include <qlxrapi/FindFiles.h>
#include <quellor/testing/DesktopReset.h>
#include <win32/automation/Desktop.h>
#include <win32/automation/Presenter.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "BoardTestFixture.h"
#include "ScopeRows.h"
#include "videoproc/WaveformMonitor.h"

namespace quellor::videoproc {
namespace {

using testing::WaitFor;

std::string BinFolder() {
  const char* bin = std::getenv("QUELLOR_BIN");
  return bin != nullptr ? bin : ".";
}

std::string SkinsFolder() {
  return BinFolder() + "/Skins";
}

class WaveformMonitorTest : public testing::ManualBoardTest {
 protected:
  // The plug-in as the framework loads it: its controls registered, its
  // graticules read from the build's skins.
  static void SetUpTestSuite() {
    FindFiles_AddPath("Skins", SkinsFolder().c_str());
    plugin_ = LoadLibraryA((BinFolder() + "/Video.quell").c_str());
  }
  static void TearDownTestSuite() {
    if (plugin_ != nullptr) FreeLibrary(plugin_);
    FindFiles_DeletePath("Skins", SkinsFolder().c_str());
  }
  void SetUp() override {
    ASSERT_NE(plugin_, nullptr);
    ManualBoardTest::SetUp();
    quellor::testing::ResetDesktop();
    WaveformMonitor::SetTeardownPause([](DWORD) {});
  }
  void TearDown() override {
    quellor::testing::DestroyThreadWindows();
    quellor::testing::DrainThreadQueue();
    WaveformMonitor::SetTeardownPause(nullptr);
    ManualBoardTest::TearDown();
  }

  // A control window of the class, opened (display made, thread running).
  WaveformMonitor* Open(const char* className = "WaveformMonitor") {
    std::string name = className, title;
    PluginClass* object = Orvane_New(name.data(), nullptr, 10, 10, kScopeWidth, kScopeHeight,
                                     title.data(), WS_POPUP | WS_VISIBLE, 0);
    auto* monitor = dynamic_cast<WaveformMonitor*>(object);
    if (monitor == nullptr) return nullptr;
    desktop::RunUntilIdle();
    // The first wait ends at once (the event starts signalled).
    EXPECT_TRUE(WaitFor([&] { return monitor->GetDrawCount() >= 1; }));
    return monitor;
  }

  // Runs fields one at a time; each field a monitor takes (a new monitor
  // waits for the second field of a frame) is drawn before the next comes.
  static void Feed(std::vector<WaveformMonitor*> monitors, int fields) {
    for (int i = 0; i < fields; ++i) {
      std::vector<std::uint32_t> frames, taken;
      for (WaveformMonitor* m : monitors) {
        frames.push_back(m->GetFrameCount());
        taken.push_back(m->GetFieldsTaken());
      }
      board::testing::AdvanceFields(1);  // the callbacks run before it returns
      for (std::size_t k = 0; k < monitors.size(); ++k) {
        if (monitors[k]->GetFieldsTaken() == taken[k]) continue;
        ASSERT_TRUE(WaitFor([&] { return monitors[k]->GetDrawnFrame() > frames[k]; }))
            << "monitor " << k << " field " << i;
      }
    }
  }

  static void SetInput(board::InputSourceKind kind) {
    board::InputSetting setting;
    setting.kind = kind;
    std::string error;
    ASSERT_TRUE(board::SetInputSource(setting, error)) << error;
  }

  struct Display {
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(kScopeBytes);
    RGBQUAD palette[256]{};
    std::uint8_t At(int row, int column) const { return bytes[row * kScopeWidth + column]; }
  };
  static Display Read(WaveformMonitor* monitor) {
    Display display;
    EXPECT_TRUE(monitor->CopyDisplay(display.bytes.data(), display.palette));
    return display;
  }

  static HMODULE plugin_;
};

HMODULE WaveformMonitorTest::plugin_ = nullptr;

// What the working graticule must be: the picture divided by the brightness.
std::vector<std::uint8_t> Scaled(const std::uint8_t* source, unsigned brightness) {
  std::vector<std::uint8_t> bytes(kScopeBytes);
  for (std::size_t i = 0; i < kScopeBytes; ++i)
    bytes[i] = static_cast<std::uint8_t>(std::min(source[i] * 256u / brightness, 255u));
  return bytes;
}

bool RowIsLine(const std::uint8_t* picture, int row) {
  int lit = 0;
  for (int x = 60; x < 300; ++x) lit += picture[row * kScopeWidth + x] != 0;
  return lit > 120;
}

TEST_F(WaveformMonitorTest, BarsOnTheInputAreDrawnAndPaintedThroughThePalette) {
  SetInput(board::InputSourceKind::Bars);
  WaveformMonitor* monitor = Open();
  ASSERT_NE(monitor, nullptr);
  EXPECT_EQ(monitor->GetBrightness(), 600u);
  monitor->WM_SetMode(kScopeLuma);
  Feed({monitor}, 4);
  const Display display = Read(monitor);
  // The white bar (Y 180) in the first 45 columns, the blue one (Y 35) in
  // columns 270..314, both saturated by 120 kept lines.
  for (int column = 2; column < 43; ++column) EXPECT_GE(display.At(102, column), 245) << column;
  for (int column = 272; column < 313; ++column) EXPECT_GE(display.At(175, column), 245) << column;
  // Nothing of the bars between their levels, apart from the graticule.
  std::vector<std::uint8_t> graticule(kScopeBytes);
  monitor->CopyWorkingGraticule(graticule.data());
  EXPECT_EQ(display.At(140, 20), graticule[140 * kScopeWidth + 20]);
  // Palette: green only, brightness 600.
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(display.palette[i].rgbGreen, std::min((i * 600) >> 8, 254)) << i;
    EXPECT_EQ(display.palette[i].rgbRed, 0);
    EXPECT_EQ(display.palette[i].rgbBlue, 0);
  }
  // The painted window shows every display byte through that palette.
  HWND window = monitor->GetWindowHandle();
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const Display painted = Read(monitor);
  const desktop::Picture picture = desktop::CaptureWindow(window);
  ASSERT_EQ(picture.width, kScopeWidth);
  ASSERT_EQ(picture.height, kScopeHeight);
  int wrong = 0;
  for (int y = 0; y < kScopeHeight; ++y) {
    for (int x = 0; x < kScopeWidth; ++x) {
      const std::uint32_t green = painted.palette[painted.At(y, x)].rgbGreen;
      wrong += picture.At(x, y) != (green << 8);
    }
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(picture.At(20, 102), 254u << 8) << "a saturated trace is full green";
  // The 100 IRE line keeps its picture's brightness: 150 / 600 * 256 = 64,
  // shown as 64 * 600 / 256 = 150.
  EXPECT_EQ(WaveformMonitor::CompositeYcOverlay[75 * kScopeWidth + 200], 150);
  EXPECT_EQ(picture.At(200, 75), 150u << 8);
}

TEST_F(WaveformMonitorTest, BlackSitsOnTheSetupLineOrOnZeroWithoutSetup) {
  SetInput(board::InputSourceKind::Black);
  WaveformMonitor* monitor = Open();
  ASSERT_NE(monitor, nullptr);
  EXPECT_FALSE(monitor->IsJapanese());
  monitor->WM_SetMode(kScopeLuma);
  Feed({monitor}, 2);
  Display display = Read(monitor);
  for (int column = 0; column < kScopeWidth; ++column) EXPECT_GE(display.At(184, column), 245);
  // The standard graticule: black is its 7.5 IRE line, 0 IRE lies below it.
  const std::uint8_t* standard = WaveformMonitor::CompositeYcOverlay;
  EXPECT_TRUE(RowIsLine(standard, 184));
  EXPECT_TRUE(RowIsLine(standard, 193));
  std::vector<std::uint8_t> graticule(kScopeBytes);
  monitor->CopyWorkingGraticule(graticule.data());
  EXPECT_EQ(graticule, Scaled(standard, 600));
  // Mode 5: every pair lands on the centre, [128][128].
  monitor->WM_SetMode(kScopeVector);
  Feed({monitor}, 1);
  display = Read(monitor);
  EXPECT_GE(display.At(128, 180), 250);

  // The pedestal on (1, the default of the output settings) keeps the
  // standard graticule.
  std::string error;
  ASSERT_TRUE(board::SetControl("input", "control.pedestal", 1, error)) << error;
  WaveformMonitor* withPedestal = Open();
  ASSERT_NE(withPedestal, nullptr);
  EXPECT_FALSE(withPedestal->IsJapanese());

  // The pedestal removed (Japan): 0 IRE is black.
  ASSERT_TRUE(board::SetControl("input", "control.pedestal", 0, error)) << error;
  WaveformMonitor* japanese = Open();
  ASSERT_NE(japanese, nullptr);
  EXPECT_TRUE(japanese->IsJapanese());
  const std::uint8_t* noSetup = WaveformMonitor::CompositeYcOverlay_Jap;
  EXPECT_TRUE(RowIsLine(noSetup, 184));
  EXPECT_FALSE(RowIsLine(noSetup, 193));
  struct Expectation {
    int mode;
    const std::uint8_t* graticule;
  };
  for (const Expectation& e :
       {Expectation{kScopeComposite, noSetup}, Expectation{kScopeLuma, noSetup},
        Expectation{kScopeChroma, standard},
        Expectation{kScopeYuvParade, WaveformMonitor::ComponentYUVOverlay_Jap},
        Expectation{kScopeRgbParade, WaveformMonitor::ComponentRGBOverlay}}) {
    japanese->WM_SetMode(e.mode);
    japanese->CopyWorkingGraticule(graticule.data());
    EXPECT_EQ(graticule, Scaled(e.graticule, 600)) << "mode " << e.mode;
  }
  japanese->WM_SetMode(kScopeLuma);
  Feed({japanese}, 2);
  display = Read(japanese);
  EXPECT_GE(display.At(184, 100), 245);
}

TEST_F(WaveformMonitorTest, PedestalChangeSeenByTheDrawingThread) {
  WaveformMonitor* monitor = Open();
  ASSERT_NE(monitor, nullptr);
  EXPECT_FALSE(monitor->IsJapanese());
  std::string error;
  ASSERT_TRUE(board::SetControl("input", "control.pedestal", 0, error)) << error;
  // Looked at every 16 frames.
  Feed({monitor}, 17);
  EXPECT_TRUE(monitor->IsJapanese());
  std::vector<std::uint8_t> graticule(kScopeBytes);
  monitor->CopyWorkingGraticule(graticule.data());
  EXPECT_EQ(graticule, Scaled(WaveformMonitor::CompositeYcOverlay_Jap, 600));
}

TEST_F(WaveformMonitorTest, BrightnessScalesPaletteAndGraticuleTogether) {
  // Without a window there is no display: the brightness stays.
  std::string name = "WaveformMonitor";
  PluginClass* bare = Orvane_New(name.data());
  auto* windowless = dynamic_cast<WaveformMonitor*>(bare);
  ASSERT_NE(windowless, nullptr);
  windowless->SetBrightness(500);
  EXPECT_EQ(windowless->GetBrightness(), 300u);
  delete bare;

  WaveformMonitor* monitor = Open();
  ASSERT_NE(monitor, nullptr);
  monitor->WM_SetMode(kScopeVector);
  std::vector<std::uint8_t> before(kScopeBytes), after(kScopeBytes);
  monitor->CopyWorkingGraticule(before.data());
  monitor->SetBrightness(600);  // unchanged: nothing happens
  monitor->SetBrightness(0);    // refused
  EXPECT_EQ(monitor->GetBrightness(), 600u);
  monitor->CopyWorkingGraticule(after.data());
  EXPECT_EQ(before, after);

  monitor->SetBrightness(300);
  EXPECT_EQ(monitor->GetBrightness(), 300u);
  monitor->CopyWorkingGraticule(after.data());
  EXPECT_EQ(after, Scaled(WaveformMonitor::VectorScopeOverlay, 300));
  const Display display = Read(monitor);
  EXPECT_EQ(display.palette[100].rgbGreen, (100 * 300) >> 8);
  EXPECT_EQ(display.palette[255].rgbGreen, 254);

  // A mode without a scope keeps the graticule, and a later brightness
  // rescales it from its picture rather than from the scaled bytes.
  monitor->WM_SetMode(9);
  EXPECT_EQ(monitor->WM_GetMode(), 9);
  monitor->SetBrightness(600);
  monitor->CopyWorkingGraticule(after.data());
  EXPECT_EQ(after, Scaled(WaveformMonitor::VectorScopeOverlay, 600));
}

TEST_F(WaveformMonitorTest, VectorscopeDotsOfBarsSitInTheGraticuleBoxes) {
  SetInput(board::InputSourceKind::Bars);
  WaveformMonitor* monitor = Open();
  ASSERT_NE(monitor, nullptr);
  monitor->WM_SetMode(kScopeVector);
  Feed({monitor}, 2);
  const Display display = Read(monitor);
  const std::uint8_t* graticule = WaveformMonitor::VectorScopeOverlay;
  struct Bar {
    const char* name;
    int u, v;
  };
  for (const Bar& bar : {Bar{"yellow", 44, 142}, Bar{"cyan", 156, 44}, Bar{"green", 72, 58},
                         Bar{"magenta", 184, 198}, Bar{"red", 100, 212}, Bar{"blue", 212, 114}}) {
    const ScopePoint dot = VectorScopePosition(bar.u, bar.v);
    EXPECT_GE(display.At(dot.row, dot.column), 250) << bar.name;
    EXPECT_EQ(graticule[dot.row * kScopeWidth + dot.column], 0) << bar.name << " on a line";
    // The fine box closes round the dot within a few pixels each way.
    const int dx[] = {1, -1, 0, 0}, dy[] = {0, 0, 1, -1};
    for (int d = 0; d < 4; ++d) {
      int reach = 1;
      while (reach < 8 &&
             graticule[(dot.row + dy[d] * reach) * kScopeWidth + dot.column + dx[d] * reach] == 0) {
        ++reach;
      }
      EXPECT_LT(reach, 8) << bar.name << " direction " << d;
    }
  }
}

TEST_F(WaveformMonitorTest, InputAndOutputMonitorsBothTakeTheirFields) {
  SetInput(board::InputSourceKind::Black);
  WaveformMonitor* input = Open("WaveformMonitor");
  WaveformMonitor* output = Open("WaveformMonitorOut");
  ASSERT_NE(input, nullptr);
  ASSERT_NE(output, nullptr);
  const std::uint32_t inputBefore = input->GetFrameCount();
  const std::uint32_t outputBefore = output->GetFrameCount();
  Feed({input, output}, 6);
  EXPECT_EQ(input->GetFrameCount() - inputBefore, 6u);
  EXPECT_EQ(output->GetFrameCount() - outputBefore, 6u);
  EXPECT_EQ(input->GetFieldsTaken(), 6u);
  EXPECT_EQ(output->GetFieldsTaken(), 6u);
}

// Fields handed over in bursts, with no wait for the drawing thread between
// them: once the drawn-field count reaches the fields taken, the display shows
// the last of them, however the thread's wake-ups fell.
TEST_F(WaveformMonitorTest, TheDrawnFieldCountNamesTheFieldOnTheDisplay) {
  SetInput(board::InputSourceKind::Black);
  WaveformMonitor* monitor = Open();
  ASSERT_NE(monitor, nullptr);
  monitor->WM_SetMode(kScopeLuma);
  Feed({monitor}, 4);
  EXPECT_EQ(monitor->GetDrawnField(), monitor->GetFieldsTaken());
  std::vector<std::uint8_t> graticule(kScopeBytes);
  monitor->CopyWorkingGraticule(graticule.data());
  SetInput(board::InputSourceKind::Bars);
  for (int burst = 0; burst < 3; ++burst) board::testing::AdvanceFields(3);
  const std::uint32_t taken = monitor->GetFieldsTaken();
  EXPECT_EQ(taken, 13u);
  ASSERT_TRUE(WaitFor([&] { return monitor->GetDrawnField() >= taken; }));
  // The white bar's trace (Y 180, row 102), where black left only graticule.
  EXPECT_GT(Read(monitor).At(102, 20), graticule[102 * kScopeWidth + 20]);
}

TEST_F(WaveformMonitorTest, WindowDestroyedWhileFieldsArrive) {
  WaveformMonitor* monitor = Open();
  ASSERT_NE(monitor, nullptr);
  monitor->WM_SetMode(kScopeRgbParade);
  std::atomic<bool> stop{false};
  std::thread feeder([&] {
    while (!stop) board::testing::AdvanceFields(1);
  });
  ASSERT_TRUE(WaitFor([&] { return monitor->GetFrameCount() > 3; }));
  EXPECT_TRUE(::DestroyWindow(monitor->GetWindowHandle()));  // the object goes with it
  stop = true;
  feeder.join();
  EXPECT_EQ(BaseWindowClass::GetLiveWindowCount(), 0);
}

TEST_F(WaveformMonitorTest, NoBoardFailsTheCreationWithItsText) {
  setenv("QUELLOR_BOARD", "none", 1);
  board::testing::ResetBoard();
  const std::size_t windows = desktop::TopLevelWindows().size();
  std::string thrown;
  try {
    Open();
  } catch (const char* text) {
    thrown = text;
  }
  EXPECT_EQ(thrown, "Could not create the switcher client.");
  EXPECT_EQ(desktop::TopLevelWindows().size(), windows) << "no half-made window is left";
  unsetenv("QUELLOR_BOARD");
}

// A Targa of width x height, every pixel the same grey.
void WriteTarga(const std::string& path, int width, int height, std::uint8_t grey) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  unsigned char header[18] = {};
  header[2] = 2;
  header[12] = static_cast<unsigned char>(width);
  header[13] = static_cast<unsigned char>(width >> 8);
  header[14] = static_cast<unsigned char>(height);
  header[15] = static_cast<unsigned char>(height >> 8);
  header[16] = 24;
  std::fwrite(header, 1, sizeof header, file);
  std::vector<unsigned char> pixels(std::size_t(width) * height * 3, grey);
  std::fwrite(pixels.data(), 1, pixels.size(), file);
  std::fclose(file);
}

TEST_F(WaveformMonitorTest, MissingAndSmallGraticulesAreBlankWhereTheyLackPixels) {
  const std::string scratch = folder_ + "-skins";
  std::filesystem::create_directories(scratch + "/QuellorScope");
  WriteTarga(scratch + "/QuellorScope/VectorScope.tga", 100, 50, 200);
  WriteTarga(scratch + "/QuellorScope/ComponentRGB.tga", 400, 300, 90);
  FindFiles_DeletePath("Skins", SkinsFolder().c_str());
  FindFiles_AddPath("Skins", scratch.c_str());
  WaveFormVectorScopeInit();
  const std::uint8_t* small = WaveformMonitor::VectorScopeOverlay;
  EXPECT_EQ(small[0], 200);
  EXPECT_EQ(small[49 * kScopeWidth + 99], 200);
  EXPECT_EQ(small[49 * kScopeWidth + 100], 0);
  EXPECT_EQ(small[50 * kScopeWidth], 0);
  EXPECT_EQ(WaveformMonitor::ComponentRGBOverlay[255 * kScopeWidth + 359], 90) << "cut to size";
  const std::vector<std::uint8_t> blank(kScopeBytes, 0);
  EXPECT_TRUE(std::equal(blank.begin(), blank.end(), WaveformMonitor::CompositeYcOverlay))
      << "missing";

  FindFiles_DeletePath("Skins", scratch.c_str());
  FindFiles_AddPath("Skins", SkinsFolder().c_str());
  WaveFormVectorScopeInit();
  EXPECT_TRUE(RowIsLine(WaveformMonitor::CompositeYcOverlay, 184));
  std::error_code ignored;
  std::filesystem::remove_all(scratch, ignored);
}

}  // namespace
}  // namespace quellor::videoproc
