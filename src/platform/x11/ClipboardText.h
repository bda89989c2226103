// Text crossing between the control and other programs through the X clipboard: the control
// holds code page 1256 with a bare CR for each paragraph break, other programs speak UTF-8 (or
// Latin-1 for the old STRING target) with LF breaks.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrix {

// Control text for another program: UTF-8, each CR an LF.
std::string Utf8ForOtherPrograms(std::string_view cp1256);
// Control text as Latin-1 (STRING): each CR an LF, characters Latin-1 lacks as '?'.
std::string Latin1ForOtherPrograms(std::string_view cp1256);
// Another program's UTF-8 as control text: CR LF, a lone LF and a lone CR each become one CR,
// and characters convert as every text coming in does. Text with a character that has no
// place in the code page (or that is not UTF-8) gives nothing, and the display is told why.
std::optional<std::string> ControlTextFromUtf8(std::string_view utf8);
// The same, telling the caller instead: unplaced names the character that has no place.
std::optional<std::string> ControlTextFromUtf8(std::string_view utf8, std::string& unplaced);
// The same breaks, with each character that has no place (or each malformed byte) marked '?':
// for a file shown as it was read, whose save the editor guards.
std::string ControlTextFromUtf8MarkingUnplaced(std::string_view utf8);

}  // namespace kestrix
