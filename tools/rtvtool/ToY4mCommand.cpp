// rtvtool to-y4m FILE -o OUT.y4m: the clip as YUV4MPEG2 4:2:2, interlaced
// top field first (the first field is the picture's even lines). Lossless:
// the packed Cb Y0 Cr Y1 rows are split into the Y, Cb and Cr planes.
#include <cstdio>
#include <vector>

#include "ClipFrames.h"
#include "OutputFile.h"
#include "ScopedFile.h"
#include "CommandLine.h"
#include "Commands.h"
#include "Progress.h"
#include "Y4mHeader.h"

namespace quellor::rtvtool {

using namespace quellor::tools;  // the YUV4MPEG2 header shared by the tools
namespace {

// Frame planes of one picture: Y (width x height), then Cb and Cr (width/2 x
// height each).
void SplitPicture(const ClipFrames& clip, std::vector<std::uint8_t>& planes) {
  const std::uint32_t width = clip.width();
  const std::size_t pixels = static_cast<std::size_t>(width) * clip.height();
  std::uint8_t* luma = planes.data();
  std::uint8_t* cb = luma + pixels;
  std::uint8_t* cr = cb + pixels / 2;
  for (std::uint32_t y = 0; y < clip.height(); ++y) {
    const std::uint8_t* row = clip.PictureRow(y);
    for (std::uint32_t pair = 0; pair < width / 2; ++pair) {
      *cb++ = row[4 * pair];
      *luma++ = row[4 * pair + 1];
      *cr++ = row[4 * pair + 2];
      *luma++ = row[4 * pair + 3];
    }
  }
}

}  // namespace

int RunToY4m(const Arguments& args, std::ostream& /*out*/, std::ostream& err) {
  const CommandLine line(args, {"-o"}, {});
  const auto output = line.Value("-o");
  if (!line.ok() || line.positional().size() != 1 || !output) {
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
    if (clip.width() % 2 != 0 || clip.width() == 0 || clip.field_lines() == 0) {
      err << "rtvtool: " << path << ": 4:2:2 needs an even, non-zero width\n";
      return 1;
    }
    if (!UsableFieldRate(clip.field_rate())) {
      err << "rtvtool: " << path << ": the clip's field rate (" << clip.field_rate()
          << ") is not a frame rate a YUV4MPEG2 stream can carry\n";
      return 1;
    }
    Y4mHeader header;
    header.width = clip.width();
    header.height = clip.height();
    FrameRateFromFieldRate(clip.field_rate(), &header.rate_numerator, &header.rate_denominator);
    header.interlace = 't';
    header.chroma = "422";
    // Pixel aspect of 4:3 pictures sampled at 13.5 MHz.
    header.aspect_numerator = clip.field_lines() > 240 ? 12 : 10;
    header.aspect_denominator = 11;

    quellor::rtvtool::ScopedFile file(std::fopen(target.path().c_str(), "wb"));
    if (file.get() == nullptr) {
      err << "rtvtool: cannot create " << *output << "\n";
      return 1;
    }
    const std::string text = FormatY4mHeader(header);
    bool ok = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
    // Sized at the first frame read: a header's geometry alone never sizes
    // memory beyond what the file holds.
    std::vector<std::uint8_t> planes;
    Progress progress("to-y4m", clip.frame_count());
    for (std::uint64_t n = 0; ok && n < clip.frame_count(); ++n) {
      if (!clip.Read(n)) {
        err << "rtvtool: " << path << ": cannot read frame " << n << "\n";
        return 1;
      }
      planes.resize(static_cast<std::size_t>(clip.width()) * clip.height() * 2);
      SplitPicture(clip, planes);
      ok = std::fputs("FRAME\n", file.get()) >= 0 &&
           std::fwrite(planes.data(), 1, planes.size(), file.get()) == planes.size();
      progress.Update(n + 1);
    }
    if (!file.Close() || !ok) {
      err << "rtvtool: cannot write " << *output << "\n";
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
