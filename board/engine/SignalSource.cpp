#include "SignalSource.h"

#include "TestSignal.h"

namespace quellor::board {

void SignalSource::Configure(const InputSetting& setting) {
  const bool sameClip = setting.kind == InputSourceKind::Clip && kind_ == InputSourceKind::Clip &&
                        setting.clipPath == clipPath_ && clip_;
  kind_ = setting.kind;
  standard_ = setting.standard;
  if (sameClip) {
    standard_ = clip_->standard();
    return;
  }
  clip_.reset();
  clipPath_.clear();
  clipStartKnown_ = false;
  if (kind_ == InputSourceKind::Clip) {
    std::string error;
    clip_ = OpenClipFieldReader(setting.clipPath, error);
    clipPath_ = setting.clipPath;
    if (clip_) standard_ = clip_->standard();
  }
}

bool SignalSource::HasSignal() const {
  switch (kind_) {
    case InputSourceKind::Bars:
    case InputSourceKind::Black:
      return true;
    case InputSourceKind::Clip:
      return clip_ && clip_->frameCount() > 0;
    case InputSourceKind::None:
      return false;
  }
  return false;
}

bool SignalSource::RenderField(DWORD timeStamp, BYTE* pixels) {
  switch (kind_) {
    case InputSourceKind::Bars:
      RenderColourBarsField(standard_, timeStamp, pixels);
      return true;
    case InputSourceKind::Black:
      RenderBlackField(standard_, pixels);
      return true;
    case InputSourceKind::Clip: {
      if (!HasSignal()) return false;
      // The loop starts with the clip's first frame at the first frame
      // boundary the input delivers.
      if (!clipStartKnown_) {
        clipStartField_ = timeStamp & ~1u;
        clipStartKnown_ = true;
      }
      const DWORD frame = (timeStamp - clipStartField_) / 2 % clip_->frameCount();
      return clip_->ReadField(frame, timeStamp & 1u, pixels);
    }
    case InputSourceKind::None:
      return false;
  }
  return false;
}

}  // namespace quellor::board
