// The run without any user interface, as a program without windows would call it.
#include <gtest/gtest.h>

#include "app/controls.h"
#include "backup/progress_window.h"
#include "backup/run_backup.h"
#include "shell/shell.h"
#include "support/fs.h"

namespace tamsel {
namespace {

TEST(HeadlessRun, FolderArchiveWithoutApplicationObject) {
  test::TempFolder scratch;
  Text folder = scratch.path() + "/photos";
  ASSERT_TRUE(test::make_folder(folder));
  ASSERT_TRUE(test::write_file(folder + "/a.jpg", "jpeg"));
  MemoryControls controls;
  controls.set_selected(Control::单选框3, true);  // default location; 单选框1 clear: archives
  set_control_host(&controls);
  std::vector<Text> opened;
  set_open_hook([&opened](const Text& target) { opened.push_back(target); });

  { ProgressWindow nothing_to_show("photos"); nothing_to_show.show_percent(50); }
  run_backup(folder);

  EXPECT_EQ(controls.caption(Control::标签4), "备份：成功！");
  EXPECT_EQ(opened, std::vector<Text>{scratch.path() + "/photosbak"});
  EXPECT_EQ(test::list_folder(scratch.path() + "/photosbak").size(), 1u);
  set_open_hook(nullptr);
  set_control_host(nullptr);
}

}  // namespace
}  // namespace tamsel
