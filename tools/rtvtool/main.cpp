// rtvtool: inspects, exports, converts and generates RTV clips.
#include <iostream>

#include "Commands.h"

int main(int argc, char** argv) {
  const rtvtool::Arguments args(argv + 1, argv + argc);
  return rtvtool::RunCommand(args, std::cout, std::cerr);
}
