// The C file calls of the file streams, behind one replaceable table so that
// tests can inject short reads, full disks and failing closes.
#pragma once

#include <cstddef>
#include <cstdio>

#include <quellor/Export.h>

struct StdioCalls {
  std::FILE* (*open)(const char* hostPath, const char* mode);
  std::size_t (*read)(void* buffer, std::size_t size, std::size_t count, std::FILE* file);
  std::size_t (*write)(const void* data, std::size_t size, std::size_t count, std::FILE* file);
  int (*close)(std::FILE* file);
};

// The calls in use: the C library's unless replaced.
// Exported for the framework's own tests (the fault seam).
QUELLOR_EXPORT const StdioCalls& CurrentStdioCalls();
// Replaces the calls and returns the previous ones. For tests; not to be
// called while streams are in use on other threads.
QUELLOR_EXPORT StdioCalls ReplaceStdioCalls(const StdioCalls& calls);
