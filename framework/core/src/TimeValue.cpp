#include "qlxrapi/TimeValue.h"

#include <cmath>
#include <cstdio>

namespace {

// The multipliers for 1/3600 and 1/60; results at hour and minute boundaries
// depend on their exact values.
constexpr double kHoursPerSecond = 0.0002777777777777778;
constexpr double kMinutesPerSecond = 0.016666666666666666;

// t split into the parts the formats show.
struct TimeParts {
  double hours;            // whole hours
  double minutesInHour;    // whole minutes within the hour
  double secondsInMinute;  // whole seconds within the minute (after hours and minutes)
  double minutes;          // whole minutes, for formats without hours
  double secondsOfMinute;  // whole seconds within the minute, for formats without hours
  double fraction;         // fraction of the second, 0 to below 1
};

TimeParts SplitTime(double t) {
  TimeParts parts;
  parts.hours = std::floor(t * kHoursPerSecond);
  parts.minutesInHour = std::floor((t - 3600.0 * parts.hours) * kMinutesPerSecond);
  parts.secondsInMinute = std::floor(t - 60.0 * parts.minutesInHour - 3600.0 * parts.hours);
  parts.minutes = std::floor(t * kMinutesPerSecond);
  parts.secondsOfMinute = std::floor(t - 60.0 * parts.minutes);
  parts.fraction = t - std::floor(t);
  return parts;
}

}  // namespace

TimeValue::TimeValue() : m_type(TimeFormat_HoursMinutesSeconds), m_frameRate(30000.0 / 1001.0) {
  m_text[0] = '\0';
}

void TimeValue::SetType(TimeFormat type) {
  m_type = type;
  Changed("Changed");
}

void TimeValue::SetFrameRate(double framesPerSecond) {
  m_frameRate = framesPerSecond;
  Changed("Changed");
}

// snprintf: a huge time gives a long text, which is cut at the buffer's end.
char* TimeValue::GetTime(double t, int always) {
  char* text = m_text;
  const std::size_t size = sizeof(m_text);
  if ((t < 0.0 || std::isnan(t)) && always == 0) {
    std::snprintf(text, size, "No Time.");
    return text;
  }
  const TimeParts p = SplitTime(t);
  const double milliseconds = p.fraction * 1000.0;
  const double frameOfSecond = std::floor(p.fraction * m_frameRate);
  const double framesInSecond = p.fraction * m_frameRate;
  switch (m_type) {
    case TimeFormat_Seconds:
      std::snprintf(text, size, "%1.1fs", t);
      break;
    case TimeFormat_MinutesSeconds:
      std::snprintf(text, size, "%1.0fm %1.1fs", p.minutes, t - 60.0 * p.minutes);
      break;
    case TimeFormat_HoursMinutesSeconds:
      std::snprintf(text, size, "%1.0fh %1.0fm %1.1fs", p.hours, p.minutesInHour,
                    t - 60.0 * p.minutesInHour - 3600.0 * p.hours);
      break;
    case TimeFormat_Milliseconds:
      std::snprintf(text, size, "%1.0fms", t * 1000.0);
      break;
    case TimeFormat_SecondsMilliseconds:
      std::snprintf(text, size, "%1.0fs %1.0fms", std::floor(t), milliseconds);
      break;
    case TimeFormat_MinutesSecondsMilliseconds:
      std::snprintf(text, size, "%1.0fm %1.1fs %1.0fms", p.minutes, p.secondsOfMinute,
                    milliseconds);
      break;
    case TimeFormat_HoursMinutesSecondsMilliseconds:
      std::snprintf(text, size, "%1.0fh %1.0fm %1.1fs %1.0fms", p.hours, p.minutesInHour,
                    p.secondsInMinute, milliseconds);
      break;
    case TimeFormat_MinutesSecondsFrame:
      std::snprintf(text, size, "%1.0f:%1.0f-%1.0f", p.minutes, p.secondsOfMinute, frameOfSecond);
      break;
    case TimeFormat_HoursMinutesSecondsFrame:
      std::snprintf(text, size, "%1.0f:%1.0f:%1.0fs-%1.0f", p.hours, p.minutesInHour,
                    p.secondsInMinute, frameOfSecond);
      break;
    case TimeFormat_Frames:
      std::snprintf(text, size, "%1.1f", t * m_frameRate);
      break;
    case TimeFormat_SecondsFrames:
      std::snprintf(text, size, "%1.0fs %1.1f", std::floor(t), framesInSecond);
      break;
    case TimeFormat_MinutesSecondsFrames:
      std::snprintf(text, size, "%1.0fm %1.0fs %1.1f", p.minutes, p.secondsOfMinute,
                    framesInSecond);
      break;
    case TimeFormat_HoursMinutesSecondsFrames:
      std::snprintf(text, size, "%1.0fh %1.0fm %1.0fs %1.1f", p.hours, p.minutesInHour,
                    p.secondsInMinute, framesInSecond);
      break;
    default:
      text[0] = '\0';
      break;
  }
  return text;
}

double TimeValue::SetTime(char* text) {
  if (text == nullptr) return 0.0;
  for (char* c = text; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') *c = ' ';
  }
  double read[4];
  int count = std::sscanf(text, "%lf %lf %lf %lf", &read[0], &read[1], &read[2], &read[3]);
  if (count < 0) count = 0;
  // Right-aligned: the last number typed is always the smallest unit.
  double place[4] = {0.0, 0.0, 0.0, 0.0};
  for (int i = 0; i < count; ++i) place[4 - count + i] = read[i];

  if (m_type >= TimeFormat_Seconds && m_type <= TimeFormat_HoursMinutesSeconds) {
    return place[1] * 3600.0 + place[2] * 60.0 + place[3];  // the first place is ignored
  }
  if (m_type >= TimeFormat_Milliseconds && m_type <= TimeFormat_HoursMinutesSecondsMilliseconds) {
    return place[0] * 3600.0 + place[1] * 60.0 + place[2] + place[3] * 0.001;
  }
  if (m_type >= TimeFormat_MinutesSecondsFrame && m_type <= TimeFormat_HoursMinutesSecondsFrames) {
    return place[0] * 3600.0 + place[1] * 60.0 + place[2] + place[3] * (1.0 / m_frameRate);
  }
  return 0.0;
}
