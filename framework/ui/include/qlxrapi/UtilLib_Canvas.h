// UtilLib_Canvas: a window drawn from one background screen object, with
// drop shadows under its children on request and an optional cache of the
// drawn background. Derived canvases draw on top in Draw_SpecialisedBitmap.
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/BaseWindowClass.h"
#include "qlxrapi/Controls_Canvas.h"
#include "qlxrapi/Controls_LayoutHints.h"
#include "qlxrapi/DynamicListener.h"
#include "qlxrapi/WindowBitmap.h"

class QUELLOR_EXPORT UtilLib_Canvas : public BaseWindowClass,
                                      public DynamicListener,
                                      public Controls_LayoutHints,
                                      public Controls_Canvas {
 public:
  // The background starts as the registry entry "DEFAULTRESOURCE_CANVASBG"
  // when there is one.
  UtilLib_Canvas();
  ~UtilLib_Canvas() override;

  using Controls_Canvas::Canvas_GetResourceName;
  using Controls_Canvas::Canvas_SetResource;
  void Canvas_SetResource(ScreenObject* resource) override;
  ScreenObject* Canvas_GetResource() override { return m_background; }

  // Children of at least 16 x 16 pixels cast an 8-pixel shadow right and
  // below them.
  void Canvas_SetDropShadows(bool on);
  bool Canvas_GetDropShadows() const { return m_dropShadows; }
  // Keeps the drawn background in a picture until it or the size changes.
  void Canvas_SetCaching(bool on);
  bool Canvas_GetCaching() const { return m_caching; }

  long LayoutHints_GetPreferedXSize() override;
  long LayoutHints_GetPreferedYSize() override;

  void DynamicCallback(long id, const char* name, void* args) override;

 protected:
  void PaintWindow(HWND window, HDC dc) override;
  void WindowSized(long width, long height) override;
  // Draws over the background in the picture that is shown (the size of the
  // client area) when the canvas paints through its work picture: with
  // shadows or caching on. Does nothing here.
  virtual void Draw_SpecialisedBitmap(WindowBitmap* picture);

 private:
  bool DrawBackground(WindowBitmap* picture);
  void CastShadows(WindowBitmap* picture);

  ScreenObject* m_background = nullptr;
  bool m_dropShadows = false;
  bool m_caching = false;
  bool m_cacheValid = false;
  WindowBitmap m_cache;
  WindowBitmap m_work;
};
