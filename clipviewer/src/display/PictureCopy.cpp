#include "display/PictureCopy.h"

#include <algorithm>

namespace quellor::clipviewer {
namespace {

void SetRegion(IplImage* image, int x, int y, int w, int h) {
  iplSetROI(image->roi, 0, x, y, w, h);
}

void ResetRegion(IplImage* image) {
  SetRegion(image, 0, 0, image->width, image->height);
}

bool Usable(const SourcePicture& source) {
  return source.image != nullptr && source.image->roi != nullptr && source.width > 0 &&
         source.height > 0 && source.width <= source.image->width &&
         source.height <= source.image->height;
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

void CopyOneToOne(const SourcePicture& source, PictureBuffer& destination, CopyRegion region) {
  if (!Usable(source) || destination.Empty()) return;
  if (!ClipCopyRegion(destination.Width(), destination.Height(), source.width, source.height,
                      region))
    return;
  SetRegion(source.image, region.sx, region.sy, region.w, region.h);
  SetRegion(destination.Image(), region.x, region.y, region.w, region.h);
  iplCopy(source.image, destination.Image());
  ResetRegion(source.image);
  ResetRegion(destination.Image());
}

void CentreOneToOne(const SourcePicture& source, PictureBuffer& destination) {
  destination.Clear();
  CopyRegion region;
  // C++ division rounds towards zero, as the placement wants.
  region.x = (destination.Width() - source.width) / 2;
  region.y = (destination.Height() - source.height) / 2;
  CopyOneToOne(source, destination, region);
}

void StretchToFill(const SourcePicture& source, PictureBuffer& destination) {
  if (!Usable(source) || destination.Empty()) return;
  SetRegion(source.image, 0, 0, source.width, source.height);
  iplResize(source.image, destination.Image(), destination.Width(), source.width,
            destination.Height(), source.height, IPL_INTER_LINEAR);
  ResetRegion(source.image);
}

}  // namespace quellor::clipviewer
