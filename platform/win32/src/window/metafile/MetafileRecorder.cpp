// Collects the drawing calls made on metafile contexts. Every call becomes a
// record carrying the pen, brush, font, colours and modes it draws with, by
// value, so that later changes to (or deletion of) the objects do not alter
// the picture. Blits copy their source pixels.
#include "MetafileRecorder.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "../DeviceContext.h"
#include "../Font.h"
#include "MetafileRecording.h"
#include "win32/user.h"

namespace quellor::win32::metafile {
namespace {

constexpr int kLargestSide = 8192;  // pixels of a recorded blit source

struct Recording {
  std::optional<RECT> frame;
  std::vector<Record> records;
};

std::mutex gMutex;
std::atomic<int> gOpen{0};  // lets drawing on ordinary contexts skip the table

std::map<HDC, std::shared_ptr<Recording>>& Table() {
  static std::map<HDC, std::shared_ptr<Recording>> table;
  return table;
}

std::shared_ptr<Recording> RecordingOf(HDC hdc) {
  if (gOpen.load(std::memory_order_acquire) == 0 || !hdc) return nullptr;
  std::lock_guard<std::mutex> lock(gMutex);
  auto it = Table().find(hdc);
  return it == Table().end() ? nullptr : it->second;
}

// The state of the context and the offset from its logical to device units.
struct Capture {
  Record record;
  POINT position{};
  POINT origin{};
};

bool CaptureState(HDC hdc, RecordKind kind, Capture& c) {
  auto dc = FindDC(hdc);
  if (!dc) return false;
  auto lock = dc->Lock();
  auto& a = dc->Attributes();
  DrawingState& s = c.record.state;
  c.record.kind = kind;
  s.pen = LOGPEN{a.pen->style, POINT{a.pen->width, 0}, dc->PenColor()};
  s.brush = LOGBRUSH{a.brush->style, dc->BrushColor(), 0};
  s.font = a.font->logFont;
  if (s.font.lfHeight == 0) s.font.lfHeight = a.font->Rendered()->Metrics().tmHeight;
  s.textColor = a.textColor;
  s.bkColor = a.bkColor;
  s.bkMode = a.bkMode;
  s.rop2 = a.rop2;
  s.stretchMode = a.stretchMode;
  s.textAlign = a.textAlign & ~UINT(TA_UPDATECP);
  c.position = a.position;
  c.origin = a.viewportOrigin;
  return true;
}

RECT Normalised(RECT r) {
  return RECT{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
              std::max(r.top, r.bottom)};
}

RECT Shifted(RECT r, POINT by) {
  return RECT{r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y};
}

// Bounds of the points, widened by half the pen on each side.
RECT PointBounds(const std::vector<POINT>& points, int penWidth) {
  RECT b{points[0].x, points[0].y, points[0].x, points[0].y};
  for (const POINT& p : points) {
    b.left = std::min(b.left, p.x);
    b.top = std::min(b.top, p.y);
    b.right = std::max(b.right, p.x);
    b.bottom = std::max(b.bottom, p.y);
  }
  LONG half = std::max(penWidth, 1) / 2;
  return RECT{b.left - half, b.top - half, b.right + half + 1, b.bottom + half + 1};
}

void Append(HDC hdc, Record&& record) {
  std::lock_guard<std::mutex> lock(gMutex);
  auto it = Table().find(hdc);
  if (it != Table().end()) it->second->records.push_back(std::move(record));
}

void AppendRect(HDC hdc, RecordKind kind, const RECT& r) {
  if (!RecordingOf(hdc)) return;
  Capture c;
  if (!CaptureState(hdc, kind, c)) return;
  c.record.rect = Shifted(r, c.origin);
  c.record.bounds = Normalised(c.record.rect);
  Append(hdc, std::move(c.record));
}

void AppendBrushRect(HDC hdc, RecordKind kind, const RECT& r, HBRUSH brush) {
  if (!RecordingOf(hdc)) return;
  Capture c;
  if (!CaptureState(hdc, kind, c)) return;
  // FillRect and FrameRect paint with the brush they are given, not the
  // selected one; a system colour index + 1 is resolved now.
  auto b = ResolveBrush(brush);
  if (!b) return;
  COLORREF color = b->color;
  if (b->usesDcColor) {
    auto dc = FindDC(hdc);
    auto lock = dc->Lock();
    color = dc->Attributes().dcBrushColor;
  }
  c.record.state.brush = LOGBRUSH{b->style, color, 0};
  c.record.rect = Shifted(r, c.origin);
  c.record.bounds = Normalised(c.record.rect);
  Append(hdc, std::move(c.record));
}

// A 32-bit top-down memory context of w x h pixels; draws into `bits`.
struct Scratch {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;
  uint32_t* bits = nullptr;

  Scratch(int w, int h) {
    dc = CreateCompatibleDC(nullptr);
    if (!dc) return;
    BITMAPINFO bmi{};
    bmi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* p = nullptr;
    bitmap = CreateDIBSection(dc, &bmi, DIB_RGB_COLORS, &p, nullptr, 0);
    if (!bitmap) return;
    bits = static_cast<uint32_t*>(p);
    std::memset(bits, 0, size_t(w) * size_t(h) * 4);
    previous = SelectObject(dc, bitmap);
  }
  ~Scratch() {
    if (previous) SelectObject(dc, previous);
    if (bitmap) DeleteObject(bitmap);
    if (dc) DeleteDC(dc);
  }
  bool Ready() const { return bits != nullptr; }
};

// Records a blit whose source pixels `copy` draws into a w x h scratch
// context at (0, 0).
template <class F>
void AppendBlit(HDC hdc, RECT dest, int w, int h, DWORD rop, F&& copy) {
  if (!RecordingOf(hdc)) return;
  if (w <= 0 || h <= 0 || w > kLargestSide || h > kLargestSide) return;
  Capture c;
  if (!CaptureState(hdc, RecordKind::Blit, c)) return;
  Scratch scratch(w, h);
  if (!scratch.Ready()) return;
  copy(scratch.dc);
  GdiFlush();
  c.record.sourceWidth = w;
  c.record.sourceHeight = h;
  c.record.sourcePixels.assign(scratch.bits, scratch.bits + size_t(w) * size_t(h));
  c.record.rop = rop;
  c.record.rect = Shifted(dest, c.origin);
  c.record.bounds = Normalised(c.record.rect);
  Append(hdc, std::move(c.record));
}

}  // namespace

void BeginRecording(HDC hdc, std::optional<RECT> frame) {
  auto recording = std::make_shared<Recording>();
  recording->frame = frame;
  std::lock_guard<std::mutex> lock(gMutex);
  if (Table().emplace(hdc, std::move(recording)).second) gOpen.fetch_add(1);
}

bool EndRecording(HDC hdc, Picture& picture) {
  std::shared_ptr<Recording> recording;
  {
    std::lock_guard<std::mutex> lock(gMutex);
    auto it = Table().find(hdc);
    if (it == Table().end()) return false;
    recording = std::move(it->second);
    Table().erase(it);
    gOpen.fetch_sub(1);
  }
  picture.records = std::move(recording->records);
  if (recording->frame) {
    picture.frame = *recording->frame;
    return true;
  }
  // Without a given frame the picture is the union of what was drawn.
  RECT b{0, 0, 0, 0};
  bool any = false;
  for (const Record& r : picture.records) {
    if (r.bounds.right <= r.bounds.left || r.bounds.bottom <= r.bounds.top) continue;
    if (!any) {
      b = r.bounds;
      any = true;
      continue;
    }
    b = RECT{std::min(b.left, r.bounds.left), std::min(b.top, r.bounds.top),
             std::max(b.right, r.bounds.right), std::max(b.bottom, r.bounds.bottom)};
  }
  picture.frame = b;
  return true;
}

void RecordLineTo(HDC hdc, int x, int y) {
  if (!RecordingOf(hdc)) return;
  Capture c;
  if (!CaptureState(hdc, RecordKind::Line, c)) return;
  c.record.points = {POINT{c.position.x + c.origin.x, c.position.y + c.origin.y},
                     POINT{x + c.origin.x, y + c.origin.y}};
  c.record.bounds = PointBounds(c.record.points, c.record.state.pen.lopnWidth.x);
  Append(hdc, std::move(c.record));
}

void RecordPolyline(HDC hdc, const POINT* points, int count) {
  if (!points || count < 2 || !RecordingOf(hdc)) return;
  Capture c;
  if (!CaptureState(hdc, RecordKind::Polyline, c)) return;
  for (int i = 0; i < count; ++i)
    c.record.points.push_back(POINT{points[i].x + c.origin.x, points[i].y + c.origin.y});
  c.record.bounds = PointBounds(c.record.points, c.record.state.pen.lopnWidth.x);
  Append(hdc, std::move(c.record));
}

void RecordRectangle(HDC hdc, RECT r) {
  AppendRect(hdc, RecordKind::Rectangle, r);
}

void RecordFillRect(HDC hdc, const RECT& r, HBRUSH brush) {
  AppendBrushRect(hdc, RecordKind::FillRect, r, brush);
}

void RecordFrameRect(HDC hdc, const RECT& r, HBRUSH brush) {
  AppendBrushRect(hdc, RecordKind::FrameRect, r, brush);
}

void RecordPatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
  if (!RecordingOf(hdc)) return;
  Capture c;
  if (!CaptureState(hdc, RecordKind::PatBlt, c)) return;
  c.record.rop = rop;
  c.record.rect = Shifted(RECT{x, y, x + w, y + h}, c.origin);
  c.record.bounds = Normalised(c.record.rect);
  Append(hdc, std::move(c.record));
}

void RecordTextOut(HDC hdc, int x, int y, std::string_view text) {
  if (!RecordingOf(hdc)) return;
  Capture c;
  if (!CaptureState(hdc, RecordKind::TextOut, c)) return;
  UINT align = 0;
  {
    auto dc = FindDC(hdc);
    auto lock = dc->Lock();
    align = dc->Attributes().textAlign;
  }
  if (align & TA_UPDATECP) {
    x = c.position.x;
    y = c.position.y;
  }
  SIZE extent{};
  TEXTMETRICA tm{};
  GetTextExtentPoint32A(hdc, text.data(), int(text.size()), &extent);
  GetTextMetricsA(hdc, &tm);
  UINT horizontal = align & (TA_CENTER | TA_RIGHT);
  LONG left = horizontal == TA_CENTER  ? x - extent.cx / 2
              : horizontal == TA_RIGHT ? x - extent.cx
                                       : x;
  UINT vertical = align & TA_BASELINE;
  LONG top = vertical == TA_BASELINE ? y - tm.tmAscent
             : vertical == TA_BOTTOM ? y - tm.tmHeight
                                     : y;
  c.record.points = {POINT{x + c.origin.x, y + c.origin.y}};
  c.record.text.assign(text);
  c.record.bounds = Shifted(RECT{left, top, left + extent.cx, top + tm.tmHeight}, c.origin);
  Append(hdc, std::move(c.record));
}

void RecordDrawText(HDC hdc, std::string_view text, const RECT& r, UINT format) {
  if ((format & DT_CALCRECT) || !RecordingOf(hdc)) return;
  Capture c;
  if (!CaptureState(hdc, RecordKind::DrawText, c)) return;
  c.record.text.assign(text);
  c.record.format = format;
  c.record.rect = Shifted(r, c.origin);
  c.record.bounds = Normalised(c.record.rect);
  Append(hdc, std::move(c.record));
}

void RecordStretchBlt(HDC hdc, int x, int y, int w, int h, HDC source, int sx, int sy, int sw,
                      int sh, DWORD rop) {
  int width = std::abs(sw), height = std::abs(sh);
  AppendBlit(hdc, RECT{x, y, x + w, y + h}, width, height, rop, [&](HDC scratch) {
    BitBlt(scratch, 0, 0, width, height, source, std::min(sx, sx + sw), std::min(sy, sy + sh),
           SRCCOPY);
  });
}

void RecordStretchDIBits(HDC hdc, int x, int y, int w, int h, int sx, int sy, int sw, int sh,
                         const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) {
  if (!bits || !info) return;
  int width = std::abs(sw), height = std::abs(sh);
  AppendBlit(hdc, RECT{x, y, x + w, y + h}, width, height, rop, [&](HDC scratch) {
    StretchDIBits(scratch, 0, 0, width, height, std::min(sx, sx + sw), std::min(sy, sy + sh), width,
                  height, bits, info, usage, SRCCOPY);
  });
}

void RecordSetDIBitsToDevice(HDC hdc, int x, int y, DWORD w, DWORD h, int sx, int sy,
                             UINT startScan, UINT lines, const void* bits, const BITMAPINFO* info,
                             UINT usage) {
  if (!bits || !info || w > DWORD(kLargestSide) || h > DWORD(kLargestSide)) return;
  int width = int(w), height = int(h);
  AppendBlit(hdc, RECT{x, y, x + width, y + height}, width, height, SRCCOPY, [&](HDC scratch) {
    SetDIBitsToDevice(scratch, 0, 0, w, h, sx, sy, startScan, lines, bits, info, usage);
  });
}

bool IsRecording(HDC hdc) {
  return RecordingOf(hdc) != nullptr;
}

}  // namespace quellor::win32::metafile
