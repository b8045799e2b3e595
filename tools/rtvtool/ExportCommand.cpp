// rtvtool export FILE --frame N -o PICTURE.png: one frame, both fields
// interleaved, as a PNG picture.
#include <vector>

#include "ClipFrames.h"
#include "CommandLine.h"
#include "Commands.h"
#include "OutputFile.h"
#include "PngFile.h"
#include "board/ColourConversion.h"

namespace quellor::rtvtool {

int RunExport(const Arguments& args, std::ostream& /*out*/, std::ostream& err) {
  const CommandLine line(args, {"--frame", "-o"}, {});
  const auto frame = line.Number("--frame");
  const auto output = line.Value("-o");
  if (!line.ok() || line.positional().size() != 1 || !frame || !output) {
    err << (line.ok() ? "" : "rtvtool: " + line.error() + "\n") << kUsageText;
    return 2;
  }
  const std::string& path = line.positional()[0];
  quellor::tools::OutputFile target(*output);
  std::string error;
  if (!target.Open({path}, &error)) {
    err << "rtvtool: " << error << "\n";
    return 1;
  }
  try {
    ClipFrames clip(path);
    if (*frame >= clip.frame_count()) {
      err << "rtvtool: " << path << ": frame " << *frame << " is beyond the clip's "
          << clip.frame_count() << " whole frames\n";
      return 1;
    }
    if (!clip.Read(*frame)) {
      err << "rtvtool: " << path << ": cannot read frame " << *frame << "\n";
      return 1;
    }
    const std::size_t row_bytes = static_cast<std::size_t>(clip.width()) * 4;
    std::vector<std::uint8_t> bgra(row_bytes * clip.height());
    for (std::uint32_t y = 0; y < clip.height(); ++y) {
      decode_ycbcr8_bgra(bgra.data() + y * row_bytes, clip.PictureRow(y),
                         static_cast<int>(clip.width()));
    }
    if (!quellor::tools::WritePng(target.path(), clip.width(), clip.height(), bgra.data(),
                                  &error)) {
      err << "rtvtool: " << error << "\n";
      return 1;
    }
  } catch (const char* text) {
    err << "rtvtool: " << path << ": " << text << "\n";
    return 1;
  }
  if (!target.Commit(&error)) {
    err << "rtvtool: " << error << "\n";
    return 1;
  }
  return 0;
}

}  // namespace quellor::rtvtool
