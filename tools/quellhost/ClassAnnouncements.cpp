#include "ClassAnnouncements.h"

#include <algorithm>

namespace quellor::quellhost {
namespace {

struct Announcement {
  std::string_view prefix;
  bool registering;
  bool control;
};

constexpr Announcement kAnnouncements[] = {
    {"Registering Plugin Class : ", true, false},
    {"Registering Plugin Control : ", true, true},
    {"UnRegistering Plugin Class : ", false, false},
    {"UnRegistering Plugin Control : ", false, true},
};

void Apply(std::string_view line, std::vector<AnnouncedClass>& classes) {
  for (const Announcement& announcement : kAnnouncements) {
    if (!line.starts_with(announcement.prefix)) continue;
    std::string name(line.substr(announcement.prefix.size()));
    if (name.empty()) return;
    if (announcement.registering) {
      classes.push_back({name, announcement.control});
      return;
    }
    auto known = std::find_if(classes.begin(), classes.end(), [&](const AnnouncedClass& entry) {
      return entry.name == name && entry.control == announcement.control;
    });
    if (known != classes.end()) classes.erase(known);
    return;
  }
}

}  // namespace

std::vector<AnnouncedClass> RegisteredClassesFrom(std::string_view text) {
  std::vector<AnnouncedClass> classes;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    Apply(text.substr(0, end), classes);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return classes;
}

}  // namespace quellor::quellhost
