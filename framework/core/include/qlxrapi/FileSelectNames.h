// FileSelectNames: the standard file-name set, a locked list of private
// copies of the names.
#pragma once

#include <quellor/Export.h>

#include "FileSelect.h"
#include "tList.h"

class QUELLOR_EXPORT FileSelectNames : public FileSelect {
 public:
  FileSelectNames() = default;
  ~FileSelectNames() override;

  // A copy would free the same names twice.
  FileSelectNames(const FileSelectNames&) = delete;
  FileSelectNames& operator=(const FileSelectNames&) = delete;

  // Frees every name and empties the set.
  void FileSelect_StartSetting() override;
  // Under the list lock. A null name, or a copy that cannot be made, leaves
  // the set unchanged.
  void FileSelect_Set(unsigned long index, const char* name) override;
  char* FileSelect_Get(unsigned long index) override;
  // "*.*" for every index.
  char* FileSelect_GetExtension(unsigned long index) override;
  // 0xFFFFFFFF: no limit.
  unsigned long FileSelect_GetMaxNoFiles() override;
  // Frees the name at index; later names move down one place (order kept).
  // Nothing from the count on.
  void FileSelect_DeleteFilename(unsigned int index) override;
  // Deletes name 0 through the virtual operations until none is left, so
  // that a derived class sees every deletion.
  void FileSelect_DeleteAllFilenames() override;
  void FileSelect_LockList() override;
  void FileSelect_UnLockList() override;
  unsigned int FileSelect_GetNoFiles() override;

 protected:
  tList<char*> m_names;
};
