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

bool DeviceContext::AcquireTarget(DrawTarget& target, bool lockPixels) {
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
    NoteScreenDrawing();
  }
  if (lockPixels) target.lock = std::unique_lock<std::mutex>(target.pixels->Mutex());
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
