// Image headers, regions of interest and the per-thread status.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "ImageRegion.h"
#include "imaging/ImageLibrary.h"

namespace quellor::imaging {
namespace {

thread_local IplStatus lastStatus = IPL_StsOk;

// Largest imageSize: the field is an int.
constexpr std::int64_t kMaxImageBytes = 0x7fffffff;

void CopyName(char (&field)[4], const char* name) {
  std::memset(field, 0, sizeof field);
  if (name != nullptr) std::memcpy(field, name, strnlen(name, sizeof field));
}

bool ServedLayout(const IplImage& image) {
  return image.depth == IPL_DEPTH_8U && image.dataOrder == IPL_DATA_ORDER_PIXEL &&
         image.origin == IPL_ORIGIN_TL && image.nChannels >= 1 && image.nChannels <= 4 &&
         image.maskROI == nullptr && image.tileInfo == nullptr;
}

}  // namespace

void SetStatus(IplStatus status) {
  lastStatus = status;
}

bool ResolveRegion(const IplImage* image, ImageRegion& region) {
  if (image == nullptr) {
    SetStatus(IPL_StsNullPtr);
    return false;
  }
  if (!ServedLayout(*image)) {
    SetStatus(IPL_StsUnsupported);
    return false;
  }
  int x = 0, y = 0, width = image->width, height = image->height;
  if (const IplROI* roi = image->roi) {
    if (roi->coi != 0 || roi->xOffset < 0 || roi->yOffset < 0 || roi->width < 0 ||
        roi->height < 0 || roi->xOffset > image->width - roi->width ||
        roi->yOffset > image->height - roi->height) {
      SetStatus(IPL_StsBadRoi);
      return false;
    }
    x = roi->xOffset;
    y = roi->yOffset;
    width = roi->width;
    height = roi->height;
  }
  if (width > 0 && height > 0 && image->imageData == nullptr) {
    SetStatus(IPL_StsNullPtr);
    return false;
  }
  // A caller may have laid the header over other memory: rows must still
  // hold their pixels, or row steps would run pixels into each other.
  if (image->widthStep < image->width * image->nChannels) {
    SetStatus(IPL_StsBadArg);
    return false;
  }
  region.channels = image->nChannels;
  region.stride = image->widthStep;
  region.x = x;
  region.y = y;
  region.width = width;
  region.height = height;
  region.pictureWidth = image->width;
  region.pictureHeight = image->height;
  region.pixels = reinterpret_cast<std::uint8_t*>(image->imageData);
  if (region.pixels != nullptr) {
    region.pixels += static_cast<std::ptrdiff_t>(y) * region.stride +
                     static_cast<std::ptrdiff_t>(x) * region.channels;
  }
  return true;
}

bool RegionsOverlap(const ImageRegion& a, const ImageRegion& b) {
  if (a.Empty() || b.Empty()) return false;
  const std::uint8_t* aEnd = a.Row(a.height - 1) + a.width * a.channels;
  const std::uint8_t* bEnd = b.Row(b.height - 1) + b.width * b.channels;
  return a.pixels < bEnd && b.pixels < aEnd;
}

}  // namespace quellor::imaging

using quellor::imaging::SetStatus;

extern "C" IplImage* iplCreateImageHeader(int nChannels, int alphaChannel, int depth,
                                          const char* colorModel, const char* channelSeq,
                                          int dataOrder, int origin, int align, int width,
                                          int height, IplROI* roi, IplImage* maskROI, void* imageId,
                                          void* tileInfo) {
  if (nChannels < 1 || nChannels > 4 || alphaChannel < 0 || alphaChannel > nChannels ||
      (align != IPL_ALIGN_DWORD && align != IPL_ALIGN_QWORD) || width < 0 || height < 0 ||
      width > IPL_MAX_SIDE || height > IPL_MAX_SIDE) {
    SetStatus(IPL_StsBadArg);
    return nullptr;
  }
  if (depth != IPL_DEPTH_8U || dataOrder != IPL_DATA_ORDER_PIXEL || origin != IPL_ORIGIN_TL ||
      maskROI != nullptr || tileInfo != nullptr) {
    SetStatus(IPL_StsUnsupported);
    return nullptr;
  }
  const std::int64_t rowBytes = static_cast<std::int64_t>(width) * nChannels;
  const std::int64_t widthStep = (rowBytes + align - 1) / align * align;
  if (widthStep * height > quellor::imaging::kMaxImageBytes) {
    SetStatus(IPL_StsBadArg);
    return nullptr;
  }
  auto* image = static_cast<IplImage*>(std::calloc(1, sizeof(IplImage)));
  if (image == nullptr) {
    SetStatus(IPL_StsNoMem);
    return nullptr;
  }
  image->nSize = sizeof(IplImage);
  image->nChannels = nChannels;
  image->alphaChannel = alphaChannel;
  image->depth = depth;
  quellor::imaging::CopyName(image->colorModel, colorModel);
  quellor::imaging::CopyName(image->channelSeq, channelSeq);
  image->dataOrder = dataOrder;
  image->origin = origin;
  image->align = align;
  image->width = width;
  image->height = height;
  image->roi = roi;
  image->imageId = imageId;
  image->widthStep = static_cast<int>(widthStep);
  image->imageSize = static_cast<int>(widthStep * height);
  SetStatus(IPL_StsOk);
  return image;
}

extern "C" void iplAllocateImage(IplImage* image, int doFill, int fillValue) {
  if (image == nullptr) {
    SetStatus(IPL_StsNullPtr);
    return;
  }
  if (image->ownsData) std::free(image->imageDataOrigin);
  image->imageData = image->imageDataOrigin = nullptr;
  image->ownsData = 0;
  // One byte at least, so an empty picture still gets a valid pointer.
  auto* pixels = static_cast<char*>(std::malloc(image->imageSize > 0 ? image->imageSize : 1));
  if (pixels == nullptr) {
    SetStatus(IPL_StsNoMem);
    return;
  }
  if (doFill) std::memset(pixels, fillValue & 0xff, image->imageSize);
  image->imageData = image->imageDataOrigin = pixels;
  image->ownsData = 1;
  SetStatus(IPL_StsOk);
}

extern "C" void iplDeallocate(IplImage* image, int flag) {
  SetStatus(IPL_StsOk);
  if (image == nullptr) return;
  if (flag & IPL_IMAGE_ROI) {
    std::free(image->roi);
    image->roi = nullptr;
  }
  if (flag & IPL_IMAGE_DATA) {
    if (image->ownsData) std::free(image->imageDataOrigin);
    image->imageData = image->imageDataOrigin = nullptr;
    image->ownsData = 0;
  }
  if (flag & IPL_IMAGE_HEADER) {
    // Library-made pixels go with their header rather than leak.
    if (image->ownsData) std::free(image->imageDataOrigin);
    std::free(image);
  }
}

extern "C" IplROI* iplCreateROI(int coi, int xOffset, int yOffset, int width, int height) {
  auto* roi = static_cast<IplROI*>(std::malloc(sizeof(IplROI)));
  if (roi == nullptr) {
    SetStatus(IPL_StsNoMem);
    return nullptr;
  }
  *roi = IplROI{coi, xOffset, yOffset, width, height};
  SetStatus(IPL_StsOk);
  return roi;
}

extern "C" void iplSetROI(IplROI* roi, int coi, int xOffset, int yOffset, int width, int height) {
  if (roi == nullptr) {
    SetStatus(IPL_StsNullPtr);
    return;
  }
  *roi = IplROI{coi, xOffset, yOffset, width, height};
  SetStatus(IPL_StsOk);
}

extern "C" void iplDeleteROI(IplROI* roi) {
  std::free(roi);
  SetStatus(IPL_StsOk);
}

extern "C" IplStatus iplGetErrStatus(void) {
  return quellor::imaging::lastStatus;
}
