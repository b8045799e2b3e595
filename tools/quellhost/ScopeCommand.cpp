#include "ScopeCommand.h"

#include <board/testing/BoardClock.h>
#include <quellor/Export.h>
#include <win32/automation/Desktop.h>
#include <windows.h>

#include <OutputFile.h>
#include <PngFile.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Commands.h"
#include "videoproc/WaveformMonitor.h"

namespace quellor::quellhost {

namespace {

constexpr char kFrameClass[] = "QuellhostScopeFrame";
constexpr int kScopeWidth = 360;
constexpr int kScopeHeight = 256;
constexpr const char* kModeNames[] = {"composite",  "luma",       "chroma",
                                      "YUV parade", "RGB parade", "vectorscope"};

LRESULT CALLBACK FrameProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, w, l);
}

// A captioned window whose client area is exactly the scope.
HWND CreateFrame(const ScopeOptions& options) {
  WNDCLASSA frameClass{};
  frameClass.lpfnWndProc = &FrameProcedure;
  frameClass.lpszClassName = kFrameClass;
  RegisterClassA(&frameClass);  // a second registration fails harmlessly
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT rect{0, 0, kScopeWidth, kScopeHeight};
  AdjustWindowRect(&rect, style, FALSE);
  const std::string title = std::string("Video Quellor scope: ") + kModeNames[options.mode] +
                            (options.output ? " (output)" : " (input)");
  return CreateWindowExA(0, kFrameClass, title.c_str(), style, 100, 100, rect.right - rect.left,
                         rect.bottom - rect.top, nullptr, nullptr, nullptr, nullptr);
}

// Runs the thread's messages until none is left; false once the loop was
// told to quit.
bool Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) return false;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return true;
}

// Polls (pumping messages) for up to `limit` ms until done() holds.
template <typename Condition>
bool WaitPumping(Condition done, DWORD limit) {
  for (DWORD waited = 0; waited < limit; ++waited) {
    if (done()) return true;
    Pump();
    Sleep(1);
  }
  return done();
}

// Hands the board `fields` fields one at a time; each field the monitor
// takes is drawn before the next comes.
void PlayFields(WaveformMonitor& monitor, long fields) {
  for (long field = 0; field < fields; ++field) {
    const std::uint32_t frames = monitor.GetFrameCount();
    const std::uint32_t draws = monitor.GetDrawCount();
    board::testing::AdvanceFields(1);
    // A field the monitor does not take (the other parity) leaves the count.
    if (WaitPumping([&] { return monitor.GetFrameCount() != frames; }, 50)) {
      WaitPumping([&] { return monitor.GetDrawCount() > draws; }, 1000);
    }
  }
}

bool WriteScopePng(HWND control, int zoom, const std::string& path, std::string& error) {
  RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const desktop::Picture picture = desktop::CaptureWindow(control);
  if (picture.width <= 0 || picture.height <= 0) return error = "the window has no pixels", false;
  const int width = picture.width * zoom, height = picture.height * zoom;
  std::vector<std::uint8_t> bgra(std::size_t(width) * std::size_t(height) * 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t rgb = picture.At(x / zoom, y / zoom);
      std::uint8_t* pixel = &bgra[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4];
      pixel[0] = std::uint8_t(rgb);
      pixel[1] = std::uint8_t(rgb >> 8);
      pixel[2] = std::uint8_t(rgb >> 16);
      pixel[3] = 255;
    }
  }
  // Written beside the file and renamed over it once whole: a full disk
  // leaves the old snapshot.
  tools::OutputFile target(path);
  return target.Open({}, &error) &&
         tools::WritePng(target.path(), std::uint32_t(width), std::uint32_t(height), bgra.data(),
                         &error) &&
         target.Commit(&error);
}

void ShowFor(HWND frame, double seconds) {
  const DWORD start = GetTickCount();
  while (IsWindow(frame) && (GetTickCount() - start) < seconds * 1000.0) {
    if (!Pump()) return;
    Sleep(10);
  }
}

}  // namespace

int RunScopeCommand(const FrameworkLibrary&, const std::vector<std::string>& words,
                    std::ostream& out, std::ostream& err) {
  ScopeOptions options;
  std::string error;
  if (!ParseScopeOptions(words, options, error)) {
    err << "quellhost scope: " << error << '\n' << kScopeHelp;
    return kHostUsageError;
  }
  const bool snapshot = !options.png.empty();
  if (snapshot) board::testing::UseManualClock(board::testing::CurrentField());
  HWND frame = CreateFrame(options);
  std::string className = options.output ? "WaveformMonitorOut" : "WaveformMonitor";
  std::string empty;
  PluginClass* object = nullptr;
  try {
    if (frame != nullptr) {
      object = Orvane_New(className.data(), frame, 0, 0, kScopeWidth, kScopeHeight, empty.data(),
                          WS_CHILD | WS_VISIBLE, 0);
    }
  } catch (const char* text) {
    error = text != nullptr ? text : "Unknown Internal Error";
  } catch (...) {
    error = "Unknown Internal Error";
  }
  auto* monitor = dynamic_cast<WaveformMonitor*>(object);
  if (monitor == nullptr) {
    err << "quellhost scope: "
        << (error.empty() ? "no registered control answers \"" + className + "\"" : error) << '\n';
    if (frame != nullptr) DestroyWindow(frame);
    if (snapshot) board::testing::UseRealtimeClock();
    return kHostNotFound;
  }
  ShowWindow(frame, SW_SHOWNORMAL);
  Pump();  // the control opens: its display and drawing thread start
  monitor->WM_SetMode(options.mode);
  if (options.brightness != 0) monitor->SetBrightness(options.brightness);

  int status = kHostSuccess;
  if (snapshot) {
    PlayFields(*monitor, options.fields);
    if (WriteScopePng(monitor->GetWindowHandle(), options.zoom, options.png, error)) {
      out << "wrote " << options.png << " (" << kModeNames[options.mode] << ", "
          << monitor->GetFrameCount() << " fields drawn)\n";
    } else {
      err << "quellhost scope: " << error << '\n';
      status = kHostNotFound;
    }
  } else {
    ShowFor(frame, options.seconds);
  }
  if (IsWindow(frame)) DestroyWindow(frame);  // takes the control and its thread with it
  if (snapshot) board::testing::UseRealtimeClock();
  return status;
}

}  // namespace quellor::quellhost

QUELLOR_EXPORT_C int QuellhostRunScope(const quellor::quellhost::FrameworkLibrary* framework,
                                       const std::vector<std::string>* words, std::ostream* out,
                                       std::ostream* err) {
  return quellor::quellhost::RunScopeCommand(*framework, *words, *out, *err);
}
