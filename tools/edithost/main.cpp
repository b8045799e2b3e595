// edithost: drives rtvbridge.so as the editing host does, from the shell.
#include <iostream>

#include "Commands.h"

int main(int argc, char** argv) {
  const quellor::edithost::Arguments args(argv + 1, argv + argc);
  return quellor::edithost::RunCommand(args, std::cout, std::cerr);
}
