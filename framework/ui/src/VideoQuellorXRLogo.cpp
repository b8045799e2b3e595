#include "qlxrapi/VideoQuellorXRLogo.h"

#include <cstdio>

#include "qlxrapi/BitmapItem.h"
#include "qlxrapi/FindFiles.h"

namespace {

constexpr char kLogoFile[] = "Logo\\VideoQuellorLogo.tga";
constexpr char kTitle[] = "VideoQuellor Starting ...";
constexpr char kRegisterFailed[] = "VideoQuellorXRLogo::Could not register class";
constexpr char kNoLogoFile[] = "Could not find the VideoQuellor logo skin file.";
constexpr char kNoThread[] = "Could not start the logo thread.";
constexpr char kNoWindow[] = "Could not create the VideoQuellor logo window.";
// CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC.
constexpr UINT kClassStyle = 0x2B;

// Numbers the classes of all logos in the process, from 1.
std::atomic<int> g_logoClasses{0};

// One poll of a wait on the logo's thread. Messages other threads send to
// this one are answered meanwhile (a peek for a message nobody posts), so
// that a send from the logo's thread cannot wait on a thread that waits on
// it.
void WaitAMoment() {
  constexpr UINT kNoSuchMessage = WM_APP + 0x3FFF;
  MSG message;
  PeekMessageA(&message, nullptr, kNoSuchMessage, kNoSuchMessage, PM_NOREMOVE);
  Sleep(1);
}

}  // namespace

VideoQuellorXRLogo::VideoQuellorXRLogo() {
  if (!StartThread()) {
    Fail(kNoThread);
    return;
  }
  // The creator waits, polling, until the window is up or the thread gave up.
  while (m_state.load(std::memory_order_acquire) == kStarting) WaitAMoment();
}

VideoQuellorXRLogo::~VideoQuellorXRLogo() {
  if (m_state.load(std::memory_order_acquire) == kUp) {
    // The window may have been closed under the loop; the thread's queue
    // takes the quit either way.
    if (!PostMessageA(m_window, WM_QUIT, 0, 0))
      PostThreadMessageA(GetThreadIdentifier(), WM_QUIT, 0, 0);
    while (m_state.load(std::memory_order_acquire) == kUp) WaitAMoment();
  }
  // The thread may still be on its way out of this object: let it finish
  // before the object goes.
  if (GetThreadHandle() == nullptr) return;
  while (WaitForSingleObject(GetThreadHandle(), 0) == WAIT_TIMEOUT) WaitAMoment();
}

void VideoQuellorXRLogo::Fail(const char* text) {
  m_failure = text;
  m_state.store(kFailed, std::memory_order_release);
}

bool VideoQuellorXRLogo::BringUp() {
  std::snprintf(m_className, sizeof m_className, "VideoQuellorXRLogo_%d", ++g_logoClasses);
  WNDCLASSA windowClass{};
  windowClass.style = kClassStyle;
  windowClass.lpfnWndProc = &LogoProcedure;
  windowClass.lpszClassName = m_className;
  if (RegisterClassA(&windowClass) == 0) {
    m_failure = kRegisterFailed;
    return false;
  }

  const char* path = FindFiles_FindFile("Skins", kLogoFile);
  m_picture = new BitmapItem(192);
  WindowBitmap* bitmap = m_picture->GetBitmap();
  if (path == nullptr || !bitmap->ReadBitmapFile(const_cast<char*>(path)) ||
      bitmap->GetWidth() == 0 || bitmap->GetHeight() == 0) {
    m_failure = kNoLogoFile;
    return false;
  }

  const long width = static_cast<long>(bitmap->GetWidth());
  const long height = static_cast<long>(bitmap->GetHeight());
  const long x = (GetSystemMetrics(SM_CXFULLSCREEN) - width) >> 1;
  const long y = (GetSystemMetrics(SM_CYFULLSCREEN) - height) >> 1;
  // A splash does not take the activation from the application starting.
  m_window = CreateWindowExA(WS_EX_NOACTIVATE, m_className, kTitle, WS_POPUP | WS_VISIBLE, x, y,
                             width, height, nullptr, nullptr, nullptr, nullptr);
  if (m_window == nullptr) {
    m_failure = kNoWindow;
    return false;
  }
  SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowPos(m_window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  bitmap->ApplyAsMask(m_window);
  return true;
}

void VideoQuellorXRLogo::ThreadEntryPoint() {
  if (!BringUp()) {
    delete m_picture;
    m_picture = nullptr;
    m_state.store(kFailed, std::memory_order_release);
    return;
  }
  m_state.store(kUp, std::memory_order_release);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  // The window goes with its thread, before the picture it paints from.
  if (IsWindow(m_window)) ::DestroyWindow(m_window);
  delete m_picture;
  m_picture = nullptr;
  m_state.store(kDown, std::memory_order_release);
}

LRESULT CALLBACK VideoQuellorXRLogo::LogoProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto* logo = reinterpret_cast<VideoQuellorXRLogo*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      if (logo != nullptr && logo->m_picture != nullptr)
        logo->m_picture->GetBitmap()->BitBlit(dc, 0, 0);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY:
      // Closed from outside (a user's close, a task manager): the loop ends
      // too, so that nothing waits on a window that is gone.
      if (logo != nullptr) PostQuitMessage(0);
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, w, l);
}
