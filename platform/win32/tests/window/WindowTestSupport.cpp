#include "WindowTestSupport.h"

#include <filesystem>
#include <map>

#include "quellor/testing/DesktopReset.h"
#include "quellor/testing/ScratchFolder.h"

namespace quellor::testing {
namespace {

std::mutex gHandlersMutex;
std::map<HWND, Handler>& Handlers() {
  static std::map<HWND, Handler> handlers;
  return handlers;
}

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MessageLog::Instance().Add(Logged{hwnd, message, wParam, lParam});
  Handler handler;
  {
    std::lock_guard<std::mutex> lock(gHandlersMutex);
    auto it = Handlers().find(hwnd);
    if (it != Handlers().end()) handler = it->second;
  }
  LRESULT result = 0;
  if (handler && handler(hwnd, message, wParam, lParam, &result)) return result;
  if (message == WM_NCDESTROY) {
    std::lock_guard<std::mutex> lock(gHandlersMutex);
    Handlers().erase(hwnd);
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

MessageLog& MessageLog::Instance() {
  static MessageLog log;
  return log;
}
void MessageLog::Add(const Logged& entry) {
  std::lock_guard<std::mutex> lock(mutex_);
  entries_.push_back(entry);
}
std::vector<Logged> MessageLog::Entries() {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_;
}
std::vector<UINT> MessageLog::MessagesOf(HWND hwnd, const std::vector<UINT>& only) {
  std::vector<UINT> out;
  for (const Logged& e : Entries()) {
    if (e.hwnd != hwnd) continue;
    if (!only.empty() && std::find(only.begin(), only.end(), e.message) == only.end()) continue;
    out.push_back(e.message);
  }
  return out;
}
void MessageLog::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  entries_.clear();
}

void SetHandler(HWND hwnd, Handler handler) {
  std::lock_guard<std::mutex> lock(gHandlersMutex);
  Handlers()[hwnd] = std::move(handler);
}

void RegisterRecordingClasses() {
  // Tests create windows on several threads at once: each must find the
  // classes registered before it goes on.
  static std::once_flag once;
  std::call_once(once, [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "RecordingWindow";
    RegisterClassA(&wc);
    wc.style = CS_DBLCLKS;
    wc.lpszClassName = "RecordingWindowDbl";
    RegisterClassA(&wc);
  });
}

HWND CreateRecording(const char* title, DWORD style, int x, int y, int w, int h, HWND parent,
                     int id, DWORD exStyle, const char* className) {
  RegisterRecordingClasses();
  return CreateWindowExA(exStyle, className, title, style, x, y, w, h, parent,
                         reinterpret_cast<HMENU>(intptr_t(id)), nullptr, nullptr);
}

HWND CreateSolidWindow(COLORREF colour, DWORD style, int x, int y, int w, int h, HWND parent) {
  HWND hwnd = CreateRecording("solid", style, x, y, w, h, parent);
  SetHandler(hwnd, [colour](HWND win, UINT msg, WPARAM, LPARAM, LRESULT* result) {
    if (msg != WM_PAINT) return false;
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(win, &ps);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT client;
    GetClientRect(win, &client);
    FillRect(hdc, &client, brush);
    DeleteObject(brush);
    EndPaint(win, &ps);
    *result = 0;
    return true;
  });
  return hwnd;
}

std::string TempPath(const std::string& name) {
  // One folder for the whole program: the pictures are kept for looking at.
  static const std::filesystem::path folder = [] {
    const auto path = TestTmpRoot() / "win32_window";
    std::filesystem::create_directories(path);
    return path;
  }();
  return (folder / name).string();
}

void WindowTest::SetUp() {
  ResetDesktop();
  MessageLog::Instance().Clear();
}

void WindowTest::TearDown() {
  ReleaseHeldInput();
  DestroyThreadWindows();
  DrainThreadQueue();
  MessageLog::Instance().Clear();
}

}  // namespace quellor::testing
