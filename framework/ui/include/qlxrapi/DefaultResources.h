// The library's own pictures and the default screen objects made from them
// when the library loads: button, menu and slider looks, the canvas
// background, the skinned frame window's pieces (registered by name, so a
// skin replaces them by registering others), the selection handles and the
// drag-and-drop cursors.
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/BitmapItem.h"
#include "qlxrapi/ScreenObject_Resource.h"

namespace quellor::win {

// Bitmap resources of the library's module.
enum DefaultBitmap : unsigned short {
  kBitmapButtonUp = 101,  // 135 x 24
  kBitmapButtonDown = 103,
  kBitmapButtonRollover = 104,
  kBitmapButtonDownRollover = 106,
  kBitmapSliderHorizontal = 108,  // 63 x 24 thumbs
  kBitmapSliderHorizontalRolloverDragging = 109,
  kBitmapSliderHorizontalRollover = 110,
  kBitmapSliderHorizontalDragging = 111,
  kBitmapSliderVerticalDragging = 112,  // 24 x 63 thumbs
  kBitmapSliderVerticalRolloverDragging = 113,
  kBitmapSliderVerticalRollover = 114,
  kBitmapSliderVertical = 115,
  kBitmapSliderTrackHorizontal = 116,  // 16 x 24
  kBitmapSliderTrackVertical = 117,    // 24 x 16
  kBitmapWindow = 122,                 // 217 x 184: canvas and frame pieces
  kBitmapMenuUp = 157,                 // 53 x 22
  kBitmapMenuRollover = 158,
  kBitmapMenuDownRollover = 159,
  kBitmapMenuDown = 160,
};

// Cursor resources: over a selected item while idle, dragging over no
// acceptable target, dragging over an acceptable target.
enum DefaultCursor : unsigned short {
  kCursorOverSelected = 105,
  kCursorNoTarget = 106,
  kCursorTarget = 118,
};

// Icon resources of the eight resize handles, numbered 140 plus the resize
// kind (1 top-left, 2 top, 3 top-right, 4 left, 5 right, 6 bottom-left,
// 7 bottom, 8 bottom-right). Corners are 6 x 6, left and right 7 x 8, top
// and bottom 8 x 7.
enum DefaultHandleIcon : unsigned short {
  kIconHandleTopLeft = 141,
  kIconHandleTop = 142,
  kIconHandleTopRight = 143,
  kIconHandleLeft = 144,
  kIconHandleRight = 145,
  kIconHandleBottomLeft = 146,
  kIconHandleBottom = 147,
  kIconHandleBottomRight = 148,
};

// The module that holds the pictures above (the library itself).
QUELLOR_EXPORT HINSTANCE FrameworkModule();

// The default slider look made from bitmap id (108 to 117), or null for
// another number or before the library has loaded.
QUELLOR_EXPORT ScreenObject_Resource* DefaultSliderPicture(unsigned short id);
// The canvas background (bitmap 122 stretched both ways), or null.
QUELLOR_EXPORT BitmapItem* DefaultCanvasBackground();

}  // namespace quellor::win

// Made at load; the buttons are also registered as
// "DEFAULTRESOURCE_BUTTON_UP", "DEFAULTRESOURCE_BUTTON_DOWN",
// "DEFAULTRESOURCE_BUTTON_UP_ROLLOVER" and
// "DEFAULTRESOURCE_BUTTON_DOWN_ROLLOVER" (the registry owns them: registering
// another object under one of those names leaves the pointer dangling, so
// controls look the name up when they draw).
extern QUELLOR_EXPORT ScreenObject_Resource* DefaultButton_Up;
extern QUELLOR_EXPORT ScreenObject_Resource* DefaultButton_Dn;
extern QUELLOR_EXPORT ScreenObject_Resource* DefaultButton_Ro;
extern QUELLOR_EXPORT ScreenObject_Resource* DefaultButton_RoDn;
// Centred vertically and tiled horizontally; owned by the library.
extern QUELLOR_EXPORT ScreenObject_Resource* DefaultMenu_Up;
extern QUELLOR_EXPORT ScreenObject_Resource* DefaultMenu_Dn;
extern QUELLOR_EXPORT ScreenObject_Resource* DefaultMenu_Ro;
extern QUELLOR_EXPORT ScreenObject_Resource* DefaultMenu_RoDn;
