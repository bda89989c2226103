// The words of one script line: bare words, quoted strings (with their escapes, converted to
// the control's code page) and numbers, as the scripted host's lexical rules give them.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrix {

// A line that cannot be run: the message says why.
struct ScriptError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct Word {
  std::string text;  // a bare word as written, or a string's bytes in the code page
  bool quoted = false;
  size_t start = 0;  // where the word begins in its line
};

// Splits a line into words. Throws ScriptError on an unterminated string, a bad escape or a
// character the code page lacks.
std::vector<Word> SplitWords(const std::string& line);

// A number in decimal or 0x hexadecimal, optionally negative; nothing when it is not one.
std::optional<int64_t> ParseNumber(const std::string& word);
// The same, or a ScriptError naming what was expected.
int64_t NumberOf(const Word& word, const char* what);

bool EqualsIgnoringCase(const std::string& a, const std::string& b);
std::string Lower(std::string s);

// A code-page string as the host prints it: in quotes, UTF-8, with CR, LF, TAB, backslash and
// quote escaped and other control bytes as \xHH.
std::string Quoted(const std::string& bytes);

}  // namespace kestrix
