// The settings controls against a real set.ini: the Windows profile functions
// under Wine, our own INI store on Linux (with HOME pointed at a scratch folder).
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "app/controls.h"
#include "app/events.h"
#include "app/program_folder.h"
#include "backup/names.h"
#include "settings/settings_file.h"
#include "settings/settings_handlers.h"
#include "shell/shell.h"
#include "support/fs.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tamsel {
namespace {

using test::exists;
using test::is_dir;
using test::join;
using test::list_folder;
using test::make_folder;
using test::read_file;
using test::remove_tree;
using test::write_file;

// Writes set.ini where settings_path() says, with the folders above it.
void write_settings(const Text& content) {
#ifndef _WIN32
  Text path = settings_path();
  for (std::size_t cut = path.find('/', 1); cut != Text::npos; cut = path.find('/', cut + 1)) {
    make_folder(path.substr(0, cut));
  }
#endif
  ASSERT_TRUE(write_file(settings_path(), content));
}

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef _WIN32
    const char* home = std::getenv("HOME");
    const char* config = std::getenv("XDG_CONFIG_HOME");
    saved_home_ = home ? home : "";
    saved_config_ = config ? config : "";
    setenv("HOME", scratch_.path().c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
#endif
    remove_tree(settings_path());
    set_control_host(&controls_);
    set_open_hook([this](const Text& target) { opened_.push_back(target); });
    set_choose_folder_hook([this](const Text& title) {
      titles_.push_back(title);
      return picked_;
    });
  }

  void TearDown() override {
    set_control_host(nullptr);
    set_open_hook(nullptr);
    set_choose_folder_hook(nullptr);
    main_window_events() = MainWindowEvents();
    remove_tree(settings_path());
#ifndef _WIN32
    setenv("HOME", saved_home_.c_str(), 1);
    if (!saved_config_.empty()) setenv("XDG_CONFIG_HOME", saved_config_.c_str(), 1);
#endif
  }

  struct States {
    bool no, yes, standard, custom;
    bool operator==(const States&) const = default;
  };
  States states() const {
    return {controls_.selected(Control::单选框1), controls_.selected(Control::单选框2),
            controls_.selected(Control::单选框3), controls_.selected(Control::单选框4)};
  }

  test::TempFolder scratch_;  // on Linux also the user's home folder
  MemoryControls controls_;
  std::vector<Text> opened_;
  std::vector<Text> titles_;
  Text picked_;
  Text saved_home_;
  Text saved_config_;
};

TEST_F(Settings, LivesWhereTheUserExpectsIt) {
#ifdef _WIN32
  EXPECT_EQ(settings_path(), program_folder() + "\\set.ini");
#else
  EXPECT_EQ(settings_path(), scratch_.path() + "/.config/Tamsel/set.ini");
  Text config = scratch_ / "cfg";
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  EXPECT_EQ(settings_path(), config + "/Tamsel/set.ini");
  radio_clicked(Control::单选框2);
  EXPECT_EQ(read_file(config + "/Tamsel/set.ini"), Text("[zip]\nzips=yes\n"));
  unsetenv("XDG_CONFIG_HOME");
#endif
}

TEST_F(Settings, MissingFileSelectsNoAndDefaultAndCreatesNothing) {
  controls_.set_caption(Control::标签1, "stale");
  load_settings();
  EXPECT_EQ(states(), (States{true, false, true, false}));
  EXPECT_EQ(controls_.caption(Control::标签1), "");
  EXPECT_FALSE(exists(settings_path()));
  EXPECT_TRUE(list_folder(scratch_.path()).empty());
}

TEST_F(Settings, ValuesSelectByExactComparisons) {
  struct Case {
    const char* content;
    States expected;
    const char* route;
  };
  const Case cases[] = {
      {"[zip]\r\nzips=YES\r\n", {false, true, true, false}, ""},
      {"[zip]\r\nzips=\r\n", {false, true, true, false}, ""},
      {"[zip]\nzips=no\n", {true, false, true, false}, ""},
      {"[dir]\r\nChoice=\r\n", {true, false, false, true}, ""},
      {"[dir]\r\nChoice=Yes\r\n", {true, false, false, true}, ""},
      {"[dir]\r\nChoice=no\r\n", {true, false, false, true}, ""},
      {"[ZIP]\r\n  ZIPS = yes  \r\n[Dir]\r\nchoice=yes\r\nroute = /a b\r\n", {false, true, true, false}, "/a b"},
      {"[zip]\r\nzips=no\r\n[dir]\r\nChoice=yes\r\nRoute=X:\\store\r\n", {true, false, true, false}, "X:\\store"},
  };
  for (const Case& c : cases) {
    write_settings(c.content);
    controls_ = MemoryControls();
    load_settings();
    EXPECT_EQ(states(), c.expected) << c.content;
    EXPECT_EQ(controls_.caption(Control::标签1), c.route) << c.content;
  }
}

TEST_F(Settings, RadioClickWritesItsKeyAtOnce) {
  struct Case {
    Control radio;
    const char* section;
    const char* key;
    const char* value;
  };
  const Case cases[] = {
      {Control::单选框2, "zip", "zips", "yes"},
      {Control::单选框4, "dir", "Choice", "no"},
      {Control::单选框1, "zip", "zips", "no"},
      {Control::单选框3, "dir", "Choice", "yes"},
      {Control::单选框3, "dir", "Choice", "yes"},  // a click on the selected one writes again
  };
  attach_settings_handlers();
  for (const Case& c : cases) {
    main_window_events().radio_clicked(c.radio);
    EXPECT_EQ(read_ini_text(settings_path(), c.section, c.key, "unset"), c.value);
  }

  main_window_events().radio_clicked(Control::单选框2);
  main_window_events().radio_clicked(Control::单选框4);
  controls_ = MemoryControls();
  main_window_events().created();
  EXPECT_EQ(states(), (States{false, true, false, true}));
}

TEST_F(Settings, ChosenFolderIsShownStoredAndGetsItsBase) {
  picked_ = scratch_ / "备份 淺";
  ASSERT_TRUE(make_folder(picked_));
  attach_settings_handlers();
  main_window_events().button1_clicked();

  EXPECT_EQ(titles_, std::vector<Text>{"自定义备份目录："});
  EXPECT_EQ(controls_.caption(Control::标签1), picked_);
  // Not join(): the last byte of 淺 in code page 936 is 0x5C, a backslash byte.
  EXPECT_TRUE(is_dir(picked_ + kSeparator + "allvorinbak"));
  EXPECT_EQ(read_ini_text(settings_path(), "dir", "Route", ""), picked_);
  EXPECT_EQ(read_ini_text(settings_path(), "dir", "Choice", "unset"), "unset");
  EXPECT_TRUE(opened_.empty());

  controls_ = MemoryControls();
  load_settings();
  EXPECT_EQ(controls_.caption(Control::标签1), picked_);
  EXPECT_EQ(states(), (States{true, false, true, false}));
}

TEST_F(Settings, CancelledPickerChangesNothing) {
  controls_.set_caption(Control::标签1, "old");
  picked_.clear();
  choose_custom_folder();
  EXPECT_EQ(titles_.size(), 1u);
  EXPECT_EQ(controls_.caption(Control::标签1), "old");
  EXPECT_FALSE(exists(settings_path()));
  EXPECT_TRUE(list_folder(scratch_.path()).empty());
}

TEST_F(Settings, PressOnTheLabelMakesTheBaseAndOpensIt) {
  Text store = scratch_ / "store";
  ASSERT_TRUE(make_folder(store));
  controls_.set_caption(Control::标签1, store);
  attach_settings_handlers();
  main_window_events().label1_pressed();
  EXPECT_EQ(opened_, std::vector<Text>{custom_base(store)});
  EXPECT_TRUE(is_dir(join(store, "allvorinbak")));

  // Only the last level is made; the base is opened all the same.
  Text deeper = join(scratch_ / "missing", "deeper");
  controls_.set_caption(Control::标签1, deeper);
  open_custom_folder();
  EXPECT_EQ(opened_.back(), custom_base(deeper));
  EXPECT_FALSE(exists(scratch_ / "missing"));
  EXPECT_FALSE(exists(settings_path()));
}

TEST(IniText, NamesDefaultsAndEmptyValues) {
  test::TempFolder scratch;
  Text file = scratch / "t.ini";
  ASSERT_TRUE(write_file(file, "[zip]\r\nzips=\r\nother=v\r\n[dir]\r\nRoute=" + std::string(20000, 'a') + "\r\n"));
  EXPECT_EQ(read_ini_text(file, "zip", "zips", "def"), "");  // an existing empty value is no default
  EXPECT_EQ(read_ini_text(file, " \t\x01zip", "  other", ""), "v");
  EXPECT_EQ(read_ini_text(file, "zip", "missing", "def"), "def");
  EXPECT_EQ(read_ini_text(file, "zip", "missing", ""), "");
  EXPECT_EQ(read_ini_text(file, "none", "zips", "def"), "def");
  EXPECT_EQ(read_ini_text(file, "  ", "zips", "def"), "");
  EXPECT_EQ(read_ini_text(file, "zip", "", "def"), "");
  EXPECT_EQ(read_ini_text(" ", "zip", "other", "def"), "");
  EXPECT_EQ(read_ini_text(scratch / "absent.ini", "zip", "zips", "def"), "def");
  EXPECT_EQ(read_ini_text(file, "dir", "Route", "").size(), 10239u);
}

TEST(IniText, WritesCreateFileSectionAndKeyAndRefuseLineBreaks) {
  test::TempFolder scratch;
  Text file = scratch / "t.ini";
  write_ini_text(file, "dir", "Route", "a\r\nzips=yes");
  write_ini_text(file, "dir", "Route", "a\nb");
  EXPECT_FALSE(exists(file));

  write_ini_text(file, "dir", "Route", "old");
  write_ini_text(file, "zip", "zips", "yes");
  write_ini_text(file, "dir", "Route", "new");
  EXPECT_EQ(read_ini_text(file, "dir", "Route", ""), "new");
  EXPECT_EQ(read_ini_text(file, "zip", "zips", ""), "yes");
  write_ini_text(file, "dir", "Route", "x\ny");
  EXPECT_EQ(read_ini_text(file, "dir", "Route", ""), "new");
}

#ifndef _WIN32
// Linux keeps set.ini with our own INI store; the text outside the one changed
// value must come through byte for byte.
TEST_F(Settings, LinuxStoreKeepsForeignLinesOrderAndMode) {
  write_settings("; my notes\n[window]\nleft=10\n\n[DIR]\nRoute = /old\nChoice=yes\n");
  chmod(settings_path().c_str(), 0640);
  write_ini_text(settings_path(), "dir", "Route", "/new");
  write_ini_text(settings_path(), "zip", "zips", "yes");
  EXPECT_EQ(read_file(settings_path()),
            Text("; my notes\n[window]\nleft=10\n\n[DIR]\nRoute =/new\nChoice=yes\n[zip]\nzips=yes\n"));
  struct stat info {};
  ASSERT_EQ(stat(settings_path().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  Text folder = settings_path().substr(0, settings_path().rfind('/'));
  EXPECT_EQ(list_folder(folder), std::vector<Text>{"set.ini"});  // no temporary file left behind
}

TEST_F(Settings, LinuxStoreSurvivesRandomBytesAndTenMegabytes) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> byte(0, 255);
  Text noise(65536, '\0');
  for (char& c : noise) c = static_cast<char>(byte(random));
  write_settings(noise);
  load_settings();
  radio_clicked(Control::单选框2);
  EXPECT_EQ(read_ini_text(settings_path(), "zip", "zips", ""), "yes");
  std::optional<Text> after = read_file(settings_path());
  ASSERT_TRUE(after);
  EXPECT_EQ(after->compare(0, noise.size(), noise), 0);

  Text big;
  while (big.size() < 10 * 1024 * 1024) big += "[s" + std::to_string(big.size()) + "]\nk=" + Text(100, 'v') + "\n";
  write_settings(big);
  picked_ = scratch_ / "pick";
  choose_custom_folder();
  controls_ = MemoryControls();
  load_settings();
  EXPECT_EQ(controls_.caption(Control::标签1), picked_);
  EXPECT_EQ(read_file(settings_path()), big + "[dir]\nRoute=" + picked_ + "\n");
}

TEST_F(Settings, LinuxStoreLeavesWhatItCannotRewrite) {
  // A folder where set.ini should be is not replaced.
  write_settings("");
  remove_tree(settings_path());
  ASSERT_TRUE(make_folder(settings_path()));
  radio_clicked(Control::单选框2);
  EXPECT_TRUE(is_dir(settings_path()));
  remove_tree(settings_path());

  // A set.ini that is a link is written where the link points; the link stays.
  Text real = scratch_ / "real.ini";
  ASSERT_TRUE(write_file(real, "[x]\ny=1\n"));
  ASSERT_EQ(symlink(real.c_str(), settings_path().c_str()), 0);
  radio_clicked(Control::单选框4);
  EXPECT_EQ(read_file(real), Text("[x]\ny=1\n[dir]\nChoice=no\n"));
  struct stat info {};
  ASSERT_EQ(lstat(settings_path().c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
}
#endif

}  // namespace
}  // namespace tamsel
