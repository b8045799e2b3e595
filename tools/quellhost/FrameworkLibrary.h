// The framework library as quellhost uses it: loaded at run time from beside
// the program (which loads every plug-in beside it), then asked for its
// registered classes through its C entry points.
#pragma once

#include <windows.h>

#include <qlxrapi/ClassList.h>

#include <string>
#include <vector>

namespace quellor::quellhost {

struct RegisteredClass {
  std::string name;
  bool control;  // a window class rather than a plain class
};

class FrameworkLibrary {
 public:
  // Loads libQLXRAPI.so from the program's folder. Check Loaded().
  FrameworkLibrary();
  FrameworkLibrary(const FrameworkLibrary&) = delete;
  FrameworkLibrary& operator=(const FrameworkLibrary&) = delete;

  bool Loaded() const { return create_ != nullptr && enumerate_ != nullptr; }
  // Why loading failed, for the user.
  const std::string& Problem() const { return problem_; }

  // The classes registered now, in registry order.
  std::vector<RegisteredClass> Classes() const;

  // Orvane_NewByName(name). May throw what a plug-in's constructor throws.
  PluginClass* New(const std::string& name) const;

 private:
  decltype(&Orvane_NewByName) create_ = nullptr;
  decltype(&Orvane_EnumerateClasses) enumerate_ = nullptr;
  std::string problem_;
};

}  // namespace quellor::quellhost
