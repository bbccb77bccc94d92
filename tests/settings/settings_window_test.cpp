// The settings handlers through the real MainWindow: set.ini shown when the
// window is created, clicks on the radio buttons, "设置" with the picker
// answered by the test, and a press on the custom-folder label.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "app/controls.h"
#include "app/events.h"
#include "app/main_window.h"
#include "backup/names.h"
#include "settings/settings_file.h"
#include "settings/settings_handlers.h"
#include "shell/shell.h"
#include "support/fs.h"

#ifdef _WIN32
#include <windows.h>

#include "app/main_window_win32.h"
#else
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QRadioButton>

#include "app/label_qt.h"
#include "app/main_window_qt.h"
#endif

namespace tamsel {
namespace {

#ifdef _WIN32
class Window {
 public:
  Window() : owner_(create_owner_window()) { create_main_window(owner_); }
  ~Window() {
    if (owner_) DestroyWindow(owner_);
  }
  bool exists() const { return main_window() != nullptr; }
  bool checked(Control radio) const {
    return SendMessageA(control_window(radio), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  Text label_text() const {
    char text[1024];
    int n = GetWindowTextA(control_window(Control::标签1), text, sizeof text);
    return Text(text, static_cast<std::size_t>(n));
  }
  void click(Control control) { SendMessageA(control_window(control), BM_CLICK, 0, 0); }
  void press_label() {
    SendMessageA(control_window(Control::标签1), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageA(control_window(Control::标签1), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  }

 private:
  HWND owner_;
};
#else
class Window {
 public:
  Window() : window_(create_main_window()) {}
  ~Window() { delete window_; }
  bool exists() const { return window_ != nullptr; }
  bool checked(Control radio) const { return static_cast<QRadioButton*>(window_->control(radio))->isChecked(); }
  Text label_text() const { return static_cast<LabelQt*>(window_->control(Control::标签1))->text(); }
  void click(Control control) {
    QTest::mouseClick(window_->control(control), Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
  }
  void press_label() {
    QTest::mousePress(window_->control(Control::标签1), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    QTest::mouseRelease(window_->control(Control::标签1), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
  }

 private:
  MainWindowQt* window_;
};
#endif

class SettingsWindow : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef _WIN32
    setenv("HOME", scratch_.path().c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
#endif
    test::remove_tree(settings_path());
    set_open_hook([this](const Text& target) { opened_.push_back(target); });
    set_choose_folder_hook([this](const Text&) { return picked_; });
    main_window_events() = MainWindowEvents{};
    attach_settings_handlers();
  }
  void TearDown() override {
    set_open_hook(nullptr);
    set_choose_folder_hook(nullptr);
    main_window_events() = MainWindowEvents{};
    test::remove_tree(settings_path());
  }

  test::TempFolder scratch_;
  std::vector<Text> opened_;
  Text picked_;
};

TEST_F(SettingsWindow, ShowsTheFileAndStoresEveryChange) {
#ifndef _WIN32
  test::make_folder(scratch_ / ".config");
  test::make_folder(scratch_ / ".config/Tamsel");
#endif
  Text store = scratch_ / "store";
  ASSERT_TRUE(test::make_folder(store));
  ASSERT_TRUE(test::write_file(settings_path(), "[zip]\r\nzips=yes\r\n[dir]\r\nChoice=no\r\nRoute=" + store + "\r\n"));

  Window window;
  ASSERT_TRUE(window.exists());
  main_window_created();
  EXPECT_TRUE(window.checked(Control::单选框2));
  EXPECT_FALSE(window.checked(Control::单选框1));
  EXPECT_TRUE(window.checked(Control::单选框4));
  EXPECT_FALSE(window.checked(Control::单选框3));
  EXPECT_EQ(window.label_text(), store);

  window.click(Control::单选框1);
  EXPECT_EQ(read_ini_text(settings_path(), "zip", "zips", ""), "no");
  EXPECT_TRUE(window.checked(Control::单选框1));
  EXPECT_FALSE(window.checked(Control::单选框2));
  window.click(Control::单选框3);
  EXPECT_EQ(read_ini_text(settings_path(), "dir", "Choice", ""), "yes");

  window.press_label();
  EXPECT_EQ(opened_, std::vector<Text>{custom_base(store)});
  EXPECT_TRUE(test::is_dir(store + kSeparator + "allvorinbak"));

  picked_ = scratch_ / "picked";
  ASSERT_TRUE(test::make_folder(picked_));
  window.click(Control::按钮1);
  EXPECT_EQ(window.label_text(), picked_);
  EXPECT_EQ(read_ini_text(settings_path(), "dir", "Route", ""), picked_);
  EXPECT_TRUE(test::is_dir(picked_ + kSeparator + "allvorinbak"));
}

TEST_F(SettingsWindow, FirstStartShowsNoAndDefault) {
  Window window;
  ASSERT_TRUE(window.exists());
  main_window_created();
  EXPECT_TRUE(window.checked(Control::单选框1));
  EXPECT_TRUE(window.checked(Control::单选框3));
  EXPECT_FALSE(window.checked(Control::单选框2));
  EXPECT_FALSE(window.checked(Control::单选框4));
  EXPECT_EQ(window.label_text(), "");
  EXPECT_FALSE(test::exists(settings_path()));
}

}  // namespace
}  // namespace tamsel

int main(int argc, char** argv) {
#ifdef _WIN32
  OleInitialize(nullptr);
#else
  QApplication application(argc, argv);
#endif
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
