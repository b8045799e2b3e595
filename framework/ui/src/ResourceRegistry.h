#pragma once

#include "qlxrapi/ScreenObject.h"

namespace quellor::win {

// Called by every screen object as it goes: an entry leaves the registry,
// and an entry whose registered object goes is removed with it.
void ForgetResource(ScreenObject* object);

}  // namespace quellor::win
