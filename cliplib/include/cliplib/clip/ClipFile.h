// An open RTV clip file: the checked headers, one context per video stream,
// and positioned access to chunks (fields) through one unbuffered handle that
// is opened for reading and writing when the file allows it, plus a second,
// read-only handle through the system cache for fields that are converted as
// soon as they are read.
//
// Errors of Open and Close are thrown as constant message texts (const char*).
// Chunk reads and writes return success or failure instead.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "cliplib/clip/RtvFormat.h"
#include "cliplib/clip/VideoStreamContext.h"

namespace quellor::clip {

class ClipFile {
 public:
  // Opens and checks `path`; throws the first failed check's text. Only
  // regular files are clips: a pipe or device is refused ("The file is not a
  // regular file.") before anything could block on it, and so is a header
  // claiming more than 1024 streams ("There are too many streams in the
  // file.").
  static std::unique_ptr<ClipFile> Open(const char* path);

  // Closes the handles if Close was not called (errors ignored there) and
  // destroys the stream contexts.
  ~ClipFile();
  ClipFile(const ClipFile&) = delete;
  ClipFile& operator=(const ClipFile&) = delete;

  // Closes the streaming handle; throws "Could not close the Win32 streaming
  // file handle." when the system refuses. The cached handle is closed too
  // (it only read: nothing can be lost). The contexts go with the object.
  void Close();

  // (file size - data offset) x 2 / frame set size; 0 when the file is not
  // longer than the data offset, its size cannot be had, or the frame set
  // size is 0.
  std::uint64_t FieldCount() const;
  // The same count; false (and 0) when the file's size cannot be had, which
  // FieldCount cannot tell from an empty file.
  bool CountFields(std::uint64_t& count) const;

  // Pixels per line and lines of video stream 2 x track. False (and zeros)
  // when the clip has no such stream.
  bool Geometry(int track, std::uint32_t* pixels_per_line, std::uint32_t* lines) const;

  // Reads the chunk of field `field_index` (stream 2 x track + (field & 1),
  // chunk number field >> 1): exactly chunk size bytes into `destination`,
  // which must be sector-aligned for an unbuffered handle. True only when
  // every byte was read.
  bool ReadChunk(std::uint64_t field_index, void* destination, int track);
  // Whether the file holds the whole chunk of `field_index` (false when the
  // clip has no such stream): callers size buffers by this, not by the
  // header's claims.
  bool ChunkInFile(std::uint64_t field_index, int track) const;
  // The same into the stream's conversion buffer, which is returned; null on
  // failure. The buffer is allocated only for a chunk the file holds whole.
  std::uint8_t* ReadChunk(std::uint64_t field_index, int track);
  // The same through the system cache instead of the unbuffered handle, for
  // callers that convert the field at once: a read the cache (or its
  // read-ahead) already holds does not wait for the disk, so the conversion
  // finds the field, and the caller's picture, still in the processor's
  // caches; an unbuffered read waits for every chunk, and on a busy machine
  // the caches are cold afterwards. The kernel keeps the cache coherent with
  // the unbuffered writes. Falls back to the unbuffered handle when the
  // cached one could not be opened; null on failure, as above.
  std::uint8_t* ReadChunkCached(std::uint64_t field_index, int track);
  // Writes chunk size bytes from `source` as the chunk of `field_index`.
  bool WriteChunk(std::uint64_t field_index, const void* source, int track);
  // Sets the file pointer to the chunk of `field_index` (through the position
  // cache) without transferring anything.
  bool SeekToChunk(std::uint64_t field_index, int track);
  // Writes `bytes` at the handle's current position (no seek) and forgets the
  // cached position. True only when every byte was written.
  bool WriteAtCurrentPosition(const void* source, DWORD bytes);

  // The video stream context that holds `field_index` of `track`, or null.
  VideoStreamContext* StreamForField(std::uint64_t field_index, int track) const;
  std::size_t video_stream_count() const { return video_streams_.size(); }
  VideoStreamContext* video_stream(std::size_t index) const {
    return index < video_streams_.size() ? video_streams_[index].get() : nullptr;
  }

  const RtvFileHeader& header() const { return header_; }
  const std::vector<RtvStreamHeader>& stream_headers() const { return stream_headers_; }
  float field_rate() const { return field_rate_; }
  std::uint32_t sector_size() const { return kRtvSectorSize; }

 private:
  ClipFile() = default;

  void ReadHeaders(const char* path);
  void CreateStreamContexts();
  void OpenStreamingHandle(const char* path);
  // Sets the file pointer to `target` unless the cached position already is
  // there.
  bool Seek(std::uint64_t target);
  // Bytes to ask for when reading a chunk at `offset`: the chunk, or only the
  // whole sectors that the file still holds there.
  DWORD ReadRequest(std::uint64_t offset, DWORD chunk_size) const;
  // Whether the file holds `bytes` bytes from `offset` on.
  bool FileHolds(std::uint64_t offset, std::uint32_t bytes) const;
  // Moves the cached position on by what a transfer actually moved.
  void Advance(DWORD transferred);

  static constexpr std::uint64_t kPositionUnknown = ~std::uint64_t{0};

  HANDLE handle_ = INVALID_HANDLE_VALUE;
  // Read-only, buffered, sharing everything the streaming handle may need;
  // opened with it so that both name the same file. Positioned on every read.
  HANDLE cached_handle_ = INVALID_HANDLE_VALUE;
  std::uint64_t cached_position_ = kPositionUnknown;
  RtvFileHeader header_{};
  std::vector<RtvStreamHeader> stream_headers_;
  // Audio streams are refused while opening, so this stays empty; it is
  // sized like the reader's other arrays for the streams it counted.
  std::vector<std::unique_ptr<VideoStreamContext>> audio_streams_;
  std::vector<std::unique_ptr<VideoStreamContext>> video_streams_;
  float field_rate_ = kRtvNtscFieldRate;
};

}  // namespace quellor::clip
