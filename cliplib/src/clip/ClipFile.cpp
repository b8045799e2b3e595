#include "cliplib/clip/ClipFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <new>
#include <utility>

#include "ScopedCFile.h"

namespace quellor::clip {
namespace {

// More streams than any clip sensibly has (the recorder writes 2, and 20
// headers fill the space before the standard data offset): a hostile count
// is refused before it sizes anything.
constexpr std::uint32_t kMostStreams = 1024;

// A clip is a regular file. A pipe, device or socket would block the reads
// (a FIFO without a writer never answers), so it is refused; the descriptor
// is opened without blocking so that even the open cannot hang.
int OpenRegularFile(const char* path, int flags) {
  int fd;
  do {
    fd = open(path, flags | O_NONBLOCK | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return -1;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    errno = EINVAL;
    return -1;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

bool IsRegularOrMissing(const char* path) {
  struct stat info {};
  return stat(path, &info) != 0 || S_ISREG(info.st_mode);
}

// "r+b", else "rb", as the C library would open them.
std::FILE* OpenForHeaderChecks(const char* path) {
  if (!IsRegularOrMissing(path)) throw "The file is not a regular file.";
  std::FILE* file = nullptr;
  for (const auto& [flags, mode] : {std::pair{O_RDWR, "r+b"}, std::pair{O_RDONLY, "rb"}}) {
    const int fd = OpenRegularFile(path, flags);
    if (fd < 0) continue;
    file = fdopen(fd, mode);
    if (file != nullptr) break;
    close(fd);
  }
  return file;
}

// How many stream headers the file can hold after its file header, so that a
// hostile stream count never sizes an allocation beyond the file. Files whose
// size is unknown (not regular) get a modest first allocation that grows.
std::size_t StreamHeadersThatFit(std::FILE* file, std::uint32_t stream_count) {
  constexpr std::size_t kUnknownSizeGuess = 64;
  struct stat info {};
  std::size_t fit = kUnknownSizeGuess;
  if (fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode)) {
    const auto size = static_cast<std::uint64_t>(info.st_size);
    fit = size > kRtvFileHeaderSize
              ? static_cast<std::size_t>((size - kRtvFileHeaderSize) / kRtvStreamHeaderSize)
              : 0;
  }
  return stream_count < fit ? stream_count : fit;
}

}  // namespace

std::unique_ptr<ClipFile> ClipFile::Open(const char* path) {
  std::unique_ptr<ClipFile> clip(new ClipFile());
  clip->ReadHeaders(path);
  clip->OpenStreamingHandle(path);
  return clip;
}

void ClipFile::ReadHeaders(const char* path) {
  ScopedCFile file(path != nullptr ? OpenForHeaderChecks(path) : nullptr);
  if (file.get() == nullptr) throw "Could not open the file.";

  std::uint8_t header_bytes[kRtvFileHeaderSize];
  if (std::fread(header_bytes, 1, sizeof header_bytes, file.get()) != sizeof header_bytes) {
    throw "Could not read file header.";
  }
  header_ = ReadRtvFileHeader(header_bytes);
  if (header_.magic != kRtvMagic) throw "This is not an RTV file.";
  if (header_.type != kRtvType) throw "This reader can only read RTV type 1 files.";
  if (header_.stream_count == 0) throw "There are no streams in the file.";

  try {
    stream_headers_.reserve(StreamHeadersThatFit(file.get(), header_.stream_count));
  } catch (const std::bad_alloc&) {
    throw "Cannot allocate required memory.";
  }
  for (std::uint32_t i = 0; i < header_.stream_count; ++i) {
    std::uint8_t stream_bytes[kRtvStreamHeaderSize];
    if (std::fread(stream_bytes, 1, sizeof stream_bytes, file.get()) != sizeof stream_bytes) {
      throw "Cannot read input stream header.";
    }
    try {
      stream_headers_.push_back(ReadRtvStreamHeader(stream_bytes));
    } catch (const std::bad_alloc&) {
      throw "Cannot allocate required memory.";
    }
  }

  // Checked once the headers are all there, so that a count the file cannot
  // hold still fails as a short read.
  if (header_.stream_count > kMostStreams) throw "There are too many streams in the file.";
  CreateStreamContexts();

  if (!file.Close()) throw "Could not close file pointer.";
}

void ClipFile::CreateStreamContexts() {
  std::size_t video_count = 0;
  std::size_t audio_count = 0;
  for (const RtvStreamHeader& stream : stream_headers_) {
    if (stream.kind == kRtvStreamInvalid) throw "Unknown Video Streaming Type";
    if (stream.kind == kRtvStreamVideo) ++video_count;
    if (stream.kind == kRtvStreamAudio) ++audio_count;
  }
  if (audio_count % 2 != 0) throw "There are an odd number of audio streams in the RTV file.";
  if (video_count % 2 != 0) throw "There are an odd number of video streams in the RTV file.";

  try {
    audio_streams_.reserve(audio_count);
  } catch (const std::bad_alloc&) {
    throw "Cannot allocate required audio memory for stream context.";
  }
  try {
    video_streams_.reserve(video_count);
  } catch (const std::bad_alloc&) {
    throw "Cannot allocate required video memory for stream context.";
  }

  field_rate_ = kRtvNtscFieldRate;
  std::uint64_t running_offset = header_.data_offset;
  for (const RtvStreamHeader& stream : stream_headers_) {
    if (stream.kind == kRtvStreamVideo) {
      if (stream.subtype != kRtvVideoSubtypeYCbCr422) throw "Unknown Video SubType";
      video_streams_.push_back(std::make_unique<VideoStreamContext>(
          stream.chunk_size, header_.frame_set_size, running_offset, stream.active_line_length / 2,
          stream.lines));
      if (stream.chunk_size % kRtvSectorSize != 0) throw "Invalid chunk size in video stream.";
      running_offset += stream.chunk_size;
      if (stream.raster_line_length == kRtvNtscRaster.raster_line_length) {
        field_rate_ = kRtvNtscFieldRate;
      } else if (stream.raster_line_length == kRtvPalRaster.raster_line_length) {
        field_rate_ = kRtvPalFieldRate;
      }
    } else if (stream.kind == kRtvStreamAudio) {
      throw "Unknown Audio SubType";
    }
  }
  if (header_.field_rate != 0.0f) field_rate_ = header_.field_rate;
}

void ClipFile::OpenStreamingHandle(const char* path) {
  constexpr DWORD kUnbuffered = FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN;
  handle_ = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                        kUnbuffered, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) {
    handle_ = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, kUnbuffered, nullptr);
  }
  if (handle_ == INVALID_HANDLE_VALUE) {
    handle_ = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (handle_ == INVALID_HANDLE_VALUE) throw "Could not open the file for Win32 streaming.";
  cached_position_ = kPositionUnknown;
  // Reading only and sharing reading and writing, it refuses no later opener
  // that the streaming handle (which reads too) would not refuse already.
  // Without it, cached reads go through the streaming handle.
  cached_handle_ = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

ClipFile::~ClipFile() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  if (cached_handle_ != INVALID_HANDLE_VALUE) CloseHandle(cached_handle_);
}

void ClipFile::Close() {
  if (cached_handle_ != INVALID_HANDLE_VALUE) CloseHandle(cached_handle_);
  cached_handle_ = INVALID_HANDLE_VALUE;
  HANDLE handle = handle_;
  handle_ = INVALID_HANDLE_VALUE;
  cached_position_ = kPositionUnknown;
  if (handle == INVALID_HANDLE_VALUE || !CloseHandle(handle)) {
    throw "Could not close the Win32 streaming file handle.";
  }
}

std::uint64_t ClipFile::FieldCount() const {
  std::uint64_t count = 0;
  CountFields(count);
  return count;
}

bool ClipFile::CountFields(std::uint64_t& count) const {
  count = 0;
  LARGE_INTEGER size{};
  if (handle_ == INVALID_HANDLE_VALUE || !GetFileSizeEx(handle_, &size)) return false;
  const auto file_size = static_cast<std::uint64_t>(size.QuadPart);
  // A frame set size of 0 would divide by zero: such a file holds no fields.
  if (file_size <= header_.data_offset || header_.frame_set_size == 0) return true;
  count = (file_size - header_.data_offset) * 2 / header_.frame_set_size;
  return true;
}

bool ClipFile::Geometry(int track, std::uint32_t* pixels_per_line, std::uint32_t* lines) const {
  const VideoStreamContext* stream = StreamForField(0, track);
  if (pixels_per_line != nullptr) *pixels_per_line = stream ? stream->pixels_per_line() : 0;
  if (lines != nullptr) *lines = stream ? stream->lines_per_field() : 0;
  return stream != nullptr;
}

VideoStreamContext* ClipFile::StreamForField(std::uint64_t field_index, int track) const {
  if (track < 0) return nullptr;
  const std::uint64_t stream = 2 * static_cast<std::uint64_t>(track) + (field_index & 1);
  return stream < video_streams_.size() ? video_streams_[stream].get() : nullptr;
}

bool ClipFile::Seek(std::uint64_t target) {
  if (target == cached_position_) return true;
  cached_position_ = target;
  LARGE_INTEGER distance{};
  distance.QuadPart = static_cast<LONGLONG>(target);
  if (!SetFilePointerEx(handle_, distance, nullptr, FILE_BEGIN)) {
    // The pointer is somewhere else now: do not trust the cache next time.
    cached_position_ = kPositionUnknown;
    return false;
  }
  return true;
}

void ClipFile::Advance(DWORD transferred) {
  if (cached_position_ != kPositionUnknown) cached_position_ += transferred;
}

DWORD ClipFile::ReadRequest(std::uint64_t offset, DWORD chunk_size) const {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handle_, &size)) return chunk_size;
  const auto file_size = static_cast<std::uint64_t>(size.QuadPart);
  const std::uint64_t there = file_size > offset ? file_size - offset : 0;
  if (there >= chunk_size) return chunk_size;
  // Whole sectors, as an unbuffered handle needs; the read still stops at the
  // end of the file.
  return static_cast<DWORD>((there + kRtvSectorSize - 1) / kRtvSectorSize * kRtvSectorSize);
}

bool ClipFile::FileHolds(std::uint64_t offset, std::uint32_t bytes) const {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handle_, &size) || size.QuadPart < 0) return false;
  const auto file_size = static_cast<std::uint64_t>(size.QuadPart);
  return offset <= file_size && file_size - offset >= bytes;
}

bool ClipFile::ChunkInFile(std::uint64_t field_index, int track) const {
  const VideoStreamContext* stream = StreamForField(field_index, track);
  return stream != nullptr &&
         FileHolds(stream->ChunkOffset(field_index >> 1), stream->chunk_size());
}

bool ClipFile::ReadChunk(std::uint64_t field_index, void* destination, int track) {
  VideoStreamContext* stream = StreamForField(field_index, track);
  if (stream == nullptr || destination == nullptr) return false;
  const std::uint64_t offset = stream->ChunkOffset(field_index >> 1);
  if (!Seek(offset)) return false;
  // A chunk that runs past the end of the file cannot be read whole. Asking
  // only for what is there transfers the same bytes, but keeps a hostile
  // chunk size (up to 4 GiB) from making the system pin a buffer that size.
  const DWORD request = ReadRequest(offset, stream->chunk_size());
  DWORD read = 0;
  const BOOL ok = ReadFile(handle_, destination, request, &read, nullptr);
  Advance(read);
  return ok && read == stream->chunk_size();
}

std::uint8_t* ClipFile::ReadChunk(std::uint64_t field_index, int track) {
  VideoStreamContext* stream = StreamForField(field_index, track);
  if (stream == nullptr) return nullptr;
  // A chunk the file cannot hold whole cannot be read: do not allocate a
  // buffer (up to 4 GiB) for it.
  if (!ChunkInFile(field_index, track)) return nullptr;
  if (stream->conversion_buffer() == nullptr) return nullptr;
  return ReadChunk(field_index, stream->conversion_buffer(), track) ? stream->conversion_buffer()
                                                                    : nullptr;
}

std::uint8_t* ClipFile::ReadChunkCached(std::uint64_t field_index, int track) {
  if (cached_handle_ == INVALID_HANDLE_VALUE) return ReadChunk(field_index, track);
  VideoStreamContext* stream = StreamForField(field_index, track);
  // As for unbuffered reads: no buffer for a chunk the file cannot hold.
  if (stream == nullptr || !ChunkInFile(field_index, track)) return nullptr;
  std::uint8_t* buffer = stream->conversion_buffer();
  if (buffer == nullptr) return nullptr;
  LARGE_INTEGER distance{};
  distance.QuadPart = static_cast<LONGLONG>(stream->ChunkOffset(field_index >> 1));
  if (!SetFilePointerEx(cached_handle_, distance, nullptr, FILE_BEGIN)) return nullptr;
  DWORD read = 0;
  const BOOL ok = ReadFile(cached_handle_, buffer, stream->chunk_size(), &read, nullptr);
  return ok && read == stream->chunk_size() ? buffer : nullptr;
}

bool ClipFile::WriteChunk(std::uint64_t field_index, const void* source, int track) {
  VideoStreamContext* stream = StreamForField(field_index, track);
  if (stream == nullptr || source == nullptr) return false;
  if (!Seek(stream->ChunkOffset(field_index >> 1))) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(handle_, source, stream->chunk_size(), &written, nullptr);
  Advance(written);
  return ok && written == stream->chunk_size();
}

bool ClipFile::SeekToChunk(std::uint64_t field_index, int track) {
  const VideoStreamContext* stream = StreamForField(field_index, track);
  return stream != nullptr && Seek(stream->ChunkOffset(field_index >> 1));
}

bool ClipFile::WriteAtCurrentPosition(const void* source, DWORD bytes) {
  cached_position_ = kPositionUnknown;
  if (source == nullptr) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(handle_, source, bytes, &written, nullptr);
  return ok && written == bytes;
}

}  // namespace quellor::clip
