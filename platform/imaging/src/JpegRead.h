// The decoding behind ijlRead.
#pragma once

#include "imaging/JpegLibrary.h"

namespace quellor::imaging {

// Records the failure in props->ErrorText and returns code.
IJLERR JpegFailure(JPEG_CORE_PROPERTIES* props, IJLERR code, const char* text);

// Reads the parameters (whole == false) or the whole picture of the file or
// memory block that props names.
IJLERR ReadJpeg(JPEG_CORE_PROPERTIES* props, bool fromFile, bool whole);

}  // namespace quellor::imaging
