// A fresh folder under QUELLOR_TEST_TMP for one test.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

inline std::filesystem::path MakeScratchFolder() {
  const char* root = std::getenv("QUELLOR_TEST_TMP");
  std::filesystem::path base = root != nullptr ? root : std::filesystem::temp_directory_path();
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::filesystem::path folder =
      base / "qlxrapi_core" / (std::string(test->test_suite_name()) + "." + test->name());
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}
