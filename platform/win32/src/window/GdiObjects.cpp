#include "GdiObjects.h"

#include <cstring>
#include <mutex>
#include <unordered_map>

#include "Font.h"

namespace quellor::win32 {
namespace {

struct Table {
  std::mutex mutex;
  std::unordered_map<uintptr_t, std::shared_ptr<GdiObject>> objects;
  // Odd values far from real pointers, so a handle is never a valid address.
  uintptr_t next = 0x40001;
};

Table& TheTable() {
  static Table* table = new Table;  // lives until exit: handles may be used from atexit code
  return *table;
}

LOGFONTA MakeLogFont(LONG height, LONG weight, const char* face) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfCharSet = ANSI_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return lf;
}

struct StockObjects {
  std::shared_ptr<BrushObject> brushes[6];
  std::shared_ptr<BrushObject> dcBrush;
  std::shared_ptr<PenObject> pens[3];
  std::shared_ptr<PenObject> dcPen;
  std::shared_ptr<FontObject> fonts[8];  // index - OEM_FIXED_FONT
  std::shared_ptr<BitmapObject> bitmap;

  StockObjects() {
    const COLORREF brushColors[5] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128),
                                     RGB(64, 64, 64), RGB(0, 0, 0)};
    for (int i = 0; i < 5; ++i)
      brushes[i] = std::make_shared<BrushObject>(BS_SOLID, brushColors[i]);
    brushes[5] = std::make_shared<BrushObject>(BS_NULL, 0);
    for (auto& b : brushes) GdiTable::AddStock(b);
    dcBrush = std::make_shared<BrushObject>(BS_SOLID, RGB(255, 255, 255));
    dcBrush->usesDcColor = true;
    GdiTable::AddStock(dcBrush);
    pens[0] = std::make_shared<PenObject>(PS_SOLID, 0, RGB(255, 255, 255));
    pens[1] = std::make_shared<PenObject>(PS_SOLID, 0, RGB(0, 0, 0));
    pens[2] = std::make_shared<PenObject>(PS_NULL, 0, 0);
    for (auto& p : pens) GdiTable::AddStock(p);
    dcPen = std::make_shared<PenObject>(PS_SOLID, 0, RGB(0, 0, 0));
    dcPen->usesDcColor = true;
    GdiTable::AddStock(dcPen);
    // Stock fonts at 96 dots per inch: the GUI fonts are 8 point (11 pixels
    // character height), the system font a 16 pixel cell in bold.
    fonts[0] = std::make_shared<FontObject>(MakeLogFont(12, FW_NORMAL, "Terminal"));
    fonts[1] = std::make_shared<FontObject>(MakeLogFont(12, FW_NORMAL, "Courier"));
    fonts[2] = std::make_shared<FontObject>(MakeLogFont(13, FW_NORMAL, "MS Sans Serif"));
    fonts[3] = std::make_shared<FontObject>(MakeLogFont(16, FW_BOLD, "System"));
    fonts[4] = std::make_shared<FontObject>(MakeLogFont(16, FW_BOLD, "System"));
    fonts[5] = nullptr;  // DEFAULT_PALETTE is not a font
    fonts[6] = std::make_shared<FontObject>(MakeLogFont(16, FW_NORMAL, "Fixedsys"));
    fonts[7] = std::make_shared<FontObject>(MakeLogFont(-11, FW_NORMAL, "MS Shell Dlg"));
    fonts[0]->logFont.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    fonts[1]->logFont.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    fonts[6]->logFont.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    for (auto& f : fonts) {
      if (f) GdiTable::AddStock(f);
    }
    auto pixels = PixelBuffer::Create(1, 1, 32, false);
    bitmap = std::make_shared<BitmapObject>(pixels, false);
    GdiTable::AddStock(bitmap);
  }
};

StockObjects& Stock() {
  static StockObjects* stock = new StockObjects;
  return *stock;
}

}  // namespace

HGDIOBJ GdiTable::Add(std::shared_ptr<GdiObject> object) {
  if (!object) return nullptr;
  Table& t = TheTable();
  std::lock_guard<std::mutex> lock(t.mutex);
  uintptr_t value = t.next;
  t.next += 4;
  object->handle_ = reinterpret_cast<HGDIOBJ>(value);
  t.objects.emplace(value, std::move(object));
  return reinterpret_cast<HGDIOBJ>(value);
}

HGDIOBJ GdiTable::AddStock(std::shared_ptr<GdiObject> object) {
  object->stock_ = true;
  return Add(std::move(object));
}

std::shared_ptr<GdiObject> GdiTable::Find(HGDIOBJ handle) {
  if (!handle) return nullptr;
  Table& t = TheTable();
  std::lock_guard<std::mutex> lock(t.mutex);
  auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
  return it == t.objects.end() ? nullptr : it->second;
}

bool GdiTable::Remove(HGDIOBJ handle) {
  std::shared_ptr<GdiObject> doomed;  // released outside the lock
  Table& t = TheTable();
  std::lock_guard<std::mutex> lock(t.mutex);
  auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
  if (it == t.objects.end()) return false;
  if (it->second->IsStock()) return true;
  doomed = std::move(it->second);
  t.objects.erase(it);
  return true;
}

std::shared_ptr<GdiObject> GdiTable::Take(HGDIOBJ handle) {
  Table& t = TheTable();
  std::lock_guard<std::mutex> lock(t.mutex);
  auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
  if (it == t.objects.end()) return nullptr;
  std::shared_ptr<GdiObject> object = it->second;
  if (!object->IsStock()) t.objects.erase(it);
  return object;
}

std::shared_ptr<BrushObject> StockBrush(int index) {
  if (index >= WHITE_BRUSH && index <= NULL_BRUSH) return Stock().brushes[index];
  if (index == DC_BRUSH) return Stock().dcBrush;
  return nullptr;
}

std::shared_ptr<PenObject> StockPen(int index) {
  if (index >= WHITE_PEN && index <= NULL_PEN) return Stock().pens[index - WHITE_PEN];
  if (index == DC_PEN) return Stock().dcPen;
  return nullptr;
}

std::shared_ptr<FontObject> StockFont(int index) {
  if (index >= OEM_FIXED_FONT && index <= DEFAULT_GUI_FONT) {
    return Stock().fonts[index - OEM_FIXED_FONT];
  }
  return nullptr;
}

std::shared_ptr<BitmapObject> StockBitmap() {
  return Stock().bitmap;
}

COLORREF SystemColor(int index) {
  // The classic Windows scheme.
  static const COLORREF colors[] = {
      RGB(200, 200, 200), RGB(0, 128, 128),   RGB(0, 0, 128),     RGB(128, 128, 128),
      RGB(192, 192, 192), RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),
      RGB(0, 0, 0),       RGB(255, 255, 255), RGB(192, 192, 192), RGB(192, 192, 192),
      RGB(128, 128, 128), RGB(0, 0, 128),     RGB(255, 255, 255), RGB(192, 192, 192),
      RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(192, 192, 192),
      RGB(255, 255, 255), RGB(0, 0, 0),       RGB(223, 223, 223), RGB(0, 0, 0),
      RGB(255, 255, 225)};
  if (index < 0 || index >= int(sizeof(colors) / sizeof(colors[0]))) return 0;
  return colors[index];
}

std::shared_ptr<BrushObject> ResolveBrush(HBRUSH brush) {
  uintptr_t value = reinterpret_cast<uintptr_t>(brush);
  // Class backgrounds and FillRect accept COLOR_x + 1 in place of a brush.
  if (value >= 1 && value <= 31) {
    return std::make_shared<BrushObject>(BS_SOLID, SystemColor(int(value) - 1));
  }
  return GdiTable::FindAs<BrushObject>(brush);
}

std::shared_ptr<RenderedFont> FontObject::Rendered() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!rendered_) rendered_ = RenderedFont::Create(logFont);
  return rendered_;
}

}  // namespace quellor::win32
