// The layout windows as control window classes, so that frames and menus
// can create them by name.
#include "qlxrapi/ControlWindowClasses.h"
#include "qlxrapi/UtilLib_FreeFormLayout.h"
#include "qlxrapi/UtilLib_SimpleGrid.h"

QLXRAPI_CONTROL_CLASS(UtilLib_SimpleGrid);
QLXRAPI_CONTROL_CLASS(UtilLib_FreeFormLayout);
