#include "platform/x11/ClipboardText.h"

#include "framework/text/Cp1256.h"
#include "framework/text/TextConversion.h"
#include "framework/window/Display.h"

namespace kestrix {

namespace {

std::string CrToLf(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c == '\r') c = '\n';
  return out;
}

}  // namespace

std::string Utf8ForOtherPrograms(std::string_view cp1256) { return Utf8FromCp1256(CrToLf(cp1256)); }

std::string Latin1ForOtherPrograms(std::string_view cp1256) {
  std::string out;
  out.reserve(cp1256.size());
  for (char c : CrToLf(cp1256)) {
    char32_t u = UnicodeFromCp1256(static_cast<uint8_t>(c));
    out.push_back(u <= 0xFF ? static_cast<char>(u) : '?');
  }
  return out;
}

namespace {

// CR LF, a lone LF and a lone CR each become one CR.
std::string OneCrPerBreak(std::string_view utf8) {
  std::string breaks(utf8.size(), '\0');
  char* out = breaks.data();
  for (size_t i = 0; i < utf8.size(); ++i) {
    char c = utf8[i];
    if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') continue;  // the LF stands for both
    *out++ = c == '\n' ? '\r' : c;
  }
  breaks.resize(static_cast<size_t>(out - breaks.data()));
  return breaks;
}

}  // namespace

std::string ControlTextFromUtf8MarkingUnplaced(std::string_view utf8) { return Cp1256FromUtf8(OneCrPerBreak(utf8)); }

std::optional<std::string> ControlTextFromUtf8(std::string_view utf8, std::string& unplaced) {
  CodePageText text = Cp1256FromUtf8Text(OneCrPerBreak(utf8));
  if (!text.Complete()) {
    unplaced = text.unplaced->Describe() + ", which has no place in the Arabic code page (1256)";
    return std::nullopt;
  }
  return std::move(text.bytes);
}

std::optional<std::string> ControlTextFromUtf8(std::string_view utf8) {
  std::string unplaced;
  std::optional<std::string> text = ControlTextFromUtf8(utf8, unplaced);
  if (!text)
    if (Display* d = Display::CurrentOrNull()) d->NoteClipboardRefused("the clipboard's text holds " + unplaced);
  return text;
}

}  // namespace kestrix
