#include "display/PictureBuffer.h"

#include <cstring>

#include "display/DisplayTexts.h"

namespace quellor::clipviewer {

PictureBuffer::PictureBuffer(int width, int height)
    : width_(RoundedPictureWidth(width)), height_(height) {
  if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide)
    throw kCannotGetDibSection;
  try {
    dc_ = CreateCompatibleDC(nullptr);  // the display's: 32 bits a pixel
    if (dc_ == nullptr) throw kCannotAllocateDc;

    IplROI* roi = iplCreateROI(0, 0, 0, width_, height_);
    if (roi == nullptr) throw kCannotGetRoi;
    image_ =
        iplCreateImageHeader(4, 0, IPL_DEPTH_8U, "RGB", "BGRA", IPL_DATA_ORDER_PIXEL, IPL_ORIGIN_TL,
                             IPL_ALIGN_QWORD, width_, height_, roi, nullptr, nullptr, nullptr);
    if (image_ == nullptr) {
      iplDeleteROI(roi);
      throw kCannotCreateImageHeader;
    }
    if (image_->nChannels != 4 || image_->alphaChannel != 0) throw kInvalidImageHeader;

    header_.biSize = sizeof header_;
    header_.biWidth = width_;
    header_.biHeight = -height_;  // rows top-down
    header_.biPlanes = 1;
    header_.biBitCount = 32;
    header_.biCompression = BI_RGB;
    header_.biSizeImage = static_cast<DWORD>(RowBytes() * static_cast<std::size_t>(height_));
    BITMAPINFO info = {};
    info.bmiHeader = header_;
    void* bits = nullptr;
    section_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section_ == nullptr || bits == nullptr) throw kCannotGetDibSection;
    bits_ = static_cast<std::uint8_t*>(bits);
    previousBitmap_ = SelectObject(dc_, section_);

    // The header describes the DIB's own bits; it never owns them.
    image_->imageData = reinterpret_cast<char*>(bits_);
    image_->imageDataOrigin = reinterpret_cast<char*>(bits_);
    if (image_->roi == nullptr || image_->widthStep != static_cast<int>(RowBytes()))
      throw kCannotGetRoi;
  } catch (...) {
    Release();
    throw;
  }
}

PictureBuffer::~PictureBuffer() {
  Release();
}

void PictureBuffer::Release() {
  if (image_ != nullptr) {
    image_->imageData = nullptr;
    image_->imageDataOrigin = nullptr;
    iplDeallocate(image_, IPL_IMAGE_HEADER | IPL_IMAGE_ROI);
    image_ = nullptr;
  }
  if (dc_ != nullptr) {
    if (previousBitmap_ != nullptr) SelectObject(dc_, previousBitmap_);
    DeleteDC(dc_);
    dc_ = nullptr;
  }
  if (section_ != nullptr) DeleteObject(section_);
  section_ = nullptr;
  previousBitmap_ = nullptr;
  bits_ = nullptr;
  width_ = height_ = 0;
}

void PictureBuffer::Clear() {
  if (bits_ != nullptr) std::memset(bits_, 0, RowBytes() * static_cast<std::size_t>(height_));
}

}  // namespace quellor::clipviewer
