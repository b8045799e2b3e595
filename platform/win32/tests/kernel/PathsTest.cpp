#include <win32/quellor_host.h>
#include <windows.h>

#include "quellor/testing/Environment.h"
#include "quellor/testing/ScratchFolder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

using quellor::testing::ScopedEnvironment;
using quellor::testing::ScratchFolder;
using quellor::win32::DriveFolder;
using quellor::win32::ToHostPath;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(PathMapping, DrivesFollowQuellorDrives) {
  ScopedEnvironment home("HOME", "/home/someone");
  {
    ScopedEnvironment drives("QUELLOR_DRIVES", "");
    EXPECT_EQ(ToHostPath("C:\\clips\\a.rtv"), "/home/someone/clips/a.rtv");
    EXPECT_EQ(ToHostPath("c:/clips"), "/home/someone/clips");
    EXPECT_EQ(ToHostPath("D:\\RecordNo0.rtv"), std::nullopt);
  }
  ScopedEnvironment drives("QUELLOR_DRIVES", "C=/data/c/;d=/mnt/video;R=/");
  EXPECT_EQ(ToHostPath("C:\\x"), "/data/c/x");
  EXPECT_EQ(ToHostPath("D:\\RecordNo0.rtv"), "/mnt/video/RecordNo0.rtv");
  EXPECT_EQ(ToHostPath("d:RecordNo1.rtv"), "/mnt/video/RecordNo1.rtv");
  EXPECT_EQ(ToHostPath("D:"), "/mnt/video");
  EXPECT_EQ(ToHostPath("R:\\etc"), "/etc");
  EXPECT_EQ(DriveFolder('e'), std::nullopt);
}

TEST(PathMapping, HostPathsPassAndBackslashesSeparate) {
  EXPECT_EQ(ToHostPath("/usr/lib/x.so"), "/usr/lib/x.so");
  EXPECT_EQ(ToHostPath("Skins\\Default\\a.tga"), "Skins/Default/a.tga");
  EXPECT_EQ(ToHostPath(""), "");
}

TEST(PathMapping, WindowsDirectoryDefaults) {
  {
    ScopedEnvironment windir("QUELLOR_WINDIR", "/opt/quellor/win/");
    EXPECT_EQ(quellor::win32::WindowsDirectory(), "/opt/quellor/win");
    char buffer[MAX_PATH];
    EXPECT_EQ(GetWindowsDirectoryA(buffer, sizeof buffer), 16u);
    EXPECT_STREQ(buffer, "/opt/quellor/win");
    EXPECT_EQ(GetWindowsDirectoryA(buffer, 5), 17u);  // too small: the size needed
  }
  ScopedEnvironment windir("QUELLOR_WINDIR", "");
  {
    ScopedEnvironment config("XDG_CONFIG_HOME", "/cfg");
    EXPECT_EQ(quellor::win32::WindowsDirectory(), "/cfg/quellor");
  }
  ScopedEnvironment config("XDG_CONFIG_HOME", "");
  ScopedEnvironment home("HOME", "/home/me");
  EXPECT_EQ(quellor::win32::WindowsDirectory(), "/home/me/.config/quellor");
}

TEST(PathMapping, FileFunctionsTakeDriveLetters) {
  ScratchFolder folder{"win32_kernel"};
  ScopedEnvironment drives("QUELLOR_DRIVES", "V=" + folder.path());
  HANDLE file = CreateFileA("V:\\clip.rtv", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_TRUE(std::filesystem::exists(folder / "clip.rtv"));
  EXPECT_EQ(GetFileAttributesA("V:\\"), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(GetFileAttributesA("V:\\clip.rtv"), static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(GetFileAttributesA("V:\\none"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(GetFileAttributesA("Q:\\clip.rtv"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

  char full[MAX_PATH];
  LPSTR name = nullptr;
  DWORD length = GetFullPathNameA("V:\\a\\..\\clip.rtv", sizeof full, full, &name);
  EXPECT_EQ(std::string(full), folder / "clip.rtv");
  EXPECT_EQ(length, std::string(full).size());
  EXPECT_STREQ(name, "clip.rtv");
}

TEST(PathMapping, RelativeNameHasNoFullPathWithoutCurrentFolder) {
  ScratchFolder folder{"win32_kernel"};
  const std::filesystem::path gone = folder / "gone";
  std::filesystem::create_directory(gone);
  const std::filesystem::path before = std::filesystem::current_path();
  ASSERT_EQ(::chdir(gone.c_str()), 0);
  std::filesystem::remove(gone);
  char full[MAX_PATH] = "untouched";
  LPSTR name = full;
  SetLastError(ERROR_SUCCESS);
  const DWORD length = GetFullPathNameA("clip.rtv", sizeof full, full, &name);
  const DWORD error = GetLastError();
  std::filesystem::current_path(before);
  // Not "/clip.rtv": that names another file.
  EXPECT_EQ(length, 0u);
  EXPECT_NE(error, static_cast<DWORD>(ERROR_SUCCESS));
}

TEST(DriveInformation, TypesSpaceAndVolumes) {
  ScratchFolder folder{"win32_kernel"};
  ScopedEnvironment drives("QUELLOR_DRIVES",
                           "C=" + folder.path() + ";D=" + folder.path() + "/missing");
  // The build folder's disk: fixed, or a RAM disk or network share on some
  // machines; never "no root".
  const UINT type = GetDriveTypeA("C:\\");
  EXPECT_TRUE(type == DRIVE_FIXED || type == DRIVE_RAMDISK || type == DRIVE_REMOTE) << type;
  EXPECT_EQ(GetDriveTypeA("C:"), type);
  EXPECT_EQ(GetDriveTypeA("D:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
  EXPECT_EQ(GetDriveTypeA("E:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
  EXPECT_EQ(GetLogicalDrives(), 1u << 2);

  ULARGE_INTEGER available, total, free_bytes;
  ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &available, &total, &free_bytes));
  EXPECT_GT(total.QuadPart, 0u);
  EXPECT_LE(available.QuadPart, free_bytes.QuadPart);
  EXPECT_LE(free_bytes.QuadPart, total.QuadPart);
  EXPECT_TRUE(GetDiskFreeSpaceExA("C:", nullptr, nullptr, &free_bytes));
  EXPECT_FALSE(GetDiskFreeSpaceExA("E:\\", &available, &total, &free_bytes));

  char label[MAX_PATH], system[MAX_PATH];
  DWORD serial = 0, longest = 0, flags = 0;
  ASSERT_TRUE(GetVolumeInformationA("C:\\", label, sizeof label, &serial, &longest, &flags, system,
                                    sizeof system));
  EXPECT_EQ(std::string(label), std::filesystem::path(folder.path()).filename().string());
  EXPECT_GE(longest, 255u);
  EXPECT_FALSE(GetVolumeInformationA("C:\\", label, 1, nullptr, nullptr, nullptr, nullptr, 0));
  EXPECT_FALSE(
      GetVolumeInformationA("D:\\", label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0));
}

TEST(FileOperations, MoveCopyDeleteAndFolders) {
  ScratchFolder folder{"win32_kernel"};
  std::ofstream(folder / "a.txt") << "first";
  std::ofstream(folder / "b.txt") << "second";
  EXPECT_FALSE(MoveFileExA((folder / "a.txt").c_str(), (folder / "b.txt").c_str(), 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(Slurp(folder / "b.txt"), "second");
  EXPECT_TRUE(MoveFileExA((folder / "a.txt").c_str(), (folder / "b.txt").c_str(),
                          MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(Slurp(folder / "b.txt"), "first");
  EXPECT_FALSE(MoveFileExA((folder / "a.txt").c_str(), (folder / "c.txt").c_str(), 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  EXPECT_TRUE(CopyFileA((folder / "b.txt").c_str(), (folder / "c.txt").c_str(), TRUE));
  EXPECT_FALSE(CopyFileA((folder / "b.txt").c_str(), (folder / "c.txt").c_str(), TRUE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
  EXPECT_EQ(Slurp(folder / "c.txt"), "first");

  EXPECT_TRUE(CreateDirectoryA((folder / "sub").c_str(), nullptr));
  EXPECT_FALSE(CreateDirectoryA((folder / "sub").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_TRUE(MoveFileA((folder / "c.txt").c_str(), (folder / "sub\\c.txt").c_str()));
  EXPECT_FALSE(RemoveDirectoryA((folder / "sub").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
  EXPECT_FALSE(DeleteFileA((folder / "sub").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(DeleteFileA((folder / "sub/c.txt").c_str()));
  EXPECT_FALSE(DeleteFileA((folder / "sub/c.txt").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(RemoveDirectoryA((folder / "sub").c_str()));
}

TEST(FileOperations, MoveAcrossFileSystemsCopiesWhenAllowed) {
  // /dev/shm is a different file system from the build folder on any usual
  // machine; skip where it is not.
  ScratchFolder folder{"win32_kernel"};
  std::string elsewhere = "/dev/shm/quellor-move-" + std::to_string(::getpid());
  if (!std::filesystem::is_directory("/dev/shm")) GTEST_SKIP() << "no /dev/shm";
  std::ofstream(folder / "clip.rtv") << std::string(100000, 'c');
  if (MoveFileExA((folder / "clip.rtv").c_str(), elsewhere.c_str(), 0)) {
    std::filesystem::remove(elsewhere);
    GTEST_SKIP() << "same file system";
  }
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SAME_DEVICE));
  ASSERT_TRUE(MoveFileExA((folder / "clip.rtv").c_str(), elsewhere.c_str(), MOVEFILE_COPY_ALLOWED));
  EXPECT_FALSE(std::filesystem::exists(folder / "clip.rtv"));
  EXPECT_EQ(std::filesystem::file_size(elsewhere), 100000u);
  std::filesystem::remove(elsewhere);
}

TEST(SearchPath, FindsFilesAndExeStandIns) {
  ScratchFolder folder{"win32_kernel"};
  std::ofstream(folder / "VideoPreviewIn") << "#!/bin/sh\n";
  std::ofstream(folder / "notes.txt") << "n";
  char found[MAX_PATH];
  LPSTR part = nullptr;
  DWORD length =
      SearchPathA(folder.path().c_str(), "VideoPreviewIn.exe", nullptr, sizeof found, found, &part);
  EXPECT_EQ(length, (folder / "VideoPreviewIn").string().size());
  EXPECT_EQ(std::string(found), folder / "VideoPreviewIn");
  EXPECT_STREQ(part, "VideoPreviewIn");
  EXPECT_GT(SearchPathA(folder.path().c_str(), "notes", ".txt", sizeof found, found, nullptr), 0u);
  EXPECT_EQ(SearchPathA(folder.path().c_str(), "absent.exe", nullptr, sizeof found, found, nullptr),
            0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  {
    ScopedEnvironment path("PATH", "/nonexistent:" + folder.path());
    EXPECT_GT(SearchPathA(nullptr, "VideoPreviewIn.exe", nullptr, sizeof found, found, nullptr),
              0u);
    EXPECT_EQ(SearchPathA(nullptr, "VideoPreviewIn.exe", nullptr, 4, found, nullptr),
              (folder / "VideoPreviewIn").string().size() + 1);
  }
}

}  // namespace
