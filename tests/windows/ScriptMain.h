// The container's script mode: runs kestrix-script's language on the control as this
// container places it. Each file runs on a fresh control; the status is the worst of the
// files' (0 every expect held, 1 one failed, 2 a line could not be run).
#pragma once

#include <string>
#include <vector>

namespace kestrix {

int RunScripts(const std::vector<std::string>& files, bool fixedMetrics);

}  // namespace kestrix
