// The editor's files: UTF-8 on disk with the line ends they came with (LF or CR LF), code page
// 1256 with CR paragraph breaks in the control. A file is written back only when what the
// control holds gives back every byte the person did not edit: anything that would not (a
// character the code page lacks or would store as another, bytes that are not UTF-8, a tab or
// another control character, a byte order mark, mixed or lone-CR line ends) opens the file for
// reading only, and says which and where.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrix {

struct FileForEditing {
  std::string text;                          // for the control
  std::string lineEnd = "\n";                // what the file's lines end with
  std::optional<std::string> readOnlyBecause;  // set: the file must not be written back
};

FileForEditing ReadForEditing(std::string_view fileBytes);
// The control's text as the file's bytes, with the file's line ends.
std::string FileBytesFromControl(std::string_view cp1256, std::string_view lineEnd);

// Reads a whole file; false with the reason in error when it cannot be read. (Saving goes
// through the framework's WriteFileDurably.)
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error);

}  // namespace kestrix
