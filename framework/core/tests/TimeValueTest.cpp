// Time texts in the thirteen formats, typed times, and timecode text.
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include <qlxrapi/TimeValue.h>
#include <qlxrapi/Timecode.h>

#include "RecordingListener.h"

namespace {

std::string Text(TimeValue& value, TimeFormat type, double t, double rate = 30000.0 / 1001.0) {
  value.SetType(type);
  value.SetFrameRate(rate);
  return value.GetTime(t, 1);
}

TEST(TimeValue, StartsInHoursMinutesSecondsAtNtscRate) {
  TimeValue value;
  EXPECT_EQ(value.GetType(), TimeFormat_HoursMinutesSeconds);
  EXPECT_EQ(std::bit_cast<std::uint64_t>(value.GetFrameRate()), 0x403DF853E2556B28u);
}

TEST(TimeValue, EveryFormatOfOneTime) {
  TimeValue value;
  const double t = 3723.25;  // 1 h 2 min 3.25 s
  const char* expected[13] = {"3723.2s",     "62m 3.2s",       "1h 2m 3.2s",       "3723250ms",
                              "3723s 250ms", "62m 3.0s 250ms", "1h 2m 3.0s 250ms", "62:3-6",
                              "1:2:3s-6",    "93081.2",        "3723s 6.2",        "62m 3s 6.2",
                              "1h 2m 3s 6.2"};
  for (int type = 0; type < 13; ++type) {
    EXPECT_EQ(Text(value, static_cast<TimeFormat>(type), t, 25.0), expected[type]) << type;
  }
}

TEST(TimeValue, ExamplesOfTheFormats) {
  TimeValue value;
  EXPECT_EQ(Text(value, TimeFormat_SecondsMilliseconds, 2.25), "2s 250ms");
  EXPECT_EQ(Text(value, TimeFormat_SecondsFrames, 2.7, 30.0), "2s 21.0");
}

TEST(TimeValue, HourAndMinuteBoundaries) {
  TimeValue value;
  EXPECT_EQ(Text(value, TimeFormat_HoursMinutesSeconds, 3599.0), "0h 59m 59.0s");
  EXPECT_EQ(Text(value, TimeFormat_HoursMinutesSeconds, 3599.95), "0h 59m 59.9s");
  EXPECT_EQ(Text(value, TimeFormat_HoursMinutesSeconds, 3600.0), "1h 0m 0.0s");
  EXPECT_EQ(Text(value, TimeFormat_HoursMinutesSeconds, 7200.0), "2h 0m 0.0s");
  // Whole seconds below the next minute, rounded up by the one decimal.
  EXPECT_EQ(Text(value, TimeFormat_HoursMinutesSeconds, 7199.999), "1h 59m 60.0s");
  EXPECT_EQ(Text(value, TimeFormat_HoursMinutesSecondsMilliseconds, 7199.999),
            "1h 59m 59.0s 999ms");
  EXPECT_EQ(Text(value, TimeFormat_MinutesSeconds, 60.0), "1m 0.0s");
  EXPECT_EQ(Text(value, TimeFormat_MinutesSeconds, 59.99), "0m 60.0s");
  EXPECT_EQ(Text(value, TimeFormat_HoursMinutesSecondsFrame, 3599.95, 25.0), "0:59:59s-23");
  EXPECT_EQ(Text(value, TimeFormat_HoursMinutesSecondsFrame, 3600.04, 25.0), "1:0:0s-0");
  EXPECT_EQ(Text(value, TimeFormat_HoursMinutesSecondsFrames, 3600.04, 25.0), "1h 0m 0s 1.0");
  EXPECT_EQ(Text(value, TimeFormat_HoursMinutesSeconds, 359999.0), "99h 59m 59.0s");
  EXPECT_EQ(Text(value, TimeFormat_HoursMinutesSeconds, 3600000.0), "1000h 0m 0.0s");
}

TEST(TimeValue, NegativeAndMissingTimes) {
  TimeValue value;
  EXPECT_STREQ(value.GetTime(-1.0, 0), "No Time.");
  EXPECT_STREQ(value.GetTime(std::numeric_limits<double>::quiet_NaN(), 0), "No Time.");
  EXPECT_STREQ(value.GetTime(-1.0, 1), "-1h 59m 59.0s");
  EXPECT_EQ(Text(value, TimeFormat_MinutesSeconds, -0.5), "-1m 59.5s");
  EXPECT_EQ(Text(value, TimeFormat_HoursMinutesSeconds, -3600.0), "-1h 0m 0.0s");
  EXPECT_STREQ(value.GetTime(0.0, 0), "0h 0m 0.0s");
}

TEST(TimeValue, HugeTimesAreCutToTheBuffer) {
  TimeValue value;
  EXPECT_EQ(Text(value, TimeFormat_HoursMinutesSeconds, 1e12), "277777777h 46m 40.0s");
  const std::string text = Text(value, TimeFormat_Seconds, 1e300);
  EXPECT_EQ(text.size(), 255u);
  EXPECT_EQ(text.substr(0, 2), "10");
  EXPECT_FALSE(Text(value, TimeFormat_HoursMinutesSecondsFrames, 1e300).empty());
}

TEST(TimeValue, UnknownFormatsGiveNothing) {
  TimeValue value;
  EXPECT_EQ(Text(value, static_cast<TimeFormat>(13), 5.0), "");
  char text[] = "1:02:03";
  EXPECT_EQ(value.SetTime(text), 0.0);
}

TEST(TimeValue, TypedTimesAreReadRightAligned) {
  TimeValue value;
  value.SetType(TimeFormat_HoursMinutesSeconds);
  char hms[] = "1:02:03";
  EXPECT_EQ(value.SetTime(hms), 3723.0);
  EXPECT_STREQ(hms, "1 02 03");

  value.SetType(TimeFormat_MinutesSecondsFrame);
  value.SetFrameRate(25.0);
  char frames[] = "0:01:12";
  EXPECT_DOUBLE_EQ(value.SetTime(frames), 1.48);
  EXPECT_STREQ(frames, "0 01 12");

  value.SetType(TimeFormat_SecondsMilliseconds);
  char decimal[] = "1.5";  // the point separates: 1 s and 5 ms
  EXPECT_DOUBLE_EQ(value.SetTime(decimal), 1.005);
  char full[] = "2h 3m 4s 500ms";
  EXPECT_DOUBLE_EQ(value.SetTime(full), 2 * 3600 + 3 * 60 + 4.5);

  value.SetType(TimeFormat_Seconds);
  char four[] = "9 1 2 3";  // the first of four places is ignored
  EXPECT_EQ(value.SetTime(four), 3600 + 120 + 3.0);
  char none[] = "abc";
  EXPECT_EQ(value.SetTime(none), 0.0);
  EXPECT_EQ(value.SetTime(nullptr), 0.0);
}

TEST(TimeValue, SettingTypeOrRateAlwaysAnnouncesChanged) {
  NoticeLog log;
  RecordingListener listener(log);
  TimeValue value;
  value.AddDependant(&listener, 4);
  value.SetType(TimeFormat_HoursMinutesSeconds);  // the same format
  value.SetFrameRate(25.0);
  ASSERT_EQ(log.Count(), 2u);
  EXPECT_EQ(log.Notices()[0].name, "Changed");
  EXPECT_EQ(log.Notices()[1].name, "Changed");
}

std::string Timecode(double rate, unsigned long frames) {
  char buffer[12];
  EXPECT_TRUE(ConvertTimecodeToString(buffer, rate, frames));
  return buffer;
}

TEST(Timecode, ThirtyFramesASecondSeparatesFramesWithASemicolon) {
  EXPECT_EQ(Timecode(30.0, 0), "00:00:00;00");
  EXPECT_EQ(Timecode(30.0, 1800), "00:01:00;00");
  EXPECT_EQ(Timecode(30.0, 1799), "00:00:59;29");
  EXPECT_EQ(Timecode(30.0, 107999), "00:59:59;29");
  EXPECT_EQ(Timecode(30.0, 108000), "01:00:00;00");
  EXPECT_EQ(Timecode(30000.0 / 1001.0, 1800), "00:01:00;00");  // not drop-frame
  EXPECT_EQ(Timecode(29.97, 108000), "01:00:00;00");
}

TEST(Timecode, TwentyFiveAndTwentyFourFramesASecond) {
  EXPECT_EQ(Timecode(25.0, 91528), "01:01:01:03");
  EXPECT_EQ(Timecode(25.0, 89999), "00:59:59:24");
  EXPECT_EQ(Timecode(25.0, 90000), "01:00:00:00");
  EXPECT_EQ(Timecode(24.0, 25), "00:00:01:00");
}

TEST(Timecode, DropFrameSkipsTwoFrameNumbersAtEachMinuteButTheTenth) {
  const double rate = 29.97102897102897;
  EXPECT_EQ(Timecode(rate, 1799), "00:00:59:29");
  EXPECT_EQ(Timecode(rate, 1800), "00:01:00:02");
  EXPECT_EQ(Timecode(rate, 3597), "00:01:59:29");
  EXPECT_EQ(Timecode(rate, 3598), "00:02:00:02");
  EXPECT_EQ(Timecode(rate, 17981), "00:09:59:29");
  EXPECT_EQ(Timecode(rate, 17982), "00:10:00:00");
  EXPECT_EQ(Timecode(rate, 17983), "00:10:00:01");
  EXPECT_EQ(Timecode(rate, 19782), "00:11:00:02");
  EXPECT_EQ(Timecode(rate, 107891), "00:59:59:29");
  EXPECT_EQ(Timecode(rate, 107892), "01:00:00:00");
}

TEST(Timecode, CountsOfAHundredHoursAndMoreWrap) {
  EXPECT_EQ(Timecode(30.0, 10799999), "99:59:59;29");
  EXPECT_EQ(Timecode(30.0, 10800000), "00:00:00;00");
  EXPECT_EQ(Timecode(25.0, 0xFFFFFFFFUL), Timecode(25.0, 0xFFFFFFFFUL % 9000000));
  const std::string huge = Timecode(29.97102897102897, std::numeric_limits<unsigned long>::max());
  for (std::size_t i : {0, 1, 3, 4, 6, 7, 9, 10}) EXPECT_TRUE(std::isdigit(huge[i])) << huge;
  EXPECT_FALSE(ConvertTimecodeToString(nullptr, 30.0, 1));
}

}  // namespace
