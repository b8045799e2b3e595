#include "kernel/ShareModes.h"

#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace quellor::win32 {
namespace {

struct OpenRecord {
  DWORD access;
  DWORD share;
  const void* owner;
};

bool WantsRead(DWORD access) {
  return access & (GENERIC_READ | GENERIC_ALL);
}
bool WantsWrite(DWORD access) {
  return access & (GENERIC_WRITE | GENERIC_ALL);
}

bool Compatible(const OpenRecord& held, DWORD access, DWORD share) {
  if (WantsRead(access) && !(held.share & FILE_SHARE_READ)) return false;
  if (WantsWrite(access) && !(held.share & FILE_SHARE_WRITE)) return false;
  if (WantsRead(held.access) && !(share & FILE_SHARE_READ)) return false;
  if (WantsWrite(held.access) && !(share & FILE_SHARE_WRITE)) return false;
  return true;
}

struct Registry {
  std::mutex mutex;
  std::map<std::pair<dev_t, ino_t>, std::vector<OpenRecord>> opens;
};

Registry& TheRegistry() {
  static auto* registry = new Registry;
  return *registry;
}

}  // namespace

bool AcquireShare(dev_t device, ino_t inode, DWORD access, DWORD share, const void* owner) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  auto& records = registry.opens[{device, inode}];
  for (const OpenRecord& held : records) {
    if (!Compatible(held, access, share)) return false;
  }
  records.push_back({access, share, owner});
  return true;
}

void ReleaseShare(dev_t device, ino_t inode, const void* owner) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  auto found = registry.opens.find({device, inode});
  if (found == registry.opens.end()) return;
  auto& records = found->second;
  for (auto it = records.begin(); it != records.end(); ++it) {
    if (it->owner == owner) {
      records.erase(it);
      break;
    }
  }
  if (records.empty()) registry.opens.erase(found);
}

}  // namespace quellor::win32
