// graticules: draws the waveform monitor's six graticule pictures as Targa
// files into a folder (the build's Skins\QuellorScope).
//
//   graticules <folder>
#include <filesystem>
#include <iostream>

#include "Graticules.h"

int main(int argc, char** argv) {
  using namespace quellor::graticules;
  if (argc != 2) {
    std::cerr << "usage: graticules <folder>\n";
    return 2;
  }
  std::error_code error;
  std::filesystem::create_directories(argv[1], error);
  for (const GraticuleFile& file : GraticuleFiles()) {
    const std::string path = std::string(argv[1]) + "/" + file.fileName;
    if (!WriteTarga(file.draw(), path)) {
      std::cerr << "graticules: cannot write " << path << '\n';
      return 1;
    }
  }
  return 0;
}
