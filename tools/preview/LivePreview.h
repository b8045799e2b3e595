// The live picture of one pin of the board: a probe whose callback keeps the
// latest first and second field, and the PNG they are written to. Fields
// are copied and released at once, so the preview never holds the board up.
#pragma once

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "board/Engine.h"

namespace quellor::preview {

enum class PreviewSource { Input, Output };

// What a picture kept by UpdatePicture was last made from.
struct PictureState {
  std::uint64_t fields[2] = {~0ull, ~0ull};  // fields of each parity seen then
  std::uint32_t lines = 0;
};

class LivePreview {
 public:
  explicit LivePreview(PreviewSource source);
  ~LivePreview();
  LivePreview(const LivePreview&) = delete;
  LivePreview& operator=(const LivePreview&) = delete;

  // False with the reason when the probe could not be attached.
  bool Attach(std::string& error);
  // The latest frame as a PNG, written whole under a temporary name and
  // renamed, so a reader never sees half a picture. Black until a field has
  // come (an input without signal stays black). A frame the file already
  // holds is not written again (a still output, an input without signal).
  bool WritePicture(const std::string& path, std::string& error);
  // How many times WritePicture wrote the file.
  std::uint64_t PicturesWritten() const { return picturesWritten_; }
  std::uint64_t FieldsSeen() const;
  // The latest frame as a top-down BGRA picture of 720 x 2 * lines, with the
  // field clock's count of its last field; returns the field lines (240 for
  // NTSC, 288 for PAL).
  std::uint32_t Picture(std::vector<std::uint8_t>& bgra, std::uint32_t& field) const;
  // The same for a picture kept from call to call: only the fields that came
  // since `state` are converted again (at the field rate, half the work).
  std::uint32_t UpdatePicture(std::vector<std::uint8_t>& bgra, PictureState& state,
                              std::uint32_t& field) const;

 private:
  static DWORD OnField(void* context, const BYTE* pixels, const RTME_FieldInfo* info);

  const PreviewSource source_;
  DWORD instance_ = 0;
  DWORD probe_ = 0;
  DWORD owner_ = 0;
  bool attached_ = false;
  mutable std::mutex mutex_;
  std::uint32_t fieldLines_ = kNtscFieldLines;
  std::vector<std::uint8_t> frame_;  // both fields of the largest standard
  std::uint64_t fieldsSeen_ = 0;
  std::uint64_t fieldsOf_[2] = {0, 0};  // by parity
  std::uint32_t lastField_ = 0;         // the field clock's count
  // The frame last written, and to where; the picture of the next write.
  std::vector<std::uint8_t> written_;
  std::string writtenPath_;
  std::vector<std::uint8_t> bgra_;
  std::uint64_t picturesWritten_ = 0;
};

}  // namespace quellor::preview
