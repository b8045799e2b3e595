// Drives and volumes: drive letters are folders (QUELLOR_DRIVES), and their
// type, size and name come from the file system that holds the folder.
#include <win32/quellor_host.h>
#include <windows.h>

#include "kernel/PathArgument.h"

#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

namespace {

// File-system magic numbers (statfs f_type) that decide the drive type.
constexpr long kTmpfs = 0x01021994;
constexpr long kRamfs = 0x858458f6;
constexpr long kNfs = 0x6969;
constexpr long kSmb = 0x517B;
constexpr long kCifs = 0xFF534D42;
constexpr long kSmb2 = 0xFE534D42;
constexpr long kFuse = 0x65735546;
constexpr long kIso9660 = 0x9660;
constexpr long kUdf = 0x15013346;
constexpr long kExt = 0xEF53;
constexpr long kBtrfs = 0x9123683E;
constexpr long kXfs = 0x58465342;
constexpr long kOverlay = 0x794c7630;

// "C:", "C:\" and "C:/" name the drive; anything else is a folder path.
bool IsDriveRoot(const char* root) {
  return std::isalpha(static_cast<unsigned char>(root[0])) && root[1] == ':' &&
         (root[2] == '\0' || ((root[2] == '\\' || root[2] == '/') && root[3] == '\0'));
}

// The folder a root path names; NULL means the current folder.
bool RootFolder(LPCSTR root, std::string& folder) {
  if (root == nullptr) {
    folder = std::string(1, '.');
    return true;
  }
  if (IsDriveRoot(root)) {
    auto mapped = quellor::win32::DriveFolder(root[0]);
    if (!mapped) {
      SetLastError(ERROR_PATH_NOT_FOUND);
      return false;
    }
    folder = *mapped;
    return true;
  }
  return quellor::win32::HostPathArgument(root, folder);
}

bool FolderExists(const std::string& folder) {
  struct stat status;
  return ::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

const char* FileSystemName(long type) {
  switch (type) {
    case kExt:
      return "ext4";
    case kBtrfs:
      return "btrfs";
    case kXfs:
      return "xfs";
    case kTmpfs:
      return "tmpfs";
    case kRamfs:
      return "ramfs";
    case kOverlay:
      return "overlay";
    case kNfs:
      return "nfs";
    case kSmb:
    case kCifs:
    case kSmb2:
      return "cifs";
    case kFuse:
      return "fuse";
    case kIso9660:
      return "iso9660";
    case kUdf:
      return "udf";
    default:
      return "unknown";
  }
}

bool CopyName(const std::string& name, LPSTR buffer, DWORD size) {
  if (buffer == nullptr) return true;
  if (name.size() >= size) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return false;
  }
  std::memcpy(buffer, name.c_str(), name.size() + 1);
  return true;
}

}  // namespace

extern "C" UINT WINAPI GetDriveTypeA(LPCSTR lpRootPathName) {
  std::string folder;
  if (!RootFolder(lpRootPathName, folder) || !FolderExists(folder)) return DRIVE_NO_ROOT_DIR;
  struct statfs status;
  if (::statfs(folder.c_str(), &status) != 0) return DRIVE_UNKNOWN;
  switch (static_cast<long>(status.f_type)) {
    case kTmpfs:
    case kRamfs:
      return DRIVE_RAMDISK;
    case kNfs:
    case kSmb:
    case kCifs:
    case kSmb2:
      return DRIVE_REMOTE;
    case kIso9660:
    case kUdf:
      return DRIVE_CDROM;
    default:
      return DRIVE_FIXED;
  }
}

extern "C" DWORD WINAPI GetLogicalDrives(void) {
  DWORD drives = 0;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    auto folder = quellor::win32::DriveFolder(letter);
    if (folder && FolderExists(*folder)) drives |= 1u << (letter - 'A');
  }
  return drives;
}

extern "C" BOOL WINAPI GetDiskFreeSpaceExA(LPCSTR lpDirectoryName,
                                           PULARGE_INTEGER lpFreeBytesAvailableToCaller,
                                           PULARGE_INTEGER lpTotalNumberOfBytes,
                                           PULARGE_INTEGER lpTotalNumberOfFreeBytes) {
  std::string folder;
  if (!RootFolder(lpDirectoryName, folder)) return FALSE;
  struct statvfs status;
  if (!FolderExists(folder) || ::statvfs(folder.c_str(), &status) != 0) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  const ULONGLONG unit = status.f_frsize;
  if (lpFreeBytesAvailableToCaller) lpFreeBytesAvailableToCaller->QuadPart = status.f_bavail * unit;
  if (lpTotalNumberOfBytes) lpTotalNumberOfBytes->QuadPart = status.f_blocks * unit;
  if (lpTotalNumberOfFreeBytes) lpTotalNumberOfFreeBytes->QuadPart = status.f_bfree * unit;
  return TRUE;
}

extern "C" BOOL WINAPI GetDiskFreeSpaceA(LPCSTR lpRootPathName, LPDWORD lpSectorsPerCluster,
                                         LPDWORD lpBytesPerSector, LPDWORD lpNumberOfFreeClusters,
                                         LPDWORD lpTotalNumberOfClusters) {
  std::string folder;
  if (!RootFolder(lpRootPathName, folder)) return FALSE;
  struct statvfs status;
  if (!FolderExists(folder) || ::statvfs(folder.c_str(), &status) != 0) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  // A cluster is one file-system block of 512-byte sectors; counts that do
  // not fit 32 bits are capped, as Win32 does for large volumes.
  const DWORD sector = 512;
  const DWORD sectors_per_cluster =
      std::max<DWORD>(1, static_cast<DWORD>(status.f_frsize / sector));
  auto capped = [](unsigned long long count) {
    return static_cast<DWORD>(std::min<unsigned long long>(count, 0xFFFFFFFFull));
  };
  if (lpSectorsPerCluster) *lpSectorsPerCluster = sectors_per_cluster;
  if (lpBytesPerSector) *lpBytesPerSector = sector;
  if (lpNumberOfFreeClusters) *lpNumberOfFreeClusters = capped(status.f_bavail);
  if (lpTotalNumberOfClusters) *lpTotalNumberOfClusters = capped(status.f_blocks);
  return TRUE;
}

// The volume label is the name of the drive's folder ("video" for
// D=/mnt/video); the serial number comes from the file-system id.
extern "C" BOOL WINAPI GetVolumeInformationA(LPCSTR lpRootPathName, LPSTR lpVolumeNameBuffer,
                                             DWORD nVolumeNameSize, LPDWORD lpVolumeSerialNumber,
                                             LPDWORD lpMaximumComponentLength,
                                             LPDWORD lpFileSystemFlags,
                                             LPSTR lpFileSystemNameBuffer,
                                             DWORD nFileSystemNameSize) {
  std::string folder;
  if (!RootFolder(lpRootPathName, folder)) return FALSE;
  struct statvfs status;
  struct statfs type;
  if (!FolderExists(folder) || ::statvfs(folder.c_str(), &status) != 0 ||
      ::statfs(folder.c_str(), &type) != 0) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  std::string label = folder.substr(folder.find_last_of('/') + 1);
  if (!CopyName(label, lpVolumeNameBuffer, nVolumeNameSize) ||
      !CopyName(FileSystemName(static_cast<long>(type.f_type)), lpFileSystemNameBuffer,
                nFileSystemNameSize)) {
    return FALSE;
  }
  if (lpVolumeSerialNumber) *lpVolumeSerialNumber = static_cast<DWORD>(status.f_fsid);
  if (lpMaximumComponentLength) *lpMaximumComponentLength = static_cast<DWORD>(status.f_namemax);
  // FILE_CASE_SENSITIVE_SEARCH | FILE_CASE_PRESERVED_NAMES
  if (lpFileSystemFlags) *lpFileSystemFlags = 0x3;
  return TRUE;
}
