// The desktop interface: screen, clock, input, loop and captures.
#include "win32/automation/Desktop.h"

#include <png.h>

#include <cstdio>
#include <memory>

#include "Clock.h"
#include "Display.h"
#include "Input.h"
#include "WindowManager.h"

namespace quellor::desktop {

using namespace quellor::win32;

namespace {

MouseButton ToButton(Button b) {
  return b == Button::Left    ? MouseButton::Left
         : b == Button::Right ? MouseButton::Right
                              : MouseButton::Middle;
}

Picture Crop(PixelBuffer& px, RECT area) {
  Picture p;
  area = Intersect(area, RECT{0, 0, px.Width(), px.Height()});
  p.width = Width(area);
  p.height = Height(area);
  p.pixels.assign(size_t(p.width) * size_t(p.height), 0);
  std::lock_guard<std::mutex> lock(px.Mutex());
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      p.pixels[size_t(y) * p.width + x] = px.ReadBgra(area.left + x, area.top + y) & 0x00FFFFFF;
    }
  }
  return p;
}

}  // namespace

void SetScreenSize(int width, int height) {
  SetDisplaySize(width, height);
}
void SetRefreshRate(int hz) {
  SetDisplayRefresh(hz);
}
void UseManualClock(bool manual) {
  ClockSetManual(manual);
}
void AdvanceClock(DWORD milliseconds) {
  ClockAdvance(milliseconds);
}
DWORD Now() {
  return ClockNow();
}

void MoveMouse(int x, int y) {
  InjectMouseMove(POINT{x, y});
}
void PressButton(Button button, int x, int y) {
  InjectMouseButton(ToButton(button), true, POINT{x, y});
}
void ReleaseButton(Button button, int x, int y) {
  InjectMouseButton(ToButton(button), false, POINT{x, y});
}
void Click(Button button, int x, int y) {
  PressButton(button, x, y);
  ReleaseButton(button, x, y);
}
void PressKey(int virtualKey) {
  InjectKey(virtualKey, true);
}
void ReleaseKey(int virtualKey) {
  InjectKey(virtualKey, false);
}
void TypeKey(int virtualKey) {
  PressKey(virtualKey);
  ReleaseKey(virtualKey);
}
HCURSOR CurrentCursor() {
  return win32::CurrentCursor();
}

int RunUntilIdle(int limit) {
  int dispatched = 0;
  MSG msg;
  while (dispatched < limit && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    ++dispatched;
  }
  return dispatched;
}

uint64_t ScreenVersion() {
  return win32::ScreenVersion();
}

Picture CaptureScreen() {
  DisplayMode mode = CurrentDisplayMode();
  Picture screen;
  screen.width = mode.width;
  screen.height = mode.height;
  screen.pixels.assign(size_t(mode.width) * size_t(mode.height),
                       ColorRefToPixel(SystemColor(COLOR_DESKTOP)));
  struct Layer {
    std::shared_ptr<PixelBuffer> surface;
    RECT rect;
    Region area;  // screen coordinates
  };
  std::vector<Layer> layers;
  {
    auto lock = Lock();
    const auto& tops = TopLevelsLocked();
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {  // bottom first
      Window* w = FindWindowLocked(*it);
      if (!w || !(w->style & WS_VISIBLE) || !w->surface) continue;
      Region area(w->rect);
      if (w->shape) {
        Region shape = *w->shape;
        shape.Offset(w->rect.left, w->rect.top);
        area = area.Intersected(shape);
      }
      layers.push_back(Layer{w->surface, w->rect, std::move(area)});
    }
  }
  RECT bounds{0, 0, mode.width, mode.height};
  for (Layer& layer : layers) {
    std::lock_guard<std::mutex> pixels(layer.surface->Mutex());
    Region visible = layer.area.Intersected(bounds);
    for (const RECT& r : visible.Rects()) {
      for (LONG y = r.top; y < r.bottom; ++y) {
        LONG sy = y - layer.rect.top;
        if (sy < 0 || sy >= layer.surface->Height()) continue;
        const uint32_t* src = layer.surface->Row32(int(sy));
        uint32_t* dst = screen.pixels.data() + size_t(y) * size_t(mode.width);
        for (LONG x = r.left; x < r.right; ++x) {
          LONG sx = x - layer.rect.left;
          if (sx >= 0 && sx < layer.surface->Width()) dst[x] = src[sx] & 0x00FFFFFF;
        }
      }
    }
  }
  return screen;
}

Picture CaptureWindow(HWND hwnd) {
  std::shared_ptr<PixelBuffer> surface;
  RECT area;
  {
    auto lock = Lock();
    Window* w = FindWindowLocked(hwnd);
    if (!w) return Picture{};
    surface = TopLevelOfLocked(*w)->surface;
    POINT o = SurfaceOriginLocked(*w);
    area = RECT{o.x, o.y, o.x + Width(w->rect), o.y + Height(w->rect)};
  }
  if (!surface) return Picture{};
  return Crop(*surface, area);
}

Picture CaptureDC(HDC hdc) {
  auto dc = FindDC(hdc);
  if (!dc) return Picture{};
  if (dc->ContextKind() == DeviceContext::Kind::Window) {
    RECT client;
    HWND hwnd = dc->window;
    if (!GetClientRect(hwnd, &client)) return Picture{};
    WindowDrawArea area;
    if (!QueryWindowDrawArea(hwnd, true, area)) return Picture{};
    return Crop(*area.surface, Offset(client, area.origin.x, area.origin.y));
  }
  std::shared_ptr<PixelBuffer> pixels;
  {
    auto lock = dc->Lock();
    pixels = dc->Attributes().bitmap->pixels;
  }
  if (!pixels) return Picture{};
  return Crop(*pixels, RECT{0, 0, pixels->Width(), pixels->Height()});
}

bool WritePng(const Picture& picture, const std::string& path) {
  if (picture.width <= 0 || picture.height <= 0) return false;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  }
  std::vector<png_byte> row(size_t(picture.width) * 3);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, png_uint_32(picture.width), png_uint_32(picture.height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      uint32_t p = picture.At(x, y);
      row[size_t(x) * 3] = png_byte(p >> 16);
      row[size_t(x) * 3 + 1] = png_byte(p >> 8);
      row[size_t(x) * 3 + 2] = png_byte(p);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0;
}

bool WriteScreenPng(const std::string& path) {
  return WritePng(CaptureScreen(), path);
}
bool WriteWindowPng(HWND hwnd, const std::string& path) {
  return WritePng(CaptureWindow(hwnd), path);
}
bool WriteDcPng(HDC hdc, const std::string& path) {
  return WritePng(CaptureDC(hdc), path);
}

}  // namespace quellor::desktop
