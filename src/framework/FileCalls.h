// The POSIX file calls behind the framework's durable writes and the registry's lock, on each
// platform it builds for. The Windows C runtime has most of them; the rest map to its
// nearest equivalents there: no close-on-exec and no directory handles (opening a directory
// fails, so its flush is skipped), no permission bits on an open file, and a lock through the
// system's byte-range locks.
#pragma once

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef _WIN32
#include <direct.h>
#include <io.h>

#ifndef O_CLOEXEC
#define O_CLOEXEC 0
#endif
#ifndef O_DIRECTORY
#define O_DIRECTORY 0
#endif
inline constexpr int LOCK_EX = 2;

inline int fsync(int fd) { return _commit(fd); }
inline int fchmod(int, int) { return 0; }
inline int mkdir(const char* path, int) { return _mkdir(path); }
// Blocks until the whole file is locked exclusively; closing the file releases it.
int flock(int fd, int operation);
#else
#include <signal.h>
#include <sys/file.h>

// Files are bytes everywhere; only Windows has a text mode to turn off.
#ifndef O_BINARY
#define O_BINARY 0
#endif
#endif

namespace kestrix {

#ifdef _WIN32
// Whether a process with this id is running.
bool ProcessRuns(long pid);
#else
// Whether a process with this id is running (one of another user's counts).
inline bool ProcessRuns(long pid) {
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}
#endif

}  // namespace kestrix
