#include "framework/registry/RegistryFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "framework/FileCalls.h"
#include "framework/file/DurableWrite.h"

namespace kestrix {

namespace {

// Larger files are not registries this version wrote; reading stops there.
constexpr size_t kMaxFileSize = 64u << 20;

std::mutex& FaultMutex() {
  static std::mutex mutex;
  return mutex;
}
RegistryWriteFault& Fault() {
  static RegistryWriteFault fault;
  return fault;
}

LONG CodeFromErrno(int error) {
  switch (error) {
#ifdef EDQUOT
    case EDQUOT:
#endif
    case ENOSPC: return ERROR_DISK_FULL;
    case EACCES:
    case EPERM:
    case EROFS: return ERROR_ACCESS_DENIED;
    case ENOENT:
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    default: return ERROR_WRITE_FAULT;
  }
}

std::string Directory(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// mkdir -p; false with errno set when a component cannot be made.
bool MakeDirectories(const std::string& dir) {
  struct stat info {};
  if (stat(dir.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return true;
    errno = ENOTDIR;
    return false;
  }
  std::string parent = Directory(dir);
  if (parent != dir && !MakeDirectories(parent)) return false;
  return mkdir(dir.c_str(), 0755) == 0 || errno == EEXIST;
}

// Holds an exclusive lock on the registry's lock file for its lifetime.
class FileLock {
 public:
  explicit FileLock(const std::string& path) {
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) {
      error_ = CodeFromErrno(errno);
      return;
    }
    while (flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        error_ = ERROR_LOCK_FAILED;
        return;
      }
    }
  }
  ~FileLock() {
    if (fd_ >= 0) close(fd_);  // closing releases the lock
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  LONG Error() const { return error_; }

 private:
  int fd_ = -1;
  LONG error_ = ERROR_SUCCESS;
};

}  // namespace

std::string RegistryErrorText(LONG code) {
  switch (code) {
    case ERROR_SUCCESS: return "the operation completed successfully";
    case ERROR_FILE_NOT_FOUND: return "the registry entry was not found";
    case ERROR_PATH_NOT_FOUND: return "the registry's folder cannot be made";
    case ERROR_ACCESS_DENIED: return "the registry cannot be written (access denied)";
    case ERROR_WRITE_FAULT: return "the registry file could not be written";
    case ERROR_NOT_SUPPORTED: return "the registry file comes from a newer version";
    case ERROR_DISK_FULL: return "there is not enough space on the disk";
    case ERROR_LOCK_FAILED: return "the registry file could not be locked";
    case ERROR_BADDB: return "the registry file is damaged";
    default: return "registry error " + std::to_string(code);
  }
}

void SetRegistryWriteFault(RegistryWriteFault fault) {
  std::lock_guard<std::mutex> lock(FaultMutex());
  Fault() = std::move(fault);
}

RegistryFile::RegistryFile(std::string path) : path_(std::move(path)) {}

std::string RegistryFile::DefaultPath() {
  if (const char* explicitPath = std::getenv("KESTRIX_REGISTRY"); explicitPath && *explicitPath)
    return explicitPath;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
    return std::string(config) + "/kestrix/registry";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + "/.config/kestrix/registry";
}

RegistryRead RegistryFile::Read() const {
  int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  std::string text;
  char buffer[65536];
  while (text.size() < kMaxFileSize) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  close(fd);
  if (text.size() > kMaxFileSize) text.resize(kMaxFileSize);
  return ParseRegistry(text);
}

LONG RegistryFile::Update(const std::function<LONG(RegistryTree&)>& edit) {
  if (!MakeDirectories(Directory(path_))) return CodeFromErrno(errno);
  FileLock lock(path_ + ".lock");
  if (lock.Error() != ERROR_SUCCESS) return lock.Error();

  RegistryRead current = Read();
  if (current.status != ERROR_SUCCESS) return current.status;
  RegistryTree edited = current.tree;
  if (LONG code = edit(edited); code != ERROR_SUCCESS) return code;
  if (edited == current.tree) return ERROR_SUCCESS;
  if (LONG code = CheckWritable(); code != ERROR_SUCCESS) return code;
  {
    std::lock_guard<std::mutex> guard(FaultMutex());
    if (Fault())
      if (LONG code = Fault()(current.tree, edited); code != ERROR_SUCCESS) return code;
  }
  return WriteAtomically(FormatRegistry(edited));
}

LONG RegistryFile::CheckWritable() const {
  struct stat info {};
  if (stat(path_.c_str(), &info) != 0) return errno == ENOENT ? ERROR_SUCCESS : CodeFromErrno(errno);
#ifndef _WIN32
  if (geteuid() == 0) return (info.st_mode & 0222) != 0 ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
#endif
  return access(path_.c_str(), W_OK) == 0 ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LONG RegistryFile::WriteAtomically(const std::string& text) {
  int error = WriteFileDurably(path_, text);
  return error == 0 ? ERROR_SUCCESS : CodeFromErrno(error);
}

}  // namespace kestrix
