// Splitting a Windows command line into arguments, the way the Microsoft C
// runtime does it for a program's argv.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quellor::win32 {

// The first argument (the program) ends at the first blank, or is the text
// between quotes when it begins with one; backslashes in it are literal.
// Then, for every other argument: blanks separate arguments outside quotes;
// 2n backslashes before a quote give n backslashes and the quote opens or
// closes quoting; 2n+1 backslashes before a quote give n backslashes and a
// literal quote; "" inside quotes gives a literal quote; other backslashes
// are literal.
std::vector<std::string> SplitCommandLine(std::string_view line);

}  // namespace quellor::win32
