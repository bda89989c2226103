// An exclusive lock on a whole file, for the framework's flock on Windows.
#include <io.h>
#include <windows.h>

int flock(int fd, int /*operation: always exclusive*/) {
  auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  if (handle == INVALID_HANDLE_VALUE) return -1;
  OVERLAPPED whole{};
  return LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole) ? 0 : -1;
}
