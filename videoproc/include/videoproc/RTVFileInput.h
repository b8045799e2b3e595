// RTVFileInput: the source that plays a list of RTV clips as one continuous
// time line. The host fills the list through the file-name-set interface
// (a file selector, a drop of files); each field the consumer asks for is
// read from its clip straight into the consumer's buffer, through the
// process-wide table of open clips.
#pragma once

#include <quellor/Export.h>

#include <qlxrapi/FileSelectNames.h>
#include <qlxrapi/tList.h>

#include <cstdint>

#include "DataStream_Processor.h"

// 30000/1001 frames a second (bits 0x403DF853E2556B28).
inline constexpr double kNtscFrameRate = 30000.0 / 1001.0;
inline constexpr double kPalFrameRate = 25.0;

class QUELLOR_EXPORT RTVFileInput : public DataStream_Processor, public FileSelectNames {
 public:
  RTVFileInput() = default;

  const char* DataStream_StreamsIn(unsigned long index) override;  // null
  const char* DataStream_StreamsOut() override;                    // "RTV File Output"
  DataStream_Processor* GetConnection_In(unsigned long index) override;
  bool SetConnection_In(DataStream_Processor* node, unsigned long index) override;  // false
  // Fills every "Video" item from its time on the joined time line; black
  // without clips. Always true.
  bool Render(DataStream* stream, DataStream_Processor* caller, bool* abort) override;
  // (all frames - 1) / frame rate: the time of the last frame; 0.0 without
  // frames.
  double GetPreferredLength() override;

  // Stores the name, then its clip's frame count (0 for a clip that cannot
  // be opened, which the time line skips, with a debug message). A clip of
  // 240 lines a field sets the frame rate to 30000/1001, any other size to 25.
  void FileSelect_Set(unsigned long index, const char* name) override;
  // Removes the name and its frame count, later ones moving down.
  void FileSelect_DeleteFilename(unsigned int index) override;
  // Empties the names and their frame counts.
  void FileSelect_StartSetting() override;

  // Frames of clip index / frame rate; 0.0 past the end.
  double GetClipLength(unsigned int index);
  double GetFrameRate();

 private:
  // Names lock held.
  double LengthLocked();
  void RenderItem(DataStream_Data* item, double length);

  tList<std::int32_t> m_frameCounts;  // one per clip, parallel to the names
  double m_frameRate = kNtscFrameRate;
};
