// Handing the board's hand clock on in step with the graph's outputs and the
// scope. A pair of fields goes to the board once the outputs have nothing
// left to do before it: every engine buffer the board gave back has been
// rendered into and queued again (or the outputs are stopped). The waits test
// states that only the advance can leave, never "has a counter moved since I
// looked", which misses a move that came before the look.
#pragma once

#include <board/testing/OutputFrames.h>

#include <cstdint>
#include <vector>

namespace quellor::quellpanel {

class PanelGraph;
class PanelWindow;

// How long a wait may take before the clock moves on regardless: the outputs
// or the scope did not keep up (a fault worth reporting, not a hang).
inline constexpr int kPacingLimitMs = 1000;

// True when the outputs have nothing to do until the board moves on: no
// buffer is being rendered, and while any output plays, each engine output
// that shows frames holds no free buffer and at least one engine output shows
// frames. Engine outputs with nothing queued are idle (the standard not in
// use, or drained) and do not count.
bool OutputsSettled(bool playing, const std::vector<board::testing::OutputFrameCounts>& frames);

// Hands the board `fields` fields, each pair once the outputs have settled,
// then waits until the scope has drawn the last field it took. Returns how
// many waits ran out of time.
std::uint32_t PlayFields(PanelWindow& panel, PanelGraph& graph, long fields);

}  // namespace quellor::quellpanel
