// The X CLIPBOARD selection and the subset's clipboard as one: what another
// X program copies reaches the subset (and its viewer chain hears of it as
// WM_DRAWCLIPBOARD); what a subset program copies, X programs can paste.
// Text goes as UTF8_STRING or STRING (CF_TEXT, Latin-1), pictures as
// image/png or image/bmp (CF_DIB). An owner that never answers is given up after a
// bounded wait (QUELLOR_X_SELECTION_TIMEOUT_MS, 1000 by default); oversized
// or malformed data is refused with a message.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace quellor::display {

class ClipboardBridge {
 public:
  explicit ClipboardBridge(Display* display);
  ~ClipboardBridge();
  ClipboardBridge(const ClipboardBridge&) = delete;
  ClipboardBridge& operator=(const ClipboardBridge&) = delete;

  // Takes the events that are the bridge's; true when it took this one.
  bool HandleEvent(const XEvent& event);
  // Takes the X clipboard after a subset program wrote its clipboard, and
  // gives up a transfer whose owner is past its time.
  void Poll();

  static std::string Latin1ToUtf8(const std::string& latin1);

 private:
  enum class Waiting { Nothing, Targets, Data };

  void Request(Atom target);
  void OnSelectionNotify(const XSelectionEvent& event);
  void OnSelectionRequest(const XSelectionRequestEvent& request);
  bool ReadProperty(std::vector<uint8_t>& data, Atom& type);
  void Deliver(Atom target, const std::vector<uint8_t>& data);
  bool WriteSubset(unsigned format, const void* data, size_t size);
  std::vector<Atom> OfferedTargets();

  Display* display_;
  Window window_ = 0;  // unmapped: owns the selection and receives transfers
  int fixesEventBase_ = -1;
  Atom clipboard_, targets_, utf8String_, string_, text_, imagePng_, imageBmp_, incr_, property_;
  Waiting waiting_ = Waiting::Nothing;
  Atom requested_ = 0;
  std::chrono::steady_clock::time_point deadline_{};
  std::chrono::milliseconds timeout_{1000};
  uint64_t seenVersion_ = 0;
  bool owner_ = false;
};

}  // namespace quellor::display
