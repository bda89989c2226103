// The editor's files: UTF-8 with LF (or CR LF) line ends on disk, code page 1256 with CR
// paragraph breaks in the control.
#pragma once

#include <string>
#include <string_view>

struct LoadedText {
  std::string text;      // for the control
  size_t replaced = 0;   // characters the code page lacks, each now a '?'
};

LoadedText ControlTextFromFile(std::string_view utf8);
std::string FileTextFromControl(std::string_view cp1256);

// Reads a whole file; false with the reason in error when it cannot be read. (Saving goes
// through the framework's WriteFileDurably.)
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error);
