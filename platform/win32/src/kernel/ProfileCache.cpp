#include "kernel/ProfileCache.h"

#include <time.h>

#include <list>
#include <mutex>

namespace quellor::win32 {
namespace {

// A settings file or two per program; a few more for tools that look at
// several.
constexpr std::size_t kMostDocuments = 8;
// Longer than any file system's timestamp tick (ext4 and tmpfs stamp with a
// jiffy, at most 10 ms): a change in the same tick as our read could leave
// the stamp unchanged.
constexpr long long kTickNanoseconds = 50'000'000;

long long Nanoseconds(const timespec& time) {
  return static_cast<long long>(time.tv_sec) * 1'000'000'000LL + time.tv_nsec;
}

struct Entry {
  std::string path;
  FileStamp stamp;
  std::shared_ptr<const ProfileDocument> document;
};

std::mutex g_mutex;
std::list<Entry> g_entries;  // most recently used first

std::list<Entry>::iterator Lookup(const std::string& path, const FileStamp& stamp) {
  for (auto it = g_entries.begin(); it != g_entries.end(); ++it) {
    if (it->path != path) continue;
    if (it->stamp == stamp) return it;
    g_entries.erase(it);  // the file changed: the entry is of no more use
    return g_entries.end();
  }
  return g_entries.end();
}

}  // namespace

FileStamp FileStamp::Of(const struct stat& status) {
  FileStamp stamp;
  stamp.device = status.st_dev;
  stamp.inode = status.st_ino;
  stamp.size = status.st_size;
  stamp.modified = status.st_mtim;
  stamp.changed = status.st_ctim;
  return stamp;
}

bool FileStamp::operator==(const FileStamp& other) const {
  return device == other.device && inode == other.inode && size == other.size &&
         Nanoseconds(modified) == Nanoseconds(other.modified) &&
         Nanoseconds(changed) == Nanoseconds(other.changed);
}

ProfileCache& ProfileCache::Instance() {
  static ProfileCache cache;
  return cache;
}

std::shared_ptr<const ProfileDocument> ProfileCache::Find(const std::string& path,
                                                          const FileStamp& stamp) {
  std::lock_guard lock(g_mutex);
  auto it = Lookup(path, stamp);
  if (it == g_entries.end()) return nullptr;
  g_entries.splice(g_entries.begin(), g_entries, it);
  return it->document;
}

std::shared_ptr<const ProfileDocument> ProfileCache::Take(const std::string& path,
                                                          const FileStamp& stamp) {
  std::lock_guard lock(g_mutex);
  auto it = Lookup(path, stamp);
  if (it == g_entries.end()) return nullptr;
  auto document = std::move(it->document);
  g_entries.erase(it);
  return document;
}

void ProfileCache::Store(const std::string& path, const FileStamp& stamp,
                         std::shared_ptr<const ProfileDocument> document, bool written_by_us) {
  if (!written_by_us) {
    // Read within a tick of the file's last change: another writer may
    // still change it in place without changing the stamp. Not kept.
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const long long newest = std::max(Nanoseconds(stamp.modified), Nanoseconds(stamp.changed));
    if (Nanoseconds(now) - newest < kTickNanoseconds) return;
  }
  std::lock_guard lock(g_mutex);
  for (auto it = g_entries.begin(); it != g_entries.end(); ++it) {
    if (it->path == path) {
      g_entries.erase(it);
      break;
    }
  }
  g_entries.push_front(Entry{path, stamp, std::move(document)});
  if (g_entries.size() > kMostDocuments) g_entries.pop_back();
}

void ProfileCache::Forget(const std::string& path) {
  std::lock_guard lock(g_mutex);
  g_entries.remove_if([&](const Entry& entry) { return entry.path == path; });
}

}  // namespace quellor::win32
