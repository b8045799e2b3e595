#pragma once

#include "qlxrapi/ScreenObject_Resource.h"

namespace quellor::win {

// Clears every pointer the library keeps to a default look that is going
// (a skin may replace a registered one), so none is left dangling.
void ForgetDefaultResource(ScreenObject_Resource* object);

}  // namespace quellor::win
