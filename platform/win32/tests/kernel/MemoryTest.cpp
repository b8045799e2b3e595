#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(VirtualMemory, ReserveCommitDecommitRelease) {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  const SIZE_T size = 4 * 1024 * 1024;
  auto* block = static_cast<unsigned char*>(
      VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % info.dwAllocationGranularity, 0u);
  EXPECT_EQ(block[0], 0);
  EXPECT_EQ(block[size - 1], 0);
  std::memset(block, 0x7F, size);

  ASSERT_TRUE(VirtualFree(block + info.dwPageSize, info.dwPageSize, MEM_DECOMMIT));
  ASSERT_EQ(VirtualAlloc(block + info.dwPageSize, info.dwPageSize, MEM_COMMIT, PAGE_READWRITE),
            block + info.dwPageSize);
  EXPECT_EQ(block[info.dwPageSize], 0);  // a recommitted page starts zeroed
  EXPECT_EQ(block[0], 0x7F);

  EXPECT_FALSE(VirtualFree(block, size, MEM_RELEASE));  // release wants size 0
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(VirtualFree(block + 4096, 0, MEM_RELEASE));
  EXPECT_TRUE(VirtualFree(block, 0, MEM_RELEASE));
  EXPECT_FALSE(VirtualFree(block, 0, MEM_RELEASE));
}

TEST(VirtualMemory, ReserveThenCommitPieces) {
  auto* region =
      static_cast<unsigned char*>(VirtualAlloc(nullptr, 1 << 20, MEM_RESERVE, PAGE_NOACCESS));
  ASSERT_NE(region, nullptr);
  void* piece = VirtualAlloc(region + 8192, 100, MEM_COMMIT, PAGE_READWRITE);
  ASSERT_EQ(piece, region + 8192);
  static_cast<unsigned char*>(piece)[99] = 1;
  EXPECT_EQ(VirtualAlloc(region + (2 << 20), 100, MEM_COMMIT, PAGE_READWRITE), nullptr);
  EXPECT_EQ(VirtualAlloc(nullptr, 0, MEM_COMMIT, PAGE_READWRITE), nullptr);
  EXPECT_EQ(VirtualAlloc(nullptr, 100, MEM_COMMIT, 0x1234), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_TRUE(VirtualFree(region, 0, MEM_RELEASE));
}

}  // namespace

namespace {

TEST(GlobalMemory, FixedAndMoveableBlocks) {
  HGLOBAL fixed = GlobalAlloc(GPTR, 100);
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(GlobalLock(fixed), fixed);  // a fixed block's handle is its address
  EXPECT_EQ(static_cast<unsigned char*>(GlobalLock(fixed))[99], 0);
  EXPECT_EQ(GlobalSize(fixed), 100u);
  EXPECT_EQ(GlobalFree(fixed), nullptr);

  HGLOBAL moveable = GlobalAlloc(GHND, 16);
  ASSERT_NE(moveable, nullptr);
  auto* data = static_cast<char*>(GlobalLock(moveable));
  ASSERT_NE(data, nullptr);
  EXPECT_NE(static_cast<void*>(data), moveable);
  std::strcpy(data, "clipboard");
  EXPECT_EQ(GlobalLock(moveable), data);
  EXPECT_TRUE(GlobalUnlock(moveable));  // still locked once
  EXPECT_FALSE(GlobalUnlock(moveable));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
  EXPECT_FALSE(GlobalUnlock(moveable));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_LOCKED));
  EXPECT_EQ(GlobalFree(moveable), nullptr);
  EXPECT_EQ(GlobalFree(moveable), moveable);  // freed twice: refused, not corrupted
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(GlobalLock(moveable), nullptr);
  EXPECT_EQ(GlobalSize(reinterpret_cast<HGLOBAL>(0x40)), 0u);
}

}  // namespace
