// rtvtool generate --standard ntsc|pal --frames N -o OUT.rtv: a clip of
// colour bars with a moving marker, written like a recording (Create, Write
// frame, then Append frame).
#include <vector>

#include "ColourBars.h"
#include "CommandLine.h"
#include "Commands.h"
#include "FieldBuffer.h"
#include "Progress.h"
#include "board/ColourConversion.h"
#include "cliplib/clip/ClipWriter.h"

namespace quellor::rtvtool {
namespace {

constexpr std::uint32_t kWidth = 720;
constexpr std::uint64_t kMostFrames = 1000000;  // over nine hours of PAL

struct Standard {
  std::uint32_t field_lines;
  float frame_rate;
};

// Splits the picture's lines into the two fields of the frame memory.
void EncodeFrame(const std::vector<std::uint8_t>& bgra, std::uint32_t field_lines,
                 std::uint8_t* frame) {
  const std::size_t field_bytes = static_cast<std::size_t>(kWidth) * field_lines * 2;
  for (std::uint32_t y = 0; y < field_lines * 2; ++y) {
    std::uint8_t* row =
        frame + (y & 1) * field_bytes + static_cast<std::size_t>(y >> 1) * kWidth * 2;
    encode_bgra_ycbcr8(row, bgra.data() + static_cast<std::size_t>(y) * kWidth * 4, kWidth);
  }
}

}  // namespace

int RunGenerate(const Arguments& args, std::ostream& /*out*/, std::ostream& err) {
  const CommandLine line(args, {"--standard", "--frames", "-o"}, {});
  const auto standard_name = line.Value("--standard");
  const auto frames = line.Number("--frames");
  const auto output = line.Value("-o");
  if (!line.ok() || !line.positional().empty() || !standard_name || !frames || !output ||
      (*standard_name != "ntsc" && *standard_name != "pal") || *frames > kMostFrames) {
    err << (line.ok() ? "" : "rtvtool: " + line.error() + "\n") << kUsageText;
    return 2;
  }
  // The suite's own frame rates: NTSC 29.970026 (field rate 59.940052), PAL 25.
  const Standard standard =
      *standard_name == "ntsc" ? Standard{240, 29.970026f} : Standard{288, 25.0f};
  const std::string& clip = *output;
  try {
    quellor::clip::ClipWriter::Create(clip.c_str(), 2, 0, kWidth, standard.field_lines,
                                      standard.frame_rate);
    FieldBuffer frame(static_cast<std::size_t>(kWidth) * standard.field_lines * 4);
    std::vector<std::uint8_t> bgra(static_cast<std::size_t>(kWidth) * standard.field_lines * 2 * 4);
    Progress progress("generate", *frames);
    int status = 0;
    for (std::uint64_t n = 0; n < *frames; ++n) {
      DrawColourBars(kWidth, standard.field_lines * 2, n, bgra.data());
      EncodeFrame(bgra, standard.field_lines, frame.data());
      const bool ok = n == 0 ? quellor::clip::ClipWriter::WriteFrame(clip.c_str(), frame.data())
                             : quellor::clip::ClipWriter::AppendFrame(clip.c_str(), frame.data());
      if (!ok) {
        err << "rtvtool: " << clip << ": cannot write frame " << n << "\n";
        status = 1;
        break;
      }
      progress.Update(n + 1);
    }
    quellor::clip::ClipWriter::Close(clip.c_str());
    return status;
  } catch (const char* message) {
    err << "rtvtool: " << clip << ": " << message << "\n";
    return 1;
  }
}

}  // namespace quellor::rtvtool
