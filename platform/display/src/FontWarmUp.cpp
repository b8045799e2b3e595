#include "FontWarmUp.h"

#include <fontconfig/fontconfig.h>

namespace quellor::display {

void WarmFontConfiguration() {
  // fontconfig installs its default configuration atomically: a program
  // thread that asks for a face meanwhile either finds it loaded or loads
  // its own copy, never a half-made one. The subset frees it at exit.
  FcInit();
}

}  // namespace quellor::display
