// FileSelect: a set of file names handed between file selectors, drag and
// drop and objects that consume files.
#pragma once

#include <quellor/Export.h>

class QUELLOR_EXPORT FileSelect {
 public:
  // Called by a setter before it hands over a new set.
  virtual void FileSelect_StartSetting() = 0;
  // Replaces the name at index, or appends it when index is not below the
  // count (0xFFFFFFFF always appends).
  virtual void FileSelect_Set(unsigned long index, const char* name) = 0;
  // The name at index; null from the count on.
  virtual char* FileSelect_Get(unsigned long index) = 0;
  // The file pattern a selector offers for the entry.
  virtual char* FileSelect_GetExtension(unsigned long index) = 0;
  virtual unsigned long FileSelect_GetMaxNoFiles() = 0;
  virtual void FileSelect_DeleteFilename(unsigned int index) = 0;
  virtual void FileSelect_DeleteAllFilenames() = 0;
  // Hold the set steady across several calls (recursive).
  virtual void FileSelect_LockList() = 0;
  virtual void FileSelect_UnLockList() = 0;
  virtual unsigned int FileSelect_GetNoFiles() = 0;
  virtual ~FileSelect() = default;
};
