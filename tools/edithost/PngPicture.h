// Reading PNG pictures as 32-bit BGRA (top row first) for the write command.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quellor::edithost {

struct BgraPicture {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint8_t> pixels;
};

// False with libpng's reason in `error`.
bool ReadPngPicture(const std::string& path, BgraPicture* picture, std::string* error);

}  // namespace quellor::edithost
