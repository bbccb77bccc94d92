// The desktop shortcut, written into a desktop folder that the test points
// the shell at through the user's shell folders in the registry.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <fstream>

#include "app/program_folder.h"
#include "help/help_actions.h"
#include "help/help_window.h"
#include "shell/shell.h"

namespace tamsel {
namespace {

constexpr char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

Text read_desktop_value() {
  char value[MAX_PATH * 2] = {};
  DWORD size = sizeof value - 1;
  if (RegGetValueA(HKEY_CURRENT_USER, kShellFolders, "Desktop", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ |
                                                                     RRF_NOEXPAND,
                   nullptr, value, &size) != ERROR_SUCCESS) {
    return Text();
  }
  return Text(value);
}

void write_desktop_value(const Text& value) {
  RegSetKeyValueA(HKEY_CURRENT_USER, kShellFolders, "Desktop", REG_EXPAND_SZ, value.c_str(),
                  static_cast<DWORD>(value.size() + 1));
}

bool exists(const Text& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The target a shell link file points to, read back by the shell-link object.
Text link_target(const Text& link) {
  IShellLinkA* shell_link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&shell_link)))) {
    return "no shell link object";
  }
  Text target = "unreadable";
  IPersistFile* file = nullptr;
  if (SUCCEEDED(shell_link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
    char path[MAX_PATH] = {};
    if (SUCCEEDED(file->Load(wide, STGM_READ)) &&
        SUCCEEDED(shell_link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH))) {
      target = path;
    }
    file->Release();
  }
  shell_link->Release();
  return target;
}

// Points the desktop folder at a fresh folder for one test; the user's
// setting comes back afterwards.
class DesktopShortcutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = read_desktop_value();
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    base_ = Text(temp) + "tamsel_help_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(base_.c_str(), nullptr);
  }
  void TearDown() override {
    if (saved_.empty()) {
      RegDeleteKeyValueA(HKEY_CURRENT_USER, kShellFolders, "Desktop");
    } else {
      write_desktop_value(saved_);
    }
    for (const Text& f : made_files_) DeleteFileA(f.c_str());
    for (auto it = made_folders_.rbegin(); it != made_folders_.rend(); ++it) {
      RemoveDirectoryA(it->c_str());
    }
    RemoveDirectoryA(base_.c_str());
  }
  // A desktop folder named name below the test's folder, made current.
  Text use_desktop(const Text& name) {
    Text folder = base_ + "\\" + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    made_folders_.push_back(folder);
    write_desktop_value(folder);
    return folder;
  }
  Text expect_shortcut(const Text& file) {
    made_files_.push_back(file);
    EXPECT_TRUE(exists(file)) << file;
    return link_target(file);
  }
  Text saved_;
  Text base_;
  std::vector<Text> made_folders_;
  std::vector<Text> made_files_;
};

TEST_F(DesktopShortcutTest, WritesTamselLnkPointingToTheRunningProgram) {
  ASSERT_EQ(base_.find('.'), Text::npos) << "the temporary folder holds a dot: " << base_;
  const Text desktop = use_desktop("Desktop");
  ASSERT_EQ(desktop_path(), desktop + "\\");
  const Text program = program_folder() + "\\" + executable_name();

  create_desktop_shortcut();
  EXPECT_EQ(expect_shortcut(desktop + "\\Tamsel.lnk"), program);
  EXPECT_FALSE(exists(desktop + "\\Tamsel"));

  // A second click writes the same file again over whatever is there.
  { std::ofstream(desktop + "\\Tamsel.lnk", std::ios::binary | std::ios::trunc) << "junk"; }
  create_desktop_shortcut();
  EXPECT_EQ(expect_shortcut(desktop + "\\Tamsel.lnk"), program);
}

TEST_F(DesktopShortcutTest, ADotInTheDesktopPathLeavesTheLinkWithoutExtension) {
  const Text desktop = use_desktop("user.name");
  create_desktop_shortcut();
  EXPECT_EQ(expect_shortcut(desktop + "\\Tamsel"), program_folder() + "\\" + executable_name());
  EXPECT_FALSE(exists(desktop + "\\Tamsel.lnk"));
}

void CALLBACK click_shortcut_and_close(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  HWND help = FindWindowA(nullptr, "Tamsel-\xB0\xEF\xD6\xFA\xA3\xBA");
  if (!help) return;
  SendMessageA(FindWindowExA(help, nullptr, "Button", "创建桌面快捷方式"), BM_CLICK, 0, 0);
  SendMessageA(help, WM_CLOSE, 0, 0);
}

TEST_F(DesktopShortcutTest, TheShortcutButtonWritesTheShortcut) {
  const Text desktop = use_desktop("ButtonDesktop");
  UINT_PTR timer = SetTimer(nullptr, 0, 50, click_shortcut_and_close);
  open_help_window();
  KillTimer(nullptr, timer);
  EXPECT_EQ(expect_shortcut(desktop + "\\Tamsel.lnk"), program_folder() + "\\" + executable_name());
}

}  // namespace
}  // namespace tamsel
