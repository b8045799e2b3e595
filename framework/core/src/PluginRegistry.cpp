// The registry of plug-in factories: a process-wide locked list, created on
// first use (the framework's own classes may register during start-up before
// the loader runs) and destroyed when the library unloads. Each entry keeps
// the class's name when it was registered with one.
#include "PluginRegistry.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "qlxrapi/ClassList.h"
#include "qlxrapi/tList.h"

namespace {

struct RegistryEntry {
  PluginFactory factory;
  char* name;  // own copy (malloc), or null: the plug-in's text goes when it unloads
  int kind;
};

using Registry = tList<RegistryEntry>;

// Constant-initialised: the registry is used from the library's start-up,
// before this file's own dynamic initialisation would run.
constinit std::atomic<bool> g_registryDestroyed{false};

Registry* LiveRegistry() {
  static Registry* const registry = new (std::nothrow) Registry;
  return g_registryDestroyed.load(std::memory_order_acquire) ? nullptr : registry;
}

void AddEntry(PluginFactory factory, const char* name, int kind) {
  Registry* registry = LiveRegistry();
  if (registry == nullptr) return;
  char* copy = name != nullptr ? ::strdup(name) : nullptr;
  // Without room for the name the class still answers Orvane_New.
  if (!registry->AddItem(RegistryEntry{factory, copy, kind})) std::free(copy);
}

// Removes entry index under the held lock, keeping the others' order when
// inOrder, and frees its name.
void RemoveEntryAt(Registry& registry, std::uint32_t index, bool inOrder) {
  char* name = registry[index].name;
  if (inOrder) {
    registry.RemoveItemAtInOrder(index);
  } else {
    registry.RemoveItemAt(index);
  }
  std::free(name);
}

struct NamedEntry {
  std::string name;
  int kind;
};

std::vector<NamedEntry> NamedEntries() {
  std::vector<NamedEntry> named;
  Registry* registry = LiveRegistry();
  if (registry == nullptr) return named;
  FunctionBlock hold(registry->GetLock());
  for (std::uint32_t i = 0; i < registry->GetNoItems(); ++i) {
    const RegistryEntry& entry = (*registry)[i];
    if (entry.name != nullptr) named.push_back({entry.name, entry.kind});
  }
  return named;
}

}  // namespace

PluginClass::~PluginClass() = default;

void* PluginClass::operator new(std::size_t size) {
  if (size > 0xFFFFFFFFu) throw std::bad_alloc();
  void* block = Orvane_malloc(static_cast<unsigned int>(size));
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void Orvane_RegisterClass(PluginClass* (*factory)(char*)) {
  AddEntry(factory, nullptr, ORVANE_CLASS_PLAIN);
}

void Orvane_RegisterNamedClass(const char* name, PluginFactory factory, OrvaneClassKind kind) {
  AddEntry(factory, name, kind);
}

void Orvane_UnRegisterClass(PluginClass* (*factory)(char*)) {
  Registry* registry = LiveRegistry();
  if (registry == nullptr) return;
  FunctionBlock hold(registry->GetLock());
  for (std::uint32_t i = 0; i < registry->GetNoItems(); ++i) {
    if ((*registry)[i].factory == factory) {
      RemoveEntryAt(*registry, i, false);  // the last entry moves into its place
      return;
    }
  }
}

std::vector<PluginFactory> PluginRegistrySnapshot() {
  Registry* registry = LiveRegistry();
  if (registry == nullptr) return {};
  FunctionBlock hold(registry->GetLock());
  std::vector<PluginFactory> factories;
  factories.reserve(registry->GetNoItems());
  for (std::uint32_t i = 0; i < registry->GetNoItems(); ++i) {
    factories.push_back((*registry)[i].factory);
  }
  return factories;
}

void DropPluginFactoriesAddedSince(const std::vector<PluginFactory>& before) {
  Registry* registry = LiveRegistry();
  if (registry == nullptr) return;
  FunctionBlock hold(registry->GetLock());
  std::vector<PluginFactory> unmatched = before;
  std::uint32_t index = 0;
  while (index < registry->GetNoItems()) {
    auto known = std::find(unmatched.begin(), unmatched.end(), (*registry)[index].factory);
    if (known != unmatched.end()) {
      unmatched.erase(known);
      ++index;
    } else {
      RemoveEntryAt(*registry, index, true);  // keep the survivors' order
    }
  }
}

void CreatePluginRegistry() {
  LiveRegistry();
}

void DestroyPluginRegistry() {
  Registry* registry = LiveRegistry();
  if (registry == nullptr) return;
  g_registryDestroyed.store(true, std::memory_order_release);
  for (std::uint32_t i = 0; i < registry->GetNoItems(); ++i) std::free((*registry)[i].name);
  delete registry;
}

PluginClass* Orvane_New(char* name) {
  // The factories are called outside the lock: a constructor may create
  // further objects by name from another thread and wait for them. The
  // snapshot keeps the walk free of races with plug-ins that load meanwhile.
  for (PluginFactory factory : PluginRegistrySnapshot()) {
    if (PluginClass* object = factory(name)) return object;
  }
  return nullptr;
}

unsigned int Orvane_EnumerateClasses(OrvaneClassVisitor visit, void* context) {
  // A copy of the names: visit runs outside the lock and may change the list.
  std::vector<NamedEntry> named = NamedEntries();
  unsigned int visited = 0;
  for (const NamedEntry& entry : named) {
    ++visited;
    if (visit != nullptr && visit(entry.name.c_str(), entry.kind, context) == 0) break;
  }
  return visited;
}

PluginClass* Orvane_NewByName(const char* name) {
  if (name == nullptr) return nullptr;
  std::string copy = name;  // factories take a writable text
  return Orvane_New(copy.data());
}
