// The pixels of the library's own pictures, drawn here rather than shipped,
// and their registration as resources of the library's module.
#pragma once

#include <windows.h>

#include <cstdint>

namespace quellor::win {

// Resize handles in the order of the resize kinds 1 to 8.
enum class HandleKind { TopLeft, Top, TopRight, Left, Right, BottomLeft, Bottom, BottomRight };

// 0xAARRGGBB words, rows top-down; alpha 0 is transparent.
struct HandlePicture {
  int width;
  int height;
  const std::uint32_t* pixels;
};

const HandlePicture& HandlePictureOf(HandleKind kind);

// Registers every bitmap, handle icon and cursor for module (idempotent).
void RegisterDefaultPictures(HMODULE module);

}  // namespace quellor::win
