// Field format records (engine ordinals 23, 24, 26).
#pragma once

#include "board/FieldRecords.h"

namespace quellor::board {

RTME_FieldFormat MakeFieldFormat(DWORD standard, DWORD parity);
// A record as ordinal 23 or 24 fills it: known standard, parity 0 or 1 and
// that standard's geometry.
bool IsValidFieldFormat(const RTME_FieldFormat& format);

}  // namespace quellor::board
