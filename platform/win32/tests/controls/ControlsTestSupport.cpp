#include "ControlsTestSupport.h"

#include <filesystem>
#include <map>
#include <mutex>

#include "quellor/testing/DesktopReset.h"
#include "quellor/testing/ScratchFolder.h"

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
  // One folder for the whole program: the pictures are kept for looking at.
  static const std::filesystem::path folder = [] {
    const auto path = TestTmpRoot() / "win32_controls";
    std::filesystem::create_directories(path);
    return path;
  }();
  return (folder / name).string();
}

POINT CentreOf(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void ControlsTest::SetUp() {
  ResetDesktop();
  ClearReceived();
}

void ControlsTest::TearDown() {
  ClearDesktopHooks();
  DestroyThreadWindows();
  desktop::AdvanceClock(2000);  // no double click reaches into the next test
  DrainThreadQueue();
  ClearReceived();
}

}  // namespace quellor::testing
