#include "qlxrapi/ScreenObject_Resource.h"

#include "DefaultResourceSlots.h"
#include "qlxrapi/Placement.h"

using namespace quellor::win;

namespace {

// A module bitmap in a memory device context for the life of a draw.
class LoadedBitmap {
 public:
  LoadedBitmap(HINSTANCE module, unsigned short id, HDC compatible) {
    if (module == nullptr) return;
    m_bitmap = LoadBitmapA(module, MAKEINTRESOURCEA(id));
    if (m_bitmap == nullptr) return;
    m_dc = CreateCompatibleDC(compatible);
    if (m_dc != nullptr) m_old = SelectObject(m_dc, m_bitmap);
  }
  ~LoadedBitmap() {
    if (m_dc != nullptr) {
      SelectObject(m_dc, m_old);
      DeleteDC(m_dc);
    }
    if (m_bitmap != nullptr) DeleteObject(m_bitmap);
  }
  LoadedBitmap(const LoadedBitmap&) = delete;
  LoadedBitmap& operator=(const LoadedBitmap&) = delete;

  HBITMAP Bitmap() const { return m_bitmap; }
  HDC Dc() const { return m_dc; }

 private:
  HBITMAP m_bitmap = nullptr;
  HDC m_dc = nullptr;
  HGDIOBJ m_old = nullptr;
};

}  // namespace

ScreenObject_Resource::ScreenObject_Resource(HINSTANCE module, unsigned short id,
                                             unsigned long flags, char* name, bool cached)
    : m_flags(flags), m_cached(cached), m_cache(flags, nullptr) {
  ResourceLoad(module, id);
  if (name != nullptr) BuildResource(name, this);
}

ScreenObject_Resource::~ScreenObject_Resource() {
  ForgetDefaultResource(this);
}

bool ScreenObject_Resource::ResourceLoad(HINSTANCE module, unsigned short id) {
  m_module = module;
  m_id = id;
  m_width = m_height = -1;
  m_cache.GetBitmap()->Free();
  if (module == nullptr) return false;
  HBITMAP bitmap = LoadBitmapA(module, MAKEINTRESOURCEA(id));
  if (bitmap == nullptr) return false;
  BITMAP description{};
  const bool described = GetObjectA(bitmap, sizeof(description), &description) != 0;
  DeleteObject(bitmap);
  if (!described) return false;
  m_width = description.bmWidth;
  m_height = description.bmHeight < 0 ? -description.bmHeight : description.bmHeight;
  if (m_cached) {
    if (!m_cache.ResourceLoad(module, id)) return false;
    m_cache.SetAlignment(m_flags);
  }
  return true;
}

void ScreenObject_Resource::SetAlignment(unsigned long flags) {
  m_flags = flags;
  m_cache.SetAlignment(flags);
  Changed("Changed");
}

long ScreenObject_Resource::ScreenObject_GetPreferedXSize() {
  if (m_width <= 0 || (m_flags & (kStretchHorizontal | kTileHorizontal))) return -1;
  return m_width;
}

long ScreenObject_Resource::ScreenObject_GetPreferedYSize() {
  if (m_height <= 0 || (m_flags & (kStretchVertical | kTileVertical))) return -1;
  return m_height;
}

bool ScreenObject_Resource::ScreenObject_RAW_DrawItem(RECT* rect, HDC dc, RECT* clip) {
  if (rect == nullptr || dc == nullptr) return false;
  ScreenObjectClip clipping(dc, clip);
  if (m_cached) return m_cache.GetBitmap()->BitBlitTile(rect, dc, m_flags);
  return DrawUncached(*rect, dc);
}

bool ScreenObject_Resource::DrawUncached(const RECT& rect, HDC dc) {
  LoadedBitmap loaded(m_module, m_id, dc);
  if (loaded.Bitmap() == nullptr) return true;  // nothing to draw is no failure
  if (loaded.Dc() == nullptr) return false;
  BITMAP description{};
  if (GetObjectA(loaded.Bitmap(), sizeof(description), &description) == 0) return false;
  const long w = description.bmWidth;
  const long h = description.bmHeight < 0 ? -description.bmHeight : description.bmHeight;
  return PlaceInRectangle(w, h, rect, m_flags, [&](long x, long y, long cw, long ch) {
    if (cw == w && ch == h)
      return BitBlt(dc, static_cast<int>(x), static_cast<int>(y), static_cast<int>(w),
                    static_cast<int>(h), loaded.Dc(), 0, 0, SRCCOPY) != 0;
    SetStretchBltMode(dc, HALFTONE);
    return StretchBlt(dc, static_cast<int>(x), static_cast<int>(y), static_cast<int>(cw),
                      static_cast<int>(ch), loaded.Dc(), 0, 0, static_cast<int>(w),
                      static_cast<int>(h), SRCCOPY) != 0;
  });
}
