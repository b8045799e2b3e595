// The board as a whole, for the board tool and for programs that set the
// board up: the board folder, the input source, the control values, the named
// objects of every process and the frame shown on the output. These calls
// work without opening an engine instance.
#pragma once

#include <quellor/Export.h>

#include <cstdint>
#include <string>
#include <vector>

#include "win32/types.h"

namespace quellor::board {

enum class InputSourceKind { Bars, Black, Clip, None };
enum class VideoStandard { Ntsc, Pal };

// What the board's input sees. The input's standard follows the source: a
// clip brings its own, the others use `standard`.
struct InputSetting {
  InputSourceKind kind = InputSourceKind::Bars;
  VideoStandard standard = VideoStandard::Ntsc;
  std::string clipPath;  // for InputSourceKind::Clip
};

struct NamedObjectEntry {
  std::string name;
  std::string kind;  // "switcher", "probe", "output", "producer", "spider"
  long processId = 0;
};

struct ControlEntry {
  std::string side;  // "input" or "output"
  std::string name;
  DWORD typeCode = 0;
  std::int32_t value = 0;
};

struct BoardStatus {
  std::string folder;
  InputSetting input;
  double fieldRate = 0.0;          // fields a second
  std::uint32_t fieldCounter = 0;  // the board's current field (time stamp)
  std::vector<NamedObjectEntry> objects;
  std::uint64_t overruns = 0;  // fields that probes did not release in time
  // Field times between two fields of one engine output that brought no new
  // field: the output repeated its picture (the program was late, or the
  // clock skipped fields).
  std::uint64_t repeatedFields = 0;
  bool outputLive = true;  // the output shows the live input
  std::uint32_t lastShownField = 0;
};

// A whole frame: field 0 then field 1, each lines x 1440 bytes of 4:2:2.
struct BoardFrame {
  VideoStandard standard = VideoStandard::Ntsc;
  std::vector<std::uint8_t> pixels;
};

QUELLOR_EXPORT const char* InputSourceName(
    InputSourceKind kind);  // "bars", "black", "clip", "none"
QUELLOR_EXPORT const char* VideoStandardName(VideoStandard standard);  // "NTSC", "PAL"
QUELLOR_EXPORT double FieldRate(VideoStandard standard);               // 60000/1001 or 50
QUELLOR_EXPORT std::uint32_t FieldLines(VideoStandard standard);       // 240 or 288

// The folder that holds this user's board: QUELLOR_BOARD_DIR, else
// $XDG_RUNTIME_DIR/quellor-board, else /tmp/quellor-board-<uid>.
QUELLOR_EXPORT std::string BoardFolderPath();

QUELLOR_EXPORT bool ReadBoardStatus(BoardStatus& status, std::string& error);
// Checks the setting (a clip must open and be a 720-pixel NTSC or PAL clip).
QUELLOR_EXPORT bool SetInputSource(const InputSetting& setting, std::string& error);
QUELLOR_EXPORT bool ReadInputSource(InputSetting& setting, std::string& error);
QUELLOR_EXPORT std::vector<ControlEntry> ListControls();
// side: "input" or "output".
QUELLOR_EXPORT bool SetControl(const std::string& side, const std::string& name, std::int32_t value,
                               std::string& error);
// The frame on the output now: the last frame a program showed, or the live
// input when no program has shown one since the board was told to show it.
QUELLOR_EXPORT bool ReadShownFrame(BoardFrame& frame, std::string& error);
// The input's frame at the board's current field.
QUELLOR_EXPORT bool ReadInputFrame(BoardFrame& frame, std::string& error);

}  // namespace quellor::board
