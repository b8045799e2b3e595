// rtvtool from-y4m IN.y4m -o OUT.rtv: a YUV4MPEG2 4:2:2 interlaced stream as
// an RTV clip, written the way the recorder writes: Create, Write frame for
// the first frame and Append frame for every later one.
#include <cstdio>
#include <cstring>
#include <vector>

#include "CommandLine.h"
#include "Commands.h"
#include "FieldBuffer.h"
#include "OutputFile.h"
#include "Progress.h"
#include "ScopedFile.h"
#include "Y4mHeader.h"
#include "Y4mStream.h"
#include "cliplib/clip/ClipWriter.h"

namespace quellor::rtvtool {

using namespace quellor::tools;  // the YUV4MPEG2 header shared by the tools
namespace {

// Why the header cannot become a clip, or "" when it can.
std::string Unsuitable(const Y4mHeader& header) {
  if (header.chroma != "422") return "only 4:2:2 (C422) input can become a clip";
  if (header.interlace != 't') {
    return "only top-field-first (It) input can become a clip";
  }
  if (header.width == 0 || header.height == 0 || header.width % 2 || header.height % 2) {
    return "the picture needs an even, non-zero width and height";
  }
  if (header.width > 8192 || header.height > 8192) return "the picture is too large for a clip";
  // Unbuffered writes move whole sectors from sector-aligned memory, and the
  // second field starts one field into the frame.
  if ((static_cast<std::size_t>(header.width) * header.height) % 512 != 0) {
    return "a field (width x height bytes of 4:2:2 per frame) must be a whole number of "
           "512-byte sectors";
  }
  return "";
}

// Reads every frame of `file` into the clip at `clip`; 0 or 1 as the command
// returns it.
int ConvertFrames(std::FILE* file, const std::string& path, const Y4mHeader& header,
                  const std::string& clip, const std::string& shown, std::ostream& err) {
  const std::uint32_t width = header.width;
  const std::uint32_t height = header.height;
  std::vector<std::uint8_t> planes(static_cast<std::size_t>(width) * height * 2);
  FieldBuffer frame(planes.size());
  quellor::clip::ClipWriter::Create(
      clip.c_str(), 2, 0, width, height / 2,
      FrameRateForClip(header.rate_numerator, header.rate_denominator));
  struct TableCloser {
    const std::string& clip;
    ~TableCloser() { quellor::clip::ClipWriter::Close(clip.c_str()); }
  } closer{clip};
  Progress progress("from-y4m", 0);
  std::string text;
  for (std::uint64_t frames = 0;; ++frames) {
    const Y4mLineEnd end = ReadY4mLine(file, &text);
    if (end == Y4mLineEnd::Failed) {
      err << "rtvtool: " << path << ": cannot read frame " << frames << "\n";
      return 1;
    }
    if (end == Y4mLineEnd::EndOfInput) return 0;
    if (end == Y4mLineEnd::Cut || !IsY4mFrameLine(text)) {
      err << "rtvtool: " << path << ": frame " << frames << " lacks its FRAME line\n";
      return 1;
    }
    if (std::fread(planes.data(), 1, planes.size(), file) != planes.size()) {
      err << "rtvtool: " << path << ": frame " << frames << " is cut short\n";
      return 1;
    }
    PackY4mPicture(planes, width, height, frame.data());
    const bool ok = frames == 0
                        ? quellor::clip::ClipWriter::WriteFrame(clip.c_str(), frame.data())
                        : quellor::clip::ClipWriter::AppendFrame(clip.c_str(), frame.data());
    if (!ok) {
      err << "rtvtool: " << shown << ": cannot write frame " << frames << "\n";
      return 1;
    }
    progress.Update(frames + 1);
  }
}

}  // namespace

int RunFromY4m(const Arguments& args, std::ostream& /*out*/, std::ostream& err) {
  const CommandLine line(args, {"-o"}, {});
  const auto output = line.Value("-o");
  if (!line.ok() || line.positional().size() != 1 || !output) {
    err << (line.ok() ? "" : "rtvtool: " + line.error() + "\n") << kUsageText;
    return 2;
  }
  const std::string& path = line.positional()[0];
  quellor::tools::OutputFile target(*output);
  std::string error;
  if (!target.Open({path == "-" ? "/dev/stdin" : path}, &error)) {
    err << "rtvtool: " << error << "\n";
    return 1;
  }
  ScopedFile file(path == "-" ? stdin : std::fopen(path.c_str(), "rb"));
  if (file.get() == nullptr) {
    err << "rtvtool: cannot open " << path << "\n";
    return 1;
  }

  std::string text;
  std::optional<Y4mHeader> header;
  if (ReadY4mLine(file.get(), &text) != Y4mLineEnd::Whole ||
      !(header = ParseY4mHeader(text, &error))) {
    err << "rtvtool: " << path << ": " << (error.empty() ? "not a YUV4MPEG2 file" : error) << "\n";
    return 1;
  }
  if (const std::string why = Unsuitable(*header); !why.empty()) {
    err << "rtvtool: " << path << ": " << why << "\n";
    return 1;
  }
  try {
    if (const int status = ConvertFrames(file.get(), path, *header, target.path(), *output, err);
        status != 0) {
      return status;
    }
  } catch (const char* message) {
    err << "rtvtool: " << *output << ": " << message << "\n";
    return 1;
  }
  if (!target.Commit(&error)) {
    err << "rtvtool: " << error << "\n";
    return 1;
  }
  return 0;
}

}  // namespace quellor::rtvtool
