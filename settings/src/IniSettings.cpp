#include "settings/IniSettings.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "windows.h"

namespace quellor::settings {
namespace {

// Integer keys are read with room for 255 characters.
constexpr DWORD kIntegerTextSize = 256;
// The fallback text that marks a key as missing.
constexpr const char* kMissing = "NONE";

// Parses the decimal integer the text starts with (leading blanks and a sign
// allowed, as "%d" does); false when there is none. Out-of-range numbers
// saturate rather than wrap.
bool ParseLeadingInt(const char* text, int* value) {
  char* end = nullptr;
  long long parsed = std::strtoll(text, &end, 10);
  if (end == text) return false;
  if (parsed > INT_MAX) parsed = INT_MAX;
  if (parsed < INT_MIN) parsed = INT_MIN;
  *value = static_cast<int>(parsed);
  return true;
}

}  // namespace

int TruncateToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(value);  // conversion truncates towards zero
}

int ReadIniInt(const char* key, int defaultValue) {
  char text[kIntegerTextSize] = {};
  GetPrivateProfileStringA(kIniSection, key, kMissing, text, kIntegerTextSize, kIniFileName);
  int value = 0;
  if (ParseLeadingInt(text, &value)) return value;
  WriteIniInt(key, defaultValue);
  return defaultValue;
}

bool WriteIniInt(const char* key, int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  return WritePrivateProfileStringA(kIniSection, key, text, kIniFileName) != FALSE;
}

bool WriteIniInt(const char* key, double value) {
  return WriteIniInt(key, TruncateToInt(value));
}

std::string ReadIniText(const char* key, const char* defaultValue, unsigned maxLength) {
  if (maxLength == 0) return {};
  std::vector<char> text(maxLength, '\0');
  DWORD length = GetPrivateProfileStringA(kIniSection, key, defaultValue, text.data(), maxLength,
                                          kIniFileName);
  return std::string(text.data(), length);
}

}  // namespace quellor::settings
