// The display routine's work from its third call on: render the first usable
// clipboard format (bitmap, enhanced metafile, text), or else the loaded
// picture, into a free picture of the output hub, blur it when de-interlace
// is on, and submit it. With nothing to show the picture goes back as it is:
// it still holds the last frame, so the output keeps it.
//
// Pictures made for the bitmap and for de-interlacing are kept between calls
// and re-made only when their size changes.
#pragma once

#include <memory>

#include "display/PictureBuffer.h"

namespace quellor::clipviewer {

class ClipViewer;
struct LoadedPicture;
struct ViewerState;

class ClipboardDisplay {
 public:
  void Render(ClipViewer& viewer);

 private:
  // Each returns false when there is nothing to show (the frame is kept).
  bool RenderBitmap(HWND owner, const ViewerState& state, PictureBuffer& working);
  bool RenderMetafile(HWND owner, PictureBuffer& working);
  bool RenderText(HWND owner, PictureBuffer& working);
  static bool RenderLoadedPicture(const LoadedPicture& loaded, const ViewerState& state,
                                  PictureBuffer& working);
  PictureBuffer& WorkingPicture(const PictureBuffer& output);

  std::unique_ptr<PictureBuffer> bitmap_;   // the clipboard's bitmap at its own size
  std::unique_ptr<PictureBuffer> working_;  // rendered before the de-interlace filter
};

}  // namespace quellor::clipviewer
