// Writes RTV clips: Create lays down the headers through the C library, then
// frames go straight to disk by path through the open clip file table, one or
// two unbuffered writes per frame.
//
// Frame memory holds one frame as its two fields one after the other (first
// field = the picture's even lines), each pixels per line x lines x 2 bytes of
// 4:2:2. The table's handle is unbuffered, so frame memory must be aligned to
// 512 bytes and each write must be a whole number of sectors.
#pragma once

namespace quellor::clip {

class ClipWriter {
 public:
  ClipWriter() = delete;

  // Creates (truncates) `path` and writes the file header and one stream
  // header per video stream; the file then ends after the stream headers.
  // Throws the failed step's text. Must not be called for a path open in the
  // table.
  static void Create(const char* path, unsigned video_stream_count, unsigned audio_stream_count,
                     unsigned pixels_per_line, unsigned lines_per_field, float frame_rate);

  // Writes the slot's next frame as two positioned chunk writes. The frame
  // index advances even when a write fails, so later frames keep their place.
  static bool WriteFrame(const char* path, const void* frame);

  // Writes the next frame (both fields, pixels per line x lines x 4 bytes) in
  // one write at the handle's current position. Only directly after
  // WriteFrame or AppendFrame on the same open slot, and only for clips whose
  // frame set is exactly the two fields. The frame index advances regardless.
  static bool AppendFrame(const char* path, const void* frame);

  // Closes the path's clip in the table. True if it was open.
  static bool Close(const char* path);
};

}  // namespace quellor::clip
