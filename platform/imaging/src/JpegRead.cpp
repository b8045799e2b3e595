// Reads a JPEG through libjpeg-turbo, scanline by scanline, straight into the
// caller's picture. libjpeg reports errors by a long jump back into
// ReadJpeg, so nothing between setjmp and the jump owns a C++ object with a
// destructor: the decompressor, the file and the work row are plain C
// resources released on both paths.
#include "JpegRead.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
#include <quellor/RegularFile.h>

#include "JpegErrors.h"

namespace quellor::imaging {
namespace {

// libjpeg's own working memory (progressive files keep every coefficient).
constexpr long kMaxDecoderMemory = 512L * 1024 * 1024;

IJL_COLOR FileColour(J_COLOR_SPACE space) {
  switch (space) {
    case JCS_GRAYSCALE:
      return IJL_G;
    case JCS_YCbCr:
      return IJL_YCBCR;
    case JCS_RGB:
      return IJL_RGB;
    case JCS_CMYK:
      return IJL_CMYK;
    case JCS_YCCK:
      return IJL_YCCK;
    default:
      return IJL_OTHER;
  }
}

int ChannelsOf(IJL_COLOR colour) {
  switch (colour) {
    case IJL_G:
      return 1;
    case IJL_RGB:
    case IJL_BGR:
      return 3;
    case IJL_RGBA:
    case IJL_BGRA:
      return 4;
    default:
      return 0;
  }
}

J_COLOR_SPACE OutputSpace(IJL_COLOR colour) {
  switch (colour) {
    case IJL_G:
      return JCS_GRAYSCALE;
    case IJL_RGB:
      return JCS_EXT_RGB;
    case IJL_BGR:
      return JCS_EXT_BGR;
    case IJL_RGBA:
      return JCS_EXT_RGBA;
    default:
      return JCS_EXT_BGRA;
  }
}

// Writes one row of decoded CMYK as the destination colour. Adobe's files
// store inverted inks (255 = no ink), and libjpeg hands them over as stored.
void CmykRowToDestination(const JSAMPLE* cmyk, unsigned char* dst, int width, IJL_COLOR colour,
                          bool inverted) {
  const int channels = ChannelsOf(colour);
  for (int x = 0; x < width; ++x, cmyk += 4, dst += channels) {
    int ink[4];
    for (int i = 0; i < 4; ++i) ink[i] = inverted ? cmyk[i] : 255 - cmyk[i];
    // ink[] now holds the "light left" of each ink: red = (1 - C)(1 - K).
    const int red = (ink[0] * ink[3] + 127) / 255;
    const int green = (ink[1] * ink[3] + 127) / 255;
    const int blue = (ink[2] * ink[3] + 127) / 255;
    switch (colour) {
      case IJL_G:
        dst[0] = static_cast<unsigned char>((red * 77 + green * 150 + blue * 29 + 128) >> 8);
        break;
      case IJL_RGB:
      case IJL_RGBA:
        dst[0] = static_cast<unsigned char>(red);
        dst[1] = static_cast<unsigned char>(green);
        dst[2] = static_cast<unsigned char>(blue);
        break;
      default:  // IJL_BGR, IJL_BGRA
        dst[0] = static_cast<unsigned char>(blue);
        dst[1] = static_cast<unsigned char>(green);
        dst[2] = static_cast<unsigned char>(red);
        break;
    }
    if (channels == 4) dst[3] = 255;
  }
}

// Checks the destination the caller described against the picture's size.
IJLERR CheckDestination(JPEG_CORE_PROPERTIES* props) {
  if (props->DIBBytes == nullptr) return JpegFailure(props, IJL_INVALID_DIB, "No picture memory");
  if (ChannelsOf(props->DIBColor) == 0 || ChannelsOf(props->DIBColor) != props->DIBChannels) {
    return JpegFailure(props, IJL_INVALID_DIB,
                       "The picture's colour and channel count do not match");
  }
  const int height = props->DIBHeight < 0 ? -props->DIBHeight : props->DIBHeight;
  if (props->DIBWidth != props->JPGWidth || height != props->JPGHeight || props->DIBPadBytes < 0) {
    return JpegFailure(props, IJL_INVALID_DIB, "The picture's size differs from the JPEG's");
  }
  return IJL_OK;
}

IJLERR CheckParameters(JPEG_CORE_PROPERTIES* props) {
  if (props->JPGWidth > IJL_MAX_SIDE || props->JPGHeight > IJL_MAX_SIDE ||
      static_cast<long long>(props->JPGWidth) * props->JPGHeight > IJL_MAX_PIXELS) {
    char text[IJL_ERROR_TEXT_LENGTH];
    std::snprintf(text, sizeof text,
                  "JPEG of %d x %d pixels is too large (at most %d a side, %d pixels)",
                  props->JPGWidth, props->JPGHeight, IJL_MAX_SIDE, IJL_MAX_PIXELS);
    return JpegFailure(props, IJL_TOO_LARGE, text);
  }
  if (props->JPGChannels != 1 && props->JPGChannels != 3 && props->JPGChannels != 4) {
    char text[IJL_ERROR_TEXT_LENGTH];
    std::snprintf(text, sizeof text, "JPEG of %d components (1, 3 or 4 are read)",
                  props->JPGChannels);
    return JpegFailure(props, IJL_UNSUPPORTED_CHANNELS, text);
  }
  return IJL_OK;
}

// Decodes every scanline into the destination rows. Runs under ReadJpeg's
// setjmp.
void DecodeRows(JPEG_CORE_PROPERTIES* props, jpeg_decompress_struct& cinfo) {
  const bool cmyk = cinfo.num_components == 4;
  cinfo.out_color_space = cmyk ? JCS_CMYK : OutputSpace(props->DIBColor);
  jpeg_start_decompress(&cinfo);
  const std::size_t stride =
      static_cast<std::size_t>(props->DIBWidth) * props->DIBChannels + props->DIBPadBytes;
  const bool bottomUp = props->DIBHeight < 0;
  // The work row for 4-component files lives in libjpeg's pool: freed with it.
  JSAMPARRAY cmykRow = cmyk ? (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo),
                                                         JPOOL_IMAGE, cinfo.output_width * 4, 1)
                            : nullptr;
  while (cinfo.output_scanline < cinfo.output_height) {
    const JDIMENSION row = cinfo.output_scanline;
    unsigned char* dst =
        props->DIBBytes + stride * (bottomUp ? cinfo.output_height - 1 - row : row);
    if (cmyk) {
      jpeg_read_scanlines(&cinfo, cmykRow, 1);
      CmykRowToDestination(cmykRow[0], dst, props->DIBWidth, props->DIBColor,
                           cinfo.saw_Adobe_marker);
    } else {
      JSAMPROW rows[1] = {dst};
      jpeg_read_scanlines(&cinfo, rows, 1);
    }
  }
  jpeg_finish_decompress(&cinfo);
}

}  // namespace

IJLERR JpegFailure(JPEG_CORE_PROPERTIES* props, IJLERR code, const char* text) {
  std::snprintf(props->ErrorText, sizeof props->ErrorText, "%s", text);
  return code;
}

namespace {

// Everything under the long jump: file is null for a memory block. Closing
// the file is the caller's, after this returns.
IJLERR DecodeFrom(JPEG_CORE_PROPERTIES* props, std::FILE* file, bool whole) {
  jpeg_decompress_struct cinfo;
  std::memset(&cinfo, 0, sizeof cinfo);
  JpegErrorManager errors;
  cinfo.err = UseJpegErrorManager(errors);
  JpegScanLimit scanLimit;
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return JpegFailure(props, errors.code, errors.text);
  }
  jpeg_create_decompress(&cinfo);
  cinfo.mem->max_memory_to_use = kMaxDecoderMemory;
  UseJpegScanLimit(scanLimit, &cinfo);
  if (file != nullptr) {
    jpeg_stdio_src(&cinfo, file);
  } else {
    jpeg_mem_src(&cinfo, props->JPGBytes, static_cast<unsigned long>(props->JPGSizeBytes));
  }
  jpeg_read_header(&cinfo, TRUE);
  props->JPGWidth = static_cast<int>(cinfo.image_width);
  props->JPGHeight = static_cast<int>(cinfo.image_height);
  props->JPGChannels = cinfo.num_components;
  props->JPGColor = FileColour(cinfo.jpeg_color_space);
  IJLERR result = CheckParameters(props);
  if (result == IJL_OK && whole) result = CheckDestination(props);
  if (result == IJL_OK && whole) DecodeRows(props, cinfo);
  jpeg_destroy_decompress(&cinfo);
  return result;
}

}  // namespace

IJLERR ReadJpeg(JPEG_CORE_PROPERTIES* props, bool fromFile, bool whole) {
  std::FILE* file = nullptr;
  if (fromFile) {
    file = quellor::OpenRegularFileForReading(props->JPGFile);  // never a pipe
    if (file == nullptr) {
      char text[IJL_ERROR_TEXT_LENGTH];
      std::snprintf(text, sizeof text, "Cannot open %s: %s", props->JPGFile, std::strerror(errno));
      return JpegFailure(props, IJL_CANNOT_OPEN_FILE, text);
    }
  }
  const IJLERR result = DecodeFrom(props, file, whole);
  if (file != nullptr) std::fclose(file);
  if (result == IJL_OK) props->ErrorText[0] = '\0';
  return result;
}

}  // namespace quellor::imaging
