#include <windows.h>

#include <gtest/gtest.h>

// Window messages pack signed client coordinates into words; the macros must
// take functional casts and keep the sign bits where Win32 puts them.
TEST(WordMacros, PackAndUnpackSignedCoordinates) {
  const int x = -1;
  const int y = 2;
  const LONG packed = MAKELONG(WORD(SHORT(x)), WORD(SHORT(y)));
  EXPECT_EQ(packed, 0x0002FFFF);
  EXPECT_EQ(SHORT(LOWORD(packed)), -1);
  EXPECT_EQ(SHORT(HIWORD(packed)), 2);
  EXPECT_EQ(MAKELONG(0x1234, 0xFFFF), static_cast<LONG>(0xFFFF1234u));
  EXPECT_EQ(MAKEWORD(0x12, 0x34), 0x3412);
  EXPECT_EQ(LOBYTE(0x1234), 0x34);
  EXPECT_EQ(HIBYTE(0x1234), 0x12);
}
