#include "FieldPacing.h"

#include <board/testing/BoardClock.h>
#include <qlxrapi/MessageQueue.h>
#include <windows.h>

#include "PanelGraph.h"
#include "PanelWindow.h"
#include "videoproc/VideoQuellorOutput.h"
#include "videoproc/WaveformMonitor.h"

namespace quellor::quellpanel {
namespace {

// Polls (running the panel's messages) for up to limit ms until done().
template <typename Condition>
bool WaitPumping(Condition done, int limit) {
  for (int waited = 0; waited < limit; ++waited) {
    if (done()) return true;
    FlushMessageQueue();
    Sleep(1);
  }
  return done();
}

bool AnyPlaying(PanelGraph& graph) {
  for (VideoQuellorOutput* output : graph.Outputs())
    if (output->GetFrameIncrement()->Get() != kVideoOutputStopped) return true;
  return false;
}

}  // namespace

bool OutputsSettled(bool playing, const std::vector<board::testing::OutputFrameCounts>& frames) {
  bool showing = false;
  for (const board::testing::OutputFrameCounts& f : frames) {
    if (f.lent != 0) return false;  // a render under way
    if (f.queued == 0) continue;
    showing = true;
    if (playing && f.free != 0) return false;  // a buffer the board gave back waits for a frame
  }
  return showing || !playing;
}

std::uint32_t PlayFields(PanelWindow& panel, PanelGraph& graph, long fields) {
  std::uint32_t late = 0;
  const auto settled = [&] {
    return OutputsSettled(AnyPlaying(graph), board::testing::OutputFrames());
  };
  for (long done = 0; done < fields; done += 2) {
    if (!WaitPumping(settled, kPacingLimitMs)) ++late;
    // The probe callbacks (the scope's among them) run before this returns.
    board::testing::AdvanceFields(fields - done >= 2 ? 2 : 1);
    FlushMessageQueue();
  }
  // The scope draws on its own thread: a picture of the panel taken next
  // shows the last field it took.
  if (WaveformMonitor* scope = panel.Scope(); scope != nullptr && fields > 0) {
    const std::uint32_t taken = scope->GetFieldsTaken();
    if (!WaitPumping([&] { return scope->GetDrawnField() >= taken; }, kPacingLimitMs)) ++late;
  }
  return late;
}

}  // namespace quellor::quellpanel
