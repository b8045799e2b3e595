#include "qlxrapi/BitmapItem.h"

#include "qlxrapi/Placement.h"

using namespace quellor::win;

BitmapItem::BitmapItem(unsigned long flags, char* name) : m_flags(flags) {
  if (name != nullptr) BuildResource(name, this);
}

BitmapItem::BitmapItem(char* file, unsigned long flags, char* name) : m_flags(flags) {
  if (!m_bitmap.ReadBitmapFile(file)) m_bitmap.Free();
  if (name != nullptr) BuildResource(name, this);
}

BitmapItem::BitmapItem(HINSTANCE module, int id, char* name) {
  if (!ResourceLoad(module, static_cast<unsigned short>(id)))
    throw "Could no create the bitmap from a resource !";
  if (name != nullptr) BuildResource(name, this);
}

BitmapItem::BitmapItem(BitmapItem* source, unsigned x, unsigned y, unsigned width, unsigned height,
                       char* name) {
  if (source != nullptr && m_bitmap.Resize(width, height) && m_bitmap.GetPixels() != nullptr) {
    // Copied pixel by pixel with the source's top-left at (-x, -y); what
    // lies outside the source is transparent black.
    WindowBitmap* from = source->GetBitmap();
    for (unsigned row = 0; row < height; ++row)
      for (unsigned column = 0; column < width; ++column) {
        const unsigned long sx = std::uint64_t{x} + column, sy = std::uint64_t{y} + row;
        *m_bitmap.GetPixel(column, row) = sx < from->GetWidth() && sy < from->GetHeight()
                                              ? *from->GetPixel(sx, sy)
                                              : WindowPixel{};
      }
  }
  if (name != nullptr) BuildResource(name, this);
}

BitmapItem::BitmapItem(BitmapItem* source, char* name) {
  if (source != nullptr) m_bitmap.CopyFrom(source->GetBitmap());
  if (name != nullptr) BuildResource(name, this);
}

bool BitmapItem::ResourceLoad(HINSTANCE module, unsigned short id) {
  if (module == nullptr) return false;
  HBITMAP bitmap = LoadBitmapA(module, MAKEINTRESOURCEA(id));
  if (bitmap == nullptr) return false;
  const bool read = m_bitmap.GetBitmap(bitmap);
  DeleteObject(bitmap);
  if (!read) return false;
  // Module bitmaps carry no alpha (it reads as 0); they are opaque pictures,
  // and the aligned draw blends by alpha.
  WindowPixel* pixels = m_bitmap.GetPixels();
  const std::size_t count = std::size_t{m_bitmap.GetWidth()} * m_bitmap.GetHeight();
  bool anyAlpha = false;
  for (std::size_t i = 0; i < count && !anyAlpha; ++i) anyAlpha = pixels[i].alpha != 0;
  if (!anyAlpha)
    for (std::size_t i = 0; i < count; ++i) pixels[i].alpha = 255;
  m_flags = 192;
  return true;
}

bool BitmapItem::ScreenObject_RAW_DrawItem(RECT* rect, HDC dc, RECT* clip) {
  if (rect == nullptr || dc == nullptr) return false;
  ScreenObjectClip clipping(dc, clip);
  return m_bitmap.BitBlitTile(rect, dc, m_flags);
}

long BitmapItem::ScreenObject_GetPreferedXSize() {
  if (m_bitmap.GetWidth() == 0 || (m_flags & (kStretchHorizontal | kTileHorizontal))) return -1;
  return static_cast<long>(m_bitmap.GetWidth());
}

long BitmapItem::ScreenObject_GetPreferedYSize() {
  if (m_bitmap.GetHeight() == 0 || (m_flags & (kStretchVertical | kTileVertical))) return -1;
  return static_cast<long>(m_bitmap.GetHeight());
}
