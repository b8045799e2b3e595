// USER32: windows, messages, input, dialogs, menus, clipboard.
#pragma once

#include "types.h"
