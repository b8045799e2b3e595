#include "qlxrapi/UtilLib_Window.h"

#include <algorithm>

#include "qlxrapi/ControlWindowClasses.h"
#include "qlxrapi/Controls_Button.h"
#include "qlxrapi/Controls_Canvas.h"
#include "qlxrapi/Controls_LayoutHints.h"

QLXRAPI_CONTROL_CLASS(UtilLib_Window);

namespace {

// The look of each piece, in the order of UtilLib_Window::Piece.
const char* const kLooks[UtilLib_Window::kPieces] = {
    "DEFAULTRESOURCE_WINDOWCENTRE",      "DEFAULTRESOURCE_WINDOWTOPLEFT",
    "DEFAULTRESOURCE_WINDOWTOP",         "DEFAULTRESOURCE_WINDOWTOPRIGHT",
    "DEFAULTRESOURCE_WINDOWBOTTOMLEFT",  "DEFAULTRESOURCE_WINDOWBOTTOM",
    "DEFAULTRESOURCE_WINDOWBOTTOMRIGHT", "DEFAULTRESOURCE_WINDOWLEFT",
    "DEFAULTRESOURCE_WINDOWRIGHT",       "DEFAULTRESOURCE_WINDOWTITLE"};

struct PieceSize {
  long w = 0;
  long h = 0;
};

// A piece's preferred size; no preference counts as nothing.
PieceSize PreferredSize(HWND piece) {
  PieceSize size;
  auto* hints = dynamic_cast<Controls_LayoutHints*>(Orvane_GetWindowObject(piece));
  if (hints == nullptr) return size;
  size.w = std::max(0L, hints->LayoutHints_GetPreferedXSize());
  size.h = std::max(0L, hints->LayoutHints_GetPreferedYSize());
  return size;
}

}  // namespace

HWND UtilLib_Window::BuildPiece(const char* className, long x, long y) {
  PluginClass* made = Orvane_New(const_cast<char*>(className), GetWindowHandle(), x, y, 100, 100,
                                 const_cast<char*>("I Need A Name !"), WS_CHILD | WS_VISIBLE, 16);
  auto* piece = dynamic_cast<BaseWindowClass*>(made);
  return piece == nullptr ? nullptr : piece->GetWindowHandle();
}

HWND UtilLib_Window::BuildCentre() {
  return BuildPiece("UtilLib_FreeFormLayout", 0, 0);
}
HWND UtilLib_Window::BuildTop() {
  return BuildPiece("UtilLib_Resize_Size_T", 100, 0);
}
HWND UtilLib_Window::BuildTopLeft() {
  return BuildPiece("UtilLib_Resize_Size_TL", 200, 0);
}
HWND UtilLib_Window::BuildTopRight() {
  return BuildPiece("UtilLib_Resize_Size_TR", 300, 0);
}
HWND UtilLib_Window::BuildBottom() {
  return BuildPiece("UtilLib_Resize_Size_B", 100, 200);
}
HWND UtilLib_Window::BuildBottomLeft() {
  return BuildPiece("UtilLib_Resize_Size_BL", 200, 200);
}
HWND UtilLib_Window::BuildBottomRight() {
  return BuildPiece("UtilLib_Resize_Size_BR", 300, 200);
}
HWND UtilLib_Window::BuildLeft() {
  return BuildPiece("UtilLib_Resize_Size_L", 200, 300);
}
HWND UtilLib_Window::BuildRight() {
  return BuildPiece("UtilLib_Resize_Size_R", 300, 300);
}
HWND UtilLib_Window::BuildTitleBar() {
  return BuildPiece("UtilLib_Resize_Move", 50, 300);
}

void UtilLib_Window::InitialiseWindow() {
  UtilLib_FreeFormLayout::InitialiseWindow();
  BuildWindow();
}

void UtilLib_Window::BuildWindow() {
  if (m_built) return;
  m_built = true;
  Canvas_SetResource(const_cast<char*>("DEFAULT_DONOTHING"));
  MultipleLayouts_Start();
  m_pieces[kCentre] = BuildCentre();
  m_pieces[kTopLeft] = BuildTopLeft();
  m_pieces[kTop] = BuildTop();
  m_pieces[kTopRight] = BuildTopRight();
  m_pieces[kBottomLeft] = BuildBottomLeft();
  m_pieces[kBottom] = BuildBottom();
  m_pieces[kBottomRight] = BuildBottomRight();
  m_pieces[kLeft] = BuildLeft();
  m_pieces[kRight] = BuildRight();
  m_pieces[kTitleBar] = BuildTitleBar();
  MultipleLayouts_Finished(false);
  ApplySkin();
}

void UtilLib_Window::ApplySkin() {
  if (auto* centre = dynamic_cast<Controls_Canvas*>(Orvane_GetWindowObject(m_pieces[kCentre])))
    centre->Canvas_SetResource(const_cast<char*>(kLooks[kCentre]));
  for (int piece = kTopLeft; piece < kPieces; ++piece) {
    auto* button = dynamic_cast<Controls_Button*>(Orvane_GetWindowObject(m_pieces[piece]));
    if (button == nullptr) continue;
    for (int state = 0; state < Controls_Button::kStates; ++state)
      button->Button_SetResource(state, const_cast<char*>(kLooks[piece]));
  }
  PlacePieces();
}

void UtilLib_Window::PlacePieces() {
  if (!m_built || m_placing) return;
  m_placing = true;
  const long W = GetWindowWidth(), H = GetWindowHeight();
  PieceSize s[kPieces];
  for (int piece = 0; piece < kPieces; ++piece) s[piece] = PreferredSize(m_pieces[piece]);
  const RECT places[kPieces] = {
      // x, y, width, height (not right and bottom)
      {static_cast<LONG>(s[kLeft].w), static_cast<LONG>(s[kTop].h + s[kTitleBar].h),
       static_cast<LONG>(W - s[kRight].w - s[kLeft].w),
       static_cast<LONG>(H - s[kTop].h - s[kTitleBar].h - s[kBottom].h)},
      {0, 0, static_cast<LONG>(s[kTopLeft].w), static_cast<LONG>(s[kTopLeft].h)},
      {static_cast<LONG>(s[kTopLeft].w), 0, static_cast<LONG>(W - s[kTopLeft].w - s[kTopRight].w),
       static_cast<LONG>(s[kTop].h)},
      {static_cast<LONG>(W - s[kTopRight].w), 0, static_cast<LONG>(s[kTopRight].w),
       static_cast<LONG>(s[kTopRight].h)},
      {0, static_cast<LONG>(H - s[kBottomLeft].h), static_cast<LONG>(s[kBottomLeft].w),
       static_cast<LONG>(s[kBottomLeft].h)},
      {static_cast<LONG>(s[kBottomLeft].w), static_cast<LONG>(H - s[kBottom].h),
       static_cast<LONG>(W - s[kBottomLeft].w - s[kBottomRight].w),
       static_cast<LONG>(s[kBottom].h)},
      {static_cast<LONG>(W - s[kBottomRight].w), static_cast<LONG>(H - s[kBottomRight].h),
       static_cast<LONG>(s[kBottomRight].w), static_cast<LONG>(s[kBottomRight].h)},
      {0, static_cast<LONG>(s[kTopLeft].h), static_cast<LONG>(s[kLeft].w),
       static_cast<LONG>(H - s[kTopLeft].h - s[kBottomLeft].h)},
      {static_cast<LONG>(W - s[kRight].w), static_cast<LONG>(s[kTopRight].h),
       static_cast<LONG>(s[kRight].w), static_cast<LONG>(H - s[kTopRight].h - s[kBottomRight].h)},
      {static_cast<LONG>(s[kLeft].w), static_cast<LONG>(s[kTop].h),
       static_cast<LONG>(W - s[kLeft].w - s[kRight].w), static_cast<LONG>(s[kTitleBar].h)},
  };
  for (int piece = 0; piece < kPieces; ++piece) {
    if (m_pieces[piece] == nullptr) continue;
    const RECT& p = places[piece];
    SetWindowPos(m_pieces[piece], nullptr, p.left, p.top, std::max<LONG>(0, p.right),
                 std::max<LONG>(0, p.bottom), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  m_placing = false;
}

void UtilLib_Window::WindowSized(long width, long height) {
  UtilLib_FreeFormLayout::WindowSized(width, height);
  PlacePieces();
}

void UtilLib_Window::Child_Destroyed(HWND child) {
  UtilLib_FreeFormLayout::Child_Destroyed(child);
  for (HWND& piece : m_pieces)
    if (piece == child) piece = nullptr;
}
