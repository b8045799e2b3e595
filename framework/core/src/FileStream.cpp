#include "qlxrapi/FileStream.h"

#include <optional>
#include <string>

#include <quellor/RegularFile.h>
#include <win32/quellor_host.h>

#include "StdioCalls.h"

namespace {

// Names may be given the Windows way ("C:\Clips\a.dat"); they are opened at
// the host path the Win32 layer maps them to.
std::FILE* OpenFile(const char* name, const char* mode) {
  if (name == nullptr) return nullptr;
  const std::optional<std::string> hostPath = quellor::win32::ToHostPath(name);
  if (!hostPath) return nullptr;
  // A pipe or device is not read: its open would wait for a writer.
  if (mode[0] == 'r' && quellor::IsPresentButNotRegular(hostPath->c_str())) return nullptr;
  return CurrentStdioCalls().open(hostPath->c_str(), mode);
}

}  // namespace

FileStream_In::~FileStream_In() {
  Close();
}

void FileStream_In::SetFilename(const char* name) {
  Close();
  m_file = OpenFile(name, "rb");
}

bool FileStream_In::ReadData(void* buffer, long length) {
  if (m_file == nullptr || length < 0 || (buffer == nullptr && length > 0)) return false;
  if (length == 0) return true;
  return CurrentStdioCalls().read(buffer, static_cast<std::size_t>(length), 1, m_file) == 1;
}

void FileStream_In::Close() {
  if (m_file == nullptr) return;
  CurrentStdioCalls().close(m_file);
  m_file = nullptr;
}

FileStream_Out::~FileStream_Out() {
  Close();
}

void FileStream_Out::SetFilename(const char* name) {
  Close();
  m_file = OpenFile(name, "wb");
}

bool FileStream_Out::WriteData(const void* data, long length) {
  if (m_file == nullptr || length < 0 || (data == nullptr && length > 0)) return false;
  if (length == 0) return true;
  return CurrentStdioCalls().write(data, static_cast<std::size_t>(length), 1, m_file) == 1;
}

bool FileStream_Out::Close() {
  if (m_file == nullptr) return true;
  const bool closed = CurrentStdioCalls().close(m_file) == 0;
  m_file = nullptr;
  return closed;
}
