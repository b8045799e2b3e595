// "msctls_trackbar32", horizontal: a thumb on a channel between a minimum and
// a maximum position, dragged with the mouse or moved with the keys; the
// parent hears WM_HSCROLL (TB_THUMBTRACK while dragging, then
// TB_THUMBPOSITION and TB_ENDTRACK).
#include <algorithm>
#include <utility>

#include "ControlSupport.h"

namespace quellor::win32 {
namespace {

constexpr int kThumbWidth = 10;  // pixels
constexpr int kInset = kThumbWidth / 2 + 2;

struct TrackState {
  int low = 0;
  int high = 100;
  int pos = 0;
  int line = 1;
  int page = 20;
  int ticks = 1;  // tick frequency
  bool dragging = false;
  bool focused = false;
};

int Clamp(const TrackState& s, int v) {
  return std::clamp(v, s.low, std::max(s.low, s.high));
}

// x of a position on the channel, and the position nearest an x.
int XOf(const RECT& r, const TrackState& s, int pos) {
  int span = std::max(1, s.high - s.low), width = std::max(1, int(r.right - r.left) - 2 * kInset);
  return r.left + kInset + int((int64_t(pos - s.low) * width + span / 2) / span);
}
int PosAt(const RECT& r, const TrackState& s, int x) {
  int span = std::max(1, s.high - s.low), width = std::max(1, int(r.right - r.left) - 2 * kInset);
  int offset = std::clamp(x - int(r.left) - kInset, 0, width);
  return Clamp(s, s.low + int((int64_t(offset) * span + width / 2) / width));
}

void Notify(HWND hwnd, WORD code, int pos) {
  HWND parent = GetParent(hwnd);
  if (parent)
    SendMessageA(parent, WM_HSCROLL, MAKEWPARAM(code, WORD(pos)), reinterpret_cast<LPARAM>(hwnd));
}

void SetPos(HWND hwnd, TrackState& s, int pos) {
  pos = Clamp(s, pos);
  if (pos == s.pos) return;
  s.pos = pos;
  InvalidateRect(hwnd, nullptr, TRUE);
}

void Paint(HWND hwnd, TrackState& s) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  RECT r;
  GetClientRect(hwnd, &r);
  FillSolid(hdc, r, GetSysColor(COLOR_BTNFACE));
  int cy = (r.top + r.bottom) / 2;
  RECT channel{r.left + kInset - 2, cy - 2, r.right - kInset + 2, cy + 2};
  DrawEdge3d(hdc, channel, false);
  // Ticks at both ends, and every `ticks` positions with TBS_AUTOTICKS.
  HBRUSH tick = GetSysColorBrush(COLOR_BTNTEXT);
  bool autoTicks = (GetWindowLongA(hwnd, GWL_STYLE) & TBS_AUTOTICKS) && s.ticks > 0;
  for (int p = s.low; p <= s.high; p = autoTicks ? p + s.ticks : (p == s.high ? p + 1 : s.high)) {
    int x = XOf(r, s, p);
    RECT mark{x, r.bottom - 4, x + 1, r.bottom - 1};
    FillRect(hdc, &mark, tick);
    if (p == s.high) break;
  }
  int x = XOf(r, s, s.pos);
  RECT thumb{x - kThumbWidth / 2, r.top + 2, x + kThumbWidth / 2, r.bottom - 5};
  FillSolid(hdc, thumb, GetSysColor(COLOR_BTNFACE));
  DrawEdge3d(hdc, thumb, true);
  if (s.focused) DrawFocusFrame(hdc, r);
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK TrackbarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* s = TrackControlState<TrackState>(hwnd, msg);
  if (!s) return DefWindowProcA(hwnd, msg, wParam, lParam);
  RECT r;
  GetClientRect(hwnd, &r);
  switch (msg) {
    case WM_PAINT:
      Paint(hwnd, *s);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      s->focused = msg == WM_SETFOCUS;
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(hwnd);
      SetCapture(hwnd);
      s->dragging = true;
      SetPos(hwnd, *s, PosAt(r, *s, GET_X_LPARAM(lParam)));
      Notify(hwnd, TB_THUMBTRACK, s->pos);
      return 0;
    case WM_MOUSEMOVE:
      if (s->dragging) {
        int before = s->pos;
        SetPos(hwnd, *s, PosAt(r, *s, GET_X_LPARAM(lParam)));
        if (s->pos != before) Notify(hwnd, TB_THUMBTRACK, s->pos);
      }
      return 0;
    case WM_LBUTTONUP:
      if (!s->dragging) return 0;
      s->dragging = false;
      ReleaseCapture();
      Notify(hwnd, TB_THUMBPOSITION, s->pos);
      Notify(hwnd, TB_ENDTRACK, s->pos);
      return 0;
    case WM_CAPTURECHANGED:
      s->dragging = false;
      return 0;
    case WM_KEYDOWN: {
      int to = s->pos;
      WORD code;
      switch (wParam) {
        case VK_LEFT:
        case VK_UP:
          to -= s->line, code = TB_LINEUP;
          break;
        case VK_RIGHT:
        case VK_DOWN:
          to += s->line, code = TB_LINEDOWN;
          break;
        case VK_PRIOR:
          to -= s->page, code = TB_PAGEUP;
          break;
        case VK_NEXT:
          to += s->page, code = TB_PAGEDOWN;
          break;
        case VK_HOME:
          to = s->low, code = TB_TOP;
          break;
        case VK_END:
          to = s->high, code = TB_BOTTOM;
          break;
        default:
          return 0;
      }
      SetPos(hwnd, *s, to);
      Notify(hwnd, code, s->pos);
      Notify(hwnd, TB_ENDTRACK, s->pos);
      return 0;
    }
    case TBM_GETPOS:
      return s->pos;
    case TBM_GETRANGEMIN:
      return s->low;
    case TBM_GETRANGEMAX:
      return s->high;
    case TBM_SETPOS:
      SetPos(hwnd, *s, int(lParam));
      return 0;
    case TBM_SETRANGE:
      s->low = SHORT(LOWORD(lParam));
      s->high = SHORT(HIWORD(lParam));
      SetPos(hwnd, *s, s->pos);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case TBM_SETRANGEMIN:
      s->low = int(lParam);
      SetPos(hwnd, *s, s->pos);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case TBM_SETRANGEMAX:
      s->high = int(lParam);
      SetPos(hwnd, *s, s->pos);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case TBM_SETTICFREQ:
      s->ticks = std::max(0, int(wParam));
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case TBM_SETPAGESIZE:
      return std::exchange(s->page, int(lParam));
    case TBM_SETLINESIZE:
      return std::exchange(s->line, int(lParam));
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

void RegisterTrackbarClass() {
  RegisterControlClass(TRACKBAR_CLASSA, TrackbarProc, CS_PARENTDC, LoadCursorA(nullptr, IDC_ARROW));
}

}  // namespace quellor::win32
