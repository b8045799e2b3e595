#include "qlxrapi/FileSelectNames.h"

#include "HeapText.h"

namespace {

char g_allFilesPattern[] = "*.*";

}  // namespace

FileSelectNames::~FileSelectNames() {
  for (std::uint32_t i = 0; i < m_names.GetNoItems(); ++i) Orvane_free(m_names[i]);
}

void FileSelectNames::FileSelect_StartSetting() {
  FunctionBlock hold(m_names.GetLock());
  for (std::uint32_t i = 0; i < m_names.GetNoItems(); ++i) Orvane_free(m_names[i]);
  m_names.Clear();
}

void FileSelectNames::FileSelect_Set(unsigned long index, const char* name) {
  FunctionBlock hold(m_names.GetLock());
  char* copy = CopyTextToHeap(name);  // before freeing: name may be the old entry
  if (copy == nullptr) return;
  if (index < m_names.GetNoItems()) {
    Orvane_free(m_names[static_cast<std::uint32_t>(index)]);
    m_names[static_cast<std::uint32_t>(index)] = copy;
  } else if (!m_names.AddItem(copy)) {
    Orvane_free(copy);
  }
}

char* FileSelectNames::FileSelect_Get(unsigned long index) {
  FunctionBlock hold(m_names.GetLock());
  return index < m_names.GetNoItems() ? m_names[static_cast<std::uint32_t>(index)] : nullptr;
}

char* FileSelectNames::FileSelect_GetExtension(unsigned long /*index*/) {
  return g_allFilesPattern;
}

unsigned long FileSelectNames::FileSelect_GetMaxNoFiles() {
  return 0xFFFFFFFFUL;
}

void FileSelectNames::FileSelect_DeleteFilename(unsigned int index) {
  FunctionBlock hold(m_names.GetLock());
  if (index >= m_names.GetNoItems()) return;
  Orvane_free(m_names[index]);
  m_names.RemoveItemAtInOrder(index);
}

void FileSelectNames::FileSelect_DeleteAllFilenames() {
  FunctionBlock hold(m_names.GetLock());
  while (FileSelect_Get(0) != nullptr) {
    const unsigned int before = FileSelect_GetNoFiles();
    FileSelect_DeleteFilename(0);
    if (FileSelect_GetNoFiles() >= before) break;  // a derived class that refuses to delete
  }
}

void FileSelectNames::FileSelect_LockList() {
  m_names.Lock();
}

void FileSelectNames::FileSelect_UnLockList() {
  m_names.UnLock();
}

unsigned int FileSelectNames::FileSelect_GetNoFiles() {
  return m_names.GetNoItems();
}
