// libjpeg's error handling turned into results: every error, and every
// warning that means picture data was lost, jumps back to the reading call
// with a result code and libjpeg's message instead of ending the program.
#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "imaging/JpegLibrary.h"

namespace quellor::imaging {

struct JpegErrorManager {
  jpeg_error_mgr library;  // first: libjpeg sees only this part
  std::jmp_buf jump;
  IJLERR code;
  char text[JMSG_LENGTH_MAX];
};

// Installs the handlers on manager and returns what cinfo->err takes.
jpeg_error_mgr* UseJpegErrorManager(JpegErrorManager& manager);

// Ends decoding with code and text through manager's jump.
[[noreturn]] void FailJpeg(JpegErrorManager& manager, IJLERR code, const char* text);

// A progress monitor that refuses files of more than IJL_MAX_SCANS scans.
struct JpegScanLimit {
  jpeg_progress_mgr library;  // first: libjpeg sees only this part
  j_decompress_ptr cinfo;
};
void UseJpegScanLimit(JpegScanLimit& limit, j_decompress_ptr cinfo);

}  // namespace quellor::imaging
