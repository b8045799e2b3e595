// The registry of plug-in factories: a process-wide locked list, created on
// first use (the framework's own classes may register during start-up before
// the loader runs) and destroyed when the library unloads.
#include "PluginRegistry.h"

#include <algorithm>
#include <atomic>
#include <new>

#include "qlxrapi/tList.h"

namespace {

using Registry = tList<PluginFactory>;

// Constant-initialised: the registry is used from the library's start-up,
// before this file's own dynamic initialisation would run.
constinit std::atomic<bool> g_registryDestroyed{false};

Registry* LiveRegistry() {
  static Registry* const registry = new (std::nothrow) Registry;
  return g_registryDestroyed.load(std::memory_order_acquire) ? nullptr : registry;
}

// Destroys the registry at unload; declared last so that it is destroyed
// before anything in this library that was constructed earlier.
struct RegistryLifetime {
  ~RegistryLifetime() { DestroyPluginRegistry(); }
};
RegistryLifetime g_registryLifetime;

}  // namespace

PluginClass::~PluginClass() = default;

void* PluginClass::operator new(std::size_t size) {
  if (size > 0xFFFFFFFFu) throw std::bad_alloc();
  void* block = Orvane_malloc(static_cast<unsigned int>(size));
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void Orvane_RegisterClass(PluginClass* (*factory)(char*)) {
  if (Registry* registry = LiveRegistry()) registry->AddItem(factory);
}

void Orvane_UnRegisterClass(PluginClass* (*factory)(char*)) {
  if (Registry* registry = LiveRegistry()) registry->RemoveItem(factory);
}

std::vector<PluginFactory> PluginRegistrySnapshot() {
  Registry* registry = LiveRegistry();
  if (registry == nullptr) return {};
  FunctionBlock hold(registry->GetLock());
  return std::vector<PluginFactory>(registry->GetItems(),
                                    registry->GetItems() + registry->GetNoItems());
}

void DropPluginFactoriesAddedSince(const std::vector<PluginFactory>& before) {
  Registry* registry = LiveRegistry();
  if (registry == nullptr) return;
  FunctionBlock hold(registry->GetLock());
  std::vector<PluginFactory> unmatched = before;
  std::uint32_t index = 0;
  while (index < registry->GetNoItems()) {
    auto known = std::find(unmatched.begin(), unmatched.end(), (*registry)[index]);
    if (known != unmatched.end()) {
      unmatched.erase(known);
      ++index;
    } else {
      registry->RemoveItemAtInOrder(index);  // keep the survivors' order
    }
  }
}

void DestroyPluginRegistry() {
  Registry* registry = LiveRegistry();
  if (registry == nullptr) return;
  g_registryDestroyed.store(true, std::memory_order_release);
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
