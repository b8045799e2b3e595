// ScreenObject_BitmapFile: a picture read from a file, drawn and sized as a
// BitmapItem (centred both ways unless the alignment is changed).
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/BitmapItem.h"

class QUELLOR_EXPORT ScreenObject_BitmapFile : public BitmapItem {
 public:
  explicit ScreenObject_BitmapFile(char* file);
  ~ScreenObject_BitmapFile() override;
  ScreenObject_BitmapFile(const ScreenObject_BitmapFile&) = delete;
  ScreenObject_BitmapFile& operator=(const ScreenObject_BitmapFile&) = delete;

  // Keeps a copy of file and reads it: as given, else along the "Skins"
  // search path. A file that cannot be read leaves the picture empty.
  // Announces "Changed"; true when the picture was read.
  bool ChangeFilename(char* file);
  // The stored name, or null.
  const char* GetFilename() const { return m_file; }

 private:
  char* m_file = nullptr;
};
