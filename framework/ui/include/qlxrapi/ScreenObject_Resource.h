// ScreenObject_Resource: a bitmap resource of a module placed in a rectangle
// by the alignment flags (qlxrapi/Placement.h). Cached, the bitmap is read
// once into a BitmapItem that draws it blended by its alpha; uncached, it is
// loaded from the module at every draw and copied as it is.
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/BitmapItem.h"
#include "qlxrapi/ScreenObject.h"

class QUELLOR_EXPORT ScreenObject_Resource : public ScreenObject {
 public:
  // Registered under name when one is given. A bitmap that cannot be loaded
  // still makes an object: it prefers no size and draws nothing.
  ScreenObject_Resource(HINSTANCE module, unsigned short id, unsigned long flags = 192,
                        char* name = nullptr, bool cached = true);
  ~ScreenObject_Resource() override;
  ScreenObject_Resource(const ScreenObject_Resource&) = delete;
  ScreenObject_Resource& operator=(const ScreenObject_Resource&) = delete;

  bool ScreenObject_RAW_DrawItem(RECT* rect, HDC dc, RECT* clip) override;
  long ScreenObject_GetPreferedXSize() override;
  long ScreenObject_GetPreferedYSize() override;

  // Stores the module and number, reads the bitmap's size (-1 x -1 when it
  // cannot be loaded) and, cached, the bitmap itself. True when it loaded.
  bool ResourceLoad(HINSTANCE module, unsigned short id);
  // Announces "Changed".
  void SetAlignment(unsigned long flags);
  unsigned long GetAlignment() const { return m_flags; }

  bool IsCached() const { return m_cached; }
  HINSTANCE GetModule() const { return m_module; }
  unsigned short GetResourceId() const { return m_id; }
  // The bitmap's natural size, -1 when it could not be loaded.
  long GetBitmapWidth() const { return m_width; }
  long GetBitmapHeight() const { return m_height; }
  // The cached picture (empty when uncached or not loaded).
  BitmapItem* GetCachedItem() { return &m_cache; }

 private:
  bool DrawUncached(const RECT& rect, HDC dc);

  HINSTANCE m_module = nullptr;
  unsigned short m_id = 0;
  unsigned long m_flags = 192;
  bool m_cached = true;
  long m_width = -1;
  long m_height = -1;
  BitmapItem m_cache;
};
