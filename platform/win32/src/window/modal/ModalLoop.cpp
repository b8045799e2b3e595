#include "ModalLoop.h"

#include <mutex>

#include "win32/automation/Modal.h"

namespace quellor {
namespace {

std::mutex& HookMutex() {
  static std::mutex mutex;
  return mutex;
}

desktop::ModalIdleHook& Hook() {
  static desktop::ModalIdleHook hook;
  return hook;
}

}  // namespace

desktop::ModalIdleHook desktop::SetModalIdleHook(ModalIdleHook hook) {
  std::lock_guard<std::mutex> lock(HookMutex());
  std::swap(Hook(), hook);
  return hook;
}

void win32::NotifyModalIdle(HWND owner, WPARAM kind, HWND modalWindow) {
  if (owner && IsWindow(owner)) {
    SendMessageA(owner, WM_ENTERIDLE, kind, reinterpret_cast<LPARAM>(modalWindow));
  }
  desktop::ModalIdleHook hook;
  {
    std::lock_guard<std::mutex> lock(HookMutex());
    hook = Hook();
  }
  if (hook) hook(modalWindow);
}

win32::ModalNext win32::NextModalMessage(MSG& msg, HWND owner, WPARAM kind, HWND modalWindow,
                                         const bool& ended) {
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    NotifyModalIdle(owner, kind, modalWindow);
    if (ended || !IsWindow(modalWindow)) return ModalNext::Ended;
    GetMessageA(&msg, nullptr, 0, 0);
  }
  if (msg.message == WM_QUIT) {
    PostQuitMessage(int(msg.wParam));
    return ModalNext::Quit;
  }
  return ModalNext::Message;
}

}  // namespace quellor
