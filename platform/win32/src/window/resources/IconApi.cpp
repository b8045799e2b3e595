// Icons: loaded from module resources or the system set, drawn with their
// alpha as opacity.
#include <map>
#include <memory>
#include <mutex>

#include "ResourceRegistry.h"
#include "win32/errors.h"
#include "win32/gdi.h"
#include "win32/kernel.h"
#include "win32/user.h"

#ifndef ERROR_RESOURCE_NAME_NOT_FOUND
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L
#endif
#ifndef ERROR_INVALID_ICON_HANDLE
#define ERROR_INVALID_ICON_HANDLE 1414L
#endif

using namespace quellor::win32;

namespace {

struct Icon {
  PixelTemplate picture;
  bool shared = false;  // loaded icons live for the process; DestroyIcon leaves them
};

std::mutex gMutex;
std::map<uintptr_t, Icon>& Icons() {
  static std::map<uintptr_t, Icon> icons;
  return icons;
}
std::map<std::string, HICON>& Loaded() {  // "module/name" -> shared handle
  static std::map<std::string, HICON> loaded;
  return loaded;
}

// The system icons: a 32 x 32 disc in a colour of its own.
PixelTemplate SystemIcon(WORD id) {
  uint32_t colour = id == 32513                  ? 0xFFD02020u
                    : id == 32515                ? 0xFFE0C020u
                    : id == 32514 || id == 32516 ? 0xFF2060D0u
                                                 : 0xFF808080u;
  PixelTemplate icon{32, 32, std::vector<uint32_t>(32 * 32, 0)};
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      if ((x - 15.5) * (x - 15.5) + (y - 15.5) * (y - 15.5) <= 15.0 * 15.0)
        icon.pixels[size_t(y * 32 + x)] = colour;
  return icon;
}

HICON AddLocked(Icon icon) {
  static uintptr_t next = 0x1C000;
  next += 4;
  Icons()[next] = std::move(icon);
  return reinterpret_cast<HICON>(next);
}

// Loading the same picture again gives the same handle, as Windows does
// for icons and cursors from resources.
HICON LoadShared(ResourceKind kind, HINSTANCE instance, LPCSTR name,
                 std::optional<PixelTemplate> picture) {
  if (!picture || picture->width <= 0 || picture->height <= 0 ||
      picture->pixels.size() != size_t(picture->width) * size_t(picture->height)) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  std::string key = std::to_string(int(kind)) + "/" +
                    std::to_string(reinterpret_cast<uintptr_t>(instance)) + "/" + ResourceKey(name);
  std::lock_guard<std::mutex> lock(gMutex);
  if (auto it = Loaded().find(key); it != Loaded().end()) return it->second;
  HICON icon = AddLocked(Icon{std::move(*picture), true});
  Loaded()[key] = icon;
  return icon;
}

}  // namespace

namespace quellor::win32 {

HCURSOR LoadModuleCursor(HINSTANCE instance, LPCSTR name) {
  return LoadShared(ResourceKind::Cursor, instance, name,
                    FindPixelResource(ResourceKind::Cursor, instance, name));
}

}  // namespace quellor::win32

extern "C" {

HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
  std::optional<PixelTemplate> picture;
  if (!hInstance && IS_INTRESOURCE(lpIconName)) {
    WORD id = WORD(reinterpret_cast<uintptr_t>(lpIconName));
    if (id >= 32512 && id <= 32517) picture = SystemIcon(id);
  }
  if (!picture) picture = FindPixelResource(ResourceKind::Icon, hInstance, lpIconName);
  return LoadShared(ResourceKind::Icon, hInstance, lpIconName, std::move(picture));
}

BOOL WINAPI DestroyCursor(HCURSOR hCursor) {
  return DestroyIcon(hCursor);
}

BOOL WINAPI DestroyIcon(HICON hIcon) {
  std::lock_guard<std::mutex> lock(gMutex);
  auto it = Icons().find(reinterpret_cast<uintptr_t>(hIcon));
  if (it == Icons().end()) {
    SetLastError(ERROR_INVALID_ICON_HANDLE);
    return FALSE;
  }
  if (!it->second.shared) Icons().erase(it);
  return TRUE;
}

BOOL WINAPI DrawIcon(HDC hDC, int X, int Y, HICON hIcon) {
  PixelTemplate picture;
  {
    std::lock_guard<std::mutex> lock(gMutex);
    auto it = Icons().find(reinterpret_cast<uintptr_t>(hIcon));
    if (it == Icons().end()) {
      SetLastError(ERROR_INVALID_ICON_HANDLE);
      return FALSE;
    }
    picture = it->second.picture;
  }
  // Blend over what is there: read the area, mix by alpha, write it back.
  int w = picture.width, h = picture.height;
  HDC mem = CreateCompatibleDC(hDC);
  BITMAPINFO bmi{};
  bmi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* p = nullptr;
  HBITMAP dib = CreateDIBSection(mem, &bmi, DIB_RGB_COLORS, &p, nullptr, 0);
  if (!mem || !dib) {
    if (dib) DeleteObject(dib);
    if (mem) DeleteDC(mem);
    return FALSE;
  }
  HGDIOBJ old = SelectObject(mem, dib);
  BitBlt(mem, 0, 0, w, h, hDC, X, Y, SRCCOPY);
  GdiFlush();
  auto* bits = static_cast<uint32_t*>(p);
  for (size_t i = 0; i < picture.pixels.size(); ++i) {
    uint32_t s = picture.pixels[i], d = bits[i], a = s >> 24;
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      uint32_t c = (((s >> shift) & 0xFF) * a + ((d >> shift) & 0xFF) * (255 - a) + 127) / 255;
      out |= c << shift;
    }
    bits[i] = out;
  }
  BitBlt(hDC, X, Y, w, h, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteObject(dib);
  DeleteDC(mem);
  return TRUE;
}

}  // extern "C"
