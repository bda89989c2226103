// One plain HarfBuzz pass over a code page 1256 text in the control's faces and size: each
// paragraph cut into Arabic and other runs (spaces stay with the run they follow), each run
// shaped once with the paragraph as context, nothing cached between runs.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kestrix {

namespace bench {

class HarfBuzzPass {
 public:
  explicit HarfBuzzPass(const std::string& cp1256Text);
  ~HarfBuzzPass();
  // Shapes the whole text once; returns the number of glyphs.
  int64_t Run();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The corpus's first display line at the control's width: the longest start of its first
// paragraph, cut after a space, that our library measures within the width less the slack.
std::string FirstDisplayLine(const std::string& cp1256Corpus);

}  // namespace bench

}  // namespace kestrix
