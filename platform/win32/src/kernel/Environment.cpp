// Environment variables, the command line and process exit.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>

namespace {

// Quotes one argument so that Windows command-line splitting gives it back:
// backslashes before a quote (or before the closing quote) are doubled.
std::string QuotedArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') backslashes = backslashes * 2 + 1;
    quoted.append(backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

std::string ReadCommandLine() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string line;
  std::size_t start = 0;
  while (start < raw.size()) {
    std::size_t end = raw.find('\0', start);
    if (end == std::string::npos) end = raw.size();
    if (!line.empty()) line += ' ';
    line += QuotedArgument(raw.substr(start, end - start));
    start = end + 1;
  }
  return line;
}

// getenv/setenv are not safe against each other across threads; the
// environment functions of the subset at least do not race among themselves.
std::mutex& EnvironmentMutex() {
  static auto* mutex = new std::mutex;
  return *mutex;
}

}  // namespace

extern "C" LPSTR WINAPI GetCommandLineA(void) {
  static auto* line = new std::string(ReadCommandLine());
  return line->data();
}

extern "C" DWORD WINAPI GetEnvironmentVariableA(LPCSTR lpName, LPSTR lpBuffer, DWORD nSize) {
  if (lpName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::lock_guard lock(EnvironmentMutex());
  const char* value = std::getenv(lpName);
  if (value == nullptr) {
    SetLastError(ERROR_ENVVAR_NOT_FOUND);
    return 0;
  }
  std::size_t length = std::strlen(value);
  if (lpBuffer == nullptr || nSize <= length) return static_cast<DWORD>(length + 1);
  std::memcpy(lpBuffer, value, length + 1);
  return static_cast<DWORD>(length);
}

extern "C" BOOL WINAPI SetEnvironmentVariableA(LPCSTR lpName, LPCSTR lpValue) {
  if (lpName == nullptr || *lpName == '\0' || std::strchr(lpName, '=') != nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard lock(EnvironmentMutex());
  int result = lpValue ? ::setenv(lpName, lpValue, 1) : ::unsetenv(lpName);
  if (result != 0) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  return TRUE;
}

// Ends the process the orderly way: static destructors and library clean-up
// run, as DLL detach does on Win32.
extern "C" void WINAPI ExitProcess(UINT uExitCode) {
  std::fflush(nullptr);
  std::exit(static_cast<int>(uExitCode));
}
