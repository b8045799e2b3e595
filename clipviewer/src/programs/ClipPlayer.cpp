#include "programs/ClipPlayer.h"

#include "settings/IniSettings.h"
#include "programs/ProgramLauncher.h"
#include "windows.h"

namespace quellor::clipviewer {
namespace {
// Clip names are read with room for 1023 characters.
constexpr unsigned kClipNameSize = 1024;
}  // namespace

std::string StartupClipCommandLine(const std::string& clip) {
  return "ZivaVIR \"" + clip + "\"";
}

std::string PlayClipCommandLine(const std::string& clip) {
  return "zivavir \"" + clip + "\"";
}

void StartClipPlayer(const std::string& commandLine) {
  std::string note = "clipviewer: starting " + commandLine + "\n";
  OutputDebugStringA(note.c_str());
  PROCESS_INFORMATION info;
  if (!LaunchProgram(nullptr, commandLine, true, &info)) {
    OutputDebugStringA("clipviewer: the clip player could not be started\n");
    return;
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
}

void StartStartupClip(VideoMode mode) {
  using settings::ReadIniText;
  std::string pal = ReadIniText("PALStartupClip", "VideoQuellorLogo_Pal.rtv", kClipNameSize);
  std::string ntsc = ReadIniText("NTSCStartupClip", "VideoQuellorLogo_Ntsc.rtv", kClipNameSize);
  StartClipPlayer(StartupClipCommandLine(mode == VideoMode::Ntsc ? ntsc : pal));
}

}  // namespace quellor::clipviewer
