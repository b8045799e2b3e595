#include "settings/IniSettings.h"

#include <gtest/gtest.h>

#include "SettingsTestSupport.h"
#include "windows.h"

namespace quellor::settings {
namespace {

using testing::SettingsFileLines;
using testing::UseFreshWindowsDirectory;

std::string StoredText(const char* key) {
  char text[256] = {};
  GetPrivateProfileStringA(kIniSection, key, "<missing>", text, sizeof text, kIniFileName);
  return text;
}

TEST(IniSettings, MissingKeyIsAddedWithItsDefault) {
  const std::string path = UseFreshWindowsDirectory();
  EXPECT_EQ(ReadIniInt("OutputFilter", 2), 2);
  EXPECT_EQ(StoredText("OutputFilter"), "2");
  const auto lines = SettingsFileLines(path);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "[VideoQuellor Configuration]");
}

TEST(IniSettings, TextThatIsNoNumberIsRewrittenWithTheDefault) {
  UseFreshWindowsDirectory();
  WritePrivateProfileStringA(kIniSection, "Pedestal", "abc", kIniFileName);
  EXPECT_EQ(ReadIniInt("Pedestal", 1), 1);
  EXPECT_EQ(StoredText("Pedestal"), "1");
  // The fallback marker itself is no number either.
  WritePrivateProfileStringA(kIniSection, "Pedestal", "NONE", kIniFileName);
  EXPECT_EQ(ReadIniInt("Pedestal", 0), 0);
  EXPECT_EQ(StoredText("Pedestal"), "0");
}

TEST(IniSettings, LeadingIntegerIsTakenAndTheTextKept) {
  UseFreshWindowsDirectory();
  WritePrivateProfileStringA(kIniSection, "Hue_YC", "-12xyz", kIniFileName);
  EXPECT_EQ(ReadIniInt("Hue_YC", 5), -12);
  EXPECT_EQ(StoredText("Hue_YC"), "-12xyz");
  WritePrivateProfileStringA(kIniSection, "Hue_YC", "99999999999", kIniFileName);
  EXPECT_EQ(ReadIniInt("Hue_YC", 5), 2147483647);  // saturates, never wraps
}

TEST(IniSettings, DoublesAreTruncatedTowardsZero) {
  UseFreshWindowsDirectory();
  WriteIniInt("Saturation_Component", 90.7);
  EXPECT_EQ(StoredText("Saturation_Component"), "90");
  WriteIniInt("Saturation_Component", -3.9);
  EXPECT_EQ(StoredText("Saturation_Component"), "-3");
  EXPECT_EQ(TruncateToInt(1e12), 2147483647);
  EXPECT_EQ(TruncateToInt(-1e12), -2147483647 - 1);
}

TEST(IniSettings, TextValuesFallBackWithoutWriting) {
  UseFreshWindowsDirectory();
  EXPECT_EQ(ReadIniText("PALStartupClip", "VideoQuellorLogo_Pal.rtv"), "VideoQuellorLogo_Pal.rtv");
  EXPECT_EQ(StoredText("PALStartupClip"), "<missing>");
  WritePrivateProfileStringA(kIniSection, "PALStartupClip", "C:\\clips\\a.rtv", kIniFileName);
  EXPECT_EQ(ReadIniText("PALStartupClip", "x"), "C:\\clips\\a.rtv");
}

}  // namespace
}  // namespace quellor::settings
