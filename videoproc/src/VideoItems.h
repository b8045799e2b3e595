// How nodes read the "Video" items of a stream: the header's size, bounded by
// the item's own blocks, so that a header that claims more than its data
// block holds (or a missing header) never makes a node write past it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "videoproc/DataStream_Data.h"
#include "videoproc/VideoStream_Header.h"

namespace quellor::videoproc {

struct VideoItemView {
  VideoStream_Header* header = nullptr;
  std::uint32_t* words = nullptr;  // the pixel pairs
  std::uint32_t width = 0;         // pixels a line, from the header
  std::uint32_t lines = 0;         // whole lines the data block holds, at most the header's
  std::size_t lineBytes = 0;       // width x 2
  std::size_t wordCount = 0;       // whole words in the data block, at most width x height / 2
};

// False when item has no usable header (under 32 bytes) or no data.
inline bool ViewVideoItem(DataStream_Data* item, VideoItemView& view) {
  if (item == nullptr || item->GetHeader() == nullptr || item->GetData() == nullptr ||
      item->GetHeaderSize() < sizeof(VideoStream_Header)) {
    return false;
  }
  view.header = static_cast<VideoStream_Header*>(item->GetHeader());
  view.words = static_cast<std::uint32_t*>(item->GetData());
  view.width = view.header->width;
  view.lineBytes = std::size_t{view.width} * 2;
  const std::uint64_t claimed = VideoUYVY_BlockBytes(view.header->width, view.header->height);
  const std::uint64_t bytes = claimed < item->GetDataSize() ? claimed : item->GetDataSize();
  view.wordCount = static_cast<std::size_t>(bytes / 4);
  view.lines = view.lineBytes == 0 ? 0 : static_cast<std::uint32_t>(bytes / view.lineBytes);
  return true;
}

}  // namespace quellor::videoproc
