// quellpanel: a control panel for a processing graph, made only of framework
// controls. It loads libQLXRAPI.so from its own folder (which loads every
// plug-in beside it), then the panel library, which builds the graph from
// Video.quell's nodes and the panel.
#include <windows.h>

#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr char kFramework[] = "libQLXRAPI.so";
constexpr char kPanelLibrary[] = "libquellpanel_panel.so";
constexpr int kNoFramework = 3;
using PanelEntry = int (*)(const std::vector<std::string>*, std::ostream*, std::ostream*);

}  // namespace

int main(int argc, char** argv) {
  // Bare names are found beside the program.
  if (LoadLibraryA(kFramework) == nullptr) {
    std::cerr << "quellpanel: cannot load " << kFramework << " (error " << GetLastError() << ")\n";
    return kNoFramework;
  }
  HMODULE panel = LoadLibraryA(kPanelLibrary);
  auto entry = panel == nullptr ? nullptr
                                : reinterpret_cast<PanelEntry>(reinterpret_cast<void (*)()>(
                                      GetProcAddress(panel, "QuellpanelRun")));
  if (entry == nullptr) {
    std::cerr << "quellpanel: cannot load " << kPanelLibrary << " (error " << GetLastError()
              << ")\n";
    return kNoFramework;
  }
  const std::vector<std::string> words(argv + 1, argv + argc);
  return entry(&words, &std::cout, &std::cerr);
}
