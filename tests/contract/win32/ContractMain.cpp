// Entry of contract_tests.exe. The system's critical-error boxes are switched off, as a test
// that asks about a missing drive must not wait for a click.
#include <gtest/gtest.h>

#include "os/win32/Win32Os.h"

int main(int argc, char** argv) {
  os::Win32Os machine;
  machine.SetErrorMode(os::kSemFailCriticalErrors);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
