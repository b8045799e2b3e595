// X Windows bitmaps: C source text with "#define <name>_width N" and
// "_height N" lines and a "static [unsigned] char|short <name>_bits[] = {...};"
// array. Rows top-down, each padded to its element size, the leftmost pixel
// in an element's least significant bit, 1 = ink. Read with palette entry 0
// white and 1 black; written in char elements, ink for the palette's darker
// entry.
#include <cctype>
#include <string>
#include <vector>

#include "Codec.h"
#include "CodecIo.h"

namespace quellor::codecs {
namespace {

constexpr int kExpectedIdentifier = 1300;
constexpr int kUnexpectedEnd = 1301;
constexpr int kExpectedType = 1302;
constexpr int kExpectedOpenBracket = 1303;
constexpr int kExpectedCloseBracket = 1304;
constexpr int kExpectedEquals = 1305;
constexpr int kExpectedOpenBrace = 1306;
constexpr int kExpectedCloseBrace = 1307;
constexpr int kExpectedComma = 1308;
constexpr int kExpectedNumber = 1309;
constexpr int kExpectedSemicolon = 1310;

constexpr const char* kTexts[] = {
    "expected identifier",
    "unexpected end of file",
    "expected char or short",
    "expected[",
    "expected ]",
    "expected =",
    "expected {",
    "expected }",
    "expected ,",
    "expected number",
    "expected ;",
};

// The text is read whole: bitmaps are small, and the reader needs no more
// than the file's length of memory.
constexpr long long kLargestText = 64ll << 20;

struct XbmState {
  std::uint64_t dataOffset;  // just after the "{"
  int elementBits;           // 8 or 16
};

class Scanner {
 public:
  explicit Scanner(std::string text, std::size_t at = 0) : text_(std::move(text)), at_(at) {}

  std::size_t Position() const { return at_; }
  bool AtEnd() {
    SkipSpace();
    return at_ >= text_.size();
  }
  bool Identifier(std::string& out) {
    SkipSpace();
    std::size_t start = at_;
    while (at_ < text_.size() &&
           (std::isalnum(static_cast<unsigned char>(text_[at_])) || text_[at_] == '_'))
      ++at_;
    out = text_.substr(start, at_ - start);
    return !out.empty() && !std::isdigit(static_cast<unsigned char>(out[0]));
  }
  bool Symbol(char c) {
    SkipSpace();
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }
  // Decimal, hexadecimal (0x) or octal (leading 0) numbers below 2^31.
  bool Number(long long& value) {
    SkipSpace();
    int base = 10;
    if (at_ + 1 < text_.size() && text_[at_] == '0' &&
        (text_[at_ + 1] == 'x' || text_[at_ + 1] == 'X')) {
      base = 16;
      at_ += 2;
    } else if (at_ < text_.size() && text_[at_] == '0') {
      base = 8;
    }
    std::size_t start = at_;
    value = 0;
    while (at_ < text_.size()) {
      const int digit = DigitOf(text_[at_], base);
      if (digit < 0) break;
      value = value * base + digit;
      if (value > 0x7FFFFFFF) return false;
      ++at_;
    }
    return at_ > start || base == 8;
  }

 private:
  static int DigitOf(char c, int base) {
    int digit = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                       : -1;
    return digit < base ? digit : -1;
  }
  void SkipSpace() {
    while (at_ < text_.size()) {
      if (std::isspace(static_cast<unsigned char>(text_[at_]))) {
        ++at_;
      } else if (text_.compare(at_, 2, "/*") == 0) {
        std::size_t end = text_.find("*/", at_ + 2);
        at_ = end == std::string::npos ? text_.size() : end + 2;
      } else {
        return;
      }
    }
  }
  std::string text_;
  std::size_t at_;
};

int ReadText(std::FILE* file, std::string& text) {
  const long long length = FileLength(file);
  if (length < 0) return kCodecCannotRead;
  if (length > kLargestText) return kCodecBadSize;
  text.resize(static_cast<std::size_t>(length));
  return ReadExact(file, text.data(), text.size()) ? kCodecOk : kCodecCannotRead;
}

bool EndsWith(const std::string& text, const char* suffix) {
  const std::size_t n = std::strlen(suffix);
  return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

int ReadHeader(const char*, std::FILE* file, BitmapRecord& bitmap, const CodecOptions&) {
  std::string text;
  if (int code = ReadText(file, text)) return code;
  Scanner scan(std::move(text));
  long long width = -1, height = -1;
  std::string word;
  // The defines, then the array's declaration up to its "{".
  while (scan.Symbol('#')) {
    if (!scan.Identifier(word) || word != "define" || !scan.Identifier(word))
      return kExpectedIdentifier;
    long long value = 0;
    if (!scan.Number(value)) return kExpectedNumber;
    if (EndsWith(word, "_width")) width = value;
    if (EndsWith(word, "_height")) height = value;
  }
  if (scan.AtEnd()) return kUnexpectedEnd;
  if (!scan.Identifier(word)) return kExpectedIdentifier;
  if (word == "static") {
    if (!scan.Identifier(word)) return kExpectedType;
  }
  if (word == "unsigned") {
    if (!scan.Identifier(word)) return kExpectedType;
  }
  if (word != "char" && word != "short") return kExpectedType;
  XbmState& state = PrivateState<XbmState>(bitmap);
  state.elementBits = word == "char" ? 8 : 16;
  if (!scan.Identifier(word)) return kExpectedIdentifier;
  if (!scan.Symbol('[')) return kExpectedOpenBracket;
  if (!scan.Symbol(']')) return kExpectedCloseBracket;
  if (!scan.Symbol('=')) return kExpectedEquals;
  if (!scan.Symbol('{')) return kExpectedOpenBrace;
  state.dataOffset = scan.Position();
  if (width < 0 || height < 0) return kCodecBadSize;
  bitmap.width = static_cast<int>(width);
  bitmap.height = static_cast<int>(height);
  bitmap.bitsPerPixel = 1;
  return CheckPictureSize(width, height, 1);
}

int ReadPalette(std::FILE*, BitmapRecord&, std::uint8_t* palette) {
  std::memset(palette, 0, kPaletteBytes);
  std::memset(palette, 255, 3);  // 0: white paper; 1: black ink
  return kCodecOk;
}

int ReadData(std::FILE* file, BitmapRecord& bitmap, std::uint8_t* data) {
  const XbmState& state = PrivateState<XbmState>(bitmap);
  std::string text;
  if (int code = ReadText(file, text)) return code;
  if (state.dataOffset > text.size()) return kCodecCannotRead;
  Scanner scan(std::move(text), static_cast<std::size_t>(state.dataOffset));
  const std::size_t width = static_cast<std::size_t>(bitmap.width);
  const std::size_t perRow = (width + state.elementBits - 1) / state.elementBits;
  for (int y = 0; y < bitmap.height; ++y) {
    std::uint8_t* row = DataRow(data, bitmap, bitmap.height - 1 - y);
    for (std::size_t e = 0; e < perRow; ++e) {
      if (y > 0 || e > 0) {
        if (scan.AtEnd()) return kUnexpectedEnd;
        if (!scan.Symbol(',')) return kExpectedComma;
      }
      long long value = 0;
      if (scan.AtEnd()) return kUnexpectedEnd;
      if (!scan.Number(value)) return kExpectedNumber;
      for (int b = 0; b < state.elementBits; ++b) {
        const std::size_t x = e * state.elementBits + b;
        if (x < width) SetIndexAt(row, 1, x, (value >> b) & 1);
      }
    }
  }
  scan.Symbol(',');  // a trailing comma is allowed
  if (scan.AtEnd()) return kUnexpectedEnd;
  if (!scan.Symbol('}')) return kExpectedCloseBrace;
  if (scan.AtEnd()) return kUnexpectedEnd;
  if (!scan.Symbol(';')) return kExpectedSemicolon;
  return kCodecOk;
}

// The bitmap's name: the file name without folders and extension, made an
// identifier.
std::string NameOf(const char* fileName) {
  std::string name = fileName;
  const std::size_t slash = name.find_last_of("/\\");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const std::size_t point = name.find('.');
  if (point != std::string::npos) name.erase(point);
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) name.insert(0, "bitmap_");
  return name;
}

int Write(const char* fileName, std::FILE* file, const BitmapRecord& bitmap,
          const std::uint8_t* palette, const std::uint8_t* data, const CodecOptions&) {
  const std::string name = NameOf(fileName);
  auto luma = [&](unsigned i) {
    return palette[3 * i] * 77u + palette[3 * i + 1] * 150u + palette[3 * i + 2] * 29u;
  };
  const unsigned ink = luma(1) <= luma(0) ? 1 : 0;
  if (std::fprintf(file,
                   "#define %s_width %d\n#define %s_height %d\nstatic unsigned char %s_bits[] = {",
                   name.c_str(), bitmap.width, name.c_str(), bitmap.height, name.c_str()) < 0) {
    return kCodecCannotWrite;
  }
  const std::size_t width = static_cast<std::size_t>(bitmap.width);
  const std::size_t perRow = (width + 7) / 8;
  std::size_t written = 0;
  for (int y = bitmap.height - 1; y >= 0; --y) {
    const std::uint8_t* row = DataRow(data, bitmap, y);
    for (std::size_t e = 0; e < perRow; ++e) {
      unsigned value = 0;
      for (std::size_t b = 0; b < 8 && e * 8 + b < width; ++b) {
        if (IndexAt(row, 1, e * 8 + b) == ink) value |= 1u << b;
      }
      const char* lead = written == 0 ? "\n  " : written % 12 == 0 ? ",\n  " : ", ";
      if (std::fprintf(file, "%s0x%02x", lead, value) < 0) return kCodecCannotWrite;
      ++written;
    }
  }
  return std::fprintf(file, "};\n") < 0 ? kCodecCannotWrite : kCodecOk;
}

const char* ErrorText(int code) {
  return BlockText(code, 1300, kTexts);
}

}  // namespace

constinit const Codec kXBitmapCodec = {
    {"XBitmap", "X Windows Bitmap", "XBM", 0x21},
    &ReadHeader,
    &ReadPalette,
    &ReadData,
    &Write,
    &ErrorText,
};

}  // namespace quellor::codecs
