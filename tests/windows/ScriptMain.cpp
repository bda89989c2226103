#include "ScriptMain.h"

#include <algorithm>
#include <fstream>
#include <iostream>

#include "ContainerScriptTarget.h"

namespace kestrix {

int RunScripts(const std::vector<std::string>& files, bool fixedMetrics) {
  int worst = 0;
  for (const std::string& file : files) {
    int status = 0;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      std::cerr << file << ":0: cannot read the file\n";
      status = 2;
    } else {
      ContainerScriptTarget target;
      ScriptRunner runner(target, std::cout);
      target.AttachRunner(&runner);
      target.ChooseMetrics(fixedMetrics);
      const bool ran = runner.RunScript(in, file, std::cerr);
      runner.Finish();
      status = !ran ? 2 : runner.AllHeld() ? 0 : 1;
    }
    std::cout.flush();
    std::cerr.flush();
    std::cout << "script " << file << ": status " << status << "\n";
    worst = std::max(worst, status);
  }
  return worst;
}

}  // namespace kestrix
