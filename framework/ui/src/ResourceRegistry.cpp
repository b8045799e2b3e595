// The resource registry: named screen objects, newest first, each owned by
// an entry (a container) that callers keep and draw.
#include "ResourceRegistry.h"

#include <cxxabi.h>
#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <typeinfo>
#include <vector>

#include "qlxrapi/StartupSteps.h"

namespace quellor::win {

namespace {

struct Entry {
  ScreenObject_Container* entry;
  std::string name;
};

// Newest first. Used from the window thread only. Emptied when the library's
// start-up is undone (StopResources); the list itself is freed when the
// library unloads, even if something looked an entry up after the stop.
std::vector<Entry>& Entries() {
  static std::vector<Entry> entries;
  return entries;
}

// The class name for the trace: no leading keyword or underscores.
std::string ClassNameOf(ScreenObject* object) {
  const char* mangled = typeid(*object).name();
  int status = 0;
  char* plain = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
  std::string name = status == 0 && plain ? plain : mangled;
  std::free(plain);
  for (const char* keyword : {"class ", "struct "})
    if (name.rfind(keyword, 0) == 0) name.erase(0, std::strlen(keyword));
  name.erase(0, name.find_first_not_of('_'));
  return name;
}

std::vector<Entry>::iterator Find(const char* name) {
  auto& entries = Entries();
  for (auto it = entries.begin(); it != entries.end(); ++it)
    if (strcasecmp(it->name.c_str(), name) == 0) return it;
  return entries.end();
}

// Removes the record first: the entry's deletion comes back here.
bool Delete(std::vector<Entry>::iterator it) {
  if (it == Entries().end()) return true;
  ScreenObject_Container* entry = it->entry;
  Entries().erase(it);
  delete entry;
  return false;
}

void DeleteAll() {
  while (!Entries().empty()) Delete(Entries().begin());
}

}  // namespace

void ForgetResource(ScreenObject* object) {
  auto& entries = Entries();
  for (auto it = entries.begin(); it != entries.end(); ++it) {
    if (it->entry == object) {
      entries.erase(it);  // the entry itself is going
      return;
    }
    if (it->entry->GetChildItem() == object) {
      // The registered object was deleted by someone else: its entry goes
      // too, without deleting the object a second time.
      ScreenObject_Container* entry = it->entry;
      entries.erase(it);
      entry->ReleaseChildItem();
      delete entry;
      return;
    }
  }
}

}  // namespace quellor::win

using namespace quellor::win;

ScreenObject* BuildResource(char* name, ScreenObject* object) {
  if (name == nullptr) return object;
  Delete(Find(name));
  if (object == nullptr) return nullptr;
  auto* entry = new ScreenObject_Container(object);
  Entries().insert(Entries().begin(), Entry{entry, name});
  char line[512];
  std::snprintf(line, sizeof line, "Resource Created : %s Type : %s\n", name,
                ClassNameOf(object).c_str());
  OutputDebugStringA(line);
  return object;
}

ScreenObject* GetResource(char* name) {
  if (name == nullptr) return nullptr;
  auto it = Find(name);
  return it == Entries().end() ? nullptr : it->entry;
}

bool DeleteResource(char* name) {
  return name == nullptr || Delete(Find(name));
}

bool DeleteResource(ScreenObject* entry) {
  auto& entries = Entries();
  for (auto it = entries.begin(); it != entries.end(); ++it)
    if (it->entry == entry) return Delete(it);
  return true;
}

char* GetResourceName(ScreenObject* entry) {
  for (auto& e : Entries())
    if (e.entry == entry) return e.name.data();
  return nullptr;
}

namespace {

bool StartResources() {
  return true;
}
void StopResources() {
  quellor::win::DeleteAll();
  std::vector<quellor::win::Entry>().swap(quellor::win::Entries());
}

}  // namespace

QLXRAPI_STARTUP_STEP(Resources, &StartResources, &StopResources);
