// Named search paths for resource files, such as "Skins".
//
// A search path is a list of folder formats: printf-style texts in which %s
// stands for the folder of the host program (for example "%s\Skins"). A file
// is looked up by forming "<folder>\<file>" for each format in turn.
#pragma once

#include <quellor/Export.h>

#include "FileSelectNames.h"

// One search path: its folder formats are the names of the set.
class QUELLOR_EXPORT FindFilesPath : public FileSelectNames {
 public:
  explicit FindFilesPath(const char* name);
  ~FindFilesPath() override;

  // A private copy; null or empty means the path has no name.
  void SetName(const char* name);
  char* GetName();
  // True for the same pointer or equal text (case matters); false when the
  // path has no name.
  bool IsCalled(const char* name);

 private:
  char* m_name = nullptr;
};

// Finds the path called name, creating it when there is none, and appends
// format unless the path already has an equal one. A null or empty name, or a
// null format, is ignored.
QUELLOR_EXPORT void FindFiles_AddPath(const char* name, const char* format);
// Removes the first format equal to format from the path called name.
QUELLOR_EXPORT void FindFiles_DeletePath(const char* name, const char* format);
// The first "<folder>\<file>" along the path called name that can be opened
// for reading, or along every path in order when name is null; null when
// nothing is found. The text lies in a buffer of the calling thread that its
// next call overwrites. Candidates longer than 1023 characters are skipped.
QUELLOR_EXPORT char* FindFiles_FindFile(const char* name, const char* file);
