#include "WatchWindow.h"

#include <csignal>
#include <cstdio>

#include "board/ColourConversion.h"
#include "board/FieldRecords.h"
#include "win32/automation/Presenter.h"
#include "windows.h"

namespace quellor::boardctl {

using namespace quellor::board;

namespace {

constexpr UINT_PTR kFieldTimer = 1;
volatile std::sig_atomic_t g_interrupted = 0;

struct Watch {
  bool input = false;
  std::vector<std::uint8_t> picture;  // BGRA, top-down
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t lastField = ~0u;
  std::string error;
};
Watch g_watch;

// Takes the newest frame when the board's field counter has moved.
void Refresh(HWND hwnd) {
  BoardStatus status;
  std::string error;
  if (!ReadBoardStatus(status, error)) {
    g_watch.error = error;
    DestroyWindow(hwnd);
    return;
  }
  if (status.fieldCounter == g_watch.lastField) return;
  BoardFrame frame;
  if (!(g_watch.input ? ReadInputFrame(frame, error) : ReadShownFrame(frame, error))) {
    g_watch.error = error;
    DestroyWindow(hwnd);
    return;
  }
  g_watch.lastField = status.fieldCounter;
  g_watch.picture = FrameToBgra(frame, g_watch.width, g_watch.height);
  SetWindowTextA(hwnd, WatchTitle(g_watch.input, status.fieldCounter, frame.standard).c_str());
  InvalidateRect(hwnd, nullptr, FALSE);
}

void Paint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT client;
  GetClientRect(hwnd, &client);
  if (!g_watch.picture.empty()) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = LONG(g_watch.width);
    info.bmiHeader.biHeight = -LONG(g_watch.height);  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, 0, 0, client.right, client.bottom, 0, 0, int(g_watch.width),
                  int(g_watch.height), g_watch.picture.data(), &info, DIB_RGB_COLORS, SRCCOPY);
  } else {
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK WatchProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (g_interrupted)
        DestroyWindow(hwnd);
      else
        Refresh(hwnd);
      return 0;
    case WM_PAINT:
      Paint(hwnd);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the picture covers everything
    case WM_DESTROY:
      KillTimer(hwnd, kFieldTimer);
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

}  // namespace

std::vector<std::uint8_t> FrameToBgra(const BoardFrame& frame, std::uint32_t& width,
                                      std::uint32_t& height) {
  width = static_cast<std::uint32_t>(kBoardPixelsPerLine);
  const std::uint32_t fieldLines = FieldLines(frame.standard);
  height = 2 * fieldLines;
  const size_t rowBytes = static_cast<size_t>(width) * 4;
  std::vector<std::uint8_t> bgra(rowBytes * height);
  if (frame.pixels.size() < 2 * size_t(fieldLines) * kBoardLineBytes) return bgra;  // short: black
  for (std::uint32_t line = 0; line < height; ++line) {
    const std::uint8_t* source = frame.pixels.data() +
                                 static_cast<size_t>(line & 1) * fieldLines * kBoardLineBytes +
                                 static_cast<size_t>(line >> 1) * kBoardLineBytes;
    decode_ycbcr8_bgra(bgra.data() + line * rowBytes, source, static_cast<int>(width));
  }
  return bgra;
}

std::string WatchTitle(bool input, std::uint32_t field, VideoStandard standard) {
  return std::string("boardctl: ") + (input ? "input" : "output") + ", field " +
         std::to_string(field) + ", " + VideoStandardName(standard);
}

int WatchWindow(bool input) {
  g_watch = Watch{};
  g_watch.input = input;
  BoardStatus status;
  if (!ReadBoardStatus(status, g_watch.error)) {
    std::fprintf(stderr, "boardctl: %s\n", g_watch.error.c_str());
    return 1;
  }
  WNDCLASSA wc{};
  wc.lpfnWndProc = WatchProc;
  wc.lpszClassName = "BoardctlWatch";
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  RegisterClassA(&wc);
  // The picture's own size (720 x 480 or 576) as the client area.
  RECT frame{0, 0, LONG(kBoardPixelsPerLine), LONG(2 * FieldLines(status.input.standard))};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  HWND hwnd = CreateWindowExA(
      0, "BoardctlWatch", WatchTitle(input, status.fieldCounter, status.input.standard).c_str(),
      WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
      frame.bottom - frame.top, nullptr, nullptr, nullptr, nullptr);
  if (!hwnd) {
    std::fprintf(stderr, "boardctl: cannot create the window\n");
    return 1;
  }
  if (!quellor::desktop::PresenterRunning()) {
    DestroyWindow(hwnd);
    std::fprintf(stderr,
                 "boardctl: watch --window needs a display (DISPLAY is not set, or "
                 "QUELLOR_HEADLESS=1)\n");
    return 1;
  }
  std::signal(SIGINT, [](int) { g_interrupted = 1; });
  std::signal(SIGTERM, [](int) { g_interrupted = 1; });
  // One look per field; the timer resolution is whole milliseconds.
  const double rate = status.fieldRate > 0 ? status.fieldRate : 60000.0 / 1001.0;
  SetTimer(hwnd, kFieldTimer, UINT(1000.0 / rate), nullptr);
  Refresh(hwnd);
  ShowWindow(hwnd, SW_SHOW);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (!g_watch.error.empty()) {
    std::fprintf(stderr, "boardctl: %s\n", g_watch.error.c_str());
    return 1;
  }
  return 0;
}

}  // namespace quellor::boardctl
