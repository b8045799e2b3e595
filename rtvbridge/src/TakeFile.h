// Replacing an earlier take of a clip without making the writer pay for it.
//
// Creating a clip over a large earlier take truncates the old file, and the
// file system frees every block of it right there: hundreds of milliseconds
// on a busy disk, on the writer thread, while frames arrive at the field
// rate. So the host's thread keeps the earlier take open (EarlierTake), the
// writer builds the new clip under a private name beside it and renames it
// over the path at the take's first frame (CreateTakeClip): the old file's
// blocks are then freed only when the host's thread lets it go. Until a
// frame arrives the earlier take is never touched, so a take that records
// nothing (no input signal) loses nothing.
#pragma once

#include <mutex>
#include <string>

#include "VideoGeometry.h"

namespace quellor::rtvbridge {

// An open, read-only reference to the file at a path, from the host's thread.
class EarlierTake {
 public:
  EarlierTake() = default;
  ~EarlierTake() { Release(); }
  EarlierTake(const EarlierTake&) = delete;
  EarlierTake& operator=(const EarlierTake&) = delete;

  // Lets go of any file held before, then holds the one at `path` (if any).
  void Hold(const std::string& path);
  // Lets go; the file system frees a replaced take's blocks here.
  void Release();

 private:
  std::mutex mutex_;
  int fd_ = -1;
};

// Creates the clip of a new take at `path` (2 video streams of the geometry,
// no audio): built under a private name in the same folder and renamed over
// the path. Where that cannot be done it is created in place. Throws the
// failed step's text.
void CreateTakeClip(const std::string& path, const VideoGeometry& geometry);

}  // namespace quellor::rtvbridge
