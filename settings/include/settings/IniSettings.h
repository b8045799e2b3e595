// Integer and text values of the suite's shared settings file, section
// "VideoQuellor Configuration" of "VideoQuellor.ini" (a bare name, so the
// private-profile functions keep it in the Windows directory).
#pragma once

#include <string>

namespace quellor::settings {

inline constexpr const char* kIniFileName = "VideoQuellor.ini";
inline constexpr const char* kIniSection = "VideoQuellor Configuration";

// The key's value when its text starts with a decimal integer; otherwise
// (missing key, "abc", ...) the default is written back as "%d" and returned,
// so a key is added with its default the first time it is read.
int ReadIniInt(const char* key, int defaultValue);

// Stores "%d" of the value; false (GetLastError tells why) when the file
// could not be written.
bool WriteIniInt(const char* key, int value);
// Doubles are stored as integers, truncated towards zero (90.7 -> 90,
// -3.9 -> -3). Values outside the int range are clamped first.
bool WriteIniInt(const char* key, double value);

// Truncation towards zero shared by the file and the engine sends.
int TruncateToInt(double value);

// A text value of at most maxLength - 1 characters; the default when the key
// is missing. Nothing is written back.
std::string ReadIniText(const char* key, const char* defaultValue, unsigned maxLength = 1024);

}  // namespace quellor::settings
