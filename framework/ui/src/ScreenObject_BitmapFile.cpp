#include "qlxrapi/ScreenObject_BitmapFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "qlxrapi/FindFiles.h"

ScreenObject_BitmapFile::ScreenObject_BitmapFile(char* file) : BitmapItem(192, nullptr) {
  ChangeFilename(file);
}

ScreenObject_BitmapFile::~ScreenObject_BitmapFile() {
  std::free(m_file);
}

bool ScreenObject_BitmapFile::ChangeFilename(char* file) {
  std::free(m_file);
  m_file = file != nullptr ? strdup(file) : nullptr;
  WindowBitmap* picture = GetBitmap();
  bool read = false;
  if (m_file != nullptr && *m_file != '\0') {
    read = picture->ReadBitmapFile(m_file);
    if (!read) {
      // Skins name their pictures relative to the "Skins" folders.
      char* found = FindFiles_FindFile("Skins", m_file);
      read = found != nullptr && picture->ReadBitmapFile(found);
    }
  }
  if (!read) picture->Free();
  Changed("Changed");
  return read;
}
