// Streams on C files.
#pragma once

#include <quellor/Export.h>

#include <cstdio>

#include "Stream.h"

class QUELLOR_EXPORT FileStream_In : public Stream_In {
 public:
  FileStream_In() = default;
  // Closes an open file.
  ~FileStream_In() override;

  // Two streams must not close one file.
  FileStream_In(const FileStream_In&) = delete;
  FileStream_In& operator=(const FileStream_In&) = delete;

  // Opens name for binary reading; the file is null when that fails. A file
  // already open is closed first.
  void SetFilename(const char* name);
  // False when no file is open or fewer than length bytes remain.
  bool ReadData(void* buffer, long length) override;
  FILE* GetFile() const { return m_file; }
  void Close();

 private:
  FILE* m_file = nullptr;
};

class QUELLOR_EXPORT FileStream_Out : public Stream_Out {
 public:
  FileStream_Out() = default;
  // Closes an open file.
  ~FileStream_Out() override;

  FileStream_Out(const FileStream_Out&) = delete;
  FileStream_Out& operator=(const FileStream_Out&) = delete;

  // Opens name for binary writing, creating or truncating it; the file is
  // null when that fails. A file already open is closed first.
  void SetFilename(const char* name);
  // False when no file is open or not every byte was written.
  bool WriteData(const void* data, long length) override;
  FILE* GetFile() const { return m_file; }
  // False when the file could not be closed cleanly (data still buffered
  // could not be written, for example on a full disk); true when none was
  // open.
  bool Close();

 private:
  FILE* m_file = nullptr;
};
