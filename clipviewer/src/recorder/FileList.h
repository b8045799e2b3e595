// The recorder's list of clip files: paths, newest first, for the life of
// the process (not saved). Main thread only.
#pragma once

#include <forward_list>
#include <string>
#include <vector>

namespace quellor::clipviewer::recorder {

class FileList {
 public:
  // The process's list.
  static FileList& Process();

  void PutFirst(const std::string& path) { paths_.push_front(path); }
  // Removes every entry equal to `path`.
  void RemoveAll(const std::string& path) { paths_.remove(path); }
  // Every entry equal to `from` becomes `to`.
  void ReplaceAll(const std::string& from, const std::string& to);
  std::vector<std::string> Entries() const { return {paths_.begin(), paths_.end()}; }
  void Clear() { paths_.clear(); }

 private:
  std::forward_list<std::string> paths_;
};

}  // namespace quellor::clipviewer::recorder
