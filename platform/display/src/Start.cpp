// The entry point the subset calls when it loads the presenter: connect to
// the display and show the windows from a thread of the presenter's own.
#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "XPresenter.h"

namespace {

struct Running {
  std::unique_ptr<quellor::display::XPresenter> presenter;
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
};

Running* g_running = nullptr;

// At exit the presenter stops before the subset's own state goes away. It may
// be waiting on a program thread that no longer answers (a clipboard notice):
// then it is left behind rather than hanging the exit.
void StopAtExit() {
  if (!g_running) return;
  g_running->presenter->Stop();
  std::unique_lock lock(g_running->mutex);
  g_running->finished.wait_for(lock, std::chrono::milliseconds(250),
                               [] { return g_running->done; });
}

}  // namespace

extern "C" __attribute__((visibility("default"))) bool quellor_display_start() {
  XInitThreads();
  auto presenter = std::make_unique<quellor::display::XPresenter>(nullptr);
  if (!presenter->Connected()) {
    std::fprintf(stderr, "quellor: %s; the windows stay off the screen\n",
                 presenter->Error().c_str());
    return false;
  }
  g_running = new Running;  // lives to the end of the process
  g_running->presenter = std::move(presenter);
  std::atexit(StopAtExit);
  std::thread([] {
    g_running->presenter->Run();
    std::lock_guard lock(g_running->mutex);
    g_running->done = true;
    g_running->finished.notify_all();
  }).detach();
  return true;
}
