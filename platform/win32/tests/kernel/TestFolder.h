// A fresh scratch folder per test, under QUELLOR_TEST_TMP (or /tmp).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include <unistd.h>

namespace quellor::win32::test {

class TestFolder {
 public:
  TestFolder() {
    const char* root = std::getenv("QUELLOR_TEST_TMP");
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("win32_kernel/") + test->test_suite_name() + "." + test->name() +
                       "." + std::to_string(::getpid());
    path_ = std::filesystem::path(root && *root ? root : "/tmp") / name;
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TestFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  std::string path() const { return path_.string(); }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// Sets an environment variable for the life of the object.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnvironment() {
    if (old_.has_value()) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace quellor::win32::test
