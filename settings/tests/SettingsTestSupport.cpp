#include "SettingsTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "settings/IniSettings.h"

namespace quellor::settings::testing {

std::string UseFreshWindowsDirectory() {
  const char* root = std::getenv("QUELLOR_TEST_TMP");
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::filesystem::path folder = std::filesystem::path(root ? root : "/tmp") / "cliplib_settings" /
                                 (std::string(info->test_suite_name()) + "." + info->name());
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  setenv("QUELLOR_WINDIR", folder.c_str(), 1);
  return (folder / kIniFileName).string();
}

std::vector<std::string> SettingsFileLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace quellor::settings::testing
