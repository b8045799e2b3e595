// Feeds arbitrary bytes to the clip reader as a file: Open must end in one of
// its texts or succeed, and an open clip's fields must read and decode
// without touching memory they do not own.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cliplib/clip/ClipFile.h"
#include "cliplib/clip/OpenClipTable.h"

namespace {

// Fields read per input and the largest chunk decoded: enough to reach every
// code path without letting one input take seconds.
constexpr std::uint64_t kMostFields = 64;
constexpr std::uint32_t kLargestDecodedChunk = 4u << 20;

const std::string& InputPath() {
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("rtv_reader_fuzz." + std::to_string(getpid())))
          .string();
  return path;
}

bool StoreInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(InputPath().c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && ok;
}

void ReadEveryField(quellor::clip::ClipFile& clip) {
  std::uint32_t pixels = 0, lines = 0;
  clip.Geometry(0, &pixels, &lines);
  const std::uint64_t fields = clip.FieldCount();
  const std::size_t tracks = clip.video_stream_count() / 2;
  std::vector<std::uint8_t> bgra;
  for (std::uint64_t field = 0; field < fields && field < kMostFields; ++field) {
    for (std::size_t track = 0; track < tracks; ++track) {
      quellor::clip::VideoStreamContext* stream =
          clip.StreamForField(field, static_cast<int>(track));
      if (clip.ReadChunk(field, static_cast<int>(track)) == nullptr) continue;
      if (stream->chunk_size() > kLargestDecodedChunk) continue;
      // Decode converts at most chunk size / 2 pixels of 4 bytes each.
      bgra.resize(static_cast<std::size_t>(stream->chunk_size()) * 2);
      stream->Decode(bgra.data());
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!StoreInput(data, size)) return 0;
  try {
    auto clip = quellor::clip::ClipFile::Open(InputPath().c_str());
    ReadEveryField(*clip);
    clip->Close();
  } catch (const char*) {
    // One of the reader's texts: the expected end for a bad file.
  }
  {
    auto slot = quellor::clip::OpenClipTable::Instance().Acquire(InputPath().c_str());
    if (slot) slot->clip->FieldCount();
  }
  quellor::clip::OpenClipTable::Instance().Close(InputPath().c_str());
  return 0;
}
