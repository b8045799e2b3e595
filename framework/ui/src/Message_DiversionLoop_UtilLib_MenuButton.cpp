#include "Message_DiversionLoop_UtilLib_MenuButton.h"

#include "qlxrapi/UtilLib_MenuButton.h"

void Message_DiversionLoop_UtilLib_MenuButton::OwnerGone() {
  m_ownerGone = true;
  m_owner = nullptr;
  // Wakes the loop, which may be waiting for input.
  PostMessageA(nullptr, WM_NULL, 0, 0);
}

UtilLib_MenuButton* Message_DiversionLoop_UtilLib_MenuButton::OpenMenuButtonAt(POINT screen) {
  HWND window = WindowFromPoint(screen);
  if (window == nullptr) return nullptr;
  auto* button = dynamic_cast<UtilLib_MenuButton*>(Orvane_GetWindowObject(window));
  if (button == nullptr || !UtilLib_MenuButton::IsOpenValue(button->Button_GetVariable()))
    return nullptr;
  return button;
}

int Message_DiversionLoop_UtilLib_MenuButton::DiversionLoop(MSG* message, UINT* number,
                                                            WPARAM* wParam, LPARAM* lParam) {
  constexpr int kListenersOnly = 0, kDispatch = 1, kEnd = 2;
  if (m_ownerGone) return kEnd;
  if (*number == WM_KEYDOWN && *wParam == VK_ESCAPE) return kEnd;
  if (*number < WM_MOUSEMOVE || *number > WM_MBUTTONDBLCLK) return kDispatch;

  UtilLib_MenuButton* target = OpenMenuButtonAt(message->pt);
  if (target != nullptr) {
    message->hwnd = target->GetWindowHandle();
    POINT client = message->pt;
    ScreenToClient(message->hwnd, &client);
    *lParam = MAKELPARAM(client.x, client.y);
  }
  const bool release =
      *number == WM_LBUTTONUP || *number == WM_RBUTTONUP || *number == WM_MBUTTONUP;
  if (release)
    return target != nullptr && target->UtilLib_MenuButton_GetMenu() != nullptr ? kDispatch : kEnd;
  return target != nullptr ? kDispatch : kListenersOnly;
}
