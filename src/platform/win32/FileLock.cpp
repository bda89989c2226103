// An exclusive lock on a whole file, for the framework's flock on Windows, and whether a
// process runs, for its removal of stale temporaries.
#include <io.h>
#include <windows.h>

// Stands in for the POSIX call of that name, beside the others the C runtime has.
int flock(int fd, int /*operation: always exclusive*/) {
  auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  if (handle == INVALID_HANDLE_VALUE) return -1;
  OVERLAPPED whole{};
  return LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole) ? 0 : -1;
}

namespace kestrix {

bool ProcessRuns(long pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
  if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
  DWORD code = 0;
  bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
  CloseHandle(process);
  return running;
}

}  // namespace kestrix
