// Files dropped on windows: the drop handle of WM_DROPFILES and its queries.
#include <cstring>
#include <map>
#include <mutex>

#include "window/Geometry.h"
#include "window/WindowManager.h"
#include "win32/errors.h"
#include "win32/kernel.h"
#include "win32/automation/Shell.h"

using namespace quellor::win32;

namespace {

struct Drop {
  std::vector<std::string> paths;
  POINT point{0, 0};  // client coordinates of the receiving window
  bool inClient = true;
};

std::mutex& DropMutex() {
  static std::mutex mutex;
  return mutex;
}

std::map<uintptr_t, Drop>& Drops() {
  static std::map<uintptr_t, Drop> drops;
  return drops;
}

HDROP NewDrop(Drop drop) {
  static uintptr_t next = 0x7D000;
  std::lock_guard<std::mutex> lock(DropMutex());
  next += 4;  // never reused, so a finished drop cannot be mistaken for a new one
  Drops()[next] = std::move(drop);
  return reinterpret_cast<HDROP>(next);
}

}  // namespace

extern "C" {

void WINAPI DragAcceptFiles(HWND hWnd, BOOL fAccept) {
  LONG_PTR ex = GetWindowLongPtrA(hWnd, GWL_EXSTYLE);
  LONG_PTR wanted = fAccept ? (ex | WS_EX_ACCEPTFILES) : (ex & ~LONG_PTR(WS_EX_ACCEPTFILES));
  if (IsWindow(hWnd) && wanted != ex) SetWindowLongPtrA(hWnd, GWL_EXSTYLE, wanted);
}

UINT WINAPI DragQueryFileA(HDROP hDrop, UINT iFile, LPSTR lpszFile, UINT cch) {
  std::lock_guard<std::mutex> lock(DropMutex());
  auto it = Drops().find(reinterpret_cast<uintptr_t>(hDrop));
  if (it == Drops().end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  const auto& paths = it->second.paths;
  if (iFile == 0xFFFFFFFFu) return UINT(paths.size());
  if (iFile >= paths.size()) return 0;
  const std::string& path = paths[iFile];
  if (!lpszFile) return UINT(path.size());
  if (cch == 0) return 0;
  size_t n = std::min<size_t>(path.size(), cch - 1);
  std::memcpy(lpszFile, path.data(), n);
  lpszFile[n] = '\0';
  return UINT(n);
}

BOOL WINAPI DragQueryPoint(HDROP hDrop, LPPOINT lppt) {
  std::lock_guard<std::mutex> lock(DropMutex());
  auto it = Drops().find(reinterpret_cast<uintptr_t>(hDrop));
  if (it == Drops().end() || !lppt) return FALSE;
  *lppt = it->second.point;
  return it->second.inClient ? TRUE : FALSE;
}

void WINAPI DragFinish(HDROP hDrop) {
  std::lock_guard<std::mutex> lock(DropMutex());
  Drops().erase(reinterpret_cast<uintptr_t>(hDrop));
}

}  // extern "C"

namespace quellor::desktop {

bool DropFiles(POINT screen, const std::vector<std::string>& paths) {
  HWND target = nullptr;
  Drop drop;
  drop.paths = paths;
  {
    auto lock = Lock();
    HWND hit = WindowAtLocked(screen, true);
    for (Window* w = FindWindowLocked(hit); w;
         w = w->parent ? FindWindowLocked(w->parent) : nullptr) {
      if (w->exStyle & WS_EX_ACCEPTFILES) {
        RECT r = ScreenRectLocked(*w);
        drop.point = POINT{screen.x - r.left - w->client.left, screen.y - r.top - w->client.top};
        drop.inClient = Contains(w->client, screen.x - r.left, screen.y - r.top);
        target = w->handle;
        break;
      }
    }
  }
  if (!target) return false;
  HDROP handle = NewDrop(std::move(drop));
  if (!PostMessageA(target, WM_DROPFILES, reinterpret_cast<WPARAM>(handle), 0)) {
    DragFinish(handle);
    return false;
  }
  return true;
}

}  // namespace quellor::desktop
