#include "PreviewWindow.h"

#include <string>
#include <utility>

#include "board/FieldRecords.h"
#include "win32/automation/Presenter.h"

namespace quellor::preview {

namespace {

constexpr const char* kClassName = "QuellorVideoPreview";

}  // namespace

std::string PreviewTitle(const char* name, std::uint32_t field, std::uint32_t fieldLines) {
  return std::string(name) + ": field " + std::to_string(field) + ", " +
         (fieldLines == kPalFieldLines ? "PAL" : "NTSC");
}

PreviewWindow::PreviewWindow(const char* name) : name_(name) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = &PreviewWindow::Procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kClassName;
  RegisterClassA(&windowClass);
  // A 720x480 picture at half size fits the default window.
  window_ = CreateWindowExA(0, kClassName, name, WS_OVERLAPPEDWINDOW, 0, 0, 360, 240, nullptr,
                            nullptr, windowClass.hInstance, this);
  if (window_ && desktop::PresenterRunning()) {
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    shown_ = true;
  }
}

PreviewWindow::~PreviewWindow() {
  if (window_ && IsWindow(window_)) DestroyWindow(window_);
}

void PreviewWindow::Redraw(std::uint32_t field, std::uint32_t fieldLines) {
  if (!shown_ || !IsWindow(window_)) return;
  fieldLines_ = fieldLines;
  SetWindowTextA(window_, PreviewTitle(name_, field, fieldLines).c_str());
  InvalidateRect(window_, nullptr, FALSE);
  UpdateWindow(window_);
}

void PreviewWindow::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window_, &ps);
  RECT client;
  GetClientRect(window_, &client);
  const int height = int(2 * fieldLines_);
  if (!picture_.empty() && picture_.size() >= size_t(kBoardPixelsPerLine) * size_t(height) * 4) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = LONG(kBoardPixelsPerLine);
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    // Nearest pixels: filtering every field would cost more than the rest
    // of the preview together.
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, 0, 0, client.right, client.bottom, 0, 0, LONG(kBoardPixelsPerLine), height,
                  picture_.data(), &info, DIB_RGB_COLORS, SRCCOPY);
  } else {
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  EndPaint(window_, &ps);
}

LRESULT CALLBACK PreviewWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<PreviewWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_PAINT:
      if (self) {
        self->Paint();
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      return 1;  // the picture covers everything
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      if (self) self->window_ = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace quellor::preview
