// The resize handles of a skinned frame: each an UtilLib_Resize_Move set to
// its edge or corner of the parent window when the window is initialised.
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/UtilLib_Resize_Move.h"

#define QLXRAPI_RESIZE_HANDLE(Suffix, Kind)                                        \
  class QUELLOR_EXPORT UtilLib_Resize_Size_##Suffix : public UtilLib_Resize_Move { \
   public:                                                                         \
    UtilLib_Resize_Size_##Suffix() : UtilLib_Resize_Move(Kind) {}                  \
  };

QLXRAPI_RESIZE_HANDLE(T, MessageHook_Top)
QLXRAPI_RESIZE_HANDLE(TL, MessageHook_TopLeft)
QLXRAPI_RESIZE_HANDLE(TR, MessageHook_TopRight)
QLXRAPI_RESIZE_HANDLE(B, MessageHook_Bottom)
QLXRAPI_RESIZE_HANDLE(BL, MessageHook_BottomLeft)
QLXRAPI_RESIZE_HANDLE(BR, MessageHook_BottomRight)
QLXRAPI_RESIZE_HANDLE(L, MessageHook_Left)
QLXRAPI_RESIZE_HANDLE(R, MessageHook_Right)

#undef QLXRAPI_RESIZE_HANDLE
