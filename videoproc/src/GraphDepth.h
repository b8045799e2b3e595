// A graph is pulled by recursion: each node renders its inputs from inside
// its own Render. The plug-in's nodes refuse connections that close a cycle,
// but a node from elsewhere may not; so the nodes that pull inputs count how
// deep the current thread is and give up past kMaxGraphDepth, which keeps a
// cycle from running the stack out.
#pragma once

#include <windows.h>

#include <atomic>

namespace quellor::videoproc {

inline constexpr int kMaxGraphDepth = 512;  // nodes in one chain of inputs

class GraphDepth {
 public:
  GraphDepth() : m_exceeded(++t_depth > kMaxGraphDepth) {
    static std::atomic<bool> told{false};
    if (m_exceeded && t_depth == kMaxGraphDepth + 1 && !told.exchange(true)) {
      OutputDebugStringA(
          "Video.quell: a graph is more than 512 nodes deep or connected in a cycle; it is not "
          "rendered\n");
    }
  }
  ~GraphDepth() { --t_depth; }
  GraphDepth(const GraphDepth&) = delete;
  GraphDepth& operator=(const GraphDepth&) = delete;

  // True when this node lies too deep: it must not pull its inputs.
  bool Exceeded() const { return m_exceeded; }

 private:
  static inline thread_local int t_depth = 0;
  bool m_exceeded;
};

}  // namespace quellor::videoproc
