#include "display/DibView.h"

namespace quellor::clipviewer {

DibView::~DibView() {
  if (image_ == nullptr) return;
  image_->imageData = nullptr;
  image_->imageDataOrigin = nullptr;
  iplDeallocate(image_, IPL_IMAGE_HEADER | IPL_IMAGE_ROI);
}

bool DibView::Attach(HBITMAP bitmap) {
  DIBSECTION section = {};
  if (image_ != nullptr || bitmap == nullptr ||
      GetObjectA(bitmap, sizeof section, &section) != static_cast<int>(sizeof section))
    return false;
  const BITMAPINFOHEADER& header = section.dsBmih;
  const int width = section.dsBm.bmWidth;
  const int height = section.dsBm.bmHeight;
  if (section.dsBm.bmBits == nullptr || header.biBitCount != 32 || header.biCompression != BI_RGB ||
      header.biHeight >= 0 || width <= 0 || height <= 0 || width > kMaxPictureSide ||
      height > kMaxPictureSide || section.dsBm.bmWidthBytes != width * 4)
    return false;
  IplROI* roi = iplCreateROI(0, 0, 0, width, height);
  if (roi == nullptr) return false;
  image_ =
      iplCreateImageHeader(4, 0, IPL_DEPTH_8U, "RGB", "BGRA", IPL_DATA_ORDER_PIXEL, IPL_ORIGIN_TL,
                           IPL_ALIGN_DWORD, width, height, roi, nullptr, nullptr, nullptr);
  if (image_ == nullptr) {
    iplDeleteROI(roi);
    return false;
  }
  if (image_->widthStep != width * 4) {
    iplDeallocate(image_, IPL_IMAGE_HEADER | IPL_IMAGE_ROI);
    image_ = nullptr;
    return false;
  }
  image_->imageData = static_cast<char*>(section.dsBm.bmBits);
  image_->imageDataOrigin = image_->imageData;
  width_ = width;
  height_ = height;
  return true;
}

}  // namespace quellor::clipviewer
