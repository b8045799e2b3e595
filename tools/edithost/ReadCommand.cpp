// edithost read CLIP --format 422|444|rgba [--frames A-B] -o OUT: frames as
// the plug-in delivers them, to PNG pictures or raw.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>

#include "Commands.h"
#include "HostFormats.h"
#include "OutputFile.h"
#include "PngFile.h"

namespace quellor::edithost {
namespace {

bool ParseNumber(const std::string& text, std::uint32_t* value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

// "A-B" (inclusive) or "A".
bool ParseRange(const std::string& text, std::uint32_t* first, std::uint32_t* last) {
  const auto dash = text.find('-');
  if (dash == std::string::npos) return ParseNumber(text, first) && ParseNumber(text, last);
  return ParseNumber(text.substr(0, dash), first) && ParseNumber(text.substr(dash + 1), last) &&
         *first <= *last;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// OUT.png for one frame, OUT-NNNN.png (the frame number) for several.
std::string PictureName(const std::string& out, std::uint32_t frame, bool several) {
  if (!several) return out;
  char number[16];
  std::snprintf(number, sizeof number, "-%04u", frame);
  return out.substr(0, out.size() - 4) + number + ".png";
}

// The reading handle, closed when the command ends.
struct Reader {
  const BridgeCalls& calls;
  Handle handle = nullptr;
  ~Reader() {
    if (handle != nullptr) calls.closeReading(handle);
  }
};

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// One picture, written beside its name and renamed over it once whole: a
// full disk leaves the old picture, not a cut one.
bool WritePicture(const std::string& name, const std::string& clip, std::uint32_t width,
                  std::uint32_t height, const Pixels& picture, std::ostream& err) {
  tools::OutputFile target(name);
  std::string error;
  if (!target.Open({clip}, &error) ||
      !tools::WritePng(target.path(), width, height, picture.data(), &error) ||
      !target.Commit(&error)) {
    err << "edithost: " << error << "\n";
    return false;
  }
  return true;
}

}  // namespace

int RunRead(const Arguments& args, std::ostream& out, std::ostream& err) {
  const Options options = ParseOptions(args, {"--format", "--frames", "-o", "--plugin"});
  const auto format = ParseHostFormat(options.Value("--format").value_or(""));
  const auto output = options.Value("-o");
  if (!options.error.empty() || options.positional.size() != 1 || !format || !output) {
    err << (options.error.empty() ? "" : "edithost: " + options.error + "\n") << kUsageText;
    return 2;
  }
  std::uint32_t first = 0, last = 0;
  const auto range = options.Value("--frames");
  if (range && !ParseRange(*range, &first, &last)) {
    err << "edithost: --frames takes A-B or A (frame numbers from 0)\n" << kUsageText;
    return 2;
  }
  const std::string& clip = options.positional[0];
  const std::unique_ptr<BridgePlugin> plugin = LoadPlugin(options, err);
  if (!plugin) return 1;
  Reader reader{plugin->calls()};
  if (reader.calls.openForRead(&reader.handle, clip.c_str()) != 1) {
    err << "edithost: " << clip << ": the plug-in does not open it (missing, or not an RTV clip)\n";
    return 1;
  }
  ReadingFileInfoRecord info{};
  info.size = sizeof info;
  if (reader.calls.readingInfo(reader.handle, &info) != 1) {
    err << "edithost: " << clip << ": the plug-in cannot read the clip's headers\n";
    return 1;
  }
  if (info.frameCount <= 0) {
    err << "edithost: " << clip << ": the clip holds no whole frame\n";
    return 1;
  }
  if (!range) last = static_cast<std::uint32_t>(info.frameCount - 1);
  if (last >= static_cast<std::uint32_t>(info.frameCount)) {
    err << "edithost: " << clip << ": the clip has " << info.frameCount << " frames (0-"
        << info.frameCount - 1 << ")\n";
    return 1;
  }
  const auto width = static_cast<std::uint32_t>(info.formats[0].width);
  const auto height = static_cast<std::uint32_t>(info.formats[0].height);
  const bool png = EndsWith(*output, ".png");
  // Raw frames go to a temporary beside the output, renamed over it only
  // when every frame was read and written: a failed run leaves the old file.
  // The clip itself is never the output.
  tools::OutputFile target(*output);
  std::unique_ptr<std::FILE, FileCloser> raw;
  if (!png) {
    std::string error;
    if (!target.Open({clip}, &error)) {
      err << "edithost: " << error << "\n";
      return 1;
    }
    raw.reset(std::fopen(target.path().c_str(), "wb"));
    if (!raw) {
      err << "edithost: cannot write " << *output << "\n";
      return 1;
    }
  }
  Pixels frame(HostFrameBytes(*format, width, height));
  for (std::uint32_t n = first; n <= last; ++n) {
    FrameRequestRecord request{};
    request.size = sizeof request;
    request.frameNumber = static_cast<std::int32_t>(n);
    request.buffer = frame.data();
    request.bufferSize = static_cast<std::uint32_t>(frame.size());
    std::strncpy(request.requested.guid, HostFormatGuid(*format),
                 sizeof request.requested.guid - 1);
    if (reader.calls.readFrame(reader.handle, &request) != 1) {
      err << "edithost: " << clip << ": frame " << n << " cannot be read\n";
      return 1;
    }
    if (png) {
      const Pixels picture = FrameToPicture(*format, frame.data(), width, height);
      if (!WritePicture(PictureName(*output, n, first != last), clip, width, height, picture,
                        err)) {
        return 1;
      }
    } else if (std::fwrite(frame.data(), 1, frame.size(), raw.get()) != frame.size()) {
      err << "edithost: cannot write " << *output << "\n";
      return 1;
    }
  }
  if (!png) {
    // The last buffered bytes reach the disk at the close: a full disk shows
    // there, and the old file stays.
    std::string error;
    if (std::fclose(raw.release()) != 0) {
      err << "edithost: cannot write " << *output << "\n";
      return 1;
    }
    if (!target.Commit(&error)) {
      err << "edithost: " << error << "\n";
      return 1;
    }
  }
  out << "read " << (last - first + 1) << " frame(s) of " << clip << " to " << *output << "\n";
  return 0;
}

}  // namespace quellor::edithost
