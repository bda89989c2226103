// The test container's entry: the thread is a single-threaded apartment with OLE (the
// clipboard and in-place activation need it), as a container's user-interface thread is.
//   kestrix-container [GOOGLETEST OPTIONS]                 the container's tests
//   kestrix-container --script [--metrics fixed] FILE...   scripts of kestrix-script's language
//   kestrix-container --read-accessible WINDOW FILE        a screen reader in another process
#include <gtest/gtest.h>
#include <ole2.h>

#include <string>
#include <vector>

#include "AccessibleReader.h"
#include "ScriptMain.h"

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--script") {
    std::vector<std::string> files;
    bool fixed = false;
    for (int i = 2; i < argc; ++i) {
      const std::string a = argv[i];
      if (a == "--metrics" && i + 1 < argc)
        fixed = std::string(argv[++i]) == "fixed";
      else
        files.push_back(a);
    }
    if (FAILED(OleInitialize(nullptr))) return 2;
    const int status = kestrix::RunScripts(files, fixed);
    OleUninitialize();
    return status;
  }
  if (argc == 4 && std::string(argv[1]) == "--read-accessible") {
    if (FAILED(CoInitialize(nullptr))) return 2;
    const auto window = reinterpret_cast<HWND>(std::stoull(argv[2], nullptr, 16));
    const std::string file = argv[3];
    const int status = kestrix::ReadAccessible(window, std::wstring(file.begin(), file.end()));
    CoUninitialize();
    return status;
  }
  testing::InitGoogleTest(&argc, argv);
  if (FAILED(OleInitialize(nullptr))) return 2;
  const int result = RUN_ALL_TESTS();
  OleUninitialize();
  return result;
}
