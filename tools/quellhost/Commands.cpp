#include "Commands.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

namespace quellor::quellhost {
namespace {

std::string Demangled(const char* name) {
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> readable(
      abi::__cxa_demangle(name, nullptr, nullptr, &status), &std::free);
  return status == 0 && readable ? std::string(readable.get()) : std::string(name);
}

// The type of the complete object, without the wrapper's namespace.
std::string TypeOf(const PluginClass& object) {
  std::string type = Demangled(typeid(object).name());
  const std::string anonymous = "(anonymous namespace)::";
  if (type.starts_with(anonymous)) type.erase(0, anonymous.size());
  return type;
}

// Orvane_New; what a constructor throws is reported as the framework's
// callers do: texts as they are, anything else as an internal error.
PluginClass* Create(const FrameworkLibrary& framework, const std::string& name,
                    std::string& problem) {
  try {
    PluginClass* object = framework.New(name);
    if (object == nullptr) problem = "no registered class answers this name";
    return object;
  } catch (const char* text) {
    problem = text != nullptr ? text : "Unknown Internal Error";
  } catch (...) {
    problem = "Unknown Internal Error";
  }
  return nullptr;
}

}  // namespace

int ListClasses(const FrameworkLibrary& framework, std::ostream& out) {
  for (const RegisteredClass& entry : framework.Classes()) {
    out << entry.name << (entry.control ? " (control)" : "") << '\n';
  }
  return kHostSuccess;
}

int CreateObjects(const FrameworkLibrary& framework, const std::vector<std::string>& names,
                  std::ostream& out, std::ostream& err) {
  int status = kHostSuccess;
  for (const std::string& name : names) {
    std::string problem;
    PluginClass* object = Create(framework, name, problem);
    if (object == nullptr) {
      err << name << ": " << problem << '\n';
      status = kHostNotFound;
      continue;
    }
    out << name << ": created " << TypeOf(*object) << '\n';
    delete object;  // through PluginClass, onto the shared heap
  }
  return status;
}

}  // namespace quellor::quellhost
