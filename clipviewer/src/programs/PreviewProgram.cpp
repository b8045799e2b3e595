#include "programs/PreviewProgram.h"

#include <string>

#include "app/ViewerError.h"
#include "app/ViewerTexts.h"
#include "programs/ProgramLauncher.h"

namespace quellor::clipviewer {
namespace {

constexpr DWORD kCloseWaitMs = 1000;

// Through the launcher, which tests replace.
bool LaunchPreview(const char* path, PROCESS_INFORMATION* info) {
  return LaunchProgram(path, "", false, info);
}

}  // namespace

void PreviewProgram::Start() {
  if (IsRunning()) return;
  Close();
  if (!process_.Start(fileName_, LaunchPreview)) Raise(kCannotLaunchPreview);
  OutputDebugStringA(("clipviewer: started " + process_.Path() + "\n").c_str());
}

void PreviewProgram::Close() {
  process_.Close(kCloseWaitMs);
}

}  // namespace quellor::clipviewer
