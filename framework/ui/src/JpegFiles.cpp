// JPEG files through libjpeg(-turbo). Kept apart from the window system's
// headers, whose INT32 clashes with libjpeg's.
#include "JpegFiles.h"

#include "FileReplacement.h"

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <vector>

#include <jpeglib.h>
// jpeglib.h first: jerror.h names its codes only.
#include <jerror.h>
#include <quellor/RegularFile.h>

namespace quellor::win {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const {
    if (file) std::fclose(file);
  }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// libjpeg's error exit returns to the caller's set-up point.
struct JpegError {
  jpeg_error_mgr manager;
  std::jmp_buf back;
  bool cutShort = false;  // the file ended inside the picture's data
};

[[noreturn]] void JpegErrorExit(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegError*>(info->err)->back, 1);
}

void JpegSilent(j_common_ptr, int) {}

// A file that ends early is only a warning to libjpeg, which then decodes
// the missing rows as grey: the picture would be read as whole.
void JpegNoteEnd(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
    reinterpret_cast<JpegError*>(info->err)->cutShort = true;  // manager is the first member
}

// The compressed stream gathered in memory (libjpeg's own memory destination
// loses track of its buffer when an error exit follows a reallocation).
struct MemoryDestination {
  static constexpr std::size_t kStep = 64 * 1024;
  jpeg_destination_mgr manager{};
  std::vector<JOCTET> bytes;

  void Attach(jpeg_compress_struct& encoder) {
    manager.init_destination = &Init;
    manager.empty_output_buffer = &Empty;
    manager.term_destination = &Term;
    encoder.dest = &manager;
  }
  static MemoryDestination& Of(j_compress_ptr encoder) {
    return *reinterpret_cast<MemoryDestination*>(encoder->dest);  // manager is the first member
  }
  static void Init(j_compress_ptr encoder) {
    MemoryDestination& self = Of(encoder);
    self.bytes.resize(kStep);
    self.manager.next_output_byte = self.bytes.data();
    self.manager.free_in_buffer = self.bytes.size();
  }
  // Called when the buffer is full: all of it holds output.
  static boolean Empty(j_compress_ptr encoder) {
    MemoryDestination& self = Of(encoder);
    const std::size_t used = self.bytes.size();
    self.bytes.resize(used + kStep);
    self.manager.next_output_byte = self.bytes.data() + used;
    self.manager.free_in_buffer = kStep;
    return TRUE;
  }
  static void Term(j_compress_ptr encoder) {
    MemoryDestination& self = Of(encoder);
    self.bytes.resize(self.bytes.size() - self.manager.free_in_buffer);
  }
};

}  // namespace

bool ReadJpeg(const char* path, bool alphaOnly, const SizePicture& size) {
  File file(quellor::OpenRegularFileForReading(path));  // never a pipe
  if (!file) return false;
  jpeg_decompress_struct decoder{};
  std::uint8_t* pixels = nullptr;
  JpegError error{};
  decoder.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = &JpegErrorExit;
  error.manager.emit_message = &JpegNoteEnd;
  if (setjmp(error.back) != 0) {
    jpeg_destroy_decompress(&decoder);
    return false;
  }
  jpeg_create_decompress(&decoder);
  jpeg_stdio_src(&decoder, file.get());
  jpeg_read_header(&decoder, TRUE);
  jpeg_start_decompress(&decoder);
  const int components = decoder.output_components;
  if ((components != 1 && components != 3 && components != 4) ||
      (pixels = size(decoder.output_width, decoder.output_height)) == nullptr) {
    jpeg_destroy_decompress(&decoder);
    return false;
  }
  // From the decoder's own pool, which its destruction frees on every path.
  JSAMPARRAY rows =
      (*decoder.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&decoder), JPOOL_IMAGE,
                                   decoder.output_width * static_cast<JDIMENSION>(components), 1);
  while (decoder.output_scanline < decoder.output_height) {
    const unsigned long y = decoder.output_scanline;
    if (jpeg_read_scanlines(&decoder, rows, 1) != 1) break;
    std::uint8_t* out = pixels + std::size_t{y} * decoder.output_width * 4;
    for (unsigned long x = 0; x < decoder.output_width; ++x, out += 4) {
      const JSAMPLE* in = rows[0] + x * static_cast<unsigned long>(components);
      // BGRA: the alpha byte is kept unless the file carries one.
      if (alphaOnly) {
        if (components == 3) out[3] = std::max({in[0], in[1], in[2]});
        if (components == 1) out[3] = in[0];
      } else if (components == 4) {
        out[0] = in[2], out[1] = in[1], out[2] = in[0], out[3] = in[3];
      } else if (components == 3) {
        out[0] = in[2], out[1] = in[1], out[2] = in[0];
      } else {
        out[0] = out[1] = out[2] = in[0];
      }
    }
  }
  if (error.cutShort || decoder.output_scanline < decoder.output_height) {
    jpeg_destroy_decompress(&decoder);
    return false;
  }
  jpeg_finish_decompress(&decoder);  // a missing end marker alone loses no rows
  jpeg_destroy_decompress(&decoder);
  return true;
}

bool WriteJpeg(const char* path, const std::uint8_t* pixels, unsigned long width,
               unsigned long height, int quality, bool alphaOnly) {
  if (width == 0 || height == 0) return false;
  // Compressed in memory first and then written beside the old file and
  // renamed over it: an encoder error or a full disk leaves the old picture.
  MemoryDestination output;
  jpeg_compress_struct encoder{};
  JpegError error{};
  encoder.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = &JpegErrorExit;
  error.manager.emit_message = &JpegSilent;
  std::vector<JSAMPLE> line(std::size_t{width} * 3);  // not touched after the jump point
  if (setjmp(error.back) != 0) {
    jpeg_destroy_compress(&encoder);
    return false;
  }
  jpeg_create_compress(&encoder);
  output.Attach(encoder);
  encoder.image_width = static_cast<JDIMENSION>(width);
  encoder.image_height = static_cast<JDIMENSION>(height);
  encoder.input_components = 3;
  encoder.in_color_space = JCS_RGB;
  jpeg_set_defaults(&encoder);
  jpeg_set_quality(&encoder, quality, TRUE);
  jpeg_start_compress(&encoder, TRUE);
  for (unsigned long y = 0; y < height; ++y) {
    const std::uint8_t* in = pixels + std::size_t{y} * width * 4;
    for (unsigned long x = 0; x < width; ++x, in += 4) {
      JSAMPLE* out = line.data() + 3 * x;
      if (alphaOnly) {
        out[0] = out[1] = out[2] = in[3];
      } else {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
      }
    }
    JSAMPROW rows[1] = {line.data()};
    jpeg_write_scanlines(&encoder, rows, 1);
  }
  jpeg_finish_compress(&encoder);
  jpeg_destroy_compress(&encoder);
  return ReplaceFileContents(path, output.bytes.data(), output.bytes.size());
}

}  // namespace quellor::win
