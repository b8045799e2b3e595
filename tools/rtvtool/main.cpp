// rtvtool: inspects, exports, converts and generates RTV clips.
#include <iostream>

#include "Commands.h"

int main(int argc, char** argv) {
  const quellor::rtvtool::Arguments args(argv + 1, argv + argc);
  return quellor::rtvtool::RunCommand(args, std::cout, std::cerr);
}
