// kestrix-idl: prints the control's type library as IDL source, or with --reference the
// Markdown member reference, written to FILE when one is named.
#include <cstring>
#include <iostream>
#include <string>

#include "control/TypeLibrary.h"
#include "framework/file/DurableWrite.h"

using namespace kestrix;

int main(int argc, char** argv) {
  const bool reference = argc >= 2 && std::strcmp(argv[1], "--reference") == 0;
  if ((argc > 1 && !reference) || argc > 3) {
    std::cerr << "usage: kestrix-idl [--reference [FILE]]\n";
    return 2;
  }
  const std::string text = reference ? EmitReference(KestrixTypeLibrary()) : EmitIdl(KestrixTypeLibrary());
  if (argc < 3) {
    std::cout << text;
    return 0;
  }
  std::string message;
  if (WriteFileDurably(argv[2], text, &message) != 0) {
    std::cerr << "kestrix-idl: " << message << "\n";
    return 1;
  }
  return 0;
}
