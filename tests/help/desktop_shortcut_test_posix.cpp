// The desktop shortcut on Linux: a desktop entry named Tamsel in the user's
// desktop folder. The folder comes from the account's home, so the test
// writes to the real one and puts back whatever was there before.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>

#include "app/program_folder.h"
#include "help/help_actions.h"
#include "shell/shell.h"
#include "support/fs.h"

namespace tamsel {
namespace {

class DesktopShortcutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    desktop_ = desktop_path();
    ASSERT_FALSE(desktop_.empty());
    folder_ = desktop_.substr(0, desktop_.size() - 1);
    made_folder_ = !test::is_dir(folder_);
    if (made_folder_) {
      ASSERT_TRUE(test::make_folder(folder_));
    }
    link_ = desktop_ + "Tamsel" + (desktop_.find('.') == Text::npos ? ".desktop" : "");
    before_ = test::read_file(link_);
  }
  void TearDown() override {
    if (before_) {
      test::write_file(link_, *before_);
    } else {
      std::remove(link_.c_str());
    }
    if (made_folder_) test::remove_tree(folder_);
  }
  Text desktop_, folder_, link_;
  bool made_folder_ = false;
  std::optional<Text> before_;
};

TEST_F(DesktopShortcutTest, WritesADesktopEntryForTheRunningProgramAndRewritesIt) {
  const Text exec = "\nExec=\"" + program_folder() + "/" + executable_name() + "\"\n";
  create_desktop_shortcut();
  auto entry = test::read_file(link_);
  ASSERT_TRUE(entry) << link_;
  EXPECT_NE(entry->find(exec), Text::npos) << *entry;

  ASSERT_TRUE(test::write_file(link_, "junk"));
  create_desktop_shortcut();
  entry = test::read_file(link_);
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->rfind("[Desktop Entry]\n", 0), 0u);
  EXPECT_NE(entry->find(exec), Text::npos);
}

}  // namespace
}  // namespace tamsel
