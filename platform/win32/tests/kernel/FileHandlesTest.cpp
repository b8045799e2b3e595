#include <windows.h>
#include <win32/testing/FileFaults.h>
#include <win32/testing/SystemCalls.h>

#include "quellor/testing/Environment.h"
#include "quellor/testing/ScratchFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

namespace {

using quellor::testing::ScratchFolder;
using quellor::win32::testing::FileFault;
using quellor::win32::testing::ScopedFileFault;

constexpr DWORD kSector = 512;

struct AlignedFree {
  void operator()(void* p) const { std::free(p); }
};
using AlignedBuffer = std::unique_ptr<unsigned char, AlignedFree>;

AlignedBuffer MakeAligned(std::size_t size, unsigned char fill) {
  // aligned_alloc wants a size that is a multiple of the alignment.
  auto* p = static_cast<unsigned char*>(std::aligned_alloc(4096, (size + 4095) / 4096 * 4096));
  std::memset(p, fill, size);
  return AlignedBuffer(p);
}

HANDLE OpenUnbuffered(const std::string& path, DWORD disposition) {
  return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition,
                     FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(FileHandles, CreationDispositionsReportWhatHappened) {
  ScratchFolder folder{"win32_kernel"};
  std::string path = folder / "file.bin";
  HANDLE missing = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(missing, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  HANDLE created = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(created, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(created, "hello", 5, &written, nullptr));
  EXPECT_EQ(written, 5u);
  ASSERT_TRUE(CloseHandle(created));

  EXPECT_EQ(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));

  HANDLE opened = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
  ASSERT_NE(opened, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(GetFileSize(opened, nullptr), 5u);
  CloseHandle(opened);

  HANDLE replaced = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(replaced, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(GetFileSize(replaced, nullptr), 0u);
  CloseHandle(replaced);

  std::string in_missing_folder = folder / "no/such/file.bin";
  EXPECT_EQ(
      CreateFileA(in_missing_folder.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr),
      INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST(FileHandles, ClosedAndForeignHandlesFailCleanly) {
  ScratchFolder folder{"win32_kernel"};
  std::string path = folder / "file.bin";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(CloseHandle(file));
  DWORD written = 7;
  EXPECT_FALSE(WriteFile(file, "x", 1, &written, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(written, 0u);
  EXPECT_FALSE(CloseHandle(file));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
  EXPECT_FALSE(ReadFile(reinterpret_cast<HANDLE>(0x12345), nullptr, 0, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  // A handle of another kind is not a file.
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  EXPECT_FALSE(WriteFile(event, "x", 1, &written, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  CloseHandle(event);
}

TEST(FileHandles, ShareModesAreEnforcedWithinTheProcess) {
  ScratchFolder folder{"win32_kernel"};
  std::string path = folder / "shared.bin";
  HANDLE writer =
      CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(reader, INVALID_HANDLE_VALUE);
  HANDLE second_writer =
      CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(second_writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  // A refused CREATE_ALWAYS must not have truncated the file first.
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(writer, "data", 4, &written, nullptr));
  EXPECT_EQ(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(ReadWholeFile(path), "data");
  CloseHandle(reader);
  CloseHandle(writer);
  HANDLE again = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(again, INVALID_HANDLE_VALUE);
  CloseHandle(again);
}

TEST(FileHandles, DeleteOnCloseRemovesOnlyItsOwnFile) {
  ScratchFolder folder{"win32_kernel"};
  const std::string path = folder / "scratch.tmp";
  const std::string other = folder / "other.tmp";
  // Refused for sharing: the file someone holds stays.
  HANDLE holder = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(holder, "kept", 4, &written, nullptr));
  EXPECT_EQ(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  CloseHandle(holder);
  EXPECT_EQ(ReadWholeFile(path), "kept");
  // A file renamed over the name while a delete-on-close handle is open is
  // not the handle's: it stays when the handle closes.
  HANDLE scratch = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE,
                               nullptr, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  ASSERT_NE(scratch, INVALID_HANDLE_VALUE);
  std::ofstream(other) << "new";
  ASSERT_TRUE(MoveFileExA(other.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING));
  CloseHandle(scratch);
  EXPECT_EQ(ReadWholeFile(path), "new");
  // Its own file goes.
  scratch = CreateFileA(other.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                        FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  ASSERT_NE(scratch, INVALID_HANDLE_VALUE);
  CloseHandle(scratch);
  EXPECT_EQ(GetFileAttributesA(other.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(FileHandles, FilePointerAndSize) {
  ScratchFolder folder{"win32_kernel"};
  std::string path = folder / "seek.bin";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD done = 0;
  ASSERT_TRUE(WriteFile(file, "0123456789", 10, &done, nullptr));
  EXPECT_EQ(SetFilePointer(file, 3, nullptr, FILE_BEGIN), 3u);
  char two[2];
  ASSERT_TRUE(ReadFile(file, two, 2, &done, nullptr));
  EXPECT_EQ(std::string(two, 2), "34");
  EXPECT_EQ(SetFilePointer(file, -1, nullptr, FILE_END), 9u);
  EXPECT_EQ(SetFilePointer(file, -20, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));

  // 64-bit positions through the high word and through the Ex form.
  LONG high = 1;
  EXPECT_EQ(SetFilePointer(file, 0, &high, FILE_BEGIN), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
  EXPECT_EQ(high, 1);
  // Without the high word a position past 4 GiB cannot be told: refused, and
  // the pointer stays where it was.
  EXPECT_EQ(SetFilePointer(file, 5, nullptr, FILE_BEGIN), 5u);
  EXPECT_EQ(SetFilePointer(file, 0x7FFFFFFF, nullptr, FILE_CURRENT), 0x80000004u);
  EXPECT_EQ(SetFilePointer(file, 0x7FFFFFFF, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 0x80000004u);
  LARGE_INTEGER distance, position;
  distance.QuadPart = 4;
  ASSERT_TRUE(SetFilePointerEx(file, distance, &position, FILE_BEGIN));
  EXPECT_EQ(position.QuadPart, 4);
  ASSERT_TRUE(SetEndOfFile(file));
  LARGE_INTEGER size;
  ASSERT_TRUE(GetFileSizeEx(file, &size));
  EXPECT_EQ(size.QuadPart, 4);
  DWORD size_high = 99;
  EXPECT_EQ(GetFileSize(file, &size_high), 4u);
  EXPECT_EQ(size_high, 0u);
  EXPECT_FALSE(SetFilePointerEx(file, distance, nullptr, 7));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  CloseHandle(file);
}

TEST(UnbufferedFiles, RefuseUnalignedBufferSizeOrPosition) {
  ScratchFolder folder{"win32_kernel"};
  std::string path = folder / "sectors.bin";
  HANDLE file = OpenUnbuffered(path, CREATE_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  AlignedBuffer buffer = MakeAligned(8192, 0xAB);
  DWORD done = 123;

  EXPECT_FALSE(WriteFile(file, buffer.get() + 1, kSector, &done, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(done, 0u);
  EXPECT_FALSE(WriteFile(file, buffer.get(), kSector + 1, &done, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  ASSERT_TRUE(WriteFile(file, buffer.get(), 4 * kSector, &done, nullptr));
  EXPECT_EQ(done, 4 * kSector);
  // Seeking to an unaligned place is allowed; transferring there is not.
  EXPECT_EQ(SetFilePointer(file, 100, nullptr, FILE_BEGIN), 100u);
  EXPECT_FALSE(ReadFile(file, buffer.get(), kSector, &done, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(WriteFile(file, buffer.get(), kSector, &done, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(ReadFile(file, buffer.get() + 8, kSector, &done, nullptr));
  CloseHandle(file);
  EXPECT_EQ(ReadWholeFile(path).size(), 4 * kSector);  // nothing partial got in
}

TEST(UnbufferedFiles, ReadsAtEndOfFileReturnFewerBytes) {
  ScratchFolder folder{"win32_kernel"};
  std::string path = folder / "frames.bin";
  HANDLE file = OpenUnbuffered(path, CREATE_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  AlignedBuffer frame = MakeAligned(691200, 0x5A);
  DWORD done = 0;
  ASSERT_TRUE(WriteFile(file, frame.get(), 691200, &done, nullptr));
  ASSERT_TRUE(WriteFile(file, frame.get(), 3 * kSector, &done, nullptr));  // extends the file
  EXPECT_EQ(GetFileSize(file, nullptr), 691200u + 3 * kSector);

  ASSERT_EQ(SetFilePointer(file, 691200, nullptr, FILE_BEGIN), 691200u);
  AlignedBuffer in = MakeAligned(691200, 0);
  ASSERT_TRUE(ReadFile(file, in.get(), 691200, &done, nullptr));
  EXPECT_EQ(done, 3 * kSector);
  ASSERT_TRUE(ReadFile(file, in.get(), 691200, &done, nullptr));
  EXPECT_EQ(done, 0u);
  CloseHandle(file);

  // A file whose size is not a sector multiple: the tail comes back whole.
  std::string odd = folder / "odd.bin";
  std::ofstream(odd, std::ios::binary) << std::string(1000, 'q');
  HANDLE reader = CreateFileA(odd.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_NO_BUFFERING, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(ReadFile(reader, in.get(), 4 * kSector, &done, nullptr));
  EXPECT_EQ(done, 1000u);
  EXPECT_EQ(in.get()[999], 'q');
  CloseHandle(reader);
}

TEST(InjectedFaults, ShortWritesAreCompletedByLooping) {
  ScratchFolder folder{"win32_kernel"};
  std::string path = folder / "short.bin";
  HANDLE file = OpenUnbuffered(path, CREATE_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  AlignedBuffer frame = MakeAligned(691200, 0x11);
  for (std::size_t i = 0; i < 691200; ++i) frame.get()[i] = static_cast<unsigned char>(i * 7);
  DWORD done = 0;
  {
    ScopedFileFault fault("short.bin", FileFault::ShortWrite, 3);
    ASSERT_TRUE(WriteFile(file, frame.get(), 691200, &done, nullptr));
    EXPECT_EQ(fault.Triggered(), 3);
  }
  EXPECT_EQ(done, 691200u);
  CloseHandle(file);
  std::string content = ReadWholeFile(path);
  ASSERT_EQ(content.size(), 691200u);
  EXPECT_EQ(std::memcmp(content.data(), frame.get(), 691200), 0);
}

TEST(InjectedFaults, DiskFullReportsTheBytesWritten) {
  ScratchFolder folder{"win32_kernel"};
  std::string path = folder / "full.bin";
  HANDLE file = OpenUnbuffered(path, CREATE_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  AlignedBuffer frame = MakeAligned(691200, 0x22);
  DWORD done = 0;
  {
    ScopedFileFault full("full.bin", FileFault::DiskFull, -1);
    full.AfterBytes(691200 + 64 * kSector);
    ASSERT_TRUE(WriteFile(file, frame.get(), 691200, &done, nullptr));
    EXPECT_FALSE(WriteFile(file, frame.get(), 691200, &done, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(done, 64 * kSector);
    EXPECT_FALSE(WriteFile(file, frame.get(), kSector, &done, nullptr));
    EXPECT_EQ(done, 0u);
  }
  // Other files are untouched by a fault aimed elsewhere.
  {
    ScopedFileFault elsewhere("other-name", FileFault::WriteError, -1);
    EXPECT_TRUE(WriteFile(file, frame.get(), kSector, &done, nullptr));
    EXPECT_EQ(elsewhere.Triggered(), 0);
  }
  CloseHandle(file);
}

TEST(InjectedFaults, DeviceErrorsAndShortReads) {
  ScratchFolder folder{"win32_kernel"};
  std::string path = folder / "errors.bin";
  std::ofstream(path, std::ios::binary) << std::string(4096, 'e');
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  char buffer[4096];
  DWORD done = 0;
  {
    ScopedFileFault short_reads("errors.bin", FileFault::ShortRead, 5);
    ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &done, nullptr));
    EXPECT_EQ(done, sizeof buffer);
    EXPECT_EQ(short_reads.Triggered(), 5);
  }
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  {
    ScopedFileFault broken("errors.bin", FileFault::ReadError);
    EXPECT_FALSE(ReadFile(file, buffer, sizeof buffer, &done, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_READ_FAULT));
    ScopedFileFault unwritable("errors.bin", FileFault::WriteError);
    EXPECT_FALSE(WriteFile(file, buffer, 10, &done, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_WRITE_FAULT));
  }
  CloseHandle(file);
}

// The seam itself: a replacement sees every call of the file layer.
TEST(SystemCallSeam, ReplacementSeesTheCallsAndZeroWritesMeanFull) {
  struct ZeroWrites : quellor::win32::testing::SystemCalls {
    quellor::win32::testing::SystemCalls& real = quellor::win32::testing::RealSystemCalls();
    int writes = 0;
    int open(const char* p, int f, mode_t m) override { return real.open(p, f, m); }
    int close(int fd) override { return real.close(fd); }
    ssize_t read(int fd, void* b, std::size_t n) override { return real.read(fd, b, n); }
    ssize_t write(int, const void*, std::size_t) override {
      ++writes;
      return 0;
    }
    off_t lseek(int fd, off_t o, int w) override { return real.lseek(fd, o, w); }
    int fstat(int fd, struct stat* s) override { return real.fstat(fd, s); }
    int ftruncate(int fd, off_t l) override { return real.ftruncate(fd, l); }
    int fsync(int fd) override { return real.fsync(fd); }
  } zero_writes;
  ScratchFolder folder{"win32_kernel"};
  std::string path = folder / "zero.bin";
  quellor::win32::testing::ScopedSystemCalls scope(zero_writes);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD done = 1;
  EXPECT_FALSE(WriteFile(file, "abc", 3, &done, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
  EXPECT_EQ(zero_writes.writes, 1);  // no endless retry
  CloseHandle(file);
}

}  // namespace

TEST(FileHandlesPipes, APipeIsRefusedWithoutWaitingForItsOtherEnd) {
  quellor::testing::ScratchFolder folder{"win32_kernel"};
  const std::string pipe = folder / "pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  for (const DWORD access : {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE}) {
    HANDLE handle = CreateFileA(pipe.c_str(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(handle, INVALID_HANDLE_VALUE) << access;
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
  // A device is still a file to open, and reads block as usual again.
  HANDLE zero = CreateFileA("/dev/zero", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(zero, INVALID_HANDLE_VALUE);
  char bytes[16] = {1};
  DWORD read = 0;
  EXPECT_TRUE(ReadFile(zero, bytes, sizeof bytes, &read, nullptr));
  EXPECT_EQ(read, sizeof bytes);
  CloseHandle(zero);
}
