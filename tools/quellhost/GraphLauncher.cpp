#include "GraphLauncher.h"

#include <windows.h>

#include "Commands.h"

namespace quellor::quellhost {
namespace {

constexpr char kGraphLibrary[] = "libquellhost_graph.so";
constexpr char kGraphEntry[] = "QuellhostRunGraph";
using GraphEntry = int (*)(const FrameworkLibrary*, const std::vector<std::string>*, std::ostream*,
                           std::ostream*);

}  // namespace

int LaunchGraphCommand(const FrameworkLibrary& framework, const std::vector<std::string>& words,
                       std::ostream& out, std::ostream& err) {
  HMODULE library = LoadLibraryA(kGraphLibrary);  // a bare name is found beside the program
  auto entry = library == nullptr ? nullptr
                                  : reinterpret_cast<GraphEntry>(reinterpret_cast<void (*)()>(
                                        GetProcAddress(library, kGraphEntry)));
  if (entry == nullptr) {
    err << "quellhost: cannot load " << kGraphLibrary << " (error " << GetLastError() << ")\n";
    return kHostNoFramework;
  }
  return entry(&framework, &words, &out, &err);
}

}  // namespace quellor::quellhost
