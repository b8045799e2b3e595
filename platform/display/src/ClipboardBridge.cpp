#include "ClipboardBridge.h"

#include <X11/Xatom.h>
#include <X11/extensions/Xfixes.h>

#include <algorithm>
#include <utility>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ClipboardPng.h"
#include "ClipboardText.h"
#include "win32/automation/Presenter.h"
#include "windows.h"

namespace quellor::display {

namespace {

// Reads a clipboard format of the subset as bytes (empty when absent).
std::vector<uint8_t> ReadSubset(UINT format) {
  std::vector<uint8_t> bytes;
  if (!OpenClipboard(nullptr)) return bytes;
  if (HANDLE data = GetClipboardData(format)) {
    const SIZE_T size = GlobalSize(data);
    if (const auto* p = static_cast<const uint8_t*>(GlobalLock(data))) {
      bytes.assign(p, p + size);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return bytes;
}

// The most one property change can carry: bigger answers would need the
// incremental protocol, which the bridge does not speak, so they are refused.
size_t MaxPropertyBytes(Display* display) {
  long units = XExtendedMaxRequestSize(display);
  if (units == 0) units = XMaxRequestSize(display);
  return std::min(kMaxTransferBytes, size_t(units) * 4 - 1024);
}

std::string SubsetText() {
  std::vector<uint8_t> bytes = ReadSubset(CF_TEXT);
  const size_t end = std::find(bytes.begin(), bytes.end(), uint8_t(0)) - bytes.begin();
  return std::string(bytes.begin(), bytes.begin() + long(end));
}

}  // namespace

std::string ClipboardBridge::Latin1ToUtf8(const std::string& latin1) {
  std::string out;
  for (char c : latin1) {
    const uint8_t u = uint8_t(c);
    if (u < 0x80) {
      out += c;
    } else {
      out += char(0xC0 | (u >> 6));
      out += char(0x80 | (u & 0x3F));
    }
  }
  return out;
}

ClipboardBridge::ClipboardBridge(Display* display) : display_(display) {
  window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
  XSelectInput(display_, window_, PropertyChangeMask);
  clipboard_ = XInternAtom(display_, "CLIPBOARD", False);
  targets_ = XInternAtom(display_, "TARGETS", False);
  utf8String_ = XInternAtom(display_, "UTF8_STRING", False);
  string_ = XA_STRING;
  text_ = XInternAtom(display_, "TEXT", False);
  imagePng_ = XInternAtom(display_, "image/png", False);
  imageBmp_ = XInternAtom(display_, "image/bmp", False);
  incr_ = XInternAtom(display_, "INCR", False);
  property_ = XInternAtom(display_, "QUELLOR_CLIPBOARD", False);
  int errorBase = 0;
  if (XFixesQueryExtension(display_, &fixesEventBase_, &errorBase)) {
    XFixesSelectSelectionInput(display_, DefaultRootWindow(display_), clipboard_,
                               XFixesSetSelectionOwnerNotifyMask);
  } else {
    fixesEventBase_ = -1;
    std::fprintf(stderr,
                 "quellor: the X server has no XFIXES; copies in other programs are "
                 "not seen\n");
  }
  if (const char* timeout = std::getenv("QUELLOR_X_SELECTION_TIMEOUT_MS")) {
    const long ms = std::strtol(timeout, nullptr, 10);
    if (ms > 0 && ms <= 60000) timeout_ = std::chrono::milliseconds(ms);
  }
  timestamp_ = XInternAtom(display_, "QUELLOR_TIMESTAMP", False);
  seenVersion_ = desktop::LastClipboardChange().version;
  // Every change of hands after this moment is reported (the selection input
  // above is asked for first), so the last one before is no later than now.
  knownChange_ = ServerTime();
}

namespace {

Bool IsTimestampChange(Display*, XEvent* event, XPointer arg) {
  const auto* wanted = reinterpret_cast<const std::pair<Window, Atom>*>(arg);
  return event->type == PropertyNotify && event->xproperty.window == wanted->first &&
         event->xproperty.atom == wanted->second;
}

}  // namespace

// The server's clock: appending nothing to a property of our own window
// still reports the change, with the server's time.
Time ClipboardBridge::ServerTime() {
  XChangeProperty(display_, window_, timestamp_, XA_STRING, 8, PropModeAppend, nullptr, 0);
  XEvent event;
  std::pair<Window, Atom> wanted{window_, timestamp_};
  XIfEvent(display_, &event, IsTimestampChange, reinterpret_cast<XPointer>(&wanted));
  return event.xproperty.time;
}

ClipboardBridge::~ClipboardBridge() {
  XDestroyWindow(display_, window_);
}

// Dated at the owner change it asks about: the server refuses it once the
// clipboard has changed hands again, and the answer carries the date back.
void ClipboardBridge::Request(Atom target) {
  XDeleteProperty(display_, window_, property_);
  requestTime_ = knownChange_;
  XConvertSelection(display_, clipboard_, target, property_, window_, requestTime_);
  XFlush(display_);
  waiting_ = target == targets_ ? Waiting::Targets : Waiting::Data;
  requested_ = target;
  deadline_ = std::chrono::steady_clock::now() + timeout_;
}

void ClipboardBridge::Poll() {
  if (waiting_ != Waiting::Nothing && std::chrono::steady_clock::now() > deadline_) {
    std::fprintf(stderr, "quellor: the X clipboard's owner did not answer within %lld ms\n",
                 static_cast<long long>(timeout_.count()));
    waiting_ = Waiting::Nothing;
  }
  // A copy that found the clipboard open in a program is tried again.
  if (!unwritten_.empty() && !WriteSubset(unwrittenFormat_, unwritten_.data(), unwritten_.size()))
    return;
  unwritten_.clear();
  // A copy from X on its way wins over the programs' changes made meanwhile;
  // when it does not arrive, they are looked at next time.
  if (waiting_ != Waiting::Nothing) return;
  const desktop::ClipboardChange change = desktop::LastClipboardChange();
  if (change.version == seenVersion_) return;
  if (change.version != writtenVersion_) {  // not our own copy from X
    // Copies the server has already seen are weighed first: they came
    // before this look, so possibly after the program's change.
    TakeSelectionNotices();
    if (waiting_ != Waiting::Nothing) return;
    TakeXClipboard();
  }
  seenVersion_ = change.version;
}

void ClipboardBridge::TakeSelectionNotices() {
  if (fixesEventBase_ < 0) return;
  XSync(display_, False);
  XEvent event;
  while (XCheckTypedEvent(display_, fixesEventBase_ + XFixesSelectionNotify, &event))
    HandleEvent(event);
}

// Only when nobody took the X clipboard since the last change the bridge
// saw: a copy in another program that came meanwhile (its notice still on
// the way) is newer than anything the bridge would hand over, and the server
// refuses a take dated before it. The notice then brings that copy in.
void ClipboardBridge::TakeXClipboard() {
  XSetSelectionOwner(display_, clipboard_, window_, knownChange_);
  owner_ = XGetSelectionOwner(display_, clipboard_) == window_;
  XFlush(display_);
}

bool ClipboardBridge::HandleEvent(const XEvent& event) {
  if (fixesEventBase_ >= 0 && event.type == fixesEventBase_ + XFixesSelectionNotify) {
    const auto& notify = reinterpret_cast<const XFixesSelectionNotifyEvent&>(event);
    if (notify.selection != clipboard_) return true;
    knownChange_ = notify.selection_timestamp;
    if (notify.owner != window_) {
      owner_ = false;
      unwritten_.clear();  // superseded
      if (notify.owner != None) Request(targets_);
    }
    return true;
  }
  if (event.xany.window != window_) return false;
  switch (event.type) {
    case SelectionNotify:
      OnSelectionNotify(event.xselection);
      break;
    case SelectionRequest:
      OnSelectionRequest(event.xselectionrequest);
      break;
    case SelectionClear:
      owner_ = false;
      break;
    default:
      break;
  }
  return true;
}

bool ClipboardBridge::ReadProperty(std::vector<uint8_t>& data, Atom& type) {
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* bytes = nullptr;
  // Lengths are in 32-bit units.
  if (XGetWindowProperty(display_, window_, property_, 0, long(kMaxTransferBytes / 4), True,
                         AnyPropertyType, &type, &format, &items, &after, &bytes) != Success)
    return false;
  const size_t unit = format == 32 ? sizeof(long) : size_t(format / 8);
  if (bytes) data.assign(bytes, bytes + items * unit);
  if (bytes) XFree(bytes);
  if (after > 0 || type == incr_) {
    std::fprintf(stderr, "quellor: the X clipboard's contents are too large; not taken\n");
    return false;
  }
  return true;
}

void ClipboardBridge::OnSelectionNotify(const XSelectionEvent& event) {
  if (waiting_ == Waiting::Nothing || event.selection != clipboard_ || event.target != requested_)
    return;
  // An owner that answers undated (CurrentTime) is taken at its word.
  if (event.time != requestTime_ && event.time != CurrentTime) return;
  const Waiting was = waiting_;
  waiting_ = Waiting::Nothing;
  if (event.property == None) {
    // No TARGETS: many old owners still give text when asked outright.
    if (was == Waiting::Targets)
      Request(utf8String_);
    else if (requested_ == utf8String_)
      Request(string_);
    return;
  }
  std::vector<uint8_t> data;
  Atom type = None;
  if (!ReadProperty(data, type)) return;
  if (was == Waiting::Targets) {
    std::vector<Atom> offered(data.size() / sizeof(long));
    for (size_t i = 0; i < offered.size(); ++i)
      offered[i] = Atom(reinterpret_cast<const long*>(data.data())[i]);
    auto has = [&](Atom a) {
      return std::find(offered.begin(), offered.end(), a) != offered.end();
    };
    if (has(utf8String_))
      Request(utf8String_);
    else if (has(string_))
      Request(string_);
    else if (has(text_))
      Request(text_);
    else if (has(imagePng_))
      Request(imagePng_);
    else if (has(imageBmp_))
      Request(imageBmp_);
    return;  // nothing the subset can hold
  }
  Deliver(event.target, data);
}

void ClipboardBridge::Deliver(Atom target, const std::vector<uint8_t>& data) {
  if (target == imageBmp_ || target == imagePng_) {
    std::string error;
    const std::vector<uint8_t> dib =
        target == imagePng_ ? PngFileToDib(data, error) : BmpFileToDib(data, error);
    if (dib.empty()) {
      std::fprintf(stderr, "quellor: picture on the X clipboard refused: %s\n", error.c_str());
      return;
    }
    Write(CF_DIB, dib.data(), dib.size());
    return;
  }
  const std::string raw(data.begin(), data.end());
  const std::string text = target == string_ ? Latin1ToSubsetText(raw) : Utf8ToSubsetText(raw);
  Write(CF_TEXT, text.c_str(), text.size() + 1);
}

// The clipboard may be open in a program just now: the copy then waits for
// the next turn instead of being dropped (newer copies from X replace it).
void ClipboardBridge::Write(unsigned format, const void* data, size_t size) {
  unwritten_.clear();
  if (WriteSubset(format, data, size)) return;
  const auto* bytes = static_cast<const uint8_t*>(data);
  unwritten_.assign(bytes, bytes + size);
  unwrittenFormat_ = format;
}

// A program that empties the clipboard while its viewers are hearing of a
// copy from X (one starting up, say) did so before it saw the copy: the copy
// is put back, once, so that both sides show it. An emptied clipboard holds
// nothing to lose; a program's own new data is never written over.
bool ClipboardBridge::WriteSubset(unsigned format, const void* data, size_t size) {
  if (!WriteSubsetOnce(format, data, size)) return false;
  if (desktop::LastClipboardChange().version == writtenVersion_ || CountClipboardFormats() != 0)
    return true;
  return WriteSubsetOnce(format, data, size);
}

bool ClipboardBridge::WriteSubsetOnce(unsigned format, const void* data, size_t size) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!memory) return false;
  std::memcpy(GlobalLock(memory), data, size);
  GlobalUnlock(memory);
  if (!OpenClipboard(nullptr)) {
    GlobalFree(memory);
    return false;
  }
  EmptyClipboard();
  SetClipboardData(format, memory);
  // Nobody else can close the clipboard while it is open here: the change
  // closing makes is the next one. Marked as ours, so that Poll does not
  // hand the copy straight back to X.
  writtenVersion_ = desktop::LastClipboardChange().version + 1;
  seenVersion_ = writtenVersion_;
  // Closing tells the viewer chain (WM_DRAWCLIPBOARD).
  CloseClipboard();
  return true;
}

std::vector<Atom> ClipboardBridge::OfferedTargets() {
  std::vector<Atom> offered{targets_};
  if (IsClipboardFormatAvailable(CF_TEXT)) {
    offered.push_back(utf8String_);
    offered.push_back(string_);
    offered.push_back(text_);
  }
  if (IsClipboardFormatAvailable(CF_DIB)) {
    offered.push_back(imagePng_);
    offered.push_back(imageBmp_);
  }
  return offered;
}

void ClipboardBridge::OnSelectionRequest(const XSelectionRequestEvent& request) {
  XSelectionEvent reply{};
  reply.type = SelectionNotify;
  reply.display = request.display;
  reply.requestor = request.requestor;
  reply.selection = request.selection;
  reply.target = request.target;
  reply.time = request.time;
  // Old clients leave the property None: use the target as the property.
  const Atom property = request.property == None ? request.target : request.property;
  reply.property = None;
  if (owner_ && request.selection == clipboard_) {
    if (request.target == targets_) {
      const std::vector<Atom> offered = OfferedTargets();
      XChangeProperty(display_, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(offered.data()), int(offered.size()));
      reply.property = property;
    } else if (request.target == utf8String_ || request.target == string_ ||
               request.target == text_) {
      const std::string text = SubsetText();
      const bool utf8 = request.target != string_;
      const std::string out = utf8 ? SubsetTextToUtf8(text) : Latin1ToSubsetText(text);
      // STRING keeps Latin-1 but with X's LF line ends.
      std::string sent = out;
      if (!utf8) sent.erase(std::remove(sent.begin(), sent.end(), '\r'), sent.end());
      if (sent.size() <= MaxPropertyBytes(display_)) {
        XChangeProperty(display_, request.requestor, property, utf8 ? utf8String_ : string_, 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(sent.data()),
                        int(sent.size()));
        reply.property = property;
      }
    } else if (request.target == imageBmp_ || request.target == imagePng_) {
      const std::vector<uint8_t> dib = ReadSubset(CF_DIB);
      const std::vector<uint8_t> file =
          request.target == imagePng_ ? DibToPngFile(dib) : DibToBmpFile(dib);
      // Beyond what one request can carry the picture is refused (no INCR).
      if (!file.empty() && file.size() <= MaxPropertyBytes(display_)) {
        XChangeProperty(display_, request.requestor, property, request.target, 8, PropModeReplace,
                        file.data(), int(file.size()));
        reply.property = property;
      }
    }
  }
  XSendEvent(display_, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
  XFlush(display_);
}

}  // namespace quellor::display
