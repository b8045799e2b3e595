#include "PreviewMain.h"

#include <csignal>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "PreviewWindow.h"
#include "board/BoardControl.h"

namespace quellor::preview {
namespace {

volatile std::sig_atomic_t g_stop = 0;

constexpr const char* kUsage =
    "usage: %s [-o FILE.png] [--interval MS] [--pictures N]\n"
    "  keeps a live picture of the board's %s in FILE.png (default %s),\n"
    "  rewritten every MS milliseconds (default 250) when it changed, until\n"
    "  it is closed, interrupted, or has kept N pictures.\n";

struct Options {
  std::string path;
  unsigned long intervalMs = 250;
  unsigned long pictures = 0;  // 0: until asked to end
};

bool ParseNumber(const char* text, unsigned long low, unsigned long& value) {
  char* end = nullptr;
  const unsigned long parsed = std::strtoul(text, &end, 10);
  if (*text < '0' || *text > '9' || *end != '\0' || parsed < low || parsed > 3600000) return false;
  value = parsed;
  return true;
}

bool Parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (i + 1 >= argc) return false;
    const char* value = argv[++i];
    if (word == "-o") {
      options.path = value;
    } else if (word == "--interval") {
      if (!ParseNumber(value, 10, options.intervalMs)) return false;
    } else if (word == "--pictures") {
      if (!ParseNumber(value, 1, options.pictures)) return false;
    } else {
      return false;
    }
  }
  return true;
}

// False once the window was closed.
bool PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) return false;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return true;
}

}  // namespace

int RunPreview(PreviewSource source, int argc, char** argv) {
  const bool input = source == PreviewSource::Input;
  const char* program = input ? "VideoPreviewIn" : "VideoPreviewOut";
  const std::string defaultPath =
      board::BoardFolderPath() + (input ? "/preview-in.png" : "/preview-out.png");
  Options options;
  if (!Parse(argc, argv, options)) {
    std::fprintf(stderr, kUsage, program, input ? "input" : "output", defaultPath.c_str());
    return 2;
  }
  if (options.path.empty()) options.path = defaultPath;
  std::signal(SIGTERM, [](int) { g_stop = 1; });
  std::signal(SIGINT, [](int) { g_stop = 1; });

  LivePreview preview(source);
  std::string error;
  if (!preview.Attach(error)) {
    std::fprintf(stderr, "%s: %s\n", program, error.c_str());
    return 1;
  }
  PreviewWindow window(input ? "Video Preview In" : "Video Preview Out");
  unsigned long written = 0;
  ULONGLONG next = GetTickCount64();
  std::uint64_t shownFields = 0;
  PictureState shownState;
  while (!g_stop && PumpMessages()) {
    // On a display the window follows every field (the loop turns faster
    // than the field rate).
    if (window.Shown() && preview.FieldsSeen() != shownFields) {
      shownFields = preview.FieldsSeen();
      std::uint32_t field = 0;
      const std::uint32_t lines = preview.UpdatePicture(window.Picture(), shownState, field);
      window.Redraw(field, lines);
    }
    if (GetTickCount64() >= next) {
      if (!preview.WritePicture(options.path, error)) {
        std::fprintf(stderr, "%s: %s\n", program, error.c_str());
        return 1;
      }
      next += options.intervalMs;
      if (options.pictures != 0 && ++written >= options.pictures) break;
    }
    Sleep(10);
  }
  return 0;
}

}  // namespace quellor::preview
