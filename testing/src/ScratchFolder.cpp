#include "quellor/testing/ScratchFolder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace quellor::testing {

std::filesystem::path TestTmpRoot() {
  const char* root = std::getenv("QUELLOR_TEST_TMP");
  return root != nullptr && *root != '\0' ? std::filesystem::path(root)
                                          : std::filesystem::temp_directory_path();
}

ScratchFolder::ScratchFolder(const std::string& area) {
  static std::atomic<int> serial{0};
  std::string name = "outside-a-test";
  if (const auto* test = ::testing::UnitTest::GetInstance()->current_test_info()) {
    name = std::string(test->test_suite_name()) + "." + test->name();
  }
  name += "." + std::to_string(::getpid()) + "." + std::to_string(serial++);
  for (char& c : name) {
    if (c == '/') c = '_';  // parameterised tests have '/' in their names
  }
  path_ = TestTmpRoot() / area / name;
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace quellor::testing
