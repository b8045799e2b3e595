// BitmapItem: a WindowBitmap as a screen object, drawn by the alignment
// flags of the placement rules (qlxrapi/Placement.h).
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/ScreenObject.h"
#include "qlxrapi/WindowBitmap.h"

class QUELLOR_EXPORT BitmapItem : public ScreenObject {
 public:
  // Each constructor registers the item under name when one is given.
  explicit BitmapItem(unsigned long flags = 192, char* name = nullptr);
  // A file that cannot be read leaves the picture empty.
  BitmapItem(char* file, unsigned long flags, char* name);
  // Throws "Could no create the bitmap from a resource !" when the module's
  // bitmap cannot be read.
  BitmapItem(HINSTANCE module, int id, char* name);
  // The width x height cut-out at (x, y) of source's picture.
  BitmapItem(BitmapItem* source, unsigned x, unsigned y, unsigned width, unsigned height,
             char* name);
  BitmapItem(BitmapItem* source, char* name);

  bool ScreenObject_RAW_DrawItem(RECT* rect, HDC dc, RECT* clip) override;
  long ScreenObject_GetPreferedXSize() override;
  long ScreenObject_GetPreferedYSize() override;

  bool ResourceLoad(HINSTANCE module, unsigned short id);
  WindowBitmap* GetBitmap() { return &m_bitmap; }
  unsigned long GetAlignement() const { return m_flags; }
  void SetAlignment(unsigned long flags) { m_flags = flags; }

 private:
  WindowBitmap m_bitmap;
  unsigned long m_flags = 192;
};
