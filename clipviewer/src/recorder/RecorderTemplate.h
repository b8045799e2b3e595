// The recorder dialog's template (resource 106).
#pragma once

#include "win32/resources.h"
#include "windows.h"

namespace quellor::clipviewer::recorder {

win32::DialogTemplate RecorderTemplate();

}  // namespace quellor::clipviewer::recorder
