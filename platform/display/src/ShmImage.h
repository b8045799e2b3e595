// A window-sized 32-bit image for XPutImage, in shared memory (MIT-SHM) when
// the server is local and offers it, else in ordinary memory.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

namespace quellor::display {

class ShmImage {
 public:
  ShmImage() = default;
  ShmImage(const ShmImage&) = delete;
  ShmImage& operator=(const ShmImage&) = delete;
  ~ShmImage();

  // (Re)allocates for width x height; false when neither form can be had.
  bool Allocate(Display* display, Visual* visual, int width, int height, bool useShm);
  void Release();
  // Puts the part `area` of the image at the same place in the drawable.
  // A shared image is busy from then until the server's completion event
  // (Completed) or a sync (Released): its pixels must not be written before.
  void Put(Drawable drawable, GC gc, int x, int y, int width, int height);
  bool Busy() const { return busy_; }
  void Completed() { busy_ = false; }
  ShmSeg Segment() const { return shared_ ? segment_.shmseg : 0; }

  char* Pixels() const { return image_ ? image_->data : nullptr; }
  int Stride() const { return image_ ? image_->bytes_per_line : 0; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Shared() const { return shared_; }

 private:
  Display* display_ = nullptr;
  XImage* image_ = nullptr;
  XShmSegmentInfo segment_{};
  bool shared_ = false;
  bool busy_ = false;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace quellor::display
