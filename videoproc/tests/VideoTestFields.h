// Small "Video" fields for node tests: items over vectors the test owns.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "videoproc/DataStream.h"
#include "videoproc/DataStream_Data.h"
#include "videoproc/VideoStream_Header.h"

namespace quellor::videoproc::testing {

struct TestField {
  VideoStream_Header header{};
  std::vector<std::uint32_t> words;
  DataStream_Data item;

  TestField(std::uint32_t width, std::uint32_t height, std::uint32_t fill, double time = 0.0,
            std::uint32_t field = 0)
      : words(std::size_t{width} * height / 2, fill) {
    header = VideoStream_Header{width, height, field, kVideoAspectRatio, time, 0.0};
    item.SetName(kVideoStreamName);
    item.SetNonLocalHeader(&header);
    item.SetHeaderSize(sizeof header);
    item.SetNonLocalData(words.data());
    item.SetDataSize(static_cast<std::uint32_t>(words.size() * 4));
  }
};

// A stream of `count` fields, all of one size and fill.
struct TestStream {
  std::vector<std::unique_ptr<TestField>> fields;
  DataStream stream;

  TestStream(int count, std::uint32_t width, std::uint32_t height, std::uint32_t fill) {
    for (int i = 0; i < count; ++i) {
      fields.push_back(std::make_unique<TestField>(width, height, fill, 0.0, i & 1));
      stream.AddStream(&fields.back()->item);
    }
  }
  std::vector<std::uint32_t>& Words(int i) { return fields[i]->words; }
};

}  // namespace quellor::videoproc::testing
