// The shell-link object needs COM on the test thread, as the program has it.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  OleInitialize(nullptr);
  int result = RUN_ALL_TESTS();
  OleUninitialize();
  return result;
}
