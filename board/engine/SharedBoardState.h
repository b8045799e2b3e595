// What the board's output shows and the board-wide overrun count, in a
// memory-mapped file of the board folder ("board.state") that every process
// of the user maps. Writers take an flock() on the file; readers use the
// sequence word (odd while a field is being written) and copy again when a
// write overlapped their copy. Inside one process a mutex orders the calls.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "win32/types.h"

namespace quellor::board {

class SharedBoardState {
 public:
  SharedBoardState() = default;
  ~SharedBoardState();
  SharedBoardState(const SharedBoardState&) = delete;
  SharedBoardState& operator=(const SharedBoardState&) = delete;

  bool Open(const std::string& folder);
  bool IsOpen() const { return header_ != nullptr; }

  // A program's field reached the output: it becomes part of the shown frame.
  void WriteShownField(DWORD standard, DWORD parity, const BYTE* pixels, DWORD timeStamp);
  // The output goes back to showing the live input.
  void ShowLiveInput();
  // Copies field `parity` of the shown frame; false while the output is live
  // (or nothing was ever shown). fieldPixels must hold a PAL field.
  bool ReadShownField(DWORD parity, BYTE* fieldPixels, DWORD& standard) const;
  // The whole shown frame; false while the output is live.
  bool ReadShownFrame(DWORD& standard, std::vector<std::uint8_t>& framePixels) const;
  DWORD LastShownField() const;
  // False while the output shows the live input.
  bool OutputShowsFrame() const;

  void AddOverruns(std::uint64_t count);
  std::uint64_t Overruns() const;
  // Field times an engine output let pass without a new field between two
  // of its fields (the picture stood still: a repeated field).
  void AddRepeatedFields(std::uint64_t count);
  std::uint64_t RepeatedFields() const;

 private:
  struct Header;
  template <typename Copy>
  bool ReadConsistent(Copy copy) const;
  mutable std::mutex mutex_;
  int fd_ = -1;
  Header* header_ = nullptr;
  BYTE* frame_ = nullptr;
  size_t mappedBytes_ = 0;
};

}  // namespace quellor::board
