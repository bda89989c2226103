#include "StockEventText.h"

#include <sstream>

namespace kestrix {

namespace {

// The stock events' dispatch identities, the same on every host.
constexpr long kClick = -600;
constexpr long kDblClick = -601;
constexpr long kKeyDown = -602;
constexpr long kKeyPress = -603;
constexpr long kKeyUp = -604;
constexpr long kMouseMove = -606;
constexpr long kReadyStateChange = -609;

}  // namespace

std::string StockEventText(long dispid, const std::vector<long>& args) {
  const char* name = dispid == kClick               ? "Click"
                     : dispid == kDblClick          ? "DblClick"
                     : dispid == kKeyDown           ? "KeyDown"
                     : dispid == kKeyPress          ? "KeyPress"
                     : dispid == kKeyUp             ? "KeyUp"
                     : dispid == kMouseMove         ? "MouseMove"
                     : dispid == kReadyStateChange  ? "ReadyStateChange"
                                                    : nullptr;
  std::ostringstream o;
  if (!name) {
    o << "Event(" << dispid << ")";
    return o.str();
  }
  o << name;
  if (args.empty()) return o.str();
  o << '(';
  for (size_t i = 0; i < args.size(); ++i) o << (i ? "," : "") << args[i];
  o << ')';
  return o.str();
}

}  // namespace kestrix
