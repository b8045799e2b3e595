#include "WaitBounds.h"

namespace quellor::rtvbridge {

WaitBounds& Bounds() {
  static WaitBounds bounds;
  return bounds;
}

}  // namespace quellor::rtvbridge
