// rtvtool from-y4m IN.y4m -o OUT.rtv: a YUV4MPEG2 4:2:2 interlaced stream as
// an RTV clip, written the way the recorder writes: Create, Write frame for
// the first frame and Append frame for every later one.
#include <cstdio>
#include <cstring>
#include <vector>

#include "CommandLine.h"
#include "Commands.h"
#include "FieldBuffer.h"
#include "Progress.h"
#include "Y4mHeader.h"
#include "cliplib/clip/ClipWriter.h"

namespace quellor::rtvtool {
namespace {

constexpr std::size_t kLongestHeaderLine = 4096;

// Reads one '\n'-terminated line; false at the end of the input or when the
// line is longer than any header should be.
bool ReadLine(std::FILE* file, std::string* line) {
  line->clear();
  for (int c; (c = std::fgetc(file)) != EOF;) {
    if (c == '\n') return true;
    if (line->size() >= kLongestHeaderLine) return false;
    line->push_back(static_cast<char>(c));
  }
  return false;
}

// Interleaves the Y, Cb and Cr planes of one picture into the frame memory:
// first field (even lines), then second field (odd lines), Cb Y0 Cr Y1 rows.
void PackFrame(const std::vector<std::uint8_t>& planes, std::uint32_t width, std::uint32_t height,
               std::uint8_t* frame) {
  const std::size_t pixels = static_cast<std::size_t>(width) * height;
  const std::uint8_t* luma = planes.data();
  const std::uint8_t* cb = luma + pixels;
  const std::uint8_t* cr = cb + pixels / 2;
  const std::size_t field_bytes = pixels;  // width x height / 2 lines x 2 bytes
  for (std::uint32_t y = 0; y < height; ++y) {
    std::uint8_t* row =
        frame + (y & 1) * field_bytes + static_cast<std::size_t>(y >> 1) * width * 2;
    for (std::uint32_t pair = 0; pair < width / 2; ++pair) {
      row[4 * pair] = *cb++;
      row[4 * pair + 1] = *luma++;
      row[4 * pair + 2] = *cr++;
      row[4 * pair + 3] = *luma++;
    }
  }
}

// Why the header cannot become a clip, or "" when it can.
std::string Unsuitable(const Y4mHeader& header) {
  if (header.chroma != "422") return "only 4:2:2 (C422) input can become a clip";
  if (header.interlace == 'b' || header.interlace == 'm') {
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

}  // namespace

int RunFromY4m(const Arguments& args, std::ostream& /*out*/, std::ostream& err) {
  const CommandLine line(args, {"-o"}, {});
  const auto output = line.Value("-o");
  if (!line.ok() || line.positional().size() != 1 || !output) {
    err << (line.ok() ? "" : "rtvtool: " + line.error() + "\n") << kUsageText;
    return 2;
  }
  const std::string& path = line.positional()[0];
  std::FILE* file = path == "-" ? stdin : std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    err << "rtvtool: cannot open " << path << "\n";
    return 1;
  }
  struct Closer {
    std::FILE* file;
    ~Closer() {
      if (file != stdin) std::fclose(file);
    }
  } closer{file};

  std::string text, error;
  std::optional<Y4mHeader> header;
  if (!ReadLine(file, &text) || !(header = ParseY4mHeader(text, &error))) {
    err << "rtvtool: " << path << ": " << (error.empty() ? "not a YUV4MPEG2 file" : error) << "\n";
    return 1;
  }
  if (const std::string why = Unsuitable(*header); !why.empty()) {
    err << "rtvtool: " << path << ": " << why << "\n";
    return 1;
  }

  const std::uint32_t width = header->width;
  const std::uint32_t height = header->height;
  std::vector<std::uint8_t> planes(static_cast<std::size_t>(width) * height * 2);
  const std::string& clip = *output;
  try {
    FieldBuffer frame(planes.size());
    quellor::clip::ClipWriter::Create(
        clip.c_str(), 2, 0, width, height / 2,
        FrameRateForClip(header->rate_numerator, header->rate_denominator));
    Progress progress("from-y4m", 0);
    std::uint64_t frames = 0;
    int status = 0;
    while (ReadLine(file, &text)) {
      if (text.compare(0, 5, "FRAME") != 0) {
        err << "rtvtool: " << path << ": frame " << frames << " lacks its FRAME line\n";
        status = 1;
        break;
      }
      if (std::fread(planes.data(), 1, planes.size(), file) != planes.size()) {
        err << "rtvtool: " << path << ": frame " << frames << " is cut short\n";
        status = 1;
        break;
      }
      PackFrame(planes, width, height, frame.data());
      const bool ok = frames == 0
                          ? quellor::clip::ClipWriter::WriteFrame(clip.c_str(), frame.data())
                          : quellor::clip::ClipWriter::AppendFrame(clip.c_str(), frame.data());
      if (!ok) {
        err << "rtvtool: " << clip << ": cannot write frame " << frames << "\n";
        status = 1;
        break;
      }
      progress.Update(++frames);
    }
    quellor::clip::ClipWriter::Close(clip.c_str());
    return status;
  } catch (const char* message) {
    err << "rtvtool: " << clip << ": " << message << "\n";
    return 1;
  }
}

}  // namespace quellor::rtvtool
