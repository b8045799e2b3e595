#include "GraphLauncher.h"

#include <windows.h>

#include "Commands.h"

namespace quellor::quellhost {
namespace {

constexpr char kGraphLibrary[] = "libquellhost_graph.so";
constexpr char kGraphEntry[] = "QuellhostRunGraph";
constexpr char kScopeLibrary[] = "libquellhost_scope.so";
constexpr char kScopeEntry[] = "QuellhostRunScope";
using GraphEntry = int (*)(const FrameworkLibrary*, const std::vector<std::string>*, std::ostream*,
                           std::ostream*);

}  // namespace

int LaunchFrom(const char* libraryName, const char* entryName, const FrameworkLibrary& framework,
               const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  HMODULE library = LoadLibraryA(libraryName);  // a bare name is found beside the program
  auto entry = library == nullptr ? nullptr
                                  : reinterpret_cast<GraphEntry>(reinterpret_cast<void (*)()>(
                                        GetProcAddress(library, entryName)));
  if (entry == nullptr) {
    err << "quellhost: cannot load " << libraryName << " (error " << GetLastError() << ")\n";
    return kHostNoFramework;
  }
  return entry(&framework, &words, &out, &err);
}

int LaunchGraphCommand(const FrameworkLibrary& framework, const std::vector<std::string>& words,
                       std::ostream& out, std::ostream& err) {
  return LaunchFrom(kGraphLibrary, kGraphEntry, framework, words, out, err);
}

int LaunchScopeCommand(const FrameworkLibrary& framework, const std::vector<std::string>& words,
                       std::ostream& out, std::ostream& err) {
  return LaunchFrom(kScopeLibrary, kScopeEntry, framework, words, out, err);
}

}  // namespace quellor::quellhost
