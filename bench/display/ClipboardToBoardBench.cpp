// A copy in another X program, timed until the board's output shows it:
// clipviewer runs on an Xvfb of the benchmark's own (its presenter bridges
// the X clipboard), the benchmark's X connection takes the CLIPBOARD
// selection and serves a new text, and the board's shown frame is polled
// until both of its fields carry the new picture. The board runs on its real
// field clock, so a copy waits for up to a field before it is shown.
//
// BM_CopyInXReachesTheBoard: copies into a running clipviewer (after one
// copy that warms it). BM_FirstCopyAfterStart: the first copy into a freshly
// started clipviewer, at once when its tray icon is on the screen (/0) or a
// second later (/1000).
// The reference in the same run is BM_ReferenceXRoundTrip (one XSync with the
// same server); "fields" counts the latency in NTSC field periods.
//
// Needs Xvfb and clipviewer (built beside the benchmark); skipped otherwise.
#include <benchmark/benchmark.h>
// The board's names before Xlib's macros (None).
#include "board/BoardControl.h"
// clang-format off
#include <X11/Xatom.h>
#include <X11/Xlib.h>
// clang-format on
#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "XvfbServer.h"

extern char** environ;

namespace {

using quellor::display::testing::XvfbServer;
using Clock = std::chrono::steady_clock;

constexpr double kNtscFieldMs = 1000.0 * 1001.0 / 60000.0;
constexpr auto kGiveUp = std::chrono::seconds(5);
constexpr const char* kTrayTitle = "Video Quellor Director / Clipboard Viewer";

std::string ProgramsFolder() {
  if (const char* bin = std::getenv("QUELLOR_BIN")) return bin;
  char self[PATH_MAX] = {};
  const ssize_t got = readlink("/proc/self/exe", self, sizeof self - 1);
  if (got <= 0) return "bin";
  // <build>/bench/<benchmark> beside <build>/bin/
  return (std::filesystem::path(std::string(self, size_t(got))).parent_path().parent_path() / "bin")
      .string();
}

// The CLIPBOARD selection held by the benchmark's own connection: it answers
// TARGETS, UTF8_STRING and STRING with the text of its last copy.
class ClipboardOwner {
 public:
  explicit ClipboardOwner(Display* display) : display_(display) {
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    clipboard_ = XInternAtom(display_, "CLIPBOARD", False);
    targets_ = XInternAtom(display_, "TARGETS", False);
    utf8_ = XInternAtom(display_, "UTF8_STRING", False);
  }
  ~ClipboardOwner() { XDestroyWindow(display_, window_); }

  void Copy(const std::string& text) {
    text_ = text;
    XSetSelectionOwner(display_, clipboard_, window_, CurrentTime);
    XFlush(display_);
  }

  // Answers the requests that have come.
  void Serve() {
    while (XPending(display_)) {
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type == SelectionRequest) Answer(event.xselectionrequest);
    }
  }

 private:
  void Answer(const XSelectionRequestEvent& request) {
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    reply.property = None;
    const Atom property = request.property == None ? request.target : request.property;
    if (request.target == targets_) {
      const Atom offered[] = {targets_, utf8_, XA_STRING};
      XChangeProperty(display_, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(offered), 3);
      reply.property = property;
    } else if (request.target == utf8_ || request.target == XA_STRING) {
      XChangeProperty(display_, request.requestor, property, request.target, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(text_.data()), int(text_.size()));
      reply.property = property;
    }
    XSendEvent(display_, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
    XFlush(display_);
  }

  Display* display_;
  Window window_ = 0;
  Atom clipboard_, targets_, utf8_;
  std::string text_;
};

// Whether a viewable top-level window has this title.
bool WindowShown(Display* display, const char* title) {
  Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
  unsigned count = 0;
  bool found = false;
  if (!XQueryTree(display, root, &root, &parent, &children, &count)) return false;
  for (unsigned i = 0; i < count && !found; ++i) {
    char* name = nullptr;
    XWindowAttributes attributes{};
    if (XFetchName(display, children[i], &name) && name && std::strcmp(name, title) == 0 &&
        XGetWindowAttributes(display, children[i], &attributes) &&
        attributes.map_state == IsViewable)
      found = true;
    if (name) XFree(name);
  }
  if (children) XFree(children);
  return found;
}

// clipviewer on the benchmark's server with a board of its own.
class Viewer {
 public:
  Viewer(const std::string& display, const std::string& folder) : folder_(folder) {
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    const std::string program = ProgramsFolder() + "/clipviewer";
    if (access(program.c_str(), X_OK) != 0) return;
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
      const std::string item = *entry;
      for (const char* drop : {"DISPLAY=", "QUELLOR_BOARD_DIR=", "QUELLOR_WINDIR=",
                               "QUELLOR_HEADLESS=", "QUELLOR_CLIPVIEWER_SCRIPT="})
        if (item.rfind(drop, 0) == 0) goto next;
      environment.push_back(item);
    next:;
    }
    environment.push_back("DISPLAY=" + display);
    environment.push_back("QUELLOR_BOARD_DIR=" + std::string(std::getenv("QUELLOR_BOARD_DIR")));
    environment.push_back("QUELLOR_WINDIR=" + folder_);
    environment.push_back("QUELLOR_HEADLESS=0");
    environment.push_back("QUELLOR_CLIPVIEWER_SCRIPT=wait 600000");  // runs until ended
    std::vector<char*> envp;
    for (std::string& item : environment) envp.push_back(item.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Viewer() {
    if (pid_ > 0) {
      // Interrupted as from a terminal; killed when it does not end.
      kill(pid_, SIGINT);
      const Clock::time_point start = Clock::now();
      while (waitpid(pid_, nullptr, WNOHANG) == 0) {
        if (Clock::now() - start > std::chrono::seconds(3)) {
          kill(pid_, SIGKILL);
          waitpid(pid_, nullptr, 0);
          break;
        }
        usleep(1000);
      }
    }
    std::filesystem::remove_all(folder_);
  }
  bool Started() const { return pid_ > 0; }
  bool Alive() { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }

 private:
  std::string folder_;
  pid_t pid_ = -1;
};

// A copied text is white on black: most of the frame's luma is black (16),
// which the live input (colour bars, shown until clipviewer has something)
// never is.
bool MostlyBlack(const std::vector<uint8_t>& uyvy, size_t from, size_t to) {
  size_t black = 0;
  for (size_t i = from + 1; i < to; i += 2) black += uyvy[i] == 16;
  return black * 10 >= (to - from) / 2 * 9;
}

// Both fields of the board's shown frame differ from `before` and show a
// copied text.
bool ShowsNewCopy(const quellor::board::BoardFrame& before) {
  quellor::board::BoardFrame now;
  std::string error;
  if (!quellor::board::ReadShownFrame(now, error) || now.pixels.empty()) return false;
  const size_t half = now.pixels.size() / 2;
  for (size_t field = 0; field < 2; ++field) {
    const size_t from = field * half, to = from + half;
    if (!MostlyBlack(now.pixels, from, to)) return false;
    if (before.pixels.size() == now.pixels.size() &&
        std::memcmp(now.pixels.data() + from, before.pixels.data() + from, half) == 0)
      return false;
  }
  return true;
}

quellor::board::BoardFrame ShownFrame() {
  quellor::board::BoardFrame frame;
  std::string error;
  quellor::board::ReadShownFrame(frame, error);
  return frame;
}

// Waits for an X event or 1 ms.
void Nap(Display* display) {
  pollfd watch{ConnectionNumber(display), POLLIN, 0};
  poll(&watch, 1, 1);
}

// One copy, timed until the board shows it; a negative time when it never
// arrived.
double CopyToBoardMs(Display* display, ClipboardOwner& owner, const std::string& text) {
  const quellor::board::BoardFrame before = ShownFrame();
  const Clock::time_point start = Clock::now();
  owner.Copy(text);
  while (Clock::now() - start < kGiveUp) {
    owner.Serve();
    if (ShowsNewCopy(before))
      return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    Nap(display);
  }
  return -1;
}

bool WaitForTray(Display* display, Viewer& viewer) {
  const Clock::time_point start = Clock::now();
  while (Clock::now() - start < std::chrono::seconds(30) && viewer.Alive()) {
    if (WindowShown(display, kTrayTitle)) return true;
    Nap(display);
  }
  return false;
}

std::string Folder(const char* what) {
  return (std::filesystem::temp_directory_path() /
          ("display-clip-bench-" + std::to_string(getpid()) + "-" + what))
      .string();
}

// One server and one board for the whole run: the board library keeps the
// folder it first opened.
struct Setup {
  Setup() {
    std::filesystem::remove_all(board);
    std::filesystem::create_directories(board);
    setenv("QUELLOR_BOARD_DIR", board.c_str(), 1);
  }
  ~Setup() { std::filesystem::remove_all(board); }
  std::string board = Folder("board");
  std::unique_ptr<XvfbServer> server = std::make_unique<XvfbServer>();
};

Setup& Shared() {
  static Setup setup;
  return setup;
}

void Report(benchmark::State& state, double totalMs, int copies, double worstMs) {
  const double mean = copies ? totalMs / copies : 0;
  state.counters["mean_ms"] = mean;
  state.counters["worst_ms"] = worstMs;
  state.counters["fields"] = mean / kNtscFieldMs;
}

void BM_CopyInXReachesTheBoard(benchmark::State& state) {
  XvfbServer& server = *Shared().server;
  if (!server.Running()) return state.SkipWithError(server.Skipped().c_str());
  Display* display = server.Connection();
  Viewer viewer(server.Name(), Folder("steady"));
  if (!viewer.Started()) return state.SkipWithError("clipviewer is not built");
  if (!WaitForTray(display, viewer)) return state.SkipWithError("clipviewer's tray never showed");
  ClipboardOwner owner(display);
  if (CopyToBoardMs(display, owner, "warming copy") < 0)
    return state.SkipWithError("a copy never reached the board");
  double total = 0, worst = 0;
  int copies = 0;
  for (auto _ : state) {
    const double ms = CopyToBoardMs(display, owner, "copy number " + std::to_string(copies));
    if (ms < 0) return state.SkipWithError("a copy never reached the board");
    state.SetIterationTime(ms / 1000.0);
    total += ms;
    worst = std::max(worst, ms);
    ++copies;
  }
  Report(state, total, copies, worst);
}
BENCHMARK(BM_CopyInXReachesTheBoard)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(30);

void BM_FirstCopyAfterStart(benchmark::State& state) {
  XvfbServer& server = *Shared().server;
  if (!server.Running()) return state.SkipWithError(server.Skipped().c_str());
  Display* display = server.Connection();
  double total = 0, worst = 0;
  int copies = 0;
  for (auto _ : state) {
    double ms = -1;
    {
      Viewer viewer(server.Name(), Folder("first"));
      if (!viewer.Started()) return state.SkipWithError("clipviewer is not built");
      if (!WaitForTray(display, viewer))
        return state.SkipWithError("clipviewer's tray never showed");
      ClipboardOwner owner(display);
      // Then, with an argument, as long again before copying (serving
      // nothing meanwhile: nobody owns the clipboard yet).
      const Clock::time_point shown = Clock::now();
      while (Clock::now() - shown < std::chrono::milliseconds(state.range(0))) Nap(display);
      ms = CopyToBoardMs(display, owner, "first copy " + std::to_string(copies));
    }
    // The next viewer's tray must not be taken for this one's.
    while (WindowShown(display, kTrayTitle)) Nap(display);
    if (ms < 0) return state.SkipWithError("the first copy never reached the board");
    state.SetIterationTime(ms / 1000.0);
    total += ms;
    worst = std::max(worst, ms);
    ++copies;
  }
  Report(state, total, copies, worst);
}
BENCHMARK(BM_FirstCopyAfterStart)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(10)
    ->Arg(0)
    ->Arg(1000);

// Reference: one round trip to the same server.
void BM_ReferenceXRoundTrip(benchmark::State& state) {
  XvfbServer& server = *Shared().server;
  if (!server.Running()) return state.SkipWithError(server.Skipped().c_str());
  for (auto _ : state) XSync(server.Connection(), False);
}
BENCHMARK(BM_ReferenceXRoundTrip)->Unit(benchmark::kMicrosecond);

}  // namespace
