// The GDI objects behind HBRUSH, HPEN, HBITMAP, HFONT, HRGN and HDC, and the
// process-wide table that turns handles into objects. Handles are never
// reused, so a stale handle fails cleanly instead of reaching a new object.
#pragma once

#include <memory>
#include <string>

#include "PixelBuffer.h"
#include "Region.h"
#include "win32/gdi.h"

namespace quellor::win32 {

class RenderedFont;

class GdiObject {
 public:
  explicit GdiObject(DWORD type) : type_(type) {}
  virtual ~GdiObject() = default;
  DWORD Type() const { return type_; }
  HGDIOBJ Handle() const { return handle_; }
  bool IsStock() const { return stock_; }

 private:
  friend class GdiTable;
  DWORD type_;
  HGDIOBJ handle_ = nullptr;
  bool stock_ = false;
};

class BrushObject : public GdiObject {
 public:
  BrushObject(UINT brushStyle, COLORREF brushColor)
      : GdiObject(OBJ_BRUSH), style(brushStyle), color(brushColor) {}
  UINT style;  // BS_SOLID or BS_NULL
  COLORREF color;
  bool usesDcColor = false;  // DC_BRUSH: the colour comes from SetDCBrushColor
};

class PenObject : public GdiObject {
 public:
  PenObject(UINT penStyle, int penWidth, COLORREF penColor)
      : GdiObject(OBJ_PEN), style(penStyle), width(penWidth), color(penColor) {}
  UINT style;  // PS_ values
  int width;   // 0 and 1 both mean one pixel
  COLORREF color;
  bool usesDcColor = false;
};

class BitmapObject : public GdiObject {
 public:
  BitmapObject(std::shared_ptr<PixelBuffer> bits, bool isDibSection)
      : GdiObject(OBJ_BITMAP), pixels(std::move(bits)), dibSection(isDibSection) {}
  std::shared_ptr<PixelBuffer> pixels;
  bool dibSection;
  BITMAPINFOHEADER header{};  // as given to CreateDIBSection
};

class FontObject : public GdiObject {
 public:
  explicit FontObject(const LOGFONTA& font) : GdiObject(OBJ_FONT), logFont(font) {}
  LOGFONTA logFont;
  // The rasteriser for this font, made on first use (see Font.h).
  std::shared_ptr<RenderedFont> Rendered();

 private:
  std::shared_ptr<RenderedFont> rendered_;
  std::mutex mutex_;
};

class RegionObject : public GdiObject {
 public:
  RegionObject() : GdiObject(OBJ_REGION) {}
  explicit RegionObject(Region r) : GdiObject(OBJ_REGION), region(std::move(r)) {}
  Region region;
};

// Handle table. All functions are thread-safe.
class GdiTable {
 public:
  static HGDIOBJ Add(std::shared_ptr<GdiObject> object);
  static HGDIOBJ AddStock(std::shared_ptr<GdiObject> object);
  static std::shared_ptr<GdiObject> Find(HGDIOBJ handle);
  template <class T>
  static std::shared_ptr<T> FindAs(HGDIOBJ handle) {
    return std::dynamic_pointer_cast<T>(Find(handle));
  }
  // Removes the handle; false when it is unknown. Stock objects stay.
  static bool Remove(HGDIOBJ handle);
  // Takes the object out of the table for a new owner (SetWindowRgn).
  static std::shared_ptr<GdiObject> Take(HGDIOBJ handle);
};

std::shared_ptr<BrushObject> StockBrush(int index);
std::shared_ptr<PenObject> StockPen(int index);
std::shared_ptr<FontObject> StockFont(int index);
std::shared_ptr<BitmapObject> StockBitmap();  // the 1 x 1 bitmap of a fresh memory DC

// System colours (GetSysColor) and brushes given as COLOR_x + 1.
COLORREF SystemColor(int index);
// Resolves a brush handle or a "system colour index + 1" value to a brush.
std::shared_ptr<BrushObject> ResolveBrush(HBRUSH brush);

}  // namespace quellor::win32
