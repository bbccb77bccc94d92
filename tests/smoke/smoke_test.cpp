// Checks the ground the other tests stand on: the build's literals and, on
// Windows, the ANSI code page the tests run in.
#include <gtest/gtest.h>

#include <cstring>

#include "app/controls.h"

#ifdef _WIN32
#include <windows.h>
#endif

TEST(Smoke, LiteralsAreInThePlatformEncoding) {
#ifdef _WIN32
  EXPECT_EQ(GetACP(), 936u);
  EXPECT_STREQ("备份", "\xB1\xB8\xB7\xDD");
#else
  EXPECT_STREQ("备份", "\xE5\xA4\x87\xE4\xBB\xBD");
#endif
}

TEST(Smoke, MemoryControlsKeepCaptions) {
  tamsel::MemoryControls controls;
  tamsel::set_control_host(&controls);
  tamsel::set_caption(tamsel::Control::标签1, "x");
  EXPECT_EQ(tamsel::caption(tamsel::Control::标签1), "x");
  tamsel::set_control_host(nullptr);
}
