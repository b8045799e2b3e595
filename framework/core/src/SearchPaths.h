// The process-wide set of named search paths behind FindFiles_AddPath,
// FindFiles_DeletePath and FindFiles_FindFile.
#pragma once

#include <quellor/Export.h>

class FindFilesPath;

// Creates the set with the path "Skins" and its format "%s\Skins" (the Skins
// folder beside the host program). Part of the library's start-up.
void CreateSearchPaths();
// Destroys the set and its paths. Part of the library's shut-down; the
// FindFiles functions then find nothing and add nothing.
void DestroySearchPaths();

// The path called name, or null. The path stays valid until it is deleted at
// shut-down; its formats are read under its list lock.
// Exported for the framework's own tests, which read the set through it.
QUELLOR_EXPORT FindFilesPath* FindSearchPath(const char* name);
