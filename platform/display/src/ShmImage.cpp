#include "ShmImage.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>

#include "XErrors.h"

namespace quellor::display {

ShmImage::~ShmImage() {
  Release();
}

void ShmImage::Release() {
  if (!image_) return;
  if (shared_) {
    XShmDetach(display_, &segment_);
    XSync(display_, False);
    shmdt(segment_.shmaddr);
  } else {
    std::free(image_->data);
    image_->data = nullptr;
  }
  XDestroyImage(image_);
  image_ = nullptr;
  shared_ = false;
  busy_ = false;
  width_ = height_ = 0;
}

bool ShmImage::Allocate(Display* display, Visual* visual, int width, int height, bool useShm) {
  Release();
  display_ = display;
  if (useShm) {
    image_ = XShmCreateImage(display, visual, 24, ZPixmap, nullptr, &segment_, unsigned(width),
                             unsigned(height));
    if (image_) {
      segment_.shmid =
          shmget(IPC_PRIVATE, size_t(image_->bytes_per_line) * size_t(height), IPC_CREAT | 0600);
      if (segment_.shmid >= 0) {
        segment_.shmaddr = image_->data = static_cast<char*>(shmat(segment_.shmid, nullptr, 0));
        // Marked for removal now: the segment goes when both sides detach,
        // even if this process dies.
        shmctl(segment_.shmid, IPC_RMID, nullptr);
        if (segment_.shmaddr != reinterpret_cast<char*>(-1)) {
          segment_.readOnly = False;
          // XShmAttach fails asynchronously (BadAccess on a remote
          // server): the error arrives during the sync that follows it.
          const unsigned long attachSerial = NextRequest(display);
          const Status attached = XShmAttach(display, &segment_);
          XSync(display, False);
          if (attached && !FailedSince(display, attachSerial)) {
            shared_ = true;
            width_ = width;
            height_ = height;
            return true;
          }
          shmdt(segment_.shmaddr);
        }
      }
      image_->data = nullptr;
      XDestroyImage(image_);
      image_ = nullptr;
    }
  }
  image_ = XCreateImage(display, visual, 24, ZPixmap, 0, nullptr, unsigned(width), unsigned(height),
                        32, 0);
  if (!image_) return false;
  image_->data = static_cast<char*>(std::calloc(size_t(image_->bytes_per_line), size_t(height)));
  if (!image_->data) {
    XDestroyImage(image_);
    image_ = nullptr;
    return false;
  }
  width_ = width;
  height_ = height;
  return true;
}

void ShmImage::Put(Drawable drawable, GC gc, int x, int y, int width, int height) {
  if (!image_ || width <= 0 || height <= 0) return;
  if (shared_) {
    // The completion event tells when the server has read the segment.
    XShmPutImage(display_, drawable, gc, image_, x, y, x, y, unsigned(width), unsigned(height),
                 True);
    busy_ = true;
  } else {
    XPutImage(display_, drawable, gc, image_, x, y, x, y, unsigned(width), unsigned(height));
  }
}

}  // namespace quellor::display
