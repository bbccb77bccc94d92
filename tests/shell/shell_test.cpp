#include <gtest/gtest.h>

#include "shell/shell.h"
#include "support/fs.h"

#ifdef _WIN32
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "shell/com_ptr_win32.h"
#else
#include <sys/stat.h>
#include <unistd.h>

#include "shell/desktop_entry.h"
#include "shell/xdg_dirs.h"
#endif

namespace tamsel {
namespace {

TEST(IsFolder, TellsFoldersFromFilesAndMissingPaths) {
  test::TempFolder tmp;
  ASSERT_TRUE(test::write_file(tmp / "f.txt", "x"));
  ASSERT_TRUE(test::make_folder(tmp / "d"));
  EXPECT_TRUE(is_folder(tmp.path()));
  EXPECT_TRUE(is_folder(tmp / "d"));
  EXPECT_TRUE(is_folder(tmp.path() + kSeparator));  // a trailing separator is accepted
  EXPECT_FALSE(is_folder(tmp / "f.txt"));
  EXPECT_FALSE(is_folder(tmp / "missing"));
  EXPECT_FALSE(is_folder(""));
#ifndef _WIN32
  ASSERT_EQ(symlink((tmp / "d").c_str(), (tmp / "link").c_str()), 0);
  EXPECT_TRUE(is_folder(tmp / "link"));  // links are followed
#endif
}

TEST(CreateFolder, MakesOneLevel) {
  test::TempFolder tmp;
  EXPECT_TRUE(create_folder(tmp / "a"));
  EXPECT_TRUE(test::is_dir(tmp / "a"));
  EXPECT_FALSE(create_folder(tmp / "a"));  // already there
  EXPECT_FALSE(create_folder(tmp / "x" + kSeparator + "y"));
  EXPECT_FALSE(test::exists(tmp / "x"));
}

TEST(Hooks, ReplaceOpeningAndThePicker) {
  Text opened;
  set_open_hook([&](const Text& t) { opened = t; });
  shell_open("somewhere");
  EXPECT_EQ(opened, "somewhere");
  set_open_hook(nullptr);

  Text asked;
  set_choose_folder_hook([&](const Text& title) {
    asked = title;
    return Text("chosen");
  });
  EXPECT_EQ(choose_folder("自定义备份目录："), "chosen");
  EXPECT_EQ(asked, "自定义备份目录：");
  set_choose_folder_hook(nullptr);
}

TEST(DesktopPath, EndsInASeparator) {
  const Text desktop = desktop_path();
  ASSERT_FALSE(desktop.empty());
  EXPECT_EQ(desktop.back(), kSeparator);
}

#ifdef _WIN32
class Shortcut : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
  void TearDown() override { CoUninitialize(); }

  // Reads a link back through the shell and gives its target.
  static Text target_of(const Text& link) {
    ComPtr<IShellLinkA> shell_link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                shell_link.put_void())))
      return "no shell link";
    ComPtr<IPersistFile> file;
    if (FAILED(shell_link->QueryInterface(IID_IPersistFile, file.put_void()))) return "no persist";
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
    if (FAILED(file->Load(wide, STGM_READ))) return "not loaded";
    char path[MAX_PATH] = {};
    if (FAILED(shell_link->GetPath(path, MAX_PATH, nullptr, 0))) return "no path";
    return path;
  }
};

TEST_F(Shortcut, IsWrittenAndReadBackWithItsTarget) {
  test::TempFolder tmp;
  const Text target = tmp / "prog.exe";
  ASSERT_TRUE(test::write_file(target, "MZ"));
  const Text folder = tmp / "desk";  // no dot anywhere in the temp path assumed below
  ASSERT_TRUE(test::make_folder(folder));
  const bool dotless = folder.find('.') == Text::npos;
  ASSERT_TRUE(create_shortcut(folder + "\\\\Tamsel", target));
  const Text written = dotless ? folder + "\\Tamsel.lnk" : folder + "\\Tamsel";
  ASSERT_TRUE(test::exists(written));
  EXPECT_EQ(target_of(written), target);
  // A second call rewrites the same file.
  ASSERT_TRUE(create_shortcut(folder + "\\\\Tamsel", target));
  EXPECT_EQ(test::list_folder(folder).size(), 1u);
}

TEST_F(Shortcut, GetsNoExtensionWhenTheLinkHoldsADot) {
  test::TempFolder tmp;
  const Text folder = tmp / "first.last";
  ASSERT_TRUE(test::make_folder(folder));
  ASSERT_TRUE(create_shortcut(folder + "\\Tamsel", tmp / "prog.exe"));
  EXPECT_EQ(test::list_folder(folder), std::vector<Text>{"Tamsel"});
}

TEST_F(Shortcut, RefusesLinksBeyondMaxPath) {
  EXPECT_FALSE(create_shortcut("C:\\" + Text(MAX_PATH, 'a'), "C:\\x.exe"));
}
#else
TEST(Shortcut, IsAnExecutableDesktopEntry) {
  test::TempFolder tmp;
  const Text target = tmp / "tamsel";
  ASSERT_TRUE(create_shortcut(tmp / "Tamsel", target));
  const Text written = tmp / "Tamsel.desktop";
  auto text = test::read_file(written);
  ASSERT_TRUE(text);
  EXPECT_EQ(text->rfind("[Desktop Entry]\n", 0), 0u);
  EXPECT_NE(text->find("\nType=Application\n"), Text::npos);
  EXPECT_NE(text->find("\nExec=\"" + target + "\"\n"), Text::npos);
  struct stat st;
  ASSERT_EQ(stat(written.c_str(), &st), 0);
  EXPECT_TRUE(st.st_mode & S_IXUSR);
}

TEST(Shortcut, GetsNoExtensionWhenTheLinkHoldsADot) {
  test::TempFolder tmp;
  ASSERT_TRUE(test::make_folder(tmp / "first.last"));
  ASSERT_TRUE(create_shortcut(tmp / "first.last/Tamsel", "/usr/bin/tamsel"));
  EXPECT_EQ(test::list_folder(tmp / "first.last"), std::vector<Text>{"Tamsel"});
  EXPECT_FALSE(create_shortcut(tmp / "missing/Tamsel", "/usr/bin/tamsel"));
}

TEST(Shortcut, ExecQuotesEveryAwkwardCharacter) {
  struct Case {
    Text target, exec;
  } cases[] = {
      {"/opt/t/tamsel", "\"/opt/t/tamsel\""},
      {"/opt/my tools/tamsel", "\"/opt/my tools/tamsel\""},
      {"/opt/a\"b/t", "\"/opt/a\\\\\"b/t\""},    // \" then the string escape of the backslash
      {"/opt/$HOME/t", "\"/opt/\\\\$HOME/t\""},
      {"/opt/`x`/t", "\"/opt/\\\\`x\\\\`/t\""},
      {"/opt/a\\b/t", "\"/opt/a\\\\\\\\b/t\""},  // \\ for Exec, each escaped again
      {"/opt/100%/t", "\"/opt/100%%/t\""},
      {"/opt/a\nb/t", "\"/opt/a\\nb/t\""},
      {"/opt/-x;y/t", "\"/opt/-x;y/t\""},
  };
  for (const Case& c : cases) EXPECT_EQ(exec_quoted(c.target), c.exec) << c.target;
}

TEST(DesktopFolder, ComesFromUserDirs) {
  EXPECT_EQ(desktop_dir_from_user_dirs("# c\nXDG_DESKTOP_DIR=\"$HOME/桌面\"\n", "/home/u"), "/home/u/桌面");
  EXPECT_EQ(desktop_dir_from_user_dirs("XDG_DESKTOP_DIR=\"/data/desk\"\n", "/home/u"), "/data/desk");
  EXPECT_EQ(desktop_dir_from_user_dirs("XDG_DOWNLOAD_DIR=\"$HOME/d\"\n", "/home/u"), "");
  EXPECT_EQ(desktop_dir_from_user_dirs("XDG_DESKTOP_DIR=relative\n", "/home/u"), "");
}
#endif

}  // namespace
}  // namespace tamsel
