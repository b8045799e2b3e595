// GDI objects and device contexts: creation, selection, deletion and the
// attributes of a context.
#include <strings.h>

#include <cstring>
#include <utility>

#include "DeviceContext.h"
#include "Display.h"
#include "Font.h"
#include "win32/errors.h"
#include "win32/kernel.h"

using namespace quellor::win32;

namespace {

template <class T>
HGDIOBJ Register(std::shared_ptr<T> object) {
  return GdiTable::Add(std::move(object));
}

bool IsDisplayName(LPCSTR name) {
  return name && (strcasecmp(name, "DISPLAY") == 0 || strcasecmp(name, "\\\\.\\DISPLAY1") == 0);
}

HDC CreateDisplayContext(LPCSTR driver, LPCSTR device, DeviceContext::Kind kind) {
  if (!IsDisplayName(driver) && !IsDisplayName(device)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return AddDC(std::make_shared<DeviceContext>(kind));
}

// Sets one attribute under the context's lock and returns the old value.
template <class V, class F>
V Exchange(HDC hdc, V failure, F&& access) {
  auto dc = FindDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return failure;
  }
  auto lock = dc->Lock();
  return access(dc->Attributes());
}

}  // namespace

extern "C" {

HGDIOBJ WINAPI GetStockObject(int i) {
  if (auto b = StockBrush(i)) return b->Handle();
  if (auto p = StockPen(i)) return p->Handle();
  if (auto f = StockFont(i)) return f->Handle();
  return nullptr;
}

HPEN WINAPI CreatePen(int iStyle, int cWidth, COLORREF color) {
  if ((iStyle & PS_STYLE_MASK) > PS_INSIDEFRAME) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return static_cast<HPEN>(Register(
      std::make_shared<PenObject>(UINT(iStyle), cWidth < 0 ? 0 : cWidth, color & 0xFFFFFF)));
}

HPEN WINAPI CreatePenIndirect(const LOGPEN* plpen) {
  if (!plpen) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreatePen(int(plpen->lopnStyle), int(plpen->lopnWidth.x), plpen->lopnColor);
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
  return static_cast<HBRUSH>(Register(std::make_shared<BrushObject>(BS_SOLID, color & 0xFFFFFF)));
}

HBRUSH WINAPI CreateBrushIndirect(const LOGBRUSH* plbrush) {
  if (!plbrush || (plbrush->lbStyle != BS_SOLID && plbrush->lbStyle != BS_NULL)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return static_cast<HBRUSH>(
      Register(std::make_shared<BrushObject>(plbrush->lbStyle, plbrush->lbColor & 0xFFFFFF)));
}

COLORREF WINAPI SetDCBrushColor(HDC hdc, COLORREF color) {
  return Exchange(hdc, COLORREF(CLR_INVALID), [&](DeviceContext::State& s) {
    return std::exchange(s.dcBrushColor, color & 0xFFFFFF);
  });
}

COLORREF WINAPI SetDCPenColor(HDC hdc, COLORREF color) {
  return Exchange(hdc, COLORREF(CLR_INVALID), [&](DeviceContext::State& s) {
    return std::exchange(s.dcPenColor, color & 0xFFFFFF);
  });
}

HDC WINAPI CreateCompatibleDC(HDC hdc) {
  if (hdc && !FindDC(hdc)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return AddDC(std::make_shared<DeviceContext>(DeviceContext::Kind::Memory));
}

HDC WINAPI CreateDCA(LPCSTR pwszDriver, LPCSTR pwszDevice, LPCSTR, const DEVMODEA*) {
  return CreateDisplayContext(pwszDriver, pwszDevice, DeviceContext::Kind::Information);
}

HDC WINAPI CreateICA(LPCSTR pszDriver, LPCSTR pszDevice, LPCSTR, const DEVMODEA*) {
  return CreateDisplayContext(pszDriver, pszDevice, DeviceContext::Kind::Information);
}

BOOL WINAPI DeleteDC(HDC hdc) {
  auto dc = FindDC(hdc);
  if (!dc || dc->ContextKind() == DeviceContext::Kind::Window) {
    // Window contexts go back with ReleaseDC or EndPaint.
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  GdiTable::Remove(hdc);
  return TRUE;
}

int WINAPI SaveDC(HDC hdc) {
  auto dc = FindDC(hdc);
  if (!dc) return 0;
  auto lock = dc->Lock();
  dc->SavedStates().push_back(dc->Attributes());
  return int(dc->SavedStates().size());
}

BOOL WINAPI RestoreDC(HDC hdc, int nSavedDC) {
  auto dc = FindDC(hdc);
  if (!dc) return FALSE;
  auto lock = dc->Lock();
  auto& saved = dc->SavedStates();
  int count = int(saved.size());
  int index = nSavedDC < 0 ? count + nSavedDC : nSavedDC - 1;  // -1 is the latest
  if (index < 0 || index >= count) return FALSE;
  dc->Attributes() = saved[size_t(index)];
  saved.resize(size_t(index));
  return TRUE;
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
  auto dc = FindDC(hdc);
  auto object = GdiTable::Find(h);
  if (!dc || !object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  auto lock = dc->Lock();
  auto& s = dc->Attributes();
  switch (object->Type()) {
    case OBJ_BRUSH:
      return std::exchange(s.brush, std::static_pointer_cast<BrushObject>(object))->Handle();
    case OBJ_PEN:
      return std::exchange(s.pen, std::static_pointer_cast<PenObject>(object))->Handle();
    case OBJ_FONT:
      return std::exchange(s.font, std::static_pointer_cast<FontObject>(object))->Handle();
    case OBJ_BITMAP: {
      if (dc->ContextKind() != DeviceContext::Kind::Memory) return nullptr;
      return std::exchange(s.bitmap, std::static_pointer_cast<BitmapObject>(object))->Handle();
    }
    case OBJ_REGION: {
      // Selecting a region sets a copy of it as the clip region.
      s.clip = std::static_pointer_cast<RegionObject>(object)->region;
      return reinterpret_cast<HGDIOBJ>(uintptr_t(s.clip->Kind()));
    }
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return nullptr;
}

HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type) {
  auto dc = FindDC(hdc);
  if (!dc) return nullptr;
  auto lock = dc->Lock();
  auto& s = dc->Attributes();
  switch (type) {
    case OBJ_BRUSH:
      return s.brush->Handle();
    case OBJ_PEN:
      return s.pen->Handle();
    case OBJ_FONT:
      return s.font->Handle();
    case OBJ_BITMAP:
      return s.bitmap->Handle();
  }
  return nullptr;
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
  auto object = GdiTable::Find(ho);
  if (!object || object->Type() == OBJ_DC || object->Type() == OBJ_MEMDC) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  // A context that still has the object selected keeps it alive; only the
  // handle goes away.
  return GdiTable::Remove(ho) ? TRUE : FALSE;
}

DWORD WINAPI GetObjectType(HGDIOBJ h) {
  auto object = GdiTable::Find(h);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return object->Type();
}

int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv) {
  auto object = GdiTable::Find(h);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  auto copyOut = [&](const void* data, int size) {
    if (!pv) return size;
    if (c < size) {
      // A BITMAP asked of a DIB section is allowed; anything else too small fails.
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return 0;
    }
    std::memcpy(pv, data, size_t(size));
    return size;
  };
  switch (object->Type()) {
    case OBJ_PEN: {
      auto pen = std::static_pointer_cast<PenObject>(object);
      LOGPEN lp{pen->style, POINT{pen->width, 0}, pen->color};
      return copyOut(&lp, sizeof lp);
    }
    case OBJ_BRUSH: {
      auto brush = std::static_pointer_cast<BrushObject>(object);
      LOGBRUSH lb{brush->style, brush->color, 0};
      return copyOut(&lb, sizeof lb);
    }
    case OBJ_FONT: {
      auto font = std::static_pointer_cast<FontObject>(object);
      return copyOut(&font->logFont, sizeof font->logFont);
    }
    case OBJ_BITMAP: {
      auto bitmap = std::static_pointer_cast<BitmapObject>(object);
      auto& px = bitmap->pixels;
      DIBSECTION ds{};
      ds.dsBm.bmWidth = px->Width();
      ds.dsBm.bmHeight = px->Height();
      ds.dsBm.bmWidthBytes = LONG(px->Stride());
      ds.dsBm.bmPlanes = 1;
      ds.dsBm.bmBitsPixel = WORD(px->BitsPerPixel());
      ds.dsBm.bmBits = bitmap->dibSection ? px->Bits() : nullptr;
      if (bitmap->dibSection && c >= int(sizeof(DIBSECTION))) {
        ds.dsBmih = bitmap->header;
        return copyOut(&ds, sizeof ds);
      }
      return copyOut(&ds.dsBm, sizeof ds.dsBm);
    }
  }
  SetLastError(ERROR_INVALID_HANDLE);
  return 0;
}

int WINAPI SetBkMode(HDC hdc, int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return Exchange(hdc, 0, [&](DeviceContext::State& s) { return std::exchange(s.bkMode, mode); });
}
int WINAPI GetBkMode(HDC hdc) {
  return Exchange(hdc, 0, [&](DeviceContext::State& s) { return s.bkMode; });
}
COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) {
  return Exchange(hdc, COLORREF(CLR_INVALID), [&](DeviceContext::State& s) {
    return std::exchange(s.bkColor, color & 0xFFFFFF);
  });
}
COLORREF WINAPI GetBkColor(HDC hdc) {
  return Exchange(hdc, COLORREF(CLR_INVALID), [&](DeviceContext::State& s) { return s.bkColor; });
}
COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
  return Exchange(hdc, COLORREF(CLR_INVALID), [&](DeviceContext::State& s) {
    return std::exchange(s.textColor, color & 0xFFFFFF);
  });
}
COLORREF WINAPI GetTextColor(HDC hdc) {
  return Exchange(hdc, COLORREF(CLR_INVALID), [&](DeviceContext::State& s) { return s.textColor; });
}
int WINAPI SetROP2(HDC hdc, int rop2) {
  if (rop2 < R2_BLACK || rop2 > R2_WHITE) return 0;
  return Exchange(hdc, 0, [&](DeviceContext::State& s) { return std::exchange(s.rop2, rop2); });
}
int WINAPI GetROP2(HDC hdc) {
  return Exchange(hdc, 0, [&](DeviceContext::State& s) { return s.rop2; });
}
int WINAPI SetStretchBltMode(HDC hdc, int mode) {
  if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return Exchange(hdc, 0,
                  [&](DeviceContext::State& s) { return std::exchange(s.stretchMode, mode); });
}
int WINAPI GetStretchBltMode(HDC hdc) {
  return Exchange(hdc, 0, [&](DeviceContext::State& s) { return s.stretchMode; });
}
UINT WINAPI SetTextAlign(HDC hdc, UINT align) {
  return Exchange(hdc, UINT(GDI_ERROR),
                  [&](DeviceContext::State& s) { return std::exchange(s.textAlign, align); });
}
UINT WINAPI GetTextAlign(HDC hdc) {
  return Exchange(hdc, UINT(GDI_ERROR), [&](DeviceContext::State& s) { return s.textAlign; });
}
BOOL WINAPI SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  return Exchange(hdc, FALSE, [&](DeviceContext::State& s) {
    if (lppt) *lppt = s.brushOrigin;
    s.brushOrigin = POINT{x, y};
    return TRUE;
  });
}
BOOL WINAPI SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  return Exchange(hdc, FALSE, [&](DeviceContext::State& s) {
    if (lppt) *lppt = s.viewportOrigin;
    s.viewportOrigin = POINT{x, y};
    return TRUE;
  });
}
BOOL WINAPI OffsetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  return Exchange(hdc, FALSE, [&](DeviceContext::State& s) {
    if (lppt) *lppt = s.viewportOrigin;
    s.viewportOrigin.x += x;
    s.viewportOrigin.y += y;
    return TRUE;
  });
}
BOOL WINAPI GetViewportOrgEx(HDC hdc, LPPOINT lppt) {
  return Exchange(hdc, FALSE, [&](DeviceContext::State& s) {
    if (lppt) *lppt = s.viewportOrigin;
    return lppt ? TRUE : FALSE;
  });
}

int WINAPI GetDeviceCaps(HDC hdc, int index) {
  auto dc = FindDC(hdc);
  if (!dc) return 0;
  DisplayMode mode = CurrentDisplayMode();
  int bits = 32;
  if (dc->ContextKind() == DeviceContext::Kind::Memory) {
    auto lock = dc->Lock();
    bits = dc->Attributes().bitmap->pixels->BitsPerPixel();
  }
  switch (index) {
    case DRIVERVERSION:
      return 0x4000;
    case TECHNOLOGY:
      return DT_RASDISPLAY;
    case HORZSIZE:
      return mode.width * 254 / 960;  // millimetres at 96 dots per inch
    case VERTSIZE:
      return mode.height * 254 / 960;
    case HORZRES:
    case DESKTOPHORZRES:
      return mode.width;
    case VERTRES:
    case DESKTOPVERTRES:
      return mode.height;
    case BITSPIXEL:
      return bits;
    case PLANES:
      return 1;
    case NUMCOLORS:
      return bits <= 8 ? (1 << bits) : -1;
    case RASTERCAPS:
      return RC_BITBLT | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    case LOGPIXELSX:
    case LOGPIXELSY:
      return 96;
    case SIZEPALETTE:
      return 0;
    case COLORRES:
      return 24;
    case VREFRESH:
      return mode.refreshHz;
    case BLTALIGNMENT:
      return 0;
  }
  return 0;
}

BOOL WINAPI EnumDisplaySettingsA(LPCSTR lpszDeviceName, DWORD iModeNum, DEVMODEA* lpDevMode) {
  if (!lpDevMode || (lpszDeviceName && !IsDisplayName(lpszDeviceName))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // One mode: the virtual display as it is set now.
  if (iModeNum != 0 && iModeNum != ENUM_CURRENT_SETTINGS && iModeNum != ENUM_REGISTRY_SETTINGS) {
    return FALSE;
  }
  DisplayMode mode = CurrentDisplayMode();
  WORD driverExtra = lpDevMode->dmDriverExtra;
  std::memset(lpDevMode, 0, sizeof *lpDevMode);
  std::strncpy(reinterpret_cast<char*>(lpDevMode->dmDeviceName), "Quellor Virtual Display",
               CCHDEVICENAME - 1);
  lpDevMode->dmSpecVersion = 0x0401;
  lpDevMode->dmSize = sizeof(DEVMODEA);
  lpDevMode->dmDriverExtra = driverExtra;
  lpDevMode->dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
  lpDevMode->dmBitsPerPel = DWORD(mode.bitsPerPixel);
  lpDevMode->dmPelsWidth = DWORD(mode.width);
  lpDevMode->dmPelsHeight = DWORD(mode.height);
  lpDevMode->dmDisplayFrequency = DWORD(mode.refreshHz);
  return TRUE;
}

BOOL WINAPI GdiFlush(void) {
  return TRUE;
}

}  // extern "C"
