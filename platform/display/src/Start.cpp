// The entry point the subset calls when it loads the presenter: connect to
// the display and show the windows from a thread of the presenter's own.
#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>
#include <mutex>
#include <thread>

#include "FontWarmUp.h"
#include "XPresenter.h"

namespace {

struct Running {
  std::unique_ptr<quellor::display::XPresenter> presenter;
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
};

Running* g_running = nullptr;

// How long the exit waits for the presenter's thread to finish its round
// (a repaint, the clipboard, a lost server's clean-up). A round takes a few
// milliseconds, but a loaded machine or a sanitizer can stretch it tenfold;
// libX11's own clean-up runs after this wait and must not find the thread
// still inside an Xlib call.
constexpr auto kExitWait = std::chrono::seconds(2);

// At exit the presenter stops before the subset's own state goes away. It may
// be waiting on a program thread that no longer answers (a clipboard notice):
// then, after kExitWait, it is left behind rather than hanging the exit.
void StopAtExit() {
  if (!g_running) return;
  g_running->presenter->Stop();
  std::unique_lock lock(g_running->mutex);
  g_running->finished.wait_for(lock, kExitWait, [] { return g_running->done; });
}

}  // namespace

extern "C" __attribute__((visibility("default"))) bool quellor_display_start() {
  // The connection is opened, used and kept by the presenter's own thread;
  // the caller learns whether it could be opened.
  std::promise<std::string> opened;
  std::future<std::string> result = opened.get_future();
  g_running = new Running;  // lives to the end of the process
  std::thread([&opened] {
    auto presenter = std::make_unique<quellor::display::XPresenter>(nullptr);
    const bool connected = presenter->Connected();
    if (connected) g_running->presenter = std::move(presenter);
    // Before the caller goes on: it then registers StopAtExit after the
    // font library's own clean-up, which therefore runs after the presenter
    // has stopped, and no program thread draws text beside the warm-up.
    if (connected) quellor::display::WarmFontConfiguration();
    opened.set_value(connected ? std::string() : presenter->Error());
    if (!connected) return;
    g_running->presenter->Run();
    std::lock_guard lock(g_running->mutex);
    g_running->done = true;
    g_running->finished.notify_all();
  }).detach();
  const std::string error = result.get();
  if (!error.empty()) {
    std::fprintf(stderr, "quellor: %s; the windows stay off the screen\n", error.c_str());
    delete g_running;
    g_running = nullptr;
    return false;
  }
  std::atexit(StopAtExit);
  return true;
}
