// Win32 share modes among the open file handles of this process: an open
// fails with ERROR_SHARING_VIOLATION when it wants access that an earlier
// open does not share, or refuses to share access an earlier open holds.
#pragma once

#include <windows.h>

#include <sys/types.h>

namespace quellor::win32 {

// Records an open of (device, inode); false when it conflicts with one
// already recorded. `owner` identifies the open for ReleaseShare.
bool AcquireShare(dev_t device, ino_t inode, DWORD access, DWORD share, const void* owner);
void ReleaseShare(dev_t device, ino_t inode, const void* owner);

}  // namespace quellor::win32
