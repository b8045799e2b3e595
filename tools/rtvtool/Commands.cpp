#include "Commands.h"

#include "CommandTable.h"

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
  return tools::RunCommandTable("rtvtool", kUsageText,
                                {
                                    {"info", RunInfo},
                                    {"export", RunExport},
                                    {"to-y4m", RunToY4m},
                                    {"from-y4m", RunFromY4m},
                                    {"generate", RunGenerate},
                                },
                                args, out, err);
}

}  // namespace quellor::rtvtool
