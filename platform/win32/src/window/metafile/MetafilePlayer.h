// Replays the records of a picture onto a context, mapping its frame onto a
// rectangle of that context.
#pragma once

#include "MetafileRecord.h"

namespace quellor::win32::metafile {

// `into` is normalised and not empty; the picture's frame is not empty.
void Play(HDC hdc, const Picture& picture, const RECT& into);

}  // namespace quellor::win32::metafile
