// Loading a JPEG picture file as the viewer's loaded picture.
#pragma once

#include <string>

#include "app/LoadedPicture.h"

namespace quellor::clipviewer {

// Decodes the file (1 or 3 components) into a new picture of its size (width
// rounded up to 4, padding black) and makes it the loaded picture. False, with
// the reason on the debug output, when the file cannot be read or is not such
// a JPEG; the loaded picture is then left as it was.
bool LoadPictureFile(const std::string& path, LoadedPicture& loaded);

}  // namespace quellor::clipviewer
