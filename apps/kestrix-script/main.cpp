// kestrix-script: places one control on the headless display and drives it from a plain-text
// script of automation calls, input, clipboard, clock and persistence, printing what the
// script asks for and checking what it expects.
//
// Exit status: 0 when every expect held, 1 when one failed or a save or load failed (the
// script runs to its end), 2 when the script could not be run (the message names the file and
// line).
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "ScriptHost.h"

using namespace kestrix;

namespace {

int Usage() {
  std::cerr << "usage: kestrix-script [--metrics real|fixed] [--create PROGID|{CLSID}] [FILE ...]\n"
               "       (no FILE: standard input; --create places the control by name through the"
               " registry)\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files;
  int metrics = -1;
  std::string createName;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--metrics") {
      if (++i >= argc) return Usage();
      std::string m = argv[i];
      if (m != "real" && m != "fixed") return Usage();
      metrics = m == "fixed" ? 1 : 0;
    } else if (a == "--create") {
      if (++i >= argc || !*argv[i]) return Usage();
      createName = argv[i];
    } else if (a == "--help" || a == "-h") {
      Usage();
      return 0;
    } else {
      files.push_back(a);
    }
  }
  ScriptHost host(std::cout);
  if (metrics >= 0) host.ChooseMetrics(metrics == 1);
  if (!createName.empty()) host.CreateByName(createName);
  bool ran = true;
  if (files.empty()) {
    ran = host.RunScript(std::cin, "<stdin>", std::cerr);
  } else {
    for (const std::string& file : files) {
      std::ifstream in(file, std::ios::binary);
      if (!in) {
        std::cerr << file << ":0: cannot read the file\n";
        ran = false;
        break;
      }
      if (!(ran = host.RunScript(in, file, std::cerr))) break;
    }
  }
  host.Finish();
  std::cout.flush();
  return host.ExitStatus(ran);
}
