// Timecode text of a frame count.
#pragma once

#include <quellor/Export.h>

// Writes the frame count as "HH:MM:SS:FF" (11 characters and a terminator;
// buffer of at least 12 bytes). The rate picks the counting: exactly
// 29.97102897102897 (30001/1001) counts drop-frame (frames 0 and 1 of every
// minute but each tenth are skipped), 25.0 and 24.0 count 25 frames a second,
// any other rate 30 frames a second with ';' before the frames. Counts of 100
// hours and more wrap around within 100 hours. False for a null buffer.
QUELLOR_EXPORT bool ConvertTimecodeToString(char* buffer, double rate, unsigned long frames);
