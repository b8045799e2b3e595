#include "qlxrapi/Timecode.h"

namespace {

// Frames per tens of hours, hours, tens of minutes, minutes, tens of seconds,
// seconds, tens of frames and frames.
constexpr unsigned long kDropFrameUnits[8] = {1078920, 107892, 17982, 1798, 300, 30, 10, 1};
constexpr unsigned long kThirtyUnits[8] = {1080000, 108000, 18000, 1800, 300, 30, 10, 1};
constexpr unsigned long kTwentyFiveUnits[8] = {900000, 90000, 15000, 1500, 250, 25, 10, 1};

// Exactly 30001/1001, the rate the drop-frame counting answers to.
constexpr double kDropFrameRate = 29.97102897102897;

}  // namespace

bool ConvertTimecodeToString(char* buffer, double rate, unsigned long frames) {
  if (buffer == nullptr) return false;
  const unsigned long* units = kThirtyUnits;
  bool dropFrame = false;
  if (rate == kDropFrameRate) {
    units = kDropFrameUnits;
    dropFrame = true;
  } else if (rate == 25.0 || rate == 24.0) {
    units = kTwentyFiveUnits;
  }
  const char frameSeparator = units == kThirtyUnits ? ';' : ':';

  // Past 99 hours the tens-of-hours digit would leave '0' to '9'.
  unsigned long remaining = frames % (10 * units[0]);
  bool twoFramesTaken = false;
  char* out = buffer;
  for (int place = 0; place < 8; ++place) {
    const unsigned long digit = remaining / units[place];
    *out++ = static_cast<char>('0' + digit);
    remaining -= digit * units[place];
    if (dropFrame && place == 2) {
      // Each tenth minute keeps its first two frame numbers.
      twoFramesTaken = remaining >= 2;
      if (twoFramesTaken) remaining -= 2;
    }
    if (dropFrame && place == 3 && twoFramesTaken) remaining += 2;
    if (place == 1 || place == 3) *out++ = ':';
    if (place == 5) *out++ = frameSeparator;
  }
  *out = '\0';
  return true;
}
