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
    list.push_back(std::move(t));
  }
  return list;
}

bool CopyWindowPixels(HWND hwnd, void* destination, int stride, int width, int height) {
  std::shared_ptr<PixelBuffer> surface;
  {
    auto lock = Lock();
    Window* w = FindWindowLocked(hwnd);
    if (!w || w->parent) return false;
    surface = w->surface;
  }
  if (!surface || !destination) return false;
  std::lock_guard<std::mutex> lock(surface->Mutex());
  const int rows = std::min(height, surface->Height());
  const int columns = std::min(width, surface->Width());
  if (surface->BitsPerPixel() == 32) {
    for (int y = 0; y < rows; ++y)
      std::memcpy(static_cast<uint8_t*>(destination) + size_t(y) * size_t(stride),
                  surface->Row32(y), size_t(columns) * 4);
    return true;
  }
  for (int y = 0; y < rows; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(destination) +
                                            size_t(y) * size_t(stride));
    for (int x = 0; x < columns; ++x) row[x] = surface->ReadBgra(x, y) & 0x00FFFFFF;
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

bool PresenterRunning() {
  return g_presenterRunning;
}

}  // namespace quellor::desktop
