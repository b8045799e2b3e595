#include "win32/surface_spans.h"

#include "DeviceContext.h"
#include "Geometry.h"
#include "PixelBuffer.h"
#include "metafile/MetafileRecording.h"

namespace quellor::win32 {

BOOL VisitSurfaceSpans(HDC hdc, const RECT& area, SurfaceSpan span, void* context) {
  auto dc = FindDC(hdc);
  if (!dc || span == nullptr || metafile::IsRecording(hdc)) return FALSE;
  auto lock = dc->Lock();
  DrawTarget target;
  if (!dc->AcquireTarget(target, true, false) || target.pixels->BitsPerPixel() != 32) return FALSE;
  const RECT device = Offset(area, target.dx, target.dy);
  for (const RECT& c : target.clip.Rects()) {
    const RECT i = Intersect(c, device);
    if (IsEmpty(i)) continue;
    for (LONG row = i.top; row < i.bottom; ++row)
      span(context, target.pixels->Row32(int(row)) + i.left, int(i.left - target.dx),
           int(row - target.dy), int(i.right - i.left));
  }
  return TRUE;
}

}  // namespace quellor::win32
