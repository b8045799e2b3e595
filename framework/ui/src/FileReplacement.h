// Writing a whole file so that its name never shows a half-written one.
#pragma once

#include <cstddef>

namespace quellor::win {

// Writes `size` bytes as the file at `hostPath`: into a new file beside it,
// flushed to the disk and closed, then renamed over the old one. A full
// disk, a failed write, close or rename leaves the old file as it was,
// removes the new one and gives false. A name that is a symbolic link
// replaces the file it points to, and the link stays.
bool ReplaceFileContents(const char* hostPath, const void* data, std::size_t size);

}  // namespace quellor::win
