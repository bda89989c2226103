// kestrix-idl: prints the control's type library as IDL source.
#include <iostream>

#include "control/TypeLibrary.h"

int main() {
  std::cout << EmitIdl(KestrixTypeLibrary());
  return 0;
}
