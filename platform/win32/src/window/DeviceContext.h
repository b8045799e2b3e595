// A device context: the drawing state (selected objects, colours, modes, clip)
// and the surface it draws into. Memory contexts draw into their selected
// bitmap, window contexts into the window's part of its top-level surface, and
// information contexts for "DISPLAY" only answer questions.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "GdiObjects.h"
#include "WindowDrawArea.h"

namespace quellor::win32 {

// A locked surface with the clip in surface coordinates; logical (x, y) of the
// context is (x + dx, y + dy) on the surface.
//
// Painters work on 32-bit pixels only. An 8-bit bitmap is drawn through a
// 32-bit copy (`pixels`) of its colours; Commit() (also run on destruction,
// while the lock is still held) writes changed pixels back as the nearest
// entries of its colour table.
struct DrawTarget {
  std::shared_ptr<PixelBuffer> pixels;
  std::shared_ptr<PixelBuffer> indexed;  // the 8-bit bitmap behind `pixels`
  std::unique_lock<std::mutex> lock;
  Region clip;
  LONG dx = 0;
  LONG dy = 0;

  DrawTarget() = default;
  DrawTarget(const DrawTarget&) = delete;
  DrawTarget& operator=(const DrawTarget&) = delete;
  ~DrawTarget() { Commit(); }
  void Commit();
  // The buffer whose mutex guards this target.
  PixelBuffer* Guarded() const { return indexed ? indexed.get() : pixels.get(); }
};

class DeviceContext : public GdiObject {
 public:
  enum class Kind { Memory, Window, Information };

  struct State {
    std::shared_ptr<BitmapObject> bitmap;
    std::shared_ptr<BrushObject> brush;
    std::shared_ptr<PenObject> pen;
    std::shared_ptr<FontObject> font;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    COLORREF dcBrushColor = RGB(255, 255, 255);
    COLORREF dcPenColor = RGB(0, 0, 0);
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    int stretchMode = BLACKONWHITE;
    UINT textAlign = TA_LEFT | TA_TOP;
    POINT position{0, 0};
    POINT viewportOrigin{0, 0};
    POINT brushOrigin{0, 0};
    std::optional<Region> clip;  // device coordinates; none = no application clip
  };

  explicit DeviceContext(Kind kind);
  Kind ContextKind() const { return kind_; }

  // The window this context belongs to (window contexts only).
  HWND window = nullptr;
  bool clientArea = true;
  bool ownedByWindow = false;  // CS_OWNDC: ReleaseDC keeps it
  // Painting limit of a BeginPaint context, in client coordinates.
  std::optional<Region> paintRegion;
  // Set by GetDCEx with a clip region (surface coordinates are derived).
  std::optional<Region> extraClip;

  // Every attribute below is guarded by Mutex(); callers use Lock().
  std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(mutex_); }
  State& Attributes() { return state_; }
  std::vector<State>& SavedStates() { return saved_; }

  // Locks the surface and computes the clip; false when there is nothing to
  // draw into (information context, deleted window, empty bitmap).
  // With lockPixels false the caller locks target.pixels itself (blits that
  // lock two surfaces at once).
  bool AcquireTarget(DrawTarget& target, bool lockPixels = true, bool expandIndexed = true);
  // The bounds of the drawable area in device coordinates (before the clip).
  RECT DeviceBounds();
  // The application clip combined with the surface limits, in device units.
  Region EffectiveClipInDeviceUnits();

  COLORREF PenColor() const;
  COLORREF BrushColor() const;

 private:
  bool AreaForWindow(WindowDrawArea& area);

  Kind kind_;
  std::mutex mutex_;
  State state_;
  std::vector<State> saved_;
  uint64_t cachedGeneration_ = ~uint64_t(0);
  WindowDrawArea cachedArea_;
};

std::shared_ptr<DeviceContext> FindDC(HDC hdc);
HDC AddDC(std::shared_ptr<DeviceContext> dc);

}  // namespace quellor::win32
