#include "ControlsTestSupport.h"

#include <sys/stat.h>

#include <cstdlib>
#include <map>
#include <mutex>

namespace quellor::testing {
namespace {

std::mutex gMutex;
std::map<HWND, Behaviour> gBehaviours;
std::vector<Received> gReceived;
Behaviour gPending;  // for the window being created

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Behaviour behaviour;
  {
    std::lock_guard<std::mutex> lock(gMutex);
    if (message == WM_NCCREATE && gPending) gBehaviours[hwnd] = std::exchange(gPending, {});
    gReceived.push_back(Received{hwnd, message, wParam, lParam});
    auto it = gBehaviours.find(hwnd);
    if (it != gBehaviours.end()) behaviour = it->second;
  }
  LRESULT result = 0;
  if (behaviour && behaviour(hwnd, message, wParam, lParam, &result)) return result;
  if (message == WM_NCDESTROY) {
    std::lock_guard<std::mutex> lock(gMutex);
    gBehaviours.erase(hwnd);
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

BOOL CALLBACK DestroyOwn(HWND hwnd, LPARAM) {
  DestroyWindow(hwnd);
  return TRUE;
}

}  // namespace

HWND CreateHost(const char* title, int x, int y, int w, int h, Behaviour behaviour) {
  static std::once_flag once;
  std::call_once(once, [] {
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = HostProc;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "ControlsHost";
    RegisterClassA(&wc);
  });
  {
    std::lock_guard<std::mutex> lock(gMutex);
    gPending = std::move(behaviour);
  }
  return CreateWindowExA(0, "ControlsHost", title, WS_POPUP | WS_VISIBLE, x, y, w, h, nullptr,
                         nullptr, nullptr, nullptr);
}

std::vector<Received> ReceivedBy(HWND hwnd, UINT message) {
  std::lock_guard<std::mutex> lock(gMutex);
  std::vector<Received> out;
  for (const Received& r : gReceived) {
    if (r.hwnd == hwnd && r.message == message) out.push_back(r);
  }
  return out;
}

void ClearReceived() {
  std::lock_guard<std::mutex> lock(gMutex);
  gReceived.clear();
}

std::string ScratchPath(const std::string& name) {
  const char* base = std::getenv("QUELLOR_TEST_TMP");
  std::string root = base ? base : "/tmp";
  mkdir(root.c_str(), 0755);
  std::string dir = root + "/win32_controls";
  mkdir(dir.c_str(), 0755);
  return dir + "/" + name;
}

POINT CentreOf(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void ControlsTest::SetUp() {
  desktop::UseManualClock(true);
  desktop::SetScreenSize(1920, 1080);
  ClearReceived();
}

void ControlsTest::TearDown() {
  desktop::SetAnswerHook({});
  desktop::SetModalIdleHook({});
  EnumWindows(DestroyOwn, 0);
  ReleaseCapture();
  desktop::AdvanceClock(2000);  // no double click reaches into the next test
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  ClearReceived();
}

}  // namespace quellor::testing
