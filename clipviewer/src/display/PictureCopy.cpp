#include "display/PictureCopy.h"

#include <algorithm>

namespace quellor::clipviewer {
namespace {

void SetRegion(const PictureBuffer& picture, int x, int y, int w, int h) {
  iplSetROI(picture.Image()->roi, 0, x, y, w, h);
}

void ResetRegion(const PictureBuffer& picture) {
  SetRegion(picture, 0, 0, picture.Width(), picture.Height());
}

}  // namespace

bool ClipCopyRegion(int dstWidth, int dstHeight, int srcWidth, int srcHeight, CopyRegion& r) {
  if (r.w < 0 || r.h < 0) {
    r.w = srcWidth;
    r.h = srcHeight;
  }
  if (r.x < 0) {
    r.w += r.x;
    r.sx -= r.x;
    r.x = 0;
  }
  if (r.y < 0) {
    r.h += r.y;
    r.sy -= r.y;
    r.y = 0;
  }
  if (r.sx < 0) {
    r.w += r.sx;
    r.x -= r.sx;
    r.sx = 0;
  }
  if (r.sy < 0) {
    r.h += r.sy;
    r.y -= r.sy;
    r.sy = 0;
  }
  if (r.x >= dstWidth || r.y >= dstHeight || r.sx >= srcWidth || r.sy >= srcHeight) return false;
  r.w = std::min({r.w, dstWidth - r.x, srcWidth - r.sx});
  r.h = std::min({r.h, dstHeight - r.y, srcHeight - r.sy});
  return r.w > 0 && r.h > 0;
}

void CopyOneToOne(const PictureBuffer& source, int srcWidth, int srcHeight,
                  PictureBuffer& destination, CopyRegion region) {
  if (source.Empty() || destination.Empty()) return;
  srcWidth = std::min(srcWidth, source.Width());
  srcHeight = std::min(srcHeight, source.Height());
  if (!ClipCopyRegion(destination.Width(), destination.Height(), srcWidth, srcHeight, region))
    return;
  SetRegion(source, region.sx, region.sy, region.w, region.h);
  SetRegion(destination, region.x, region.y, region.w, region.h);
  iplCopy(source.Image(), destination.Image());
  ResetRegion(source);
  ResetRegion(destination);
}

void CentreOneToOne(const PictureBuffer& source, int srcWidth, int srcHeight,
                    PictureBuffer& destination) {
  destination.Clear();
  CopyRegion region;
  // C++ division rounds towards zero, as the placement wants.
  region.x = (destination.Width() - srcWidth) / 2;
  region.y = (destination.Height() - srcHeight) / 2;
  CopyOneToOne(source, srcWidth, srcHeight, destination, region);
}

void StretchToFill(const PictureBuffer& source, int srcWidth, int srcHeight,
                   PictureBuffer& destination) {
  if (source.Empty() || destination.Empty() || srcWidth <= 0 || srcHeight <= 0) return;
  srcWidth = std::min(srcWidth, source.Width());
  srcHeight = std::min(srcHeight, source.Height());
  SetRegion(source, 0, 0, srcWidth, srcHeight);
  iplResize(source.Image(), destination.Image(), destination.Width(), srcWidth,
            destination.Height(), srcHeight, IPL_INTER_LINEAR);
  ResetRegion(source);
}

}  // namespace quellor::clipviewer
