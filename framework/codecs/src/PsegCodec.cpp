// IBM printer page segments holding one IM image: records that start with
// 0x5A, a 16-bit big-endian length (counting itself and the rest of the
// record), a 3-byte type, a flag byte and a 2-byte sequence number, then the
// data. The image is Begin Page Segment, Begin Image, an Image Input
// Descriptor (the size record: default cell width and height, picture width
// and height, 16-bit big-endian each), optionally Image Cell Position records
// (x, y, width, height of the cell the raster data that follows fills), Image
// Raster Data (1 bit a pixel, most significant bit first, 1 = ink, rows
// padded to bytes), End Image and End Page Segment. Without cells the raster
// data fills the picture row by row. The option "fixrec" skips the padding
// that fixed-length record transfers put between records.
#include <vector>

#include "Codec.h"
#include "CodecIo.h"

namespace quellor::codecs {
namespace {

constexpr int kNoRecordStart = 1600;
constexpr int kBadRecord = 1601;
constexpr int kNoSizeRecord = 1602;
constexpr int kBadDefaultCell = 1604;
constexpr int kBadCellSize = 1605;
constexpr int kBadCellPosition = 1606;
constexpr int kMisplacedRecord = 1607;

constexpr const char* kTexts[] = {
    "record in the PSEG file does not start with 0x5a (try fixrec option)",
    "bad/unknown record in PSEG file",
    "size record not seen before raster data or image cell position records",
    "width must be a multiple of 8",
    "default cell size must be a multiple of 8",
    "cell size must be a multiple of 8",
    "cell position must be a multiple of 8",
    "record found in an unexpected place",
};

enum class Record {
  BeginSegment,
  BeginImage,
  OutputControl,
  InputDescriptor,
  CellPosition,
  RasterData,
  EndImage,
  EndSegment,
  Unknown
};

struct RecordType {
  std::uint8_t id[3];
  Record record;
};

constexpr RecordType kRecordTypes[] = {
    {{0xD3, 0xA8, 0x5F}, Record::BeginSegment},  {{0xD3, 0xA8, 0x7B}, Record::BeginImage},
    {{0xD3, 0xA7, 0x7B}, Record::OutputControl}, {{0xD3, 0xA6, 0x7B}, Record::InputDescriptor},
    {{0xD3, 0xAC, 0x7B}, Record::CellPosition},  {{0xD3, 0xEE, 0x7B}, Record::RasterData},
    {{0xD3, 0xA9, 0x7B}, Record::EndImage},      {{0xD3, 0xA9, 0x5F}, Record::EndSegment},
};

constexpr std::size_t kRecordHead = 9;  // 0x5A, length, type, flag, sequence
constexpr std::size_t kLargestRaster = 8192;

struct PsegState {
  bool fixrec;
};

Record RecordOf(const std::uint8_t* id) {
  for (const RecordType& type : kRecordTypes) {
    if (std::memcmp(type.id, id, 3) == 0) return type.record;
  }
  return Record::Unknown;
}

// Walks the records; the raster data goes into data when it is not null.
class SegmentReader {
 public:
  SegmentReader(std::FILE* file, bool fixrec, BitmapRecord& bitmap, std::uint8_t* data)
      : file_(file), fixrec_(fixrec), bitmap_(bitmap), data_(data) {}

  // Reads up to the size record (data null) or to the end of the segment.
  int Run() {
    if (!SeekTo(file_, 0)) return kCodecCannotRead;
    for (;;) {
      std::uint8_t head[kRecordHead];
      int c = std::fgetc(file_);
      while (fixrec_ && c != EOF && c != 0x5A) c = std::fgetc(file_);
      if (c == EOF) return ended_ ? kCodecOk : kCodecCannotRead;
      if (c != 0x5A) return kNoRecordStart;
      head[0] = 0x5A;
      if (!ReadExact(file_, head + 1, kRecordHead - 1)) return kCodecCannotRead;
      const unsigned length = Be16(head + 1);
      if (length < kRecordHead - 1) return kBadRecord;
      std::vector<std::uint8_t> body(length - (kRecordHead - 1));
      if (!ReadExact(file_, body.data(), body.size())) return kCodecCannotRead;
      if (ended_) return kMisplacedRecord;
      if (int code = Handle(RecordOf(head + 3), body)) return code;
      if (data_ == nullptr && sized_) return kCodecOk;
    }
  }

 private:
  int Handle(Record record, const std::vector<std::uint8_t>& body) {
    switch (record) {
      case Record::BeginSegment:
        if (begun_) return kMisplacedRecord;
        begun_ = true;
        return kCodecOk;
      case Record::BeginImage:
        if (!begun_ || inImage_) return kMisplacedRecord;
        inImage_ = true;
        return kCodecOk;
      case Record::OutputControl:
        return inImage_ ? kCodecOk : kMisplacedRecord;
      case Record::InputDescriptor:
        return Size(body);
      case Record::CellPosition:
        return Cell(body);
      case Record::RasterData:
        return Raster(body);
      case Record::EndImage:
        if (!inImage_) return kMisplacedRecord;
        inImage_ = false;
        return kCodecOk;
      case Record::EndSegment:
        if (!begun_ || inImage_) return kMisplacedRecord;
        ended_ = true;
        return kCodecOk;
      default:
        return kBadRecord;
    }
  }

  int Size(const std::vector<std::uint8_t>& body) {
    if (!inImage_ || sized_) return kMisplacedRecord;
    if (body.size() < 8) return kBadRecord;
    const unsigned cellWidth = Be16(&body[0]), cellHeight = Be16(&body[2]);
    if (cellWidth % 8 != 0 || cellHeight % 8 != 0) return kBadDefaultCell;
    if (int code = CheckPictureSize(Be16(&body[4]), Be16(&body[6]), 1)) return code;
    bitmap_.width = Be16(&body[4]);
    bitmap_.height = Be16(&body[6]);
    bitmap_.bitsPerPixel = 1;
    cell_ = {0, 0, static_cast<unsigned>(bitmap_.width), static_cast<unsigned>(bitmap_.height)};
    sized_ = true;
    return kCodecOk;
  }

  int Cell(const std::vector<std::uint8_t>& body) {
    if (!sized_) return kNoSizeRecord;
    if (!inImage_) return kMisplacedRecord;
    if (body.size() < 8) return kBadRecord;
    cell_ = {Be16(&body[0]), Be16(&body[2]), Be16(&body[4]), Be16(&body[6])};
    if (cell_.x % 8 != 0 || cell_.y % 8 != 0) return kBadCellPosition;
    if (cell_.width % 8 != 0 || cell_.height % 8 != 0) return kBadCellSize;
    filled_ = 0;
    return kCodecOk;
  }

  // Raster bytes fill the cell's rows one after the other; bits outside the
  // picture are dropped.
  int Raster(const std::vector<std::uint8_t>& body) {
    if (!sized_) return kNoSizeRecord;
    if (!inImage_) return kMisplacedRecord;
    if (data_ == nullptr) return kCodecOk;
    const std::uint64_t rowBytes = (std::uint64_t{cell_.width} + 7) / 8;
    if (rowBytes == 0) return kCodecOk;
    for (std::uint8_t byte : body) {
      const std::uint64_t row = filled_ / rowBytes;
      const std::uint64_t column = filled_ % rowBytes;
      ++filled_;
      if (row >= cell_.height) continue;
      const std::uint64_t y = cell_.y + row;
      for (unsigned b = 0; b < 8; ++b) {
        const std::uint64_t x = cell_.x + column * 8 + b;
        if (x >= cell_.x + cell_.width || x >= static_cast<std::uint64_t>(bitmap_.width) ||
            y >= static_cast<std::uint64_t>(bitmap_.height)) {
          continue;
        }
        std::uint8_t* line = DataRow(data_, bitmap_, bitmap_.height - 1 - static_cast<int>(y));
        SetIndexAt(line, 1, static_cast<std::size_t>(x), (byte >> (7 - b)) & 1);
      }
    }
    return kCodecOk;
  }

  struct CellArea {
    unsigned x, y, width, height;
  };
  std::FILE* file_;
  bool fixrec_;
  BitmapRecord& bitmap_;
  std::uint8_t* data_;
  bool begun_ = false, inImage_ = false, sized_ = false, ended_ = false;
  CellArea cell_{};
  std::uint64_t filled_ = 0;
};

int ReadHeader(const char*, std::FILE* file, BitmapRecord& bitmap, const CodecOptions& options) {
  PrivateState<PsegState>(bitmap).fixrec = options.Has("fixrec");
  SegmentReader reader(file, options.Has("fixrec"), bitmap, nullptr);
  if (int code = reader.Run()) return code;
  return bitmap.bitsPerPixel == 1 ? kCodecOk : kNoSizeRecord;
}

int ReadPalette(std::FILE*, BitmapRecord&, std::uint8_t* palette) {
  std::memset(palette, 0, kPaletteBytes);
  std::memset(palette, 255, 3);  // 0: white paper; 1: black ink
  return kCodecOk;
}

int ReadData(std::FILE* file, BitmapRecord& bitmap, std::uint8_t* data) {
  std::memset(data, 0, ImageDataSize(bitmap));
  BitmapRecord walked = bitmap;
  SegmentReader reader(file, PrivateState<PsegState>(bitmap).fixrec, walked, data);
  return reader.Run();
}

bool PutRecord(std::FILE* file, Record record, const std::uint8_t* body, std::size_t size) {
  std::uint8_t head[kRecordHead] = {0x5A};
  PutBe16(head + 1, static_cast<unsigned>(size + kRecordHead - 1));
  for (const RecordType& type : kRecordTypes) {
    if (type.record == record) std::memcpy(head + 3, type.id, 3);
  }
  return WriteExact(file, head, kRecordHead) && WriteExact(file, body, size);
}

int Write(const char*, std::FILE* file, const BitmapRecord& bitmap, const std::uint8_t* palette,
          const std::uint8_t* data, const CodecOptions&) {
  if (bitmap.width > 0xFFFF || bitmap.height > 0xFFFF) return kCodecBadSize;
  // Ink is the palette's darker entry.
  auto luma = [&](unsigned i) {
    return palette[3 * i] * 77u + palette[3 * i + 1] * 150u + palette[3 * i + 2] * 29u;
  };
  const unsigned ink = luma(1) <= luma(0) ? 1 : 0;
  std::uint8_t size[8];
  PutBe16(size, 0);
  PutBe16(size + 2, 0);
  PutBe16(size + 4, static_cast<unsigned>(bitmap.width));
  PutBe16(size + 6, static_cast<unsigned>(bitmap.height));
  if (!PutRecord(file, Record::BeginSegment, nullptr, 0) ||
      !PutRecord(file, Record::BeginImage, nullptr, 0) ||
      !PutRecord(file, Record::InputDescriptor, size, sizeof size)) {
    return kCodecCannotWrite;
  }
  const std::size_t rowBytes = (static_cast<std::size_t>(bitmap.width) + 7) / 8;
  std::vector<std::uint8_t> raster;
  auto flush = [&]() {
    bool ok = raster.empty() || PutRecord(file, Record::RasterData, raster.data(), raster.size());
    raster.clear();
    return ok;
  };
  for (int y = bitmap.height - 1; y >= 0; --y) {
    const std::uint8_t* row = DataRow(data, bitmap, y);
    for (std::size_t i = 0; i < rowBytes; ++i) {
      unsigned byte = 0;
      for (std::size_t b = 0; b < 8 && i * 8 + b < static_cast<std::size_t>(bitmap.width); ++b) {
        if (IndexAt(row, 1, i * 8 + b) == ink) byte |= 0x80u >> b;
      }
      raster.push_back(static_cast<std::uint8_t>(byte));
      if (raster.size() == kLargestRaster && !flush()) return kCodecCannotWrite;
    }
  }
  if (!flush() || !PutRecord(file, Record::EndImage, nullptr, 0) ||
      !PutRecord(file, Record::EndSegment, nullptr, 0)) {
    return kCodecCannotWrite;
  }
  return kCodecOk;
}

const char* ErrorText(int code) {
  return BlockText(code, 1600, kTexts);
}

}  // namespace

constinit const Codec kPsegCodec = {
    {"PSEG", "IBM Printer Page Segment", "PSE PSEG PSEG38PP PSEG3820", 0x21},
    &ReadHeader,
    &ReadPalette,
    &ReadData,
    &Write,
    &ErrorText,
};

}  // namespace quellor::codecs
