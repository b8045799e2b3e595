// JPEG reading: pictures made here with libjpeg's compressor (1, 3 and 4
// components) decoded into BGRA and other layouts, and every way a file can
// be bad, each a result and a message rather than an abort.
#include <gtest/gtest.h>

#include <jpeglib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TestPictures.h"
#include "imaging/JpegLibrary.h"

namespace quellor::imaging::testing {
namespace {

// A smooth colour picture: red grows across, green down, blue is fixed.
std::vector<std::uint8_t> RgbPicture(int width, int height) {
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* pixel = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
      pixel[0] = static_cast<std::uint8_t>(x * 255 / std::max(1, width - 1));
      pixel[1] = static_cast<std::uint8_t>(y * 255 / std::max(1, height - 1));
      pixel[2] = 60;
    }
  }
  return rgb;
}

struct Decoded {
  IJLERR result;
  std::string error;
  JPEG_CORE_PROPERTIES props;
};

// Reads the parameters, then the whole picture into pixels laid out as asked.
Decoded DecodeInto(const std::vector<std::uint8_t>& jpeg, std::vector<std::uint8_t>& pixels,
                   IJL_COLOR colour, int channels, int padBytes = 0, bool bottomUp = false) {
  Decoded decoded{};
  ijlInit(&decoded.props);
  decoded.props.JPGBytes = jpeg.data();
  decoded.props.JPGSizeBytes = jpeg.size();
  decoded.result = ijlRead(&decoded.props, IJL_JBUFF_READPARAMS);
  if (decoded.result == IJL_OK) {
    const int width = decoded.props.JPGWidth, height = decoded.props.JPGHeight;
    pixels.assign(static_cast<std::size_t>(width * channels + padBytes) * height, 0xCD);
    decoded.props.DIBBytes = pixels.data();
    decoded.props.DIBWidth = width;
    decoded.props.DIBHeight = bottomUp ? -height : height;
    decoded.props.DIBPadBytes = padBytes;
    decoded.props.DIBChannels = channels;
    decoded.props.DIBColor = colour;
    decoded.result = ijlRead(&decoded.props, IJL_JBUFF_READWHOLEIMAGE);
  }
  decoded.error = decoded.props.ErrorText;
  ijlFree(&decoded.props);
  return decoded;
}

int LargestDifference(const std::vector<std::uint8_t>& rgb, const std::vector<std::uint8_t>& bgra,
                      int pixels) {
  int largest = 0;
  for (int i = 0; i < pixels; ++i) {
    for (int c = 0; c < 3; ++c) {
      largest = std::max(largest, std::abs(rgb[i * 3 + c] - bgra[i * 4 + 2 - c]));
    }
  }
  return largest;
}

TEST(JpegRead, ColourPictureIntoBgra) {
  const auto rgb = RgbPicture(64, 48);
  const auto jpeg = EncodeJpeg(rgb, 64, 48, 3, JCS_RGB, 95);
  std::vector<std::uint8_t> bgra;
  const Decoded decoded = DecodeInto(jpeg, bgra, IJL_BGRA, 4);
  ASSERT_EQ(decoded.result, IJL_OK) << decoded.error;
  EXPECT_EQ(decoded.props.JPGWidth, 64);
  EXPECT_EQ(decoded.props.JPGHeight, 48);
  EXPECT_EQ(decoded.props.JPGChannels, 3);
  EXPECT_EQ(decoded.props.JPGColor, IJL_YCBCR);
  EXPECT_LE(LargestDifference(rgb, bgra, 64 * 48), 8);
  for (int i = 0; i < 64 * 48; ++i) ASSERT_EQ(bgra[i * 4 + 3], 255);

  // The order the Part's picture loader asks for: RGBA, swapped by the caller.
  std::vector<std::uint8_t> rgba;
  ASSERT_EQ(DecodeInto(jpeg, rgba, IJL_RGBA, 4).result, IJL_OK);
  for (int i = 0; i < 64 * 48; ++i) ASSERT_EQ(rgba[i * 4], bgra[i * 4 + 2]);
}

TEST(JpegRead, FromAFile) {
  const auto rgb = RgbPicture(64, 48);
  const auto jpeg = EncodeJpeg(rgb, 64, 48, 3, JCS_RGB, 95);
  const char* folder = std::getenv("QUELLOR_TEST_TMP");
  const std::string directory = folder ? folder : "/tmp";
  std::filesystem::create_directories(directory);
  const std::string path = directory + "/imaging-picture.jpg";
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(jpeg.data()), static_cast<std::streamsize>(jpeg.size()));
  JPEG_CORE_PROPERTIES props;
  ijlInit(&props);
  props.JPGFile = path.c_str();
  ASSERT_EQ(ijlRead(&props, IJL_JFILE_READPARAMS), IJL_OK) << props.ErrorText;
  std::vector<std::uint8_t> bgra(64 * 48 * 4);
  props.DIBBytes = bgra.data();
  props.DIBWidth = 64;
  props.DIBHeight = 48;
  ASSERT_EQ(ijlRead(&props, IJL_JFILE_READWHOLEIMAGE), IJL_OK) << props.ErrorText;
  EXPECT_LE(LargestDifference(rgb, bgra, 64 * 48), 8);
  ijlFree(&props);

  ijlInit(&props);
  props.JPGFile = "/nonexistent/picture.jpg";
  EXPECT_EQ(ijlRead(&props, IJL_JFILE_READPARAMS), IJL_CANNOT_OPEN_FILE);
  EXPECT_NE(std::string(props.ErrorText).find("/nonexistent/picture.jpg"), std::string::npos);
  std::remove(path.c_str());
}

TEST(JpegRead, GreyPictureIntoBgraAndGrey) {
  std::vector<std::uint8_t> grey(30 * 20);
  for (std::size_t i = 0; i < grey.size(); ++i)
    grey[i] = static_cast<std::uint8_t>(i * 7 % 256 / 2 + 40);
  const auto jpeg = EncodeJpeg(grey, 30, 20, 1, JCS_GRAYSCALE, 100);
  std::vector<std::uint8_t> bgra;
  const Decoded decoded = DecodeInto(jpeg, bgra, IJL_BGRA, 4);
  ASSERT_EQ(decoded.result, IJL_OK) << decoded.error;
  EXPECT_EQ(decoded.props.JPGChannels, 1);
  EXPECT_EQ(decoded.props.JPGColor, IJL_G);
  std::vector<std::uint8_t> plain;
  ASSERT_EQ(DecodeInto(jpeg, plain, IJL_G, 1).result, IJL_OK);
  for (std::size_t i = 0; i < grey.size(); ++i) {
    ASSERT_EQ(bgra[i * 4], bgra[i * 4 + 1]);
    ASSERT_EQ(bgra[i * 4], bgra[i * 4 + 2]);
    ASSERT_EQ(bgra[i * 4], plain[i]);
    ASSERT_NEAR(plain[i], grey[i], 12) << i;
  }
}

// Adobe-style CMYK (inks stored inverted: 255 is no ink), as print software
// writes it.
TEST(JpegRead, CmykPictureIntoBgra) {
  const auto rgb = RgbPicture(24, 16);
  std::vector<std::uint8_t> cmyk(24 * 16 * 4);
  for (int i = 0; i < 24 * 16; ++i) {
    // No black ink: each ink's inverse is the colour itself.
    for (int c = 0; c < 3; ++c) cmyk[i * 4 + c] = rgb[i * 3 + c];
    cmyk[i * 4 + 3] = 255;
  }
  const auto jpeg = EncodeJpeg(cmyk, 24, 16, 4, JCS_CMYK, 100);
  std::vector<std::uint8_t> bgra;
  const Decoded decoded = DecodeInto(jpeg, bgra, IJL_BGRA, 4);
  ASSERT_EQ(decoded.result, IJL_OK) << decoded.error;
  EXPECT_EQ(decoded.props.JPGChannels, 4);
  EXPECT_EQ(decoded.props.JPGColor, IJL_CMYK);
  EXPECT_LE(LargestDifference(rgb, bgra, 24 * 16), 8);
}

// 641 pixels across in a picture 644 wide: the decoder writes 641 pixels a
// row and skips the padding, which keeps its bytes.
TEST(JpegRead, PaddedAndBottomUpRows) {
  const auto rgb = RgbPicture(641, 3);
  const auto jpeg = EncodeJpeg(rgb, 641, 3, 3, JCS_RGB, 95);
  std::vector<std::uint8_t> padded;
  ASSERT_EQ(DecodeInto(jpeg, padded, IJL_BGRA, 4, 3 * 4).result, IJL_OK);
  std::vector<std::uint8_t> top;
  ASSERT_EQ(DecodeInto(jpeg, top, IJL_BGRA, 4).result, IJL_OK);
  std::vector<std::uint8_t> bottom;
  ASSERT_EQ(DecodeInto(jpeg, bottom, IJL_BGRA, 4, 0, true).result, IJL_OK);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 644 * 4; ++x) {
      const std::uint8_t got = padded[y * 644 * 4 + x];
      if (x >= 641 * 4) {
        ASSERT_EQ(got, 0xCD) << x << "," << y;
      } else {
        ASSERT_EQ(got, top[y * 641 * 4 + x]);
        ASSERT_EQ(bottom[(2 - y) * 641 * 4 + x], top[y * 641 * 4 + x]);
      }
    }
  }
}

// Where the frame header says how big the picture is (height, then width).
std::size_t FrameHeaderAt(const std::vector<std::uint8_t>& jpeg) {
  for (std::size_t i = 0; i + 9 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) return i;
  }
  return 0;
}

std::size_t ScanDataAt(const std::vector<std::uint8_t>& jpeg) {
  for (std::size_t i = 0; i + 3 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) return i + 2 + (jpeg[i + 2] << 8 | jpeg[i + 3]);
  }
  return 0;
}

void SetSize(std::vector<std::uint8_t>& jpeg, int width, int height) {
  const std::size_t frame = FrameHeaderAt(jpeg);
  ASSERT_NE(frame, 0u);
  jpeg[frame + 5] = static_cast<std::uint8_t>(height >> 8);
  jpeg[frame + 6] = static_cast<std::uint8_t>(height);
  jpeg[frame + 7] = static_cast<std::uint8_t>(width >> 8);
  jpeg[frame + 8] = static_cast<std::uint8_t>(width);
}

TEST(JpegRead, BadFilesGiveAResultAndAMessage) {
  const auto good = EncodeJpeg(RgbPicture(64, 64), 64, 64, 3, JCS_RGB, 90);
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    IJLERR expected;
  };
  std::vector<Case> cases;
  cases.push_back({"empty", {}, IJL_INVALID_JPEG});
  cases.push_back({"not a JPEG", {'P', 'N', 'G', 0, 1, 2, 3, 4, 5, 6}, IJL_INVALID_JPEG});
  cases.push_back({"header only", {good.begin(), good.begin() + 20}, IJL_TRUNCATED});
  cases.push_back(
      {"truncated scan", {good.begin(), good.begin() + good.size() / 2}, IJL_TRUNCATED});
  auto marker = good;
  const std::size_t scan = ScanDataAt(marker);
  ASSERT_NE(scan, 0u);
  marker[scan + 40] = 0xFF;  // an end-of-image marker inside the scan data
  marker[scan + 41] = 0xD9;
  cases.push_back({"marker in the scan", marker, IJL_INVALID_JPEG});
  auto wide = good;
  SetSize(wide, IJL_MAX_SIDE + 1, 8);
  cases.push_back({"too wide", wide, IJL_TOO_LARGE});
  auto many = good;
  SetSize(many, IJL_MAX_SIDE, IJL_MAX_SIDE);  // 256 M pixels: 1 GiB of BGRA
  cases.push_back({"too many pixels", many, IJL_TOO_LARGE});
  auto zero = good;
  SetSize(zero, 0, 64);
  cases.push_back({"zero width", zero, IJL_INVALID_JPEG});
  std::vector<std::uint8_t> twoComponents(16 * 16 * 2, 100);
  {
    // Two components: a colour space libjpeg only knows as "unknown".
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = cinfo.image_height = 16;
    cinfo.input_components = 2;
    cinfo.in_color_space = JCS_UNKNOWN;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < 16) {
      JSAMPROW row = twoComponents.data() + cinfo.next_scanline * 32;
      jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    cases.push_back({"two components", {buffer, buffer + size}, IJL_UNSUPPORTED_CHANNELS});
    std::free(buffer);
  }
  for (const Case& c : cases) {
    std::vector<std::uint8_t> pixels;
    const Decoded decoded = DecodeInto(c.bytes, pixels, IJL_BGRA, 4);
    EXPECT_EQ(decoded.result, c.expected) << c.name << ": " << decoded.error;
    EXPECT_FALSE(decoded.error.empty()) << c.name;
    EXPECT_NE(std::string(ijlErrorStr(decoded.result)), "Unknown error");
  }
}

// A progressive file whose last scan repeats 1100 times: each repeat costs a
// pass over the picture, so the reader stops at IJL_MAX_SCANS.
TEST(JpegRead, EndlessScansAreRefused) {
  std::vector<std::uint8_t> grey(32 * 32, 90);
  jpeg_compress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = cinfo.image_height = 32;
  cinfo.input_components = 1;
  cinfo.in_color_space = JCS_GRAYSCALE;
  jpeg_set_defaults(&cinfo);
  jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < 32) {
    JSAMPROW row = grey.data() + cinfo.next_scanline * 32;
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  const std::vector<std::uint8_t> progressive(buffer, buffer + size);
  std::free(buffer);

  std::size_t lastScan = 0;
  for (std::size_t i = 0; i + 1 < progressive.size(); ++i) {
    if (progressive[i] == 0xFF && progressive[i + 1] == 0xDA) lastScan = i;
  }
  ASSERT_NE(lastScan, 0u);
  const std::vector<std::uint8_t> scan(progressive.begin() + static_cast<std::ptrdiff_t>(lastScan),
                                       progressive.end() - 2);  // up to the end marker
  std::vector<std::uint8_t> endless(progressive.begin(), progressive.end() - 2);
  for (int i = 0; i < 1100; ++i) endless.insert(endless.end(), scan.begin(), scan.end());
  endless.push_back(0xFF);
  endless.push_back(0xD9);

  std::vector<std::uint8_t> pixels;
  ASSERT_EQ(DecodeInto(progressive, pixels, IJL_G, 1).result, IJL_OK);
  const Decoded decoded = DecodeInto(endless, pixels, IJL_G, 1);
  EXPECT_EQ(decoded.result, IJL_INVALID_JPEG);
  EXPECT_NE(decoded.error.find("scans"), std::string::npos) << decoded.error;
}

TEST(JpegRead, MisdescribedDestinationsAndRecordsAreRefused) {
  const auto jpeg = EncodeJpeg(RgbPicture(8, 8), 8, 8, 3, JCS_RGB, 90);
  std::vector<std::uint8_t> pixels(8 * 8 * 4, 0x5A);
  JPEG_CORE_PROPERTIES props;
  const auto read = [&](auto change) {
    ijlInit(&props);
    props.JPGBytes = jpeg.data();
    props.JPGSizeBytes = jpeg.size();
    props.DIBBytes = pixels.data();
    props.DIBWidth = props.DIBHeight = 8;
    change();
    return ijlRead(&props, IJL_JBUFF_READWHOLEIMAGE);
  };
  EXPECT_EQ(read([&] { props.DIBWidth = 9; }), IJL_INVALID_DIB);
  EXPECT_EQ(read([&] { props.DIBHeight = 7; }), IJL_INVALID_DIB);
  EXPECT_EQ(read([&] { props.DIBChannels = 3; }), IJL_INVALID_DIB);  // BGRA is 4
  EXPECT_EQ(read([&] { props.DIBColor = IJL_YCBCR; }), IJL_INVALID_DIB);
  EXPECT_EQ(read([&] { props.DIBBytes = nullptr; }), IJL_INVALID_DIB);
  EXPECT_EQ(read([&] { props.DIBPadBytes = -4; }), IJL_INVALID_DIB);
  EXPECT_EQ(read([&] { props.initialised = 0; }), IJL_NOT_INITIALISED);
  EXPECT_EQ(read([&] {}), IJL_OK);
  for (std::size_t i = 0; i < pixels.size(); i += 4) ASSERT_EQ(pixels[i + 3], 255);
  EXPECT_EQ(ijlRead(&props, static_cast<IJLIOTYPE>(9)), IJL_BAD_ARGUMENT);
  props.JPGFile = nullptr;
  EXPECT_EQ(ijlRead(&props, IJL_JFILE_READPARAMS), IJL_BAD_ARGUMENT);
  EXPECT_EQ(ijlRead(nullptr, IJL_JFILE_READPARAMS), IJL_BAD_ARGUMENT);
  EXPECT_EQ(ijlFree(&props), IJL_OK);
  EXPECT_EQ(ijlFree(&props), IJL_OK);
}

}  // namespace
}  // namespace quellor::imaging::testing
