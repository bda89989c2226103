// The property file on disk: read from a regular file within the size limit, replaced
// durably.
#include "framework/ole/PropertyBagFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <utility>

#include "framework/file/DurableWrite.h"

namespace kestrix {

namespace {

void SetError(std::string* error, std::string message) {
  if (error) *error = std::move(message);
}

std::string SystemError(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

bool SavePropertyBagFile(const PropertyBag& bag, const std::string& path, std::string* error,
                         const PropertyFileLimits& limits) {
  std::string text;
  if (!SavePropertyBagToString(bag, text, error, limits)) return false;

  std::string message;
  if (WriteFileDurably(path, text, &message) != 0) {
    SetError(error, message);
    return false;
  }
  if (error) error->clear();
  return true;
}

bool LoadPropertyBagFile(const std::string& path, PropertyBag& out, std::string* error,
                         const PropertyFileLimits& limits, std::vector<std::string>* problems) {
  auto fail = [&](std::string message) {
    if (problems) problems->push_back(message);
    SetError(error, std::move(message));
    return false;
  };
  out = PropertyBag();
  // A pipe or device could block or never end.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    return fail("not a regular file: " + path);
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return fail(SystemError("cannot open", path));
  }
  // One byte past the limit is enough to know the file is longer.
  std::string data;
  constexpr size_t kChunk = size_t{1} << 16;
  while (data.size() <= limits.maxFileBytes) {
    size_t room = limits.maxFileBytes - data.size();
    size_t want = room >= kChunk ? kChunk : room + 1;
    size_t had = data.size();
    data.resize(had + want);
    in.read(data.data() + had, static_cast<std::streamsize>(want));
    data.resize(had + static_cast<size_t>(in.gcount()));
    if (!in) break;
  }
  if (in.bad()) {
    return fail("cannot read " + path);
  }
  return LoadPropertyBagFromString(data, out, error, limits, problems);
}

}  // namespace kestrix
