#include "framework/file/DurableWrite.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>

#include "framework/FileCalls.h"

namespace kestrix {

namespace {

namespace fs = std::filesystem;

std::mutex& FaultMutex() {
  static std::mutex mutex;
  return mutex;
}
DurableWriteFault& Fault() {
  static DurableWriteFault fault;
  return fault;
}

int InjectedError(DurableWriteStep step) {
  std::lock_guard<std::mutex> lock(FaultMutex());
  return Fault() ? Fault()(step) : 0;
}

constexpr std::string_view kTemporaryMark = ".tmp-";

std::string TemporaryName(const std::string& path, long pid, unsigned serial) {
  return path + std::string(kTemporaryMark) + std::to_string(pid) + "-" + std::to_string(serial);
}

bool AllDigits(std::string_view s) {
  return !s.empty() && s.size() <= 18 &&
         std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The process id of a temporary of path's naming ("NAME.tmp-PID-N"), or -1.
long TemporaryOwner(const std::string& fileName, const std::string& targetName) {
  std::string_view rest = fileName;
  if (rest.substr(0, targetName.size()) != targetName) return -1;
  rest.remove_prefix(targetName.size());
  if (rest.substr(0, kTemporaryMark.size()) != kTemporaryMark) return -1;
  rest.remove_prefix(kTemporaryMark.size());
  size_t dash = rest.find('-');
  if (dash == std::string_view::npos) return -1;
  std::string_view pid = rest.substr(0, dash);
  if (!AllDigits(pid) || !AllDigits(rest.substr(dash + 1))) return -1;
  return std::stol(std::string(pid));
}

// Removes the temporaries that saves of path killed half way left behind. Those of a process
// that still runs may be a save in progress, and stay.
void RemoveStaleTemporaries(const fs::path& target) {
  const std::string targetName = target.filename().string();
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) return;
  for (const fs::directory_entry& entry : it) {
    const std::string name = entry.path().filename().string();
    long pid = TemporaryOwner(name, targetName);
    if (pid <= 0 || pid == static_cast<long>(::getpid()) || ProcessRuns(pid)) continue;
    std::error_code ignored;
    if (entry.is_regular_file(ignored) && !entry.is_symlink(ignored))
      fs::remove(entry.path(), ignored);
  }
}

int WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    if (int injected = InjectedError(DurableWriteStep::Write)) return injected;
    // At most 1 GiB a call: the Windows runtime counts bytes in an unsigned int.
    const auto chunk = static_cast<unsigned>(std::min<size_t>(data.size(), 1u << 30));
    ssize_t n = ::write(fd, data.data(), chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return ENOSPC;
    data.remove_prefix(static_cast<size_t>(n));
  }
  return 0;
}

int Failed(int number, std::string* message, const std::string& what, const std::string& path) {
  if (message) *message = what + " " + path + ": " + std::strerror(number);
  return number;
}

}  // namespace

void SetDurableWriteFault(DurableWriteFault fault) {
  std::lock_guard<std::mutex> lock(FaultMutex());
  Fault() = std::move(fault);
}

int WriteFileDurably(const std::string& requested, std::string_view bytes, std::string* message) {
  if (message) message->clear();
  // A link stays a link: what it points to is replaced.
  std::string path = requested;
  std::error_code ec;
  if (fs::is_symlink(requested, ec)) {
    fs::path resolved = fs::weakly_canonical(requested, ec);
    if (ec) return Failed(ec.value(), message, "cannot follow the link", requested);
    path = resolved.string();
  }
  // Only a regular file is replaced: renaming over a device, a pipe or a folder would put a
  // plain file where the system keeps something else.
  struct stat existing {};
  const bool exists = ::stat(path.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) {
    if (message) *message = "cannot replace " + path + ": not a regular file";
    return S_ISDIR(existing.st_mode) ? EISDIR : EINVAL;
  }
  RemoveStaleTemporaries(path);

  // Beside the target, so that the rename stays within one file system.
  static std::atomic<unsigned> serial{0};
  std::string temp;
  int fd = -1;
  int error = InjectedError(DurableWriteStep::CreateTemporary);
  for (int attempt = 0; attempt < 100 && fd < 0 && error == 0; ++attempt) {
    temp = TemporaryName(path, static_cast<long>(::getpid()), serial++);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_BINARY, 0666);
    if (fd < 0 && errno != EEXIST) error = errno;
  }
  if (fd < 0)
    return Failed(error ? error : EEXIST, message, "cannot create a temporary file for", path);

  if (exists) (void)::fchmod(fd, existing.st_mode & 07777);
  error = WriteAll(fd, bytes);
  const char* what = "cannot write";
  if (error == 0) {
    what = "cannot flush";
    error = InjectedError(DurableWriteStep::Flush);
    if (error == 0 && ::fsync(fd) != 0) error = errno;
  }
  if (::close(fd) != 0 && error == 0) {
    what = "cannot write";
    error = errno;
  }
  if (error == 0) {
    what = "cannot replace";
    error = InjectedError(DurableWriteStep::Rename);
    std::error_code renamed;
    // std::filesystem::rename replaces the target on every platform.
    if (error == 0) fs::rename(temp, path, renamed);
    if (renamed) error = renamed.value();
  }
  if (error != 0) {
    ::unlink(temp.c_str());
    return Failed(error, message, what, path);
  }

  // The rename reaches the disk only with the folder. Where a folder cannot be opened (the
  // Windows runtime), the system's own ordering is all there is.
  fs::path folder = fs::path(path).parent_path();
  error = InjectedError(DurableWriteStep::FlushFolder);
  int dirFd = error ? -1
                    : ::open(folder.empty() ? "." : folder.string().c_str(),
                             O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    if (::fsync(dirFd) != 0 && errno != EINVAL) error = errno;
    ::close(dirFd);
  }
  if (error != 0) return Failed(error, message, "cannot flush the folder of", path);
  return 0;
}

}  // namespace kestrix
