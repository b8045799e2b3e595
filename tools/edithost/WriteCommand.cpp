// edithost write --format 422|444|rgba IN... -o CLIP: a clip written frame by
// frame through the plug-in, from PNG pictures or a YUV4MPEG2 4:2:2 stream,
// each frame converted to the chosen format before the plug-in sees it.
#include <cstring>
#include <functional>

#include "Commands.h"
#include "HostFormats.h"
#include "OutputFile.h"
#include "PngPicture.h"
#include "Y4mHeader.h"
#include "Y4mStream.h"

namespace quellor::edithost {
namespace {

// The writing handle, closed when the command ends.
struct Writer {
  const BridgeCalls& calls;
  Handle handle = nullptr;
  ~Writer() {
    if (handle != nullptr) calls.closeWriting(handle);
  }
};

struct Geometry {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
};

// Hands one converted frame to the plug-in; false when it is not stored.
using FrameSink = std::function<bool(Pixels&)>;

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

int WritePictures(const std::vector<std::string>& inputs, HostFormat format, Geometry geometry,
                  const FrameSink& sink, std::ostream& err) {
  for (const std::string& input : inputs) {
    BgraPicture picture;
    std::string error;
    if (!ReadPngPicture(input, &picture, &error)) {
      err << "edithost: " << input << ": " << error << "\n";
      return 1;
    }
    if (picture.width != geometry.width || picture.height != geometry.height) {
      err << "edithost: " << input << ": the picture is " << picture.width << " x "
          << picture.height << "; the plug-in writes " << geometry.width << " x " << geometry.height
          << " (\"VideoMode\" in VideoQuellor.ini)\n";
      return 1;
    }
    Pixels frame = PictureToFrame(format, picture.pixels.data(), geometry.width, geometry.height);
    if (!sink(frame)) return 1;
  }
  return 0;
}

int WriteY4m(const std::string& input, HostFormat format, Geometry geometry, const FrameSink& sink,
             std::ostream& err) {
  std::FILE* file = input == "-" ? stdin : std::fopen(input.c_str(), "rb");
  if (file == nullptr) {
    err << "edithost: cannot open " << input << "\n";
    return 1;
  }
  struct Closer {
    std::FILE* file;
    ~Closer() {
      if (file != stdin) std::fclose(file);
    }
  } closer{file};
  std::string line, error;
  std::optional<tools::Y4mHeader> header;
  if (tools::ReadY4mLine(file, &line) != tools::Y4mLineEnd::Whole ||
      !(header = tools::ParseY4mHeader(line, &error))) {
    err << "edithost: " << input << ": " << (error.empty() ? "not a YUV4MPEG2 file" : error)
        << "\n";
    return 1;
  }
  if (header->chroma != "422" || header->interlace == 'b' || header->interlace == 'm') {
    err << "edithost: " << input << ": only 4:2:2 (C422) top-field-first input can be written\n";
    return 1;
  }
  if (header->width != geometry.width || header->height != geometry.height) {
    err << "edithost: " << input << ": the stream is " << header->width << " x " << header->height
        << "; the plug-in writes " << geometry.width << " x " << geometry.height
        << " (\"VideoMode\" in VideoQuellor.ini)\n";
    return 1;
  }
  std::vector<std::uint8_t> planes(std::size_t{geometry.width} * geometry.height * 2);
  Pixels fields(planes.size());
  for (std::uint64_t n = 0;; ++n) {
    const tools::Y4mLineEnd end = tools::ReadY4mLine(file, &line);
    if (end == tools::Y4mLineEnd::Failed) {
      err << "edithost: " << input << ": cannot read frame " << n << "\n";
      return 1;
    }
    if (end == tools::Y4mLineEnd::EndOfInput) break;
    if (end == tools::Y4mLineEnd::Cut || !tools::IsY4mFrameLine(line)) {
      err << "edithost: " << input << ": frame " << n << " lacks its FRAME line\n";
      return 1;
    }
    if (std::fread(planes.data(), 1, planes.size(), file) != planes.size()) {
      err << "edithost: " << input << ": frame " << n << " is cut short\n";
      return 1;
    }
    tools::PackY4mPicture(planes, geometry.width, geometry.height, fields.data());
    Pixels frame = FieldsToFrame(format, fields.data(), geometry.width, geometry.height);
    if (!sink(frame)) return 1;
  }
  return 0;
}

}  // namespace

int RunWrite(const Arguments& args, std::ostream& out, std::ostream& err) {
  const Options options = ParseOptions(args, {"--format", "-o", "--plugin"});
  const auto format = ParseHostFormat(options.Value("--format").value_or(""));
  const auto clip = options.Value("-o");
  if (!options.error.empty() || options.positional.empty() || !format || !clip) {
    err << (options.error.empty() ? "" : "edithost: " + options.error + "\n") << kUsageText;
    return 2;
  }
  const bool stream = options.positional.size() == 1 &&
                      (EndsWith(options.positional[0], ".y4m") || options.positional[0] == "-");
  // The plug-in empties the clip's file as it opens it: an input under that
  // name would be lost before it is read. The name is the plug-in's: -o as
  // given when it ends in a three-letter extension, else with ".rtv".
  const bool hasExtension = clip->size() >= 4 && (*clip)[clip->size() - 4] == '.';
  const std::string clipFile = hasExtension ? *clip : *clip + ".rtv";
  for (const std::string& input : options.positional) {
    if (tools::SameFile(clipFile, input == "-" ? "/dev/stdin" : input)) {
      err << "edithost: " << clipFile << " is the same file as the input " << input << "\n";
      return 1;
    }
  }
  const std::unique_ptr<BridgePlugin> plugin = LoadPlugin(options, err);
  if (!plugin) return 1;
  Writer writer{plugin->calls()};
  WriteOpenRecord open{};
  open.size = sizeof open;
  open.path = clip->c_str();
  if (writer.calls.openForWrite(&writer.handle, &open) != 1) {
    err << "edithost: " << *clip << ": the plug-in cannot create the clip\n";
    return 1;
  }
  WritingSettingsRecord settings{};
  settings.size = sizeof settings;
  writer.calls.writingSettings(&settings);
  WritingFileInfoRecord info{};
  writer.calls.writingInfo(writer.handle, &info);
  const Geometry geometry{static_cast<std::uint32_t>(info.formats[0].width),
                          static_cast<std::uint32_t>(info.formats[0].height)};

  std::uint64_t written = 0;
  const FrameSink sink = [&](Pixels& frame) {
    VideoFrameRecord record{};
    record.size = sizeof record;
    record.pixels = frame.data();
    std::strncpy(record.format.guid, HostFormatGuid(*format), sizeof record.format.guid - 1);
    record.format.bytesPerFrame = static_cast<std::int32_t>(frame.size());
    if (writer.calls.writeFrame(writer.handle, &record) != 1) {
      err << "edithost: " << *clip << ": frame " << written << " was not stored\n";
      return false;
    }
    ++written;
    return true;
  };
  const int status = stream ? WriteY4m(options.positional[0], *format, geometry, sink, err)
                            : WritePictures(options.positional, *format, geometry, sink, err);
  if (status == 0) {
    out << "wrote " << written << " frame(s) to " << static_cast<const char*>(writer.handle)
        << "\n";
  }
  return status;
}

}  // namespace quellor::edithost
