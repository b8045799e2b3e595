#!/bin/sh
# Compiles the records shared with the editing host as a 32-bit build, so
# that their static_asserts check every offset and size of the host's
# layout. Usage: check_records_m32.sh [COMPILER] [INCLUDE_DIR]
set -eu
compiler=${1:-g++}
include=${2:-$(dirname "$0")/../include}
printf '#include "rtvbridge/AvFileRecords.h"\nint main() { return 0; }\n' |
  "$compiler" -m32 -std=c++20 -fsyntax-only -Wall -Wextra -Werror -I "$include" -x c++ -
echo "rtvbridge records: 32-bit offsets and sizes as the host expects"
