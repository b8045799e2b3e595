// The class names plug-ins announce in their debug texts while they load and
// unload ("Registering Plugin Class : X", "UnRegistering Plugin Control : X").
// The registry itself keeps only factories, so these texts are how a host
// learns which names exist.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quellor::quellhost {

struct AnnouncedClass {
  std::string name;
  bool control;  // a window class ("Plugin Control") rather than a plain class
};

// The names still registered after the announcements in text, in the order
// they were first registered. A removal takes back the earliest matching one.
std::vector<AnnouncedClass> RegisteredClassesFrom(std::string_view text);

}  // namespace quellor::quellhost
