// A fresh plug-in process for each test: its own settings folder and board,
// no pauses, message boxes recorded, the load-time work run in-process.
// Clips are built frame by frame with recognisable pixels.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "rtvbridge/AvFileExports.h"
#include "win32/automation/Answers.h"

namespace quellor::rtvbridge::testing {

using Bytes = std::vector<std::uint8_t>;

// 720 x 480 (NTSC) or 720 x 576 (PAL).
struct Standard {
  int videoMode;
  std::int32_t width;
  std::int32_t height;
  std::size_t fieldBytes() const { return std::size_t(width) * std::size_t(height); }
  std::size_t frameBytes() const { return fieldBytes() * 2; }
};
inline constexpr Standard kNtsc = {1, 720, 480};
inline constexpr Standard kPal = {0, 720, 576};

class BridgeTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Settings written before the load-time work runs (StartPlugin).
  void PutSetting(const std::string& key, const std::string& value);
  std::string SettingsText() const;
  // The load-time work; false when the board is missing.
  bool StartPlugin(int videoMode = 1);
  // The same with the settings file as it is.
  bool StartPluginAsIs();

  std::string Path(const std::string& name) const { return folder_ + "/" + name; }
  const std::string& Folder() const { return folder_; }

  std::vector<desktop::Question> boxes;

 private:
  std::string folder_;
  bool started_ = false;
};

// A clip of `frames` frames whose 4:2:2 bytes are FrameBytes(standard, n),
// written through the clip writer (not the plug-in).
void WriteClip(const std::string& path, const Standard& standard, int frames);
// Frame n as stored: both fields, every byte a function of frame, field,
// line and position, never 0xFF.
Bytes FrameBytes(const Standard& standard, int n);
Bytes ReadFile(const std::string& path);
void WriteFile(const std::string& path, const Bytes& bytes);

// Host-side helpers through the exports.
AVFILE_Handle OpenForRead(const std::string& path);
AVFILE_Handle OpenForWrite(const std::string& path);
// Reads frame n in the format of `guid` into `buffer`; the export's result.
int ReadFrame(AVFILE_Handle handle, int n, const char* guid, Bytes& buffer,
              ImageFormatRecord* delivered = nullptr);
int WriteFrame(AVFILE_Handle handle, const char* guid, Bytes& pixels);

}  // namespace quellor::rtvbridge::testing
