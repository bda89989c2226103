// Pieces of a resource script for the platform's resource compiler, written from the
// framework's resource templates, so that the Windows module carries the same resources the
// framework's own loaders read. Text is code page 1256, as the script's code page says.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "framework/resource/DialogTemplate.h"
#include "framework/resource/MenuTemplate.h"
#include "framework/resource/VersionInfo.h"

namespace kestrix {

// The opening lines: the script's code page and the language of what follows.
std::string ScriptHeader(WORD language);
// A quoted string, with quotes doubled and control characters escaped.
std::string Quoted(const std::string& text);
std::string StringTable(const std::vector<std::pair<UINT, std::string>>& strings);
std::string MenuResource(UINT id, const MenuTemplate& menu);
std::string DialogResource(UINT id, const DialogTemplate& dialog);
std::string VersionResource(const VersionInfo& version);

}  // namespace kestrix
