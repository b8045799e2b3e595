// The folder of the host program, shared by the plug-in loader and the search
// paths.
#pragma once

#include <optional>
#include <string>

// The program's full path cut at its last separator ('\' or '/', since host
// paths use '/'). Nothing when the path cannot be read, would not fit the
// 1024-byte path buffers, or has no separator.
std::optional<std::string> ProgramFolder();
