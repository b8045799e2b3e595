#include "app/Pause.h"

#include <utility>

namespace quellor::clipviewer {
namespace {
PauseFunction& Current() {
  static PauseFunction pause;
  return pause;
}
}  // namespace

void Pause(DWORD milliseconds) {
  if (Current())
    Current()(milliseconds);
  else
    Sleep(milliseconds);
}

PauseFunction SetPauseFunction(PauseFunction pause) {
  return std::exchange(Current(), std::move(pause));
}

}  // namespace quellor::clipviewer
