// Entry point of the clipboard viewer tray program. The switcher client and
// the board settings belong to static initialisation, before main runs; a
// machine without the board ends there with exit code 1.
#include <cstdlib>
#include <string>

#include "app/ClipViewer.h"
#include "app/ScriptDriver.h"

namespace {

using quellor::clipviewer::ClipViewer;

class ViewerStatics {
 public:
  ViewerStatics() {
    if (!viewer_.InitialiseStatics()) std::exit(1);
  }
  ~ViewerStatics() { viewer_.CleanUpStatics(); }
  ClipViewer& Viewer() { return viewer_; }

 private:
  ClipViewer viewer_;
};

ViewerStatics gStatics;

// The command line after the program name, as the entry point receives it.
std::string CommandLineArguments(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  ClipViewer& viewer = gStatics.Viewer();
  if (const char* script = std::getenv("QUELLOR_CLIPVIEWER_SCRIPT")) {
    std::string steps = script;
    viewer.Hooks().started = [steps](ClipViewer& running) {
      if (!quellor::clipviewer::StartScript(running, steps))
        PostMessageA(running.MainWindow(), WM_COMMAND, 40001, 0);
    };
  }
  return viewer.Run(CommandLineArguments(argc, argv));
}
