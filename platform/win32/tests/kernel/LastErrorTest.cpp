#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

TEST(LastError, IsKeptPerThread) {
  SetLastError(ERROR_FILE_NOT_FOUND);
  DWORD seen_by_other_thread = 12345;
  std::thread other([&] { seen_by_other_thread = GetLastError(); });
  other.join();
  EXPECT_EQ(seen_by_other_thread, static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}
