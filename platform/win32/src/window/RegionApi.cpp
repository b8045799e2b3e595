// Region objects and the clip region of device contexts.
#include <cstring>

#include "DeviceContext.h"
#include "win32/errors.h"
#include "win32/kernel.h"

using namespace quellor::win32;

namespace {

HRGN AddRegion(Region region) {
  return static_cast<HRGN>(GdiTable::Add(std::make_shared<RegionObject>(std::move(region))));
}

std::shared_ptr<RegionObject> FindRegion(HRGN hrgn) {
  return GdiTable::FindAs<RegionObject>(hrgn);
}

// Kind of the clip as GDI reports it: the application clip when there is one,
// else the whole surface.
int ClipKind(DeviceContext& dc) {
  return dc.EffectiveClipInDeviceUnits().Kind();
}

}  // namespace

extern "C" {

HRGN WINAPI CreateRectRgn(int x1, int y1, int x2, int y2) {
  return AddRegion(Region(RECT{x1, y1, x2, y2}));
}

HRGN WINAPI CreateRectRgnIndirect(const RECT* lprect) {
  if (!lprect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreateRectRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

HRGN WINAPI ExtCreateRegion(const XFORM* lpx, DWORD nCount, const RGNDATA* lpData) {
  if (!lpData || nCount < sizeof(RGNDATAHEADER) || lpData->rdh.dwSize != sizeof(RGNDATAHEADER) ||
      lpData->rdh.iType != RDH_RECTANGLES) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  // The rectangles must lie within the bytes the caller says it passed.
  uint64_t needed = uint64_t(sizeof(RGNDATAHEADER)) + uint64_t(lpData->rdh.nCount) * sizeof(RECT);
  if (needed > nCount) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (lpx && (lpx->eM11 != 1.0f || lpx->eM22 != 1.0f || lpx->eM12 != 0.0f || lpx->eM21 != 0.0f)) {
    // Only translations are supported.
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::vector<RECT> rects(lpData->rdh.nCount);
  if (!rects.empty()) std::memcpy(rects.data(), lpData->Buffer, rects.size() * sizeof(RECT));
  if (lpx) {
    for (RECT& r : rects) r = Offset(r, LONG(lpx->eDx), LONG(lpx->eDy));
  }
  for (RECT& r : rects) r = Normalised(r);
  return AddRegion(Region::FromRects(rects));
}

DWORD WINAPI GetRegionData(HRGN hrgn, DWORD nCount, LPRGNDATA lpRgnData) {
  auto region = FindRegion(hrgn);
  if (!region) return 0;
  const auto& rects = region->region.Rects();
  DWORD size = DWORD(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  if (!lpRgnData) return size;
  if (nCount < size) return 0;
  lpRgnData->rdh.dwSize = sizeof(RGNDATAHEADER);
  lpRgnData->rdh.iType = RDH_RECTANGLES;
  lpRgnData->rdh.nCount = DWORD(rects.size());
  lpRgnData->rdh.nRgnSize = DWORD(rects.size() * sizeof(RECT));
  lpRgnData->rdh.rcBound = region->region.Bounds();
  if (!rects.empty()) std::memcpy(lpRgnData->Buffer, rects.data(), rects.size() * sizeof(RECT));
  return size;
}

int WINAPI CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode) {
  auto dst = FindRegion(hrgnDst);
  auto a = FindRegion(hrgnSrc1);
  auto b = iMode == RGN_COPY ? a : FindRegion(hrgnSrc2);
  if (!dst || !a || !b) {
    SetLastError(ERROR_INVALID_HANDLE);
    return ERROR;
  }
  Region result;
  switch (iMode) {
    case RGN_AND:
      result = Region::Combine(a->region, b->region, Region::Op::And);
      break;
    case RGN_OR:
      result = Region::Combine(a->region, b->region, Region::Op::Or);
      break;
    case RGN_XOR:
      result = Region::Combine(a->region, b->region, Region::Op::Xor);
      break;
    case RGN_DIFF:
      result = Region::Combine(a->region, b->region, Region::Op::Diff);
      break;
    case RGN_COPY:
      result = a->region;
      break;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return ERROR;
  }
  dst->region = std::move(result);
  return dst->region.Kind();
}

BOOL WINAPI SetRectRgn(HRGN hrgn, int left, int top, int right, int bottom) {
  auto region = FindRegion(hrgn);
  if (!region) return FALSE;
  region->region = Region(RECT{left, top, right, bottom});
  return TRUE;
}

int WINAPI OffsetRgn(HRGN hrgn, int x, int y) {
  auto region = FindRegion(hrgn);
  if (!region) return ERROR;
  region->region.Offset(x, y);
  return region->region.Kind();
}

BOOL WINAPI PtInRegion(HRGN hrgn, int x, int y) {
  auto region = FindRegion(hrgn);
  return region && region->region.Contains(x, y) ? TRUE : FALSE;
}

BOOL WINAPI RectInRegion(HRGN hrgn, const RECT* lprect) {
  auto region = FindRegion(hrgn);
  return region && lprect && region->region.Intersects(Normalised(*lprect)) ? TRUE : FALSE;
}

BOOL WINAPI EqualRgn(HRGN hrgn1, HRGN hrgn2) {
  auto a = FindRegion(hrgn1);
  auto b = FindRegion(hrgn2);
  if (!a || !b) return ERROR;
  return a->region == b->region ? TRUE : FALSE;
}

int WINAPI GetRgnBox(HRGN hrgn, LPRECT lprc) {
  auto region = FindRegion(hrgn);
  if (!region || !lprc) return ERROR;
  *lprc = region->region.Bounds();
  return region->region.Kind();
}

int WINAPI SelectClipRgn(HDC hdc, HRGN hrgn) {
  return ExtSelectClipRgn(hdc, hrgn, RGN_COPY);
}

int WINAPI ExtSelectClipRgn(HDC hdc, HRGN hrgn, int mode) {
  auto dc = FindDC(hdc);
  if (!dc) return ERROR;
  auto region = FindRegion(hrgn);
  auto lock = dc->Lock();
  auto& clip = dc->Attributes().clip;
  if (!hrgn) {
    if (mode != RGN_COPY) return ERROR;
    clip.reset();  // back to the whole surface
    return ClipKind(*dc);
  }
  if (!region) return ERROR;
  Region current = clip ? *clip : Region(dc->DeviceBounds());
  switch (mode) {
    case RGN_COPY:
      clip = region->region;
      break;
    case RGN_AND:
      clip = Region::Combine(current, region->region, Region::Op::And);
      break;
    case RGN_OR:
      clip = Region::Combine(current, region->region, Region::Op::Or);
      break;
    case RGN_XOR:
      clip = Region::Combine(current, region->region, Region::Op::Xor);
      break;
    case RGN_DIFF:
      clip = Region::Combine(current, region->region, Region::Op::Diff);
      break;
    default:
      return ERROR;
  }
  return ClipKind(*dc);
}

int WINAPI ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
  auto dc = FindDC(hdc);
  if (!dc) return ERROR;
  auto lock = dc->Lock();
  auto& clip = dc->Attributes().clip;
  POINT org = dc->Attributes().viewportOrigin;
  RECT r = Offset(Normalised(RECT{left, top, right, bottom}), org.x, org.y);
  clip = (clip ? *clip : Region(dc->DeviceBounds())).Subtracted(r);
  return ClipKind(*dc);
}

int WINAPI IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  auto dc = FindDC(hdc);
  if (!dc) return ERROR;
  auto lock = dc->Lock();
  auto& clip = dc->Attributes().clip;
  POINT org = dc->Attributes().viewportOrigin;
  RECT r = Offset(Normalised(RECT{left, top, right, bottom}), org.x, org.y);
  clip = (clip ? *clip : Region(dc->DeviceBounds())).Intersected(r);
  return ClipKind(*dc);
}

int WINAPI GetClipBox(HDC hdc, LPRECT lprect) {
  auto dc = FindDC(hdc);
  if (!dc || !lprect) return ERROR;
  auto lock = dc->Lock();
  Region clip = dc->EffectiveClipInDeviceUnits();
  POINT org = dc->Attributes().viewportOrigin;
  *lprect = clip.IsEmpty() ? RECT{0, 0, 0, 0} : Offset(clip.Bounds(), -org.x, -org.y);
  return clip.Kind();
}

int WINAPI GetClipRgn(HDC hdc, HRGN hrgn) {
  auto dc = FindDC(hdc);
  auto region = FindRegion(hrgn);
  if (!dc || !region) return -1;
  auto lock = dc->Lock();
  if (!dc->Attributes().clip) return 0;
  region->region = *dc->Attributes().clip;
  return 1;
}

}  // extern "C"
