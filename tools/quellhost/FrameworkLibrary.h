// The framework library as quellhost uses it: loaded at run time from beside
// the program (which loads every plug-in beside it), while the plug-ins'
// announcements are listened to.
#pragma once

#include <windows.h>

#include <qlxrapi/PluginClass.h>

#include <string>
#include <vector>

#include "ClassAnnouncements.h"

namespace quellor::quellhost {

class FrameworkLibrary {
 public:
  // Loads libQLXRAPI.so from the program's folder. Check Loaded().
  FrameworkLibrary();
  FrameworkLibrary(const FrameworkLibrary&) = delete;
  FrameworkLibrary& operator=(const FrameworkLibrary&) = delete;

  bool Loaded() const { return create_ != nullptr; }
  // Why loading failed, for the user.
  const std::string& Problem() const { return problem_; }

  const std::vector<AnnouncedClass>& Classes() const { return classes_; }

  // Orvane_New(name). May throw what a plug-in's constructor throws.
  PluginClass* New(const std::string& name) const;

 private:
  using NewByName = PluginClass* (*)(char*);
  NewByName create_ = nullptr;
  std::vector<AnnouncedClass> classes_;
  std::string problem_;
};

}  // namespace quellor::quellhost
