// The desktop shortcut on Linux: a desktop entry named Tamsel in the user's
// desktop folder, found from the home folder, which each test points at a
// scratch folder of its own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "app/program_folder.h"
#include "help/help_actions.h"
#include "support/fs.h"

namespace tamsel {
namespace {

class DesktopShortcutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_home_ = std::getenv("HOME");
    if (const char* c = std::getenv("XDG_CONFIG_HOME")) saved_config_ = c;
    unsetenv("XDG_CONFIG_HOME");
  }
  void TearDown() override {
    if (saved_home_) setenv("HOME", saved_home_->c_str(), 1);
    if (saved_config_) setenv("XDG_CONFIG_HOME", saved_config_->c_str(), 1);
  }
  // Makes home/Desktop under the scratch folder and points HOME there.
  Text use_home(const Text& name) {
    const Text home = tmp_ / name;
    EXPECT_TRUE(test::make_folder(home));
    EXPECT_TRUE(test::make_folder(home + "/Desktop"));
    setenv("HOME", home.c_str(), 1);
    return home + "/Desktop";
  }
  test::TempFolder tmp_;
  std::optional<Text> saved_home_, saved_config_;
};

TEST_F(DesktopShortcutTest, WritesADesktopEntryForTheRunningProgramAndRewritesIt) {
  const Text desktop = use_home("home");
  const Text link = desktop + "/Tamsel.desktop";
  const Text exec = "\nExec=\"" + program_folder() + "/" + executable_name() + "\"\n";
  create_desktop_shortcut();
  auto entry = test::read_file(link);
  ASSERT_TRUE(entry) << link;
  EXPECT_NE(entry->find(exec), Text::npos) << *entry;

  ASSERT_TRUE(test::write_file(link, "junk"));
  create_desktop_shortcut();
  entry = test::read_file(link);
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->rfind("[Desktop Entry]\n", 0), 0u);
  EXPECT_NE(entry->find(exec), Text::npos);
  EXPECT_EQ(test::list_folder(desktop), std::vector<Text>{"Tamsel.desktop"});
}

TEST_F(DesktopShortcutTest, ADotInTheDesktopPathLeavesTheLinkWithoutExtension) {
  const Text desktop = use_home("first.last");
  create_desktop_shortcut();
  EXPECT_EQ(test::list_folder(desktop), std::vector<Text>{"Tamsel"});
}

}  // namespace
}  // namespace tamsel
