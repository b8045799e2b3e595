#include "qlxrapi/UtilLib_Canvas.h"

#include "ControlSupport.h"
#include "DropShadow.h"
#include "qlxrapi/ControlWindowClasses.h"

using quellor::win::DeletedTalker;
using quellor::win::DrawsNothing;
using quellor::win::IsDeleteNotice;
using quellor::win::IsWindowNotice;

QLXRAPI_CONTROL_CLASS(UtilLib_Canvas);

UtilLib_Canvas::UtilLib_Canvas()
    : m_background(GetResource(const_cast<char*>("DEFAULTRESOURCE_CANVASBG"))) {
  if (m_background != nullptr) m_background->AddDependant(this, 0);
}

UtilLib_Canvas::~UtilLib_Canvas() {
  RemoveAllDependantsToThis();
}

void UtilLib_Canvas::Canvas_SetResource(ScreenObject* resource) {
  if (resource == m_background) return;
  if (m_background != nullptr) m_background->DeleteDependant(this);
  m_background = resource;
  if (m_background != nullptr) m_background->AddDependant(this, 0);
  m_cacheValid = false;
  quellor::win::RepaintOrResize(this, LayoutHints_GetPreferedXSize(),
                                LayoutHints_GetPreferedYSize());
}

void UtilLib_Canvas::Canvas_SetDropShadows(bool on) {
  if (on == m_dropShadows) return;
  m_dropShadows = on;
  if (GetWindowHandle() != nullptr) RePaint();
}

void UtilLib_Canvas::Canvas_SetCaching(bool on) {
  if (on == m_caching) return;
  m_caching = on;
  m_cacheValid = false;
  if (!on) m_cache.Free();
}

long UtilLib_Canvas::LayoutHints_GetPreferedXSize() {
  return m_background == nullptr ? -1 : m_background->ScreenObject_GetPreferedXSize();
}

long UtilLib_Canvas::LayoutHints_GetPreferedYSize() {
  return m_background == nullptr ? -1 : m_background->ScreenObject_GetPreferedYSize();
}

void UtilLib_Canvas::DynamicCallback(long, const char* name, void* args) {
  if (IsDeleteNotice(name)) {
    if (m_background != nullptr && DeletedTalker(args) == m_background) {
      m_background = nullptr;
      m_cacheValid = false;
    }
    return;
  }
  if (IsWindowNotice(name)) return;
  m_cacheValid = false;
  quellor::win::RepaintOrResize(this, LayoutHints_GetPreferedXSize(),
                                LayoutHints_GetPreferedYSize());
}

void UtilLib_Canvas::WindowSized(long, long) {
  m_cacheValid = false;
}

void UtilLib_Canvas::Draw_SpecialisedBitmap(WindowBitmap*) {}

bool UtilLib_Canvas::DrawBackground(WindowBitmap* picture) {
  const long width = GetWindowWidth(), height = GetWindowHeight();
  if (!picture->Resize(static_cast<unsigned long>(width), static_cast<unsigned long>(height)))
    return false;
  picture->Clear(WindowPixel{0, 0, 0, 255});
  if (m_background == nullptr) return true;
  RECT all{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
  return m_background->ScreenObject_DrawItem(&all, picture->GetHDC());
}

void UtilLib_Canvas::CastShadows(WindowBitmap* picture) {
  for (HWND child = GetWindow(GetWindowHandle(), GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (!::IsWindowVisible(child)) continue;
    RECT place{};
    GetControlPosition(child, &place);
    quellor::win::CastDropShadow(picture, place);
  }
}

void UtilLib_Canvas::PaintWindow(HWND window, HDC dc) {
  if (m_background != nullptr && DrawsNothing(m_background)) return;
  const bool shadows = m_dropShadows && GetNoChildren() > 0;
  if (!shadows && !m_caching) {
    if (m_background != nullptr) m_background->ScreenObject_DrawItem(window, dc);
    return;
  }
  // Shadows and the cache go through the work picture, shown in one copy.
  if (m_caching) {
    if (!m_cacheValid || m_cache.GetWidth() != static_cast<unsigned long>(GetWindowWidth()) ||
        m_cache.GetHeight() != static_cast<unsigned long>(GetWindowHeight()))
      m_cacheValid = DrawBackground(&m_cache);
    if (!m_cacheValid || !m_work.CopyFrom(&m_cache)) return;
  } else if (!DrawBackground(&m_work)) {
    return;
  }
  Draw_SpecialisedBitmap(&m_work);
  if (shadows) CastShadows(&m_work);
  m_work.BitBlit(dc, 0, 0);
}
