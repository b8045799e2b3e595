// Win32 file-name patterns: '*' matches any run of characters, '?' any one
// character, case-insensitively. "*.*" matches every name, with or without
// a dot, as on Win32.
#pragma once

#include <string_view>

namespace quellor::win32 {

bool MatchesWildcard(std::string_view pattern, std::string_view name);

}  // namespace quellor::win32
