#include "ControlSupport.h"

namespace quellor::win {

bool DrawsNothing(ScreenObject* object) {
  while (auto* container = dynamic_cast<ScreenObject_Container*>(object))
    object = container->GetChildItem();
  return dynamic_cast<ScreenObjectNull*>(object) != nullptr;
}

void RepaintOrResize(BaseWindowClass* control, long preferredX, long preferredY) {
  if (control->GetWindowHandle() == nullptr) return;
  const long width = control->GetWindowWidth();
  const long height = control->GetWindowHeight();
  if (preferredX == -1) preferredX = width;
  if (preferredY == -1) preferredY = height;
  if (preferredX == width && preferredY == height)
    control->RePaint();
  else
    control->SetWindowSize(preferredX, preferredY);
}

}  // namespace quellor::win
