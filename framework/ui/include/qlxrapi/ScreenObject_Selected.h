// ScreenObject_Selected: the selection look. Drawing tints what is already on
// screen under the rectangle and puts resize handles on its sides.
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/ScreenObject.h"

class QUELLOR_EXPORT ScreenObject_Selected : public ScreenObject {
 public:
  // The tint (r, g, b) with its strength alpha, 0 (none) to 255; the second
  // colour set is kept for derived looks and not drawn.
  ScreenObject_Selected(unsigned char r, unsigned char g, unsigned char b, unsigned char alpha,
                        unsigned char r2, unsigned char g2, unsigned char b2, unsigned char alpha2);

  bool ScreenObject_RAW_DrawItem(RECT* rect, HDC dc, RECT* clip) override;
  long ScreenObject_GetPreferedXSize() override { return -1; }
  long ScreenObject_GetPreferedYSize() override { return -1; }

  // Horizontal resizing shows handles on the left and right sides, vertical
  // on the top and bottom, both together the corners as well.
  void SetResizerStatus(bool horizontal, bool vertical);
  bool GetHorizontalResizer() const { return m_horizontal; }
  bool GetVerticalResizer() const { return m_vertical; }
  // The tint as blue, green, red and strength; the second set likewise.
  const unsigned char* GetTint() const { return m_tint; }
  const unsigned char* GetSecondTint() const { return m_second; }

 private:
  unsigned char m_tint[4];    // blue, green, red, strength
  unsigned char m_second[4];  // blue, green, red, strength
  bool m_horizontal = false;
  bool m_vertical = false;
};
