// The signal on the board's input: what the input pin's fields hold. The
// input's standard follows the source.
#pragma once

#include <memory>
#include <string>

#include "board/BoardControl.h"
#include "win32/types.h"

namespace quellor::board {

// Fields of a looped RTV clip: field `parity` of frame `frameIndex % count`.
class ClipFieldReader {
 public:
  virtual ~ClipFieldReader() = default;
  virtual VideoStandard standard() const = 0;
  virtual DWORD frameCount() const = 0;
  virtual bool ReadField(DWORD frameIndex, DWORD parity, BYTE* pixels) = 0;
};

// Opens a clip for the input; null with a reason when it cannot be used.
std::unique_ptr<ClipFieldReader> OpenClipFieldReader(const std::string& path, std::string& error);

class SignalSource {
 public:
  // A clip that cannot be opened leaves the input without a signal.
  void Configure(const InputSetting& setting);
  VideoStandard standard() const { return standard_; }
  bool HasSignal() const;
  // Field `timeStamp` (parity timeStamp & 1) of the signal into pixels (one
  // field of standard()); false without a signal.
  bool RenderField(DWORD timeStamp, BYTE* pixels);

 private:
  InputSourceKind kind_ = InputSourceKind::Bars;
  VideoStandard standard_ = VideoStandard::Ntsc;
  std::string clipPath_;
  std::unique_ptr<ClipFieldReader> clip_;
  DWORD clipStartField_ = 0;  // the clip starts over from its first frame here
  bool clipStartKnown_ = false;
};

}  // namespace quellor::board
