// Enhanced metafiles. A metafile context is a memory context whose drawing
// calls are also recorded (see MetafileRecorder.cpp); closing it turns the
// records into a picture, and playing redraws them into any rectangle of
// another context (see MetafilePlayer.cpp). Pictures never change once made,
// so copies share them.
#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

#include "MetafilePlayer.h"
#include "MetafileRecorder.h"
#include "win32/errors.h"
#include "win32/gdi.h"
#include "win32/kernel.h"
#include "win32/metafile.h"
#include "win32/user.h"

using quellor::win32::metafile::Picture;

namespace {

constexpr int kLargestSide = 8192;  // pixels of a playback rectangle

std::mutex gMutex;
std::map<uintptr_t, std::shared_ptr<const Picture>>& Pictures() {
  static std::map<uintptr_t, std::shared_ptr<const Picture>> table;
  return table;
}

HENHMETAFILE AddPicture(std::shared_ptr<const Picture> picture) {
  static uintptr_t next = 0x4E000;
  std::lock_guard<std::mutex> lock(gMutex);
  next += 4;  // never reused
  Pictures()[next] = std::move(picture);
  return reinterpret_cast<HENHMETAFILE>(next);
}

std::shared_ptr<const Picture> FindPicture(HENHMETAFILE handle) {
  std::lock_guard<std::mutex> lock(gMutex);
  auto it = Pictures().find(reinterpret_cast<uintptr_t>(handle));
  return it == Pictures().end() ? nullptr : it->second;
}

int PixelsPerInch(HDC reference) {
  HDC dc = reference ? reference : GetDC(nullptr);
  int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  if (!reference) ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

// 0.01 mm to pixels, rounded.
LONG ToPixels(LONG hundredthsOfMm, int dpi) {
  return LONG((int64_t(hundredthsOfMm) * dpi + (hundredthsOfMm >= 0 ? 1270 : -1270)) / 2540);
}

bool IsEmpty(const RECT& r) {
  return r.right <= r.left || r.bottom <= r.top;
}

}  // namespace

extern "C" {

HDC WINAPI CreateEnhMetaFileA(HDC hdc, LPCSTR, const RECT* lprc, LPCSTR) {
  // The metafile is kept in memory; a file name is not written.
  std::optional<RECT> frame;
  if (lprc) {
    int dpi = PixelsPerInch(hdc);
    frame = RECT{ToPixels(std::min(lprc->left, lprc->right), dpi),
                 ToPixels(std::min(lprc->top, lprc->bottom), dpi),
                 ToPixels(std::max(lprc->left, lprc->right), dpi),
                 ToPixels(std::max(lprc->top, lprc->bottom), dpi)};
  }
  HDC dc = CreateCompatibleDC(hdc);
  if (!dc) return nullptr;
  quellor::win32::metafile::BeginRecording(dc, frame);
  return dc;
}

HENHMETAFILE WINAPI CloseEnhMetaFile(HDC hdc) {
  auto picture = std::make_shared<Picture>();
  if (!quellor::win32::metafile::EndRecording(hdc, *picture)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  DeleteDC(hdc);
  return AddPicture(std::move(picture));
}

BOOL WINAPI PlayEnhMetaFile(HDC hdc, HENHMETAFILE hmf, const RECT* lprect) {
  auto picture = FindPicture(hmf);
  if (!picture || !lprect || !hdc || GetObjectType(hdc) == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  RECT r{std::min(lprect->left, lprect->right), std::min(lprect->top, lprect->bottom),
         std::max(lprect->left, lprect->right), std::max(lprect->top, lprect->bottom)};
  if (IsEmpty(r) || IsEmpty(picture->frame) || picture->records.empty()) return TRUE;
  if (r.right - r.left > kLargestSide || r.bottom - r.top > kLargestSide) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  quellor::win32::metafile::Play(hdc, *picture, r);
  return TRUE;
}

BOOL WINAPI DeleteEnhMetaFile(HENHMETAFILE hmf) {
  std::lock_guard<std::mutex> lock(gMutex);
  if (Pictures().erase(reinterpret_cast<uintptr_t>(hmf))) return TRUE;
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
}

HENHMETAFILE WINAPI CopyEnhMetaFileA(HENHMETAFILE hEnh, LPCSTR) {
  auto picture = FindPicture(hEnh);
  if (!picture) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return AddPicture(std::move(picture));
}

}  // extern "C"
