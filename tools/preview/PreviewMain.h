// The preview program's run: options, a top-level window that ends the
// program when it is asked to close (WM_CLOSE, as clipviewer and rtvbridge.so
// ask), SIGTERM and SIGINT, and the picture rewritten at its interval.
//
//   VideoPreviewIn|VideoPreviewOut [-o FILE.png] [--interval MS] [--pictures N]
//
// The picture goes to FILE.png, by default preview-in.png / preview-out.png
// in the board's folder. --pictures ends the program after N pictures.
// Exit status: 0 ended as asked, 1 the board could not be reached or the
// picture written, 2 bad arguments.
#pragma once

#include "LivePreview.h"

namespace quellor::preview {

int RunPreview(PreviewSource source, int argc, char** argv);

}  // namespace quellor::preview
