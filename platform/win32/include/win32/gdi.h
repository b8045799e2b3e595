// GDI32: device contexts, bitmaps, pens, brushes, regions and text.
#pragma once

#include "types.h"
