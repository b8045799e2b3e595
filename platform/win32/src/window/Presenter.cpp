// The presenter seam: the window list, pixels, wheel input and clipboard
// version a presenter on a real display reads, and the loading of that
// presenter (libquellor_display.so) when the environment asks for one.
#include "Presenter.h"

#include <dlfcn.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "Clock.h"
#include "Geometry.h"
#include "Input.h"
#include "PixelBuffer.h"
#include "WindowManager.h"
#include "win32/automation/Presenter.h"
#include "win32/kernel.h"

namespace quellor::win32 {

namespace {

std::mutex g_clipboardMutex;
desktop::ClipboardChange g_clipboardChange;
std::atomic<bool> g_presenterRunning{false};

// The folder this library was loaded from, so that the presenter is the one
// built and installed beside it.
std::string OwnFolder() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&OwnFolder), &info) || !info.dli_fname) return {};
  std::string path = info.dli_fname;
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool PresenterWanted() {
  const char* display = std::getenv("DISPLAY");
  const char* headless = std::getenv("QUELLOR_HEADLESS");
  return display && *display && !(headless && std::strcmp(headless, "1") == 0);
}

}  // namespace

void BumpClipboardVersion() {
  std::lock_guard lock(g_clipboardMutex);
  ++g_clipboardChange.version;
  g_clipboardChange.thread = GetCurrentThreadId();
}

void StartPresenterOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (!PresenterWanted()) return;
    // RTLD_NODELETE: the presenter's thread outlives any dlclose.
    void* library =
        dlopen((OwnFolder() + "libquellor_display.so").c_str(), RTLD_NOW | RTLD_NODELETE);
    if (!library) return;  // not built or not installed: stay headless
    using StartFunction = bool (*)();
    auto start = reinterpret_cast<StartFunction>(dlsym(library, "quellor_display_start"));
    if (start && start()) g_presenterRunning = true;
  });
}

}  // namespace quellor::win32

namespace quellor::desktop {

using namespace quellor::win32;

std::vector<TopLevelWindow> TopLevelWindows() {
  std::vector<TopLevelWindow> list;
  auto lock = Lock();
  for (HWND h : TopLevelsLocked()) {
    Window* w = FindWindowLocked(h);
    if (!w || w->destroying) continue;
    TopLevelWindow t;
    t.hwnd = h;
    t.owner = w->owner;
    t.rect = w->rect;
    t.style = w->style;
    t.exStyle = w->exStyle;
    t.visible = IsVisibleLocked(*w);
    t.popupMenu = w->cls && w->cls->name == "#32768";
    t.title = w->text;
    if (w->shape) {
      t.shaped = true;
      t.shape = w->shape->Rects();
    }
    list.push_back(std::move(t));
  }
  return list;
}

bool CopyWindowPixels(HWND hwnd, void* destination, int stride, int width, int height) {
  return CopyWindowRect(hwnd, destination, stride, width, height, RECT{0, 0, width, height});
}

namespace {

std::shared_ptr<PixelBuffer> TopLevelSurface(HWND hwnd) {
  auto lock = Lock();
  Window* w = FindWindowLocked(hwnd);
  if (!w || w->parent) return nullptr;
  return w->surface;
}

}  // namespace

RECT TakeWindowDamage(HWND hwnd) {
  std::shared_ptr<PixelBuffer> surface = TopLevelSurface(hwnd);
  return surface ? surface->TakeDamage() : RECT{0, 0, 0, 0};
}

bool CopyWindowRect(HWND hwnd, void* destination, int stride, int width, int height,
                    const RECT& area) {
  std::shared_ptr<PixelBuffer> surface = TopLevelSurface(hwnd);
  if (!surface || !destination) return false;
  std::lock_guard<std::mutex> lock(surface->Mutex());
  const RECT r = Intersect(
      area, RECT{0, 0, std::min(width, surface->Width()), std::min(height, surface->Height())});
  if (IsEmpty(r)) return true;
  auto* out = static_cast<uint8_t*>(destination);
  if (surface->BitsPerPixel() == 32) {
    for (LONG y = r.top; y < r.bottom; ++y)
      std::memcpy(out + size_t(y) * size_t(stride) + size_t(r.left) * 4,
                  surface->Row32(int(y)) + r.left, size_t(Width(r)) * 4);
    return true;
  }
  for (LONG y = r.top; y < r.bottom; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(out + size_t(y) * size_t(stride));
    for (LONG x = r.left; x < r.right; ++x) row[x] = surface->ReadBgra(int(x), int(y)) & 0x00FFFFFF;
  }
  return true;
}

void TurnWheel(int delta, int x, int y) {
  InjectWheel(delta, POINT{x, y});
}

ClipboardChange LastClipboardChange() {
  std::lock_guard lock(g_clipboardMutex);
  return g_clipboardChange;
}

bool PlaceTopLevel(HWND hwnd, int x, int y, int width, int height) {
  return SetWindowPos(hwnd, nullptr, x, y, width, height,
                      SWP_ASYNCWINDOWPOS | SWP_NOACTIVATE | SWP_NOZORDER) != FALSE;
}

bool RaiseTopLevel(HWND hwnd) {
  return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0,
                      SWP_ASYNCWINDOWPOS | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE) != FALSE;
}

bool PresenterRunning() {
  return g_presenterRunning;
}

}  // namespace quellor::desktop
