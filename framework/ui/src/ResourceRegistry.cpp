// The resource registry: named screen objects, newest first, each owned by
// an entry (a container) that callers keep and draw.
#include "ResourceRegistry.h"

#include <cxxabi.h>
#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
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

// Newest first. Emptied when the library's start-up is undone
// (StopResources); the list itself is freed when the library unloads, even if
// something looked an entry up after the stop.
//
// Guarded by RegistryLock(). Resources are registered and looked up on the
// window thread, but every screen object leaves the list as it is deleted,
// on whatever thread deletes it: the start-up logo's thread deletes its
// picture while the program's thread registers its skins. The lock is held
// only while the list is read or changed, never while an entry is deleted:
// an entry's deletion comes back through ForgetResource.
std::vector<Entry>& Entries() {
  static std::vector<Entry> entries;
  return entries;
}

std::mutex& RegistryLock() {
  static std::mutex lock;
  return lock;
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

std::vector<Entry>::iterator FindLocked(const char* name) {
  auto& entries = Entries();
  for (auto it = entries.begin(); it != entries.end(); ++it)
    if (strcasecmp(it->name.c_str(), name) == 0) return it;
  return entries.end();
}

// Takes the record out of the list; the caller deletes the entry once the
// lock is released. Null for the end of the list.
ScreenObject_Container* TakeLocked(std::vector<Entry>::iterator it) {
  if (it == Entries().end()) return nullptr;
  ScreenObject_Container* entry = it->entry;
  Entries().erase(it);
  return entry;
}

// False when an entry was deleted, true when there was none.
bool DeleteTaken(ScreenObject_Container* entry) {
  if (entry == nullptr) return true;
  delete entry;
  return false;
}

void DeleteAll() {
  for (;;) {
    ScreenObject_Container* entry = nullptr;
    {
      std::lock_guard<std::mutex> lock(RegistryLock());
      if (Entries().empty()) return;
      entry = TakeLocked(Entries().begin());
    }
    DeleteTaken(entry);
  }
}

}  // namespace

void ForgetResource(ScreenObject* object) {
  ScreenObject_Container* orphan = nullptr;
  {
    std::lock_guard<std::mutex> lock(RegistryLock());
    auto& entries = Entries();
    for (auto it = entries.begin(); it != entries.end(); ++it) {
      if (it->entry == object) {
        entries.erase(it);  // the entry itself is going
        return;
      }
      if (it->entry->GetChildItem() == object) {
        // The registered object was deleted by someone else: its entry goes
        // too, without deleting the object a second time.
        orphan = it->entry;
        entries.erase(it);
        orphan->ReleaseChildItem();
        break;
      }
    }
  }
  delete orphan;
}

}  // namespace quellor::win

using namespace quellor::win;

ScreenObject* BuildResource(char* name, ScreenObject* object) {
  if (name == nullptr) return object;
  ScreenObject_Container* replaced = nullptr;
  {
    std::lock_guard<std::mutex> lock(RegistryLock());
    replaced = TakeLocked(FindLocked(name));
  }
  DeleteTaken(replaced);
  if (object == nullptr) return nullptr;
  auto* entry = new ScreenObject_Container(object);
  {
    std::lock_guard<std::mutex> lock(RegistryLock());
    Entries().insert(Entries().begin(), Entry{entry, name});
  }
  char line[512];
  std::snprintf(line, sizeof line, "Resource Created : %s Type : %s\n", name,
                ClassNameOf(object).c_str());
  OutputDebugStringA(line);
  return object;
}

ScreenObject* GetResource(char* name) {
  if (name == nullptr) return nullptr;
  std::lock_guard<std::mutex> lock(RegistryLock());
  auto it = FindLocked(name);
  return it == Entries().end() ? nullptr : it->entry;
}

bool DeleteResource(char* name) {
  if (name == nullptr) return true;
  ScreenObject_Container* taken = nullptr;
  {
    std::lock_guard<std::mutex> lock(RegistryLock());
    taken = TakeLocked(FindLocked(name));
  }
  return DeleteTaken(taken);
}

bool DeleteResource(ScreenObject* entry) {
  ScreenObject_Container* taken = nullptr;
  {
    std::lock_guard<std::mutex> lock(RegistryLock());
    auto& entries = Entries();
    for (auto it = entries.begin(); it != entries.end(); ++it) {
      if (it->entry == entry) {
        taken = TakeLocked(it);
        break;
      }
    }
  }
  return DeleteTaken(taken);
}

char* GetResourceName(ScreenObject* entry) {
  std::lock_guard<std::mutex> lock(RegistryLock());
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
  std::lock_guard<std::mutex> lock(quellor::win::RegistryLock());
  std::vector<quellor::win::Entry>().swap(quellor::win::Entries());
}

}  // namespace

QLXRAPI_STARTUP_STEP(Resources, &StartResources, &StopResources);
