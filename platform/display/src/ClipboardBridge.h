// The X CLIPBOARD selection and the subset's clipboard as one: what another
// X program copies reaches the subset (and its viewer chain hears of it as
// WM_DRAWCLIPBOARD); what a subset program copies, X programs can paste.
// Text goes as UTF8_STRING or STRING (CF_TEXT, Latin-1), pictures as
// image/png or image/bmp (CF_DIB). An owner that never answers is given up after a
// bounded wait (QUELLOR_X_SELECTION_TIMEOUT_MS, 1000 by default); oversized
// or malformed data is refused with a message.
//
// Copies on both sides race (a program copying as another starts): the later
// one must win on both sides, and a copy made in another X program is never
// lost to a change of the subset's it has not been weighed against. So the
// bridge takes the X clipboard only on the condition that nobody took it
// since the last change it saw (the server's own ordering by timestamps), a
// copy from X on its way to the subset wins over changes the programs make
// meanwhile, and one that a program changed while its viewers were hearing of
// it is put back once.
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
  void Write(unsigned format, const void* data, size_t size);
  bool WriteSubset(unsigned format, const void* data, size_t size);
  bool WriteSubsetOnce(unsigned format, const void* data, size_t size);
  void TakeXClipboard();
  void TakeSelectionNotices();
  Time ServerTime();
  std::vector<Atom> OfferedTargets();

  Display* display_;
  Window window_ = 0;  // unmapped: owns the selection and receives transfers
  int fixesEventBase_ = -1;
  Atom clipboard_, targets_, utf8String_, string_, text_, imagePng_, imageBmp_, incr_, property_;
  Waiting waiting_ = Waiting::Nothing;
  Atom requested_ = 0;
  // The owner change a request was dated at: an answer dated otherwise comes
  // from an earlier owner, late, and is not this request's.
  Time requestTime_ = 0;
  std::chrono::steady_clock::time_point deadline_{};
  std::chrono::milliseconds timeout_{1000};
  uint64_t seenVersion_ = 0;     // the subset's last change looked at
  uint64_t writtenVersion_ = 0;  // the subset's change the bridge made itself
  // When the X clipboard last changed hands, as far as the bridge has seen
  // (server milliseconds): taking it is conditional on no newer change.
  Time knownChange_ = 0;
  Atom timestamp_ = 0;
  std::vector<uint8_t> unwritten_;  // a copy from X the clipboard was busy for
  unsigned unwrittenFormat_ = 0;
  bool owner_ = false;
};

}  // namespace quellor::display
