// TimeValue: a time in seconds shown and typed in one of thirteen formats.
#pragma once

#include <quellor/Export.h>

#include "DynamicTalker.h"

// The display formats; GetTime gives, for t = 3723.25 seconds at 25 frames a
// second, the text in the comment.
enum TimeFormat : int {
  TimeFormat_Seconds = 0,                          // "3723.2s"
  TimeFormat_MinutesSeconds = 1,                   // "62m 3.2s"
  TimeFormat_HoursMinutesSeconds = 2,              // "1h 2m 3.2s"
  TimeFormat_Milliseconds = 3,                     // "3723250ms"
  TimeFormat_SecondsMilliseconds = 4,              // "3723s 250ms"
  TimeFormat_MinutesSecondsMilliseconds = 5,       // "62m 3.0s 250ms"
  TimeFormat_HoursMinutesSecondsMilliseconds = 6,  // "1h 2m 3.0s 250ms"
  TimeFormat_MinutesSecondsFrame = 7,              // "62:3-6"
  TimeFormat_HoursMinutesSecondsFrame = 8,         // "1:2:3s-6"
  TimeFormat_Frames = 9,                           // "93081.2"
  TimeFormat_SecondsFrames = 10,                   // "3723s 6.2"
  TimeFormat_MinutesSecondsFrames = 11,            // "62m 3s 6.2"
  TimeFormat_HoursMinutesSecondsFrames = 12,       // "1h 2m 3s 6.2"
};

// Announces "Changed" when its format or frame rate is set.
class QUELLOR_EXPORT TimeValue : public DynamicTalker {
 public:
  // Format 2, frame rate 30000/1001.
  TimeValue();

  // Store and always announce "Changed", even for the same value.
  void SetType(TimeFormat type);
  TimeFormat GetType() const { return m_type; }
  void SetFrameRate(double framesPerSecond);
  double GetFrameRate() const { return m_frameRate; }

  // The text of t seconds in the current format, in this object's buffer
  // (overwritten by the next call). A negative or not-a-number t gives
  // "No Time." unless always is nonzero. A format outside 0 to 12 gives "".
  char* GetTime(double t, int always);
  // Reads a time typed by a user and returns it in seconds; stores nothing.
  // Every character of text that is not a digit is replaced by a space, in
  // place. Up to four numbers are aligned to the right on hours, minutes,
  // seconds and a last place whose unit depends on the format (seconds,
  // milliseconds or frames). A null text gives 0.
  double SetTime(char* text);

 private:
  TimeFormat m_type;
  double m_frameRate;
  char m_text[256];
};
