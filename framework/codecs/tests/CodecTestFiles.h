// Test helpers: pictures made up by the tests, files in memory, and the codec
// calls of a whole read or write.
#pragma once

#include <qlxrapi/codecs/ImageCodecs.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace quellor::codecs::testing {

// A picture as the library holds it: record, palette and bottom-up rows.
struct Picture {
  BitmapRecord record;
  std::vector<std::uint8_t> palette = std::vector<std::uint8_t>(kPaletteBytes, 0);
  std::vector<std::uint8_t> data;
};

enum class PaletteKind { Colours, Grey, BlackWhite };

// A width x height picture of bits per pixel with a varied pattern; at 1, 4
// and 8 bits its palette is of kind (Colours: distinct colours).
Picture MakePicture(int width, int height, int bits, PaletteKind kind = PaletteKind::Colours,
                    unsigned seed = 1);

// A temporary file holding bytes, positioned at its start; closed by the
// destructor.
class MemoryFile {
 public:
  MemoryFile();
  explicit MemoryFile(const std::vector<std::uint8_t>& bytes);
  ~MemoryFile();
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  std::FILE* get() const { return file_; }
  std::vector<std::uint8_t> Bytes() const;

 private:
  std::FILE* file_;
};

// The whole read of file as format: header, palette, data. Returns the first
// non-zero code.
int ReadPicture(const std::vector<std::uint8_t>& bytes, int format, Picture& picture,
                const char* options = "", const char* fileName = "picture");

// Writes picture as format; the file's bytes in bytes.
int WritePicture(const Picture& picture, int format, std::vector<std::uint8_t>& bytes,
                 const char* options = "", const char* fileName = "picture");

// The colour of pixel (x, y) (y = 0 the bottom row) as blue, green, red,
// fourth byte (255 below 32 bits), resolved through the palette.
std::uint32_t ColourAt(const Picture& picture, int x, int y);

// A path for name in the tests' scratch folder (QUELLOR_TEST_TMP).
std::string ScratchPath(const std::string& name);

// An empty text when both pictures show the same colours at every pixel, else
// where they first differ.
std::string CompareColours(const Picture& expected, const Picture& actual);

}  // namespace quellor::codecs::testing
