#include "Commands.h"

namespace quellor::rtvtool {

const char* const kUsageText =
    "usage: rtvtool info FILE [--json]\n"
    "       rtvtool export FILE --frame N -o PICTURE.png\n"
    "       rtvtool to-y4m FILE -o OUT.y4m\n"
    "       rtvtool from-y4m IN.y4m -o OUT.rtv\n"
    "       rtvtool generate --standard ntsc|pal --frames N -o OUT.rtv\n"
    "\n"
    "  info      the file header, stream headers, field rate, fields and whole frames\n"
    "  export    one frame, both fields interleaved, as a PNG picture\n"
    "  to-y4m    the clip as YUV4MPEG2 4:2:2, interlaced top field first (lossless)\n"
    "  from-y4m  a YUV4MPEG2 4:2:2 stream (\"-\" reads standard input) as a clip\n"
    "  generate  colour bars with a moving marker, as a clip\n";

int RunCommand(const Arguments& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    err << kUsageText;
    return 2;
  }
  const Arguments rest(args.begin() + 1, args.end());
  const std::string& command = args[0];
  if (command == "info") return RunInfo(rest, out, err);
  if (command == "export") return RunExport(rest, out, err);
  if (command == "to-y4m") return RunToY4m(rest, out, err);
  if (command == "from-y4m") return RunFromY4m(rest, out, err);
  if (command == "generate") return RunGenerate(rest, out, err);
  if (command == "--help" || command == "-h" || command == "help") {
    out << kUsageText;
    return 0;
  }
  err << "rtvtool: unknown command \"" << command << "\"\n" << kUsageText;
  return 2;
}

}  // namespace quellor::rtvtool
