#include "FrameworkLibrary.h"

namespace quellor::quellhost {
namespace {

constexpr char kFrameworkLibrary[] = "libQLXRAPI.so";

// FARPROC converts to the real type through the generic function pointer.
template <typename Function>
Function Lookup(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

int CollectClass(const char* name, int kind, void* context) {
  static_cast<std::vector<RegisteredClass>*>(context)->push_back(
      {name, kind == ORVANE_CLASS_CONTROL});
  return 1;
}

}  // namespace

FrameworkLibrary::FrameworkLibrary() {
  HMODULE framework = LoadLibraryA(kFrameworkLibrary);  // a bare name is found beside the program
  if (framework == nullptr) {
    problem_ = std::string("cannot load ") + kFrameworkLibrary + " (error " +
               std::to_string(GetLastError()) + ")";
    return;
  }
  create_ = Lookup<decltype(create_)>(framework, "Orvane_NewByName");
  enumerate_ = Lookup<decltype(enumerate_)>(framework, "Orvane_EnumerateClasses");
  if (create_ == nullptr) problem_ = std::string(kFrameworkLibrary) + " has no Orvane_NewByName";
  if (enumerate_ == nullptr) {
    problem_ = std::string(kFrameworkLibrary) + " has no Orvane_EnumerateClasses";
  }
}

std::vector<RegisteredClass> FrameworkLibrary::Classes() const {
  std::vector<RegisteredClass> classes;
  if (enumerate_ != nullptr) enumerate_(&CollectClass, &classes);
  return classes;
}

PluginClass* FrameworkLibrary::New(const std::string& name) const {
  return create_(name.c_str());
}

}  // namespace quellor::quellhost
