#include "FrameworkLibrary.h"

#include <win32/testing/DebugOutput.h>

namespace quellor::quellhost {
namespace {

constexpr char kFrameworkLibrary[] = "libQLXRAPI.so";
// Orvane_New(char*) as the C++ ABI names it: the framework exports C++ names.
constexpr char kOrvaneNewByName[] = "_Z10Orvane_NewPc";

}  // namespace

FrameworkLibrary::FrameworkLibrary() {
  HMODULE framework = nullptr;
  {
    quellor::win32::testing::ScopedDebugOutputCapture announcements;
    framework = LoadLibraryA(kFrameworkLibrary);  // a bare name is found beside the program
    classes_ = RegisteredClassesFrom(announcements.Text());
  }
  if (framework == nullptr) {
    problem_ = std::string("cannot load ") + kFrameworkLibrary + " (error " +
               std::to_string(GetLastError()) + ")";
    return;
  }
  // FARPROC converts to the real type through the generic function pointer.
  create_ = reinterpret_cast<NewByName>(
      reinterpret_cast<void (*)()>(GetProcAddress(framework, kOrvaneNewByName)));
  if (create_ == nullptr) problem_ = std::string(kFrameworkLibrary) + " has no Orvane_New";
}

PluginClass* FrameworkLibrary::New(const std::string& name) const {
  std::string copy = name;  // Orvane_New takes a writable text
  return create_(copy.data());
}

}  // namespace quellor::quellhost
