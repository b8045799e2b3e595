#include "recorder/FileList.h"

namespace quellor::clipviewer::recorder {

FileList& FileList::Process() {
  static FileList list;
  return list;
}

void FileList::ReplaceAll(const std::string& from, const std::string& to) {
  for (std::string& path : paths_)
    if (path == from) path = to;
}

}  // namespace quellor::clipviewer::recorder
