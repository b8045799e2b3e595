// Where the running program lives and the folders searched for a bare name.
#pragma once

#include <string>
#include <vector>

namespace quellor::win32 {

// The running program's full host path; empty when it cannot be read.
std::string ProgramPath();

// The folder of the running program; "." when its path cannot be read.
std::string ProgramFolder();

// The folders searched for a name without a folder: the program's folder,
// the current folder, then PATH (in its Linux form, ':'-separated).
std::vector<std::string> DefaultSearchFolders();

// Splits a separated list, dropping empty entries.
std::vector<std::string> SplitList(const std::string& list, char separator);

}  // namespace quellor::win32
