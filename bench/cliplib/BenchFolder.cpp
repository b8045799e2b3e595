#include "BenchFolder.h"

#include <cstdlib>
#include <filesystem>

namespace quellor::bench {

std::string BenchFolder() {
  std::filesystem::path folder;
  if (const char* chosen = std::getenv("QUELLOR_BENCH_DIR")) {
    folder = chosen;
  } else {
    folder = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "benchtmp";
  }
  std::filesystem::create_directories(folder);
  return folder.string();
}

}  // namespace quellor::bench
