// Moving pixels between pictures: the 1-to-1 copy with clipping, the
// centred 1-to-1 placement on black and the stretch that fills a picture.
// Each works through regions of interest on the pictures' image headers and
// puts the regions back to the whole pictures afterwards.
#pragma once

#include "display/PictureBuffer.h"

namespace quellor::clipviewer {

// A picture to copy from: its image header and its own size (a picture's
// padding columns beyond width are never read).
struct SourcePicture {
  IplImage* image = nullptr;
  int width = 0;
  int height = 0;
};
inline SourcePicture WholeOf(const PictureBuffer& picture, int width, int height) {
  return {picture.Image(), width, height};
}

// A copy of w x h pixels from (sx, sy) of the source to (x, y) of the
// destination.
struct CopyRegion {
  int x = 0, y = 0;    // destination offset
  int sx = 0, sy = 0;  // source offset
  int w = -1, h = -1;  // negative: the whole source
};

// Clips `region` to a destination of dstWidth x dstHeight and a source of
// srcWidth x srcHeight pixels: a negative destination offset shrinks the size
// and moves the source offset by the same amount, a negative source offset
// does the converse, and the size is cut to fit both. False (nothing to
// copy) when the result is empty or starts outside either picture.
bool ClipCopyRegion(int dstWidth, int dstHeight, int srcWidth, int srcHeight, CopyRegion& region);

// Copies with clipping.
void CopyOneToOne(const SourcePicture& source, PictureBuffer& destination, CopyRegion region);

// Clears the destination to black and copies the source so that its centre
// meets the destination's: offsets (destination - source) / 2, rounded
// towards zero. A source larger than the destination shows its centre part.
void CentreOneToOne(const SourcePicture& source, PictureBuffer& destination);

// Stretches the source over the whole destination (bilinear).
void StretchToFill(const SourcePicture& source, PictureBuffer& destination);

}  // namespace quellor::clipviewer
