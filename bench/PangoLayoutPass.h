// Pango laying out a code page 1256 text paragraph by paragraph at the control's width, in the
// faces and size the control uses, as an editor built on Pango would. Kept apart from glib's
// headers, whose TRUE and FALSE are macros.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kestrix {

namespace bench {

class PangoLayoutPass {
 public:
  explicit PangoLayoutPass(const std::string& cp1256Text);
  ~PangoLayoutPass();
  // Lays the text out afresh; returns the number of lines.
  int64_t Run();
  const std::string& Families() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace bench

}  // namespace kestrix
