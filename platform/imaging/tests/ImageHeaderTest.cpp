// Image headers and regions of interest: layout arithmetic, headers over the
// caller's memory (no copies), region checks and copies between regions.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TestPictures.h"
#include "imaging/ImageLibrary.h"

namespace quellor::imaging::testing {
namespace {

IplImage* BgraHeader(int width, int height, IplROI* roi = nullptr) {
  return iplCreateImageHeader(4, 0, IPL_DEPTH_8U, "RGB", "BGRA", IPL_DATA_ORDER_PIXEL,
                              IPL_ORIGIN_TL, IPL_ALIGN_QWORD, width, height, roi, nullptr, nullptr,
                              nullptr);
}

TEST(ImageHeader, RowsAreAlignedAndSizedFromTheArguments) {
  IplImage* image =
      iplCreateImageHeader(3, 0, IPL_DEPTH_8U, "RGB", "BGR", IPL_DATA_ORDER_PIXEL, IPL_ORIGIN_TL,
                           IPL_ALIGN_QWORD, 5, 7, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->widthStep, 16);  // 15 bytes rounded up to 8
  EXPECT_EQ(image->imageSize, 16 * 7);
  EXPECT_EQ(image->imageData, nullptr);
  EXPECT_EQ(std::string(image->channelSeq, 3), "BGR");
  iplDeallocate(image, IPL_IMAGE_ALL);

  image =
      iplCreateImageHeader(4, 0, IPL_DEPTH_8U, "RGB", "BGRA", IPL_DATA_ORDER_PIXEL, IPL_ORIGIN_TL,
                           IPL_ALIGN_DWORD, 3, 2, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->widthStep, 12);
  EXPECT_EQ(image->nChannels, 4);
  EXPECT_EQ(image->alphaChannel, 0);
  iplDeallocate(image, IPL_IMAGE_ALL);
}

TEST(ImageHeader, EmptyPictureIsAValidHeader) {
  IplImage* image = BgraHeader(0, 0);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->imageSize, 0);
  Picture source = MakePicture(4, 4);
  iplCopy(source.get(), image);  // nothing to copy, nothing touched
  EXPECT_EQ(iplGetErrStatus(), IPL_StsOk);
  iplDeallocate(image, IPL_IMAGE_ALL);
}

TEST(ImageHeader, BadArgumentsGiveNoHeaderAndAStatus) {
  const struct {
    int channels, depth, align, width, height;
    IplStatus status;
  } cases[] = {
      {0, IPL_DEPTH_8U, 8, 4, 4, IPL_StsBadArg},
      {5, IPL_DEPTH_8U, 8, 4, 4, IPL_StsBadArg},
      {4, IPL_DEPTH_8U, 3, 4, 4, IPL_StsBadArg},
      {4, IPL_DEPTH_8U, 8, -1, 4, IPL_StsBadArg},
      {4, IPL_DEPTH_8U, 8, 4, IPL_MAX_SIDE + 1, IPL_StsBadArg},
      {4, IPL_DEPTH_8U, 8, 65536, 65536, IPL_StsBadArg},  // 16 GiB: past an int's bytes
      {4, 16, 8, 4, 4, IPL_StsUnsupported},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(iplCreateImageHeader(c.channels, 0, c.depth, "RGB", "BGRA", IPL_DATA_ORDER_PIXEL,
                                   IPL_ORIGIN_TL, c.align, c.width, c.height, nullptr, nullptr,
                                   nullptr, nullptr),
              nullptr)
        << c.channels << " " << c.depth << " " << c.width << "x" << c.height;
    EXPECT_EQ(iplGetErrStatus(), c.status);
  }
  int notAMask = 0;
  EXPECT_EQ(
      iplCreateImageHeader(4, 0, IPL_DEPTH_8U, "RGB", "BGRA", IPL_DATA_ORDER_PIXEL, IPL_ORIGIN_TL,
                           IPL_ALIGN_QWORD, 4, 4, nullptr, nullptr, nullptr, &notAMask),
      nullptr);
}

// A header laid over memory the caller owns, as over a DIB section's bits:
// writes through a region land in that memory, at the region's place, and
// freeing everything leaves the memory alone.
TEST(ImageHeader, WritesThroughARegionLandInTheCallersMemory) {
  constexpr int kWidth = 8, kHeight = 6;
  std::vector<std::uint8_t> bits(kWidth * 4 * kHeight, 0x11);
  IplROI* roi = iplCreateROI(0, 0, 0, kWidth, kHeight);
  IplImage* frame = BgraHeader(kWidth, kHeight, roi);
  ASSERT_NE(frame, nullptr);
  frame->imageData = frame->imageDataOrigin = reinterpret_cast<char*>(bits.data());

  Picture patch = MakePicture(3, 2, 4, 0xAB);
  iplSetROI(roi, 0, 4, 3, 3, 2);
  iplCopy(patch.get(), frame);
  EXPECT_EQ(iplGetErrStatus(), IPL_StsOk);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const bool inside = x >= 4 && x < 7 && y >= 3 && y < 5;
      EXPECT_EQ(bits[(y * kWidth + x) * 4 + 2], inside ? 0xAB : 0x11) << x << "," << y;
    }
  }
  iplDeallocate(frame, IPL_IMAGE_ALL);  // frees header and ROI, never the caller's bits
  EXPECT_EQ(bits[0], 0x11);
}

TEST(ImageHeader, RegionsOutsideThePictureAreRefusedAndNothingIsWritten) {
  Picture source = MakePicture(4, 4, 4, 0xFF);
  Picture target = MakePicture(6, 5, 4, 0x00);
  const IplROI bad[] = {
      {0, -1, 0, 2, 2}, {0, 0, -1, 2, 2}, {0, 5, 0, 2, 2}, {0, 0, 4, 2, 2},
      {0, 0, 0, 7, 1},  {0, 0, 0, -2, 1}, {1, 0, 0, 2, 2}};  // a channel of interest is not served
  for (const IplROI& roi : bad) {
    IplROI copy = roi;
    target->roi = &copy;
    iplCopy(source.get(), target.get());
    EXPECT_EQ(iplGetErrStatus(), IPL_StsBadRoi) << roi.xOffset << "," << roi.yOffset;
    target->roi = nullptr;
  }
  for (int i = 0; i < target->imageSize; ++i) ASSERT_EQ(target->imageData[i], 0);
}

TEST(ImageHeader, NullsAndMismatchedPicturesAreRefused) {
  Picture four = MakePicture(4, 4, 4);
  Picture three = MakePicture(4, 4, 3);
  iplCopy(nullptr, four.get());
  EXPECT_EQ(iplGetErrStatus(), IPL_StsNullPtr);
  iplCopy(three.get(), four.get());
  EXPECT_EQ(iplGetErrStatus(), IPL_StsUnsupported);
  IplImage* noPixels = BgraHeader(4, 4);
  iplCopy(four.get(), noPixels);
  EXPECT_EQ(iplGetErrStatus(), IPL_StsNullPtr);
  iplDeallocate(noPixels, IPL_IMAGE_ALL);
  iplDeallocate(nullptr, IPL_IMAGE_ALL);
  four->widthStep = 12;  // rows narrower than their 16 bytes of pixels
  iplCopy(four.get(), four.get());
  EXPECT_EQ(iplGetErrStatus(), IPL_StsBadArg);
  iplSetROI(nullptr, 0, 0, 0, 1, 1);
  EXPECT_EQ(iplGetErrStatus(), IPL_StsNullPtr);
}

// A bitmap larger than the frame copied 1-to-1 with its centre on the frame's
// centre: a region of the bitmap into the whole frame.
TEST(ImageCopy, CopiesTheSmallerOfTheTwoRegions) {
  Picture bitmap = MakePicture(10, 8);
  FillPattern(bitmap.get(), 7);
  Picture frame = MakePicture(6, 4);
  IplROI middle{0, 2, 2, 6, 4};
  bitmap->roi = &middle;
  iplCopy(bitmap.get(), frame.get());
  bitmap->roi = nullptr;
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 6; ++x) {
      for (int c = 0; c < 4; ++c) {
        ASSERT_EQ(At(frame.get(), x, y, c), At(bitmap.get(), x + 2, y + 2, c));
      }
    }
  }
}

TEST(ImageCopy, OverlappingRegionsOfOnePictureCopyAsThroughATemporary) {
  for (const int shift : {1, -1}) {
    Picture picture = MakePicture(9, 7);
    FillPattern(picture.get(), 3);
    Picture before = MakePicture(9, 7);
    iplCopy(picture.get(), before.get());
    // The same memory seen through two headers with their own regions.
    IplImage alias = *picture;
    IplROI from{0, 2, 2, 5, 4}, to{0, 2 + shift, 2 + shift, 5, 4};
    picture->roi = &from;
    alias.roi = &to;
    alias.ownsData = 0;
    iplCopy(picture.get(), &alias);
    picture->roi = nullptr;
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 5; ++x) {
        ASSERT_EQ(At(picture.get(), x + 2 + shift, y + 2 + shift, 1),
                  At(before.get(), x + 2, y + 2, 1))
            << "shift " << shift << " at " << x << "," << y;
      }
    }
  }
}

}  // namespace
}  // namespace quellor::imaging::testing
