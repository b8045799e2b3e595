// Byte-stream interfaces through which objects save and restore their state.
#pragma once

#include <quellor/Export.h>

class QUELLOR_EXPORT Stream_In {
 public:
  // True when exactly length bytes were read into buffer. A length of 0
  // reads nothing and succeeds on a usable stream; a negative length fails.
  virtual bool ReadData(void* buffer, long length) = 0;
  virtual ~Stream_In() = default;
};

class QUELLOR_EXPORT Stream_Out {
 public:
  // True when all length bytes were written. A length of 0 writes nothing
  // and succeeds on a usable stream; a negative length fails.
  virtual bool WriteData(const void* data, long length) = 0;
  virtual ~Stream_Out() = default;
};
