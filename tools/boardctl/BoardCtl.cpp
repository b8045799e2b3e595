// boardctl: look at and set up the virtual board.
//   boardctl status | controls | set [--output] NAME VALUE
//   boardctl input bars|black [ntsc|pal] | clip FILE | none
//   boardctl snapshot -o out.png [--input] | watch [--window [--input]]
#include <unistd.h>

#include <sys/stat.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "OutputFile.h"
#include "PngFile.h"
#include "cliplib/clip/ClipFile.h"
#include "WatchWindow.h"
#include "board/BoardControl.h"
#include "board/ColourConversion.h"
#include "board/FieldRecords.h"

using namespace quellor::board;

namespace {

constexpr const char* kUsage =
    "usage: boardctl COMMAND\n"
    "  status                       clock, input, output, named objects, overruns\n"
    "  controls                     every control value of the board\n"
    "  set [--output] NAME VALUE    set an input (or output) control, e.g. control.contrast -12\n"
    "  input bars|black [ntsc|pal]  colour bars or black on the input (NTSC unless pal)\n"
    "  input clip FILE              loop an RTV clip on the input (its own standard)\n"
    "  input none                   no signal on the input\n"
    "  snapshot -o FILE.png [--input]  the output as shown now (or the input) as a picture\n"
    "  watch                        live one-line status until interrupted\n"
    "  watch --window [--input]     the output (or input) live in a window on the display\n"
    "The board lives in QUELLOR_BOARD_DIR (now %s).\n";

int Usage() {
  std::fprintf(stderr, kUsage, BoardFolderPath().c_str());
  return 2;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "boardctl: %s\n", message.c_str());
  return 1;
}

std::string InputText(const InputSetting& input) {
  std::string text = InputSourceName(input.kind);
  if (input.kind == InputSourceKind::Clip) text += " " + input.clipPath;
  return text + " (" + VideoStandardName(input.standard) + ")";
}

int Status() {
  BoardStatus status;
  std::string error;
  if (!ReadBoardStatus(status, error)) return Fail(error);
  std::printf("board:    %s\n", status.folder.c_str());
  std::printf("clock:    field %u at %.3f fields/s\n", status.fieldCounter, status.fieldRate);
  std::printf("input:    %s\n", InputText(status.input).c_str());
  if (status.outputLive)
    std::printf("output:   live input\n");
  else
    std::printf("output:   program frame (last field shown %u)\n", status.lastShownField);
  std::printf("overruns: %llu\n", static_cast<unsigned long long>(status.overruns));
  std::printf("repeated output fields: %llu\n",
              static_cast<unsigned long long>(status.repeatedFields));
  std::printf("objects:  %zu\n", status.objects.size());
  for (const auto& object : status.objects)
    std::printf("  %-9s %-48s process %ld\n", object.kind.c_str(), object.name.c_str(),
                object.processId);
  return 0;
}

int Controls() {
  for (const auto& control : ListControls())
    std::printf("%-6s %-22s type %u  %d\n", control.side.c_str(), control.name.c_str(),
                static_cast<unsigned>(control.typeCode), static_cast<int>(control.value));
  return 0;
}

// The controls boardctl sets and the values each takes. Settings (type 5)
// select among a few modes; the picture controls (type 4) run -127 to 127.
struct KnownControl {
  const char* side;
  const char* name;
  int lowest;
  int highest;
};
constexpr KnownControl kKnownControls[] = {
    {"input", "control.format", 0, 15},         {"input", "control.lumacomb", 0, 15},
    {"input", "control.chromacomb", 0, 15},     {"input", "control.ctrap", 0, 1},
    {"input", "control.tstcgn", 0, 1},          {"input", "control.pedestal", 0, 1},
    {"input", "control.contrast", -127, 127},   {"input", "control.brightness", -127, 127},
    {"input", "control.saturation", -127, 127}, {"input", "control.hue", -127, 127},
    {"input", "control.ugain", -127, 127},      {"input", "control.vgain", -127, 127},
    {"input", "control.uoffset", -127, 127},    {"input", "control.voffset", -127, 127},
    {"input", "control.agc", -127, 127},        {"input", "control.hypk", -127, 127},
    {"output", "control.format", 0, 1},         {"output", "control.filter", 0, 3},
    {"output", "control.pedestal", 0, 1},       {"output", "control.scphase", -127, 127},
};

const KnownControl* FindControl(const std::string& side, const std::string& name) {
  for (const KnownControl& control : kKnownControls)
    if (side == control.side && name == control.name) return &control;
  return nullptr;
}

std::string KnownNames(const std::string& side) {
  std::string names;
  for (const KnownControl& control : kKnownControls) {
    if (side != control.side) continue;
    names += (names.empty() ? "" : ", ") + std::string(control.name);
  }
  return names;
}

int Set(const std::vector<std::string>& arguments) {
  std::string side = "input";
  size_t next = 1;
  if (arguments.size() > next && (arguments[next] == "--output" || arguments[next] == "--input")) {
    side = arguments[next].substr(2);
    ++next;
  }
  if (arguments.size() != next + 2) return Usage();
  const std::string& name = arguments[next];
  const KnownControl* control = FindControl(side, name);
  if (control == nullptr)
    return Fail("the " + side + " side has no control \"" + name + "\" (" + KnownNames(side) + ")");
  char* end = nullptr;
  const long value = std::strtol(arguments[next + 1].c_str(), &end, 10);
  if (arguments[next + 1].empty() || *end != '\0' || value < INT32_MIN || value > INT32_MAX)
    return Fail("not a whole number: \"" + arguments[next + 1] + "\"");
  if (value < control->lowest || value > control->highest)
    return Fail(name + " takes " + std::to_string(control->lowest) + " to " +
                std::to_string(control->highest) + ", not " + arguments[next + 1]);
  std::string error;
  if (!SetControl(side, name, static_cast<std::int32_t>(value), error)) return Fail(error);
  return 0;
}

// The clip as the board will loop it: an absolute path (the setting is read
// from every process's own folder), and a first frame that can be read now,
// before the input is switched to it.
bool CheckClip(const std::string& given, std::string& absolute, std::string& error) {
  std::error_code failed;
  absolute = std::filesystem::absolute(given, failed).lexically_normal().string();
  if (failed) {
    error = given + ": " + failed.message();
    return false;
  }
  try {
    auto clip = quellor::clip::ClipFile::Open(absolute.c_str());
    if (clip->ReadChunk(0, 0) == nullptr || clip->ReadChunk(1, 0) == nullptr) {
      error = given + ": the clip's first frame cannot be read";
      return false;
    }
  } catch (const char* text) {
    error = given + ": " + text;
    return false;
  }
  return true;
}

int Input(const std::vector<std::string>& arguments) {
  if (arguments.size() < 2) return Usage();
  InputSetting setting;
  const std::string& kind = arguments[1];
  if (kind == "clip") {
    if (arguments.size() != 3) return Usage();
    setting.kind = InputSourceKind::Clip;
    std::string error;
    if (!CheckClip(arguments[2], setting.clipPath, error)) return Fail(error);
  } else if (kind == "bars" || kind == "black" || kind == "none") {
    setting.kind = kind == "bars"    ? InputSourceKind::Bars
                   : kind == "black" ? InputSourceKind::Black
                                     : InputSourceKind::None;
    if (arguments.size() == 3) {
      if (arguments[2] == "pal")
        setting.standard = VideoStandard::Pal;
      else if (arguments[2] != "ntsc")
        return Fail("unknown standard \"" + arguments[2] + "\" (ntsc or pal)");
    } else if (arguments.size() > 3) {
      return Usage();
    }
  } else {
    return Fail("unknown input \"" + kind + "\" (bars, black, clip FILE or none)");
  }
  std::string error;
  if (!SetInputSource(setting, error)) return Fail(error);
  InputSetting now;
  if (ReadInputSource(now, error)) std::printf("input: %s\n", InputText(now).c_str());
  return 0;
}

int Snapshot(const std::vector<std::string>& arguments) {
  std::string path;
  bool input = false;
  for (size_t i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == "-o" && i + 1 < arguments.size()) {
      path = arguments[++i];
    } else if (arguments[i] == "--input") {
      input = true;
    } else {
      return Usage();
    }
  }
  if (path.empty()) return Usage();
  BoardFrame frame;
  std::string error;
  if (!(input ? ReadInputFrame(frame, error) : ReadShownFrame(frame, error))) return Fail(error);
  std::uint32_t width = 0, height = 0;
  const std::vector<std::uint8_t> bgra = quellor::boardctl::FrameToBgra(frame, width, height);
  quellor::tools::OutputFile output(path);
  if (!output.Open({}, &error) ||
      !quellor::tools::WritePng(output.path(), width, height, bgra.data(), &error) ||
      !output.Commit(&error)) {
    return Fail(error);
  }
  std::printf("%s: %u x %u %s\n", path.c_str(), width, height, input ? "input" : "output");
  return 0;
}

volatile std::sig_atomic_t g_stop = 0;

int Watch() {
  std::signal(SIGINT, [](int) { g_stop = 1; });
  std::signal(SIGTERM, [](int) { g_stop = 1; });
  const bool terminal = isatty(1);
  while (!g_stop) {
    BoardStatus status;
    std::string error;
    if (!ReadBoardStatus(status, error)) return Fail(error);
    std::printf("%sfield %-10u input %-24s output %-6s objects %-3zu overruns %llu%s",
                terminal ? "\r\033[K" : "", status.fieldCounter, InputText(status.input).c_str(),
                status.outputLive ? "live" : "frame", status.objects.size(),
                static_cast<unsigned long long>(status.overruns), terminal ? "" : "\n");
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  if (terminal) std::printf("\n");
  return 0;
}

// The board folder's shared files must be files: a pipe or device planted
// under one of their names would make every reader wait for ever.
bool BoardFilesAreFiles(std::string& error) {
  const std::string folder = BoardFolderPath();
  for (const char* name : {"input", "controls", "board.state", "input.lock", "controls.lock"}) {
    const std::string path = folder + "/" + name;
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
      error = path + " is not a regular file (a pipe, device or folder): remove it";
      return false;
    }
  }
  return true;
}

}  // namespace

// QUELLOR_BOARD=none stands for a machine without the board, as the engine
// reads it: every command that would touch the board refuses.
bool BoardAbsent() {
  const char* presence = std::getenv("QUELLOR_BOARD");
  return presence && std::strcmp(presence, "none") == 0;
}

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (arguments.empty()) return Usage();
  const std::string& command = arguments[0];
  const bool help = command == "-h" || command == "--help" || command == "help";
  if (!help && BoardAbsent()) return Fail("no board is present (QUELLOR_BOARD=none)");
  if (!help) {
    std::string error;
    if (!BoardFilesAreFiles(error)) return Fail(error);
  }
  if (command == "status" && arguments.size() == 1) return Status();
  if (command == "controls" && arguments.size() == 1) return Controls();
  if (command == "set") return Set(arguments);
  if (command == "input") return Input(arguments);
  if (command == "snapshot") return Snapshot(arguments);
  if (command == "watch" && arguments.size() == 1) return Watch();
  if (command == "watch" && arguments.size() >= 2 && arguments[1] == "--window") {
    if (arguments.size() == 2) return quellor::boardctl::WatchWindow(false);
    if (arguments.size() == 3 && arguments[2] == "--input")
      return quellor::boardctl::WatchWindow(true);
  }
  if (help) {
    std::printf(kUsage, BoardFolderPath().c_str());
    return 0;
  }
  return Usage();
}
