// The test container's entry: the thread is a single-threaded apartment with OLE (the
// clipboard and in-place activation need it), as a container's user-interface thread is.
#include <gtest/gtest.h>
#include <ole2.h>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (FAILED(OleInitialize(nullptr))) return 2;
  const int result = RUN_ALL_TESTS();
  OleUninitialize();
  return result;
}
