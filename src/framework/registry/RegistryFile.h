// The registry kept in one text file. Every change is a transaction: the file is locked, read,
// edited in memory and replaced at once by a complete new file, so a crash or a full disk
// leaves either the old registry or the new one, and two writers never lose each other's work.
//
// A file that does not read cleanly to its end (truncated, hostile) or that comes from a newer
// version is read as far as it is valid and never written: a write could only lose what this
// version cannot understand.
#pragma once

#include <functional>
#include <string>

#include "../WinTypes.h"
#include "RegistryTree.h"

namespace kestrix {

// Result codes, the platform registry's.
inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_PATH_NOT_FOUND = 3;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_WRITE_FAULT = 29;
inline constexpr LONG ERROR_NOT_SUPPORTED = 50;
inline constexpr LONG ERROR_DISK_FULL = 112;
inline constexpr LONG ERROR_LOCK_FAILED = 167;
inline constexpr LONG ERROR_BADDB = 1009;

// The code in words, for tools and messages.
std::string RegistryErrorText(LONG code);

struct RegistryRead {
  RegistryTree tree;
  // ERROR_SUCCESS, ERROR_BADDB (damaged from line badLine on) or ERROR_NOT_SUPPORTED (written
  // by a newer version); the tree holds what came before the first line not understood.
  LONG status = ERROR_SUCCESS;
  size_t badLine = 0;
};

// The text form: a first line "KESTRIX REGISTRY 1", then for each key a line "[path]" followed
// by its values, one per line: `@="text"` for the default value, `"name"="text"` or
// `"name"=dword:0000002A`. Inside quotes \\ and \" stand for themselves and \xHH for a byte.
RegistryRead ParseRegistry(std::string_view text);
std::string FormatRegistry(const RegistryTree& tree);

class RegistryFile {
 public:
  explicit RegistryFile(std::string path);
  // $KESTRIX_REGISTRY, else $XDG_CONFIG_HOME/kestrix/registry, else ~/.config/kestrix/registry.
  static std::string DefaultPath();

  const std::string& Path() const { return path_; }
  // A missing file reads as an empty registry.
  RegistryRead Read() const;
  // Runs edit on the current contents under the file's lock and writes the result when it
  // changed. A non-zero code from edit is returned and nothing is written; so is
  // ERROR_ACCESS_DENIED when the change would replace a file made read-only (CheckWritable).
  LONG Update(const std::function<LONG(RegistryTree&)>& edit);
  // ERROR_SUCCESS when the file may be replaced: it is missing, or it has a write bit for the
  // running user (for the superuser, who may write anything, any write bit at all). Its folder
  // allowing the replacement is not enough: a read-only registry stays as its owner left it.
  LONG CheckWritable() const;

 private:
  LONG WriteAtomically(const std::string& text);

  std::string path_;
};

// Lets a test make a write fail: called with the registry before and after an edit, just
// before the new file would be written; a non-zero result is returned and nothing is written.
// An empty function clears it.
using RegistryWriteFault = std::function<LONG(const RegistryTree& before, const RegistryTree& after)>;
void SetRegistryWriteFault(RegistryWriteFault fault);

}  // namespace kestrix
