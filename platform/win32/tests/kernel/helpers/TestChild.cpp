// The child program of the kernel tests:
//   exit <code>                 ends with that code
//   wait                        sleeps until killed
//   args <file>                 writes its arguments, one a line, to <file>
//   cwd <file>                  writes its current folder to <file>
//   env <name> <file>           writes the variable's value to <file>
//   profile <ini> <prefix> <n>  writes keys <prefix>0..<n-1> to section "S"
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

namespace {

int WriteLines(const char* path, int count, char** lines) {
  FILE* out = std::fopen(path, "w");
  if (!out) return 2;
  for (int i = 0; i < count; ++i) std::fprintf(out, "%s\n", lines[i]);
  std::fclose(out);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 100;
  std::string mode = argv[1];
  if (mode == "exit" && argc == 3) return std::atoi(argv[2]);
  if (mode == "wait") {
    for (;;) ::pause();
  }
  if (mode == "args" && argc >= 3) return WriteLines(argv[2], argc - 3, argv + 3);
  if (mode == "cwd" && argc == 3) {
    char folder[4096];
    char* lines[] = {::getcwd(folder, sizeof folder)};
    return WriteLines(argv[2], 1, lines);
  }
  if (mode == "env" && argc == 4) {
    const char* value = std::getenv(argv[2]);
    char* lines[] = {const_cast<char*>(value ? value : "(unset)")};
    return WriteLines(argv[3], 1, lines);
  }
  if (mode == "profile" && argc == 5) {
    int count = std::atoi(argv[4]);
    for (int i = 0; i < count; ++i) {
      std::string key = std::string(argv[3]) + std::to_string(i);
      if (!WritePrivateProfileStringA("S", key.c_str(), std::to_string(i).c_str(), argv[2])) {
        return 3;
      }
    }
    return 0;
  }
  return 101;
}
