#include "display/ClipboardDisplay.h"

#include "app/ClipViewer.h"
#include "display/ClipboardSources.h"
#include "display/DibView.h"
#include "display/PictureCopy.h"
#include "win32/clipboard.h"
#include "win32/metafile.h"

namespace quellor::clipviewer {
namespace {

// Opens the clipboard for the length of a scope; closed again on every path.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  bool IsOpen() const { return open_; }

 private:
  bool open_;
};

// The output picture goes to the hub on every path, errors included, so that
// the next call finds it free again.
class SubmitOnExit {
 public:
  SubmitOnExit(OutputHub& hub, PictureBuffer* picture) : hub_(hub), picture_(picture) {}
  ~SubmitOnExit() { hub_.Submit(picture_); }
  SubmitOnExit(const SubmitOnExit&) = delete;
  SubmitOnExit& operator=(const SubmitOnExit&) = delete;

 private:
  OutputHub& hub_;
  PictureBuffer* picture_;
};

// The formats shown, in order of preference.
UINT gPriority[] = {CF_BITMAP, CF_ENHMETAFILE, CF_TEXT};

void PlacePicture(const SourcePicture& source, ResizeMode mode, PictureBuffer& working) {
  if (mode == ResizeMode::StretchToFit)
    StretchToFill(source, working);
  else
    CentreOneToOne(source, working);
}

}  // namespace

void ClipboardDisplay::Render(ClipViewer& viewer) {
  OutputHub* hub = viewer.Hub();
  if (hub == nullptr) return;
  const ViewerState& state = viewer.State();
  int format = GetPriorityClipboardFormat(gPriority, 3);
  // A picture file chosen since the last clipboard change wins.
  if (state.clipboardChangeCount == 0) format = 0;

  PictureBuffer* output = hub->TakeFreePicture();
  if (output == nullptr) return;  // the board shows nothing new: the change is not shown
  SubmitOnExit submit(*hub, output);
  PictureBuffer& working = state.deInterlace ? WorkingPicture(*output) : *output;
  const HWND owner = viewer.MainWindow();
  bool rendered = false;
  switch (format) {
    case CF_BITMAP:
      rendered = RenderBitmap(owner, state, working);
      break;
    case CF_ENHMETAFILE:
      rendered = RenderMetafile(owner, working);
      break;
    case CF_TEXT:
      rendered = RenderText(owner, working);
      break;
    default:
      rendered = RenderLoadedPicture(viewer.Picture(), state, working);
      break;
  }
  if (rendered && &working != output) {
    if (!iplFixedFilter(working.Image(), output->Image(), IPL_GAUSSIAN_3x3))
      OutputDebugStringA(
          "clipviewer: the de-interlace filter failed; the output keeps its frame\n");
  }
}

PictureBuffer& ClipboardDisplay::WorkingPicture(const PictureBuffer& output) {
  if (!working_ || working_->Width() != output.Width() || working_->Height() != output.Height()) {
    working_.reset();
    working_ = std::make_unique<PictureBuffer>(output.Width(), output.Height());
  }
  return *working_;
}

bool ClipboardDisplay::RenderBitmap(HWND owner, const ViewerState& state, PictureBuffer& working) {
  int width = 0, height = 0;
  {
    OpenedClipboard clipboard(owner);
    if (!clipboard.IsOpen()) return false;
    const auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    // A 32-bit top-down DIB section is read where it lies, while the
    // clipboard is still open; any other bitmap is copied first.
    DibView view;
    if (view.Attach(bitmap)) {
      PlacePicture(view.Source(), state.resizeMode, working);
      return true;
    }
    try {
      if (!ReadBitmap(bitmap, bitmap_, width, height)) return false;
    } catch (const char* text) {
      // A bitmap the machine cannot hold a copy of is skipped, not fatal.
      bitmap_.reset();
      OutputDebugStringA("clipviewer: the clipboard's bitmap could not be read: ");
      OutputDebugStringA(text);
      OutputDebugStringA("\n");
      return false;
    }
  }
  PlacePicture(WholeOf(*bitmap_, width, height), state.resizeMode, working);
  return true;
}

bool ClipboardDisplay::RenderMetafile(HWND owner, PictureBuffer& working) {
  OpenedClipboard clipboard(owner);
  if (!clipboard.IsOpen()) return false;
  return DrawMetafile(static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE)), working);
}

bool ClipboardDisplay::RenderText(HWND owner, PictureBuffer& working) {
  OpenedClipboard clipboard(owner);
  if (!clipboard.IsOpen()) return false;
  return DrawClipboardText(GetClipboardData(CF_TEXT), working);
}

bool ClipboardDisplay::RenderLoadedPicture(const LoadedPicture& loaded, const ViewerState& state,
                                           PictureBuffer& working) {
  if (loaded.Empty()) return false;  // the output keeps the last frame
  PlacePicture(WholeOf(*loaded.picture, loaded.width, loaded.height), state.resizeMode, working);
  return true;
}

}  // namespace quellor::clipviewer
