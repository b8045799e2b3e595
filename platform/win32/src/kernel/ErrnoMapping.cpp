#include "kernel/ErrnoMapping.h"

#include <cerrno>

namespace quellor::win32 {

DWORD ErrorFromErrno(int error, Transfer transfer) {
  switch (error) {
    case 0:
      return ERROR_SUCCESS;
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
      return error == EROFS ? ERROR_WRITE_PROTECT : ERROR_ACCESS_DENIED;
    case EEXIST:
      return ERROR_FILE_EXISTS;
    case ENOTEMPTY:
      return ERROR_DIR_NOT_EMPTY;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case EINVAL:
      return ERROR_INVALID_PARAMETER;
    case EMFILE:
    case ENFILE:
      return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return ERROR_DISK_FULL;
    case ENAMETOOLONG:
      return ERROR_FILENAME_EXCED_RANGE;
    case EXDEV:
      return ERROR_NOT_SAME_DEVICE;
    case EBUSY:
    case ETXTBSY:
      return ERROR_BUSY;
    case ESPIPE:
      return ERROR_SEEK;
    case ENOEXEC:
      return ERROR_BAD_EXE_FORMAT;
    case ELOOP:
      return ERROR_BAD_PATHNAME;
    case EPIPE:
      return ERROR_BROKEN_PIPE;
    case ENOSYS:
    case EOPNOTSUPP:
      return ERROR_NOT_SUPPORTED;
    case ETIMEDOUT:
      return ERROR_TIMEOUT;
    case EIO:
      if (transfer == Transfer::Read) return ERROR_READ_FAULT;
      if (transfer == Transfer::Write) return ERROR_WRITE_FAULT;
      return ERROR_NOT_READY;
    default:
      return transfer == Transfer::Write ? ERROR_WRITE_FAULT : ERROR_INVALID_FUNCTION;
  }
}

void SetLastErrorFromErrno(Transfer transfer) {
  SetLastError(ErrorFromErrno(errno, transfer));
}

}  // namespace quellor::win32
