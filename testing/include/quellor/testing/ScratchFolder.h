// A fresh, empty folder for one test under QUELLOR_TEST_TMP (the system's
// temporary folder when unset), removed again when the object goes.
#pragma once

#include <filesystem>
#include <string>

namespace quellor::testing {

class ScratchFolder {
 public:
  // <QUELLOR_TEST_TMP>/<area>/<suite>.<test>.<process>.<serial>: unique per
  // test, per process and per object, so tests running in parallel (CTest
  // runs each test in its own process) never share one.
  explicit ScratchFolder(const std::string& area);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string path() const { return path_.string(); }
  const std::filesystem::path& fspath() const { return path_; }
  operator const std::filesystem::path&() const { return path_; }  // NOLINT: reads as a path
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// The folder test files go under: QUELLOR_TEST_TMP, else the temporary folder.
std::filesystem::path TestTmpRoot();

// Whole-file helpers for test data (parent folders are made as needed).
void WriteFile(const std::filesystem::path& path, const std::string& bytes);
std::string ReadFile(const std::filesystem::path& path);

}  // namespace quellor::testing
