#include "DeviceContext.h"

namespace quellor::win32 {

DeviceContext::DeviceContext(Kind kind)
    : GdiObject(kind == Kind::Memory ? OBJ_MEMDC : OBJ_DC), kind_(kind) {
  state_.bitmap = StockBitmap();
  state_.brush = StockBrush(WHITE_BRUSH);
  state_.pen = StockPen(BLACK_PEN);
  state_.font = StockFont(SYSTEM_FONT);
}

bool DeviceContext::AreaForWindow(WindowDrawArea& area) {
  uint64_t generation = WindowLayoutGeneration();
  if (generation != cachedGeneration_ || !cachedArea_.surface) {
    WindowDrawArea fresh;
    if (!QueryWindowDrawArea(window, clientArea, fresh)) return false;
    cachedArea_ = std::move(fresh);
    cachedGeneration_ = generation;
  }
  area = cachedArea_;
  return true;
}

RECT DeviceContext::DeviceBounds() {
  if (kind_ == Kind::Memory) {
    auto& px = state_.bitmap->pixels;
    return px ? RECT{0, 0, px->Width(), px->Height()} : RECT{0, 0, 0, 0};
  }
  if (kind_ == Kind::Window) {
    WindowDrawArea area;
    if (!AreaForWindow(area)) return RECT{0, 0, 0, 0};
    return Offset(area.visible.Bounds(), -area.origin.x, -area.origin.y);
  }
  return RECT{0, 0, 0, 0};
}

Region DeviceContext::EffectiveClipInDeviceUnits() {
  Region base;
  if (kind_ == Kind::Window) {
    WindowDrawArea area;
    if (!AreaForWindow(area)) return Region();
    base = area.visible;
    base.Offset(-area.origin.x, -area.origin.y);
    if (paintRegion) base = base.Intersected(*paintRegion);
  } else {
    base = Region(DeviceBounds());
  }
  if (extraClip) base = base.Intersected(*extraClip);
  if (state_.clip) base = base.Intersected(*state_.clip);
  return base;
}

namespace {

uint32_t TableColour(const RGBQUAD& q) {
  return uint32_t(q.rgbBlue) | (uint32_t(q.rgbGreen) << 8) | (uint32_t(q.rgbRed) << 16);
}

uint8_t NearestIndex(const std::vector<RGBQUAD>& table, uint32_t colour) {
  int best = 0;
  int bestDistance = 1 << 30;
  for (size_t i = 0; i < table.size(); ++i) {
    int db = int(colour & 0xFF) - table[i].rgbBlue;
    int dg = int((colour >> 8) & 0xFF) - table[i].rgbGreen;
    int dr = int((colour >> 16) & 0xFF) - table[i].rgbRed;
    int d = db * db + dg * dg + dr * dr;
    if (d < bestDistance) {
      bestDistance = d;
      best = int(i);
    }
  }
  return uint8_t(best);
}

}  // namespace

void DrawTarget::Commit() {
  if (!indexed || !pixels) return;
  auto& table = indexed->ColorTable();
  for (int y = 0; y < indexed->Height(); ++y) {
    uint8_t* row = indexed->Row(y);
    const uint32_t* colours = pixels->Row32(y);
    for (int x = 0; x < indexed->Width(); ++x) {
      uint32_t c = colours[x] & 0x00FFFFFF;
      if (c != TableColour(table[row[x]])) row[x] = NearestIndex(table, c);
    }
  }
  indexed.reset();
}

bool DeviceContext::AcquireTarget(DrawTarget& target, bool lockPixels, bool expandIndexed) {
  if (kind_ == Kind::Information) return false;
  if (kind_ == Kind::Memory) {
    auto pixels = state_.bitmap ? state_.bitmap->pixels : nullptr;
    if (!pixels) return false;
    target.clip = Region(RECT{0, 0, pixels->Width(), pixels->Height()});
    if (state_.clip) target.clip = target.clip.Intersected(*state_.clip);
    target.dx = state_.viewportOrigin.x;
    target.dy = state_.viewportOrigin.y;
    target.pixels = std::move(pixels);
  } else {
    WindowDrawArea area;
    if (!AreaForWindow(area)) return false;
    Region clip = area.visible;
    Region limits;
    bool haveLimits = false;
    auto addLimit = [&](const Region& r) {
      limits = haveLimits ? limits.Intersected(r) : r;
      haveLimits = true;
    };
    if (paintRegion) addLimit(*paintRegion);
    if (extraClip) addLimit(*extraClip);
    if (state_.clip) addLimit(*state_.clip);
    if (haveLimits) {
      limits.Offset(area.origin.x, area.origin.y);
      clip = clip.Intersected(limits);
    }
    target.clip = std::move(clip);
    target.dx = area.origin.x + state_.viewportOrigin.x;
    target.dy = area.origin.y + state_.viewportOrigin.y;
    target.pixels = std::move(area.surface);
    // Whatever the call draws lies inside its clip: the presenter copies
    // and puts only that part.
    target.pixels->NoteDamage(target.clip.Bounds());
    NoteScreenDrawing();
  }
  if (lockPixels) target.lock = std::unique_lock<std::mutex>(target.pixels->Mutex());
  if (expandIndexed && target.pixels->BitsPerPixel() == 8) {
    auto shadow = PixelBuffer::Create(target.pixels->Width(), target.pixels->Height(), 32, false);
    if (!shadow) return false;
    std::unique_lock<std::mutex> reading;
    if (!lockPixels) reading = std::unique_lock<std::mutex>(target.pixels->Mutex());
    auto& table = target.pixels->ColorTable();
    for (int y = 0; y < shadow->Height(); ++y) {
      const uint8_t* src = target.pixels->Row(y);
      uint32_t* dst = shadow->Row32(y);
      for (int x = 0; x < shadow->Width(); ++x) dst[x] = TableColour(table[src[x]]);
    }
    target.indexed = std::move(target.pixels);
    target.pixels = std::move(shadow);
  }
  return true;
}

COLORREF DeviceContext::PenColor() const {
  return state_.pen->usesDcColor ? state_.dcPenColor : state_.pen->color;
}
COLORREF DeviceContext::BrushColor() const {
  return state_.brush->usesDcColor ? state_.dcBrushColor : state_.brush->color;
}

std::shared_ptr<DeviceContext> FindDC(HDC hdc) {
  return GdiTable::FindAs<DeviceContext>(hdc);
}

HDC AddDC(std::shared_ptr<DeviceContext> dc) {
  return static_cast<HDC>(GdiTable::Add(std::move(dc)));
}

}  // namespace quellor::win32
