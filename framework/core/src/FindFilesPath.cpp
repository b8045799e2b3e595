#include <cstring>

#include "HeapText.h"
#include "qlxrapi/FindFiles.h"

FindFilesPath::FindFilesPath(const char* name) {
  SetName(name);
}

FindFilesPath::~FindFilesPath() {
  Orvane_free(m_name);
}

void FindFilesPath::SetName(const char* name) {
  if (name == m_name) return;
  char* copy = (name != nullptr && name[0] != '\0') ? CopyTextToHeap(name) : nullptr;
  Orvane_free(m_name);
  m_name = copy;
}

char* FindFilesPath::GetName() {
  return m_name;
}

bool FindFilesPath::IsCalled(const char* name) {
  if (m_name == nullptr || name == nullptr) return false;
  return name == m_name || std::strcmp(name, m_name) == 0;
}
