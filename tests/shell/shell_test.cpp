#include <gtest/gtest.h>

#include "shell/shell.h"
#include "support/fs.h"

#ifdef _WIN32
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "shell/com_ptr_win32.h"
#else
#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <thread>

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
  // A path holding a NUL names nothing; it is not the path before the NUL.
  EXPECT_FALSE(is_folder(tmp / "d" + Text(1, '\0') + "x"));
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
  EXPECT_FALSE(create_folder(tmp / "n" + Text(1, '\0') + "x"));
  EXPECT_FALSE(test::exists(tmp / "n"));
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
// The desktop folder as the shell reports it, moved for one test to a folder
// whose name ends in 淺 (0x9C 0x5C): its last byte has a backslash's value but
// is part of the character, so a separator still has to be appended.
class MovedDesktop {
 public:
  explicit MovedDesktop(const Text& folder) {
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key_) != ERROR_SUCCESS) {
      key_ = nullptr;
      return;
    }
    DWORD size = sizeof former_;
    had_ = RegQueryValueExA(key_, "Desktop", nullptr, &type_, reinterpret_cast<BYTE*>(former_), &size) ==
           ERROR_SUCCESS;
    former_size_ = size;
    moved_ = RegSetValueExA(key_, "Desktop", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                            static_cast<DWORD>(folder.size() + 1)) == ERROR_SUCCESS;
  }
  ~MovedDesktop() {
    if (!key_) return;
    if (had_) {
      RegSetValueExA(key_, "Desktop", 0, type_, reinterpret_cast<const BYTE*>(former_), former_size_);
    } else {
      RegDeleteValueA(key_, "Desktop");
    }
    RegCloseKey(key_);
  }
  MovedDesktop(const MovedDesktop&) = delete;
  MovedDesktop& operator=(const MovedDesktop&) = delete;
  bool moved() const { return moved_; }

 private:
  static constexpr const char* kKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  HKEY key_ = nullptr;
  bool had_ = false;
  bool moved_ = false;
  DWORD type_ = REG_EXPAND_SZ;
  char former_[2048] = {};
  DWORD former_size_ = 0;
};

TEST(DesktopPath, AppendsASeparatorAfterASecondByteOfValue0x5C) {
  test::TempFolder tmp;
  const Text desk = tmp / "desk\x9C\x5C";
  ASSERT_TRUE(test::make_folder(desk));
  const Text plain = tmp / "plain\\";  // already ends in a separator
  ASSERT_TRUE(test::make_folder(tmp / "plain"));
  struct Case {
    Text folder, expected;
  } cases[] = {{desk, desk + "\\"}, {plain, plain}};
  for (const Case& c : cases) {
    MovedDesktop moved(c.folder);
    ASSERT_TRUE(moved.moved());
    EXPECT_EQ(desktop_path(), c.expected) << c.folder;
  }
}

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
  // At the limit: the link path, ".lnk" included, fits in MAX_PATH bytes
  // together with its NUL.
  test::TempFolder tmp;
  if (tmp.path().find('.') != Text::npos) GTEST_SKIP() << "the temp path holds a dot";
  struct Case {
    std::size_t length;  // of the link as given
    bool dot;
    bool written;
  } cases[] = {
      {MAX_PATH - 5, false, true},
      {MAX_PATH - 4, false, false},
      {MAX_PATH - 1, true, true},
      {MAX_PATH, true, false},
  };
  for (const Case& c : cases) {
    Text name(c.length - tmp.path().size() - 1, 'a');
    if (c.dot) name[name.size() - 2] = '.';
    const Text link = tmp / name;
    ASSERT_EQ(link.size(), c.length);
    EXPECT_EQ(create_shortcut(link, tmp / "prog.exe"), c.written) << c.length;
    EXPECT_EQ(test::exists(c.dot ? link : link + ".lnk"), c.written) << c.length;
  }
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

TEST(Shortcut, ReplacesWhatIsThereWithoutWritingThroughALink) {
  test::TempFolder tmp;
  ASSERT_TRUE(test::write_file(tmp / "other", "keep"));
  ASSERT_EQ(symlink((tmp / "other").c_str(), (tmp / "Tamsel.desktop").c_str()), 0);
  ASSERT_TRUE(create_shortcut(tmp / "Tamsel", "/usr/bin/tamsel"));
  EXPECT_EQ(test::read_file(tmp / "other"), Text("keep"));
  struct stat st;
  ASSERT_EQ(lstat((tmp / "Tamsel.desktop").c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0755u);
  EXPECT_EQ(test::read_file(tmp / "Tamsel.desktop"), desktop_entry_for("/usr/bin/tamsel"));
  // A second call replaces the launcher and leaves nothing else behind.
  ASSERT_TRUE(create_shortcut(tmp / "Tamsel", "/opt/tamsel"));
  EXPECT_EQ(test::read_file(tmp / "Tamsel.desktop"), desktop_entry_for("/opt/tamsel"));
  EXPECT_EQ(test::list_folder(tmp.path()), (std::vector<Text>{"Tamsel.desktop", "other"}));
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

// shell_open on Linux starts "xdg-open" from the search path. This test
// program stands in for it (a link named xdg-open to this program) and
// reports how it was started: its arguments, its session and parent, and the
// descriptors it inherited.
constexpr const char* kReportVariable = "TAMSEL_TEST_OPEN_REPORT";

bool poll_for(const std::function<bool()>& done) {
  for (int i = 0; i < 400; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  return false;
}

// The stand-in: writes "key=value" lines (arguments escaped), then stays
// alive until the test says it may end.
int act_as_xdg_open(int argc, char** argv) {
  const char* report = std::getenv(kReportVariable);
  if (report == nullptr) return 2;
  Text lines;
  for (int i = 1; i < argc; ++i) {
    lines += "arg=";
    for (const char* c = argv[i]; *c; ++c) lines += *c == '\n' ? Text("\\n") : Text(1, *c);
    lines += "\n";
  }
  lines += "pid=" + std::to_string(getpid()) + "\n";
  lines += "ppid=" + std::to_string(getppid()) + "\n";
  lines += "sid=" + std::to_string(getsid(0)) + "\n";
  if (DIR* fds = opendir("/proc/self/fd")) {
    while (dirent* e = readdir(fds)) {
      if (e->d_name[0] == '.' || atoi(e->d_name) == dirfd(fds)) continue;
      char to[4096];
      ssize_t n = readlink((Text("/proc/self/fd/") + e->d_name).c_str(), to, sizeof to);
      lines += Text("fd") + e->d_name + "=" + Text(to, n > 0 ? static_cast<std::size_t>(n) : 0) + "\n";
    }
    closedir(fds);
  }
  const Text partial = Text(report) + ".part";
  if (!test::write_file(partial, lines) || rename(partial.c_str(), report) != 0) return 3;
  const Text done = Text(report) + ".done";
  poll_for([&] { return test::exists(done) || !test::exists(report); });
  return 0;
}

std::map<Text, Text> parse_report(const Text& text, std::vector<Text>& args) {
  std::map<Text, Text> values;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == Text::npos) end = text.size();
    const Text line = text.substr(start, end - start);
    const std::size_t eq = line.find('=');
    if (eq != Text::npos) {
      if (line.compare(0, eq, "arg") == 0) {
        args.push_back(line.substr(eq + 1));
      } else {
        values[line.substr(0, eq)] = line.substr(eq + 1);
      }
    }
    start = end + 1;
  }
  return values;
}

TEST(ShellOpen, StartsTheDefaultHandlerDetachedWithOneArgument) {
  test::TempFolder tmp;
  ASSERT_TRUE(test::make_folder(tmp / "bin"));
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  ASSERT_GT(n, 0);
  self[n] = '\0';
  ASSERT_EQ(symlink(self, (tmp / "bin/xdg-open").c_str()), 0);
  const Text old_path = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
  ASSERT_EQ(setenv("PATH", (tmp / "bin" + ":" + old_path).c_str(), 1), 0);
  const Text report = tmp / "report";
  ASSERT_EQ(setenv(kReportVariable, report.c_str(), 1), 0);
  // A descriptor the program holds without close-on-exec must not live on in
  // the file manager or browser.
  int held[2];
  ASSERT_EQ(pipe(held), 0);

  const Text target = tmp / "it's a \"folder\" $HOME; -x\nline two";
  shell_open(target);

  int status = 0;
  EXPECT_EQ(waitpid(-1, &status, WNOHANG), -1) << "a child was left behind";
  EXPECT_EQ(errno, ECHILD);
  ASSERT_TRUE(poll_for([&] { return test::exists(report); })) << "xdg-open did not run";
  close(held[0]);
  close(held[1]);
  setenv("PATH", old_path.c_str(), 1);
  unsetenv(kReportVariable);

  std::vector<Text> args;
  std::map<Text, Text> seen = parse_report(test::read_file(report).value_or(""), args);
  // Still running while shell_open has long returned: nothing waited for it.
  const pid_t handler = static_cast<pid_t>(std::atoi(seen["pid"].c_str()));
  EXPECT_GT(handler, 0);
  EXPECT_EQ(kill(handler, 0), 0);
  EXPECT_TRUE(test::write_file(report + ".done", ""));

  EXPECT_EQ(args, std::vector<Text>{tmp.path() + "/it's a \"folder\" $HOME; -x\\nline two"});
  EXPECT_NE(seen["sid"], std::to_string(getsid(0)));
  EXPECT_NE(seen["ppid"], std::to_string(getpid()));
  for (const char* fd : {"fd0", "fd1", "fd2"}) EXPECT_EQ(seen[fd], "/dev/null") << fd;
  std::vector<Text> other;
  for (const auto& [key, value] : seen) {
    if (key.rfind("fd", 0) == 0 && key != "fd0" && key != "fd1" && key != "fd2") other.push_back(key + "=" + value);
  }
  EXPECT_TRUE(other.empty()) << "inherited: " << ::testing::PrintToString(other);
}

TEST(DesktopFolder, ComesFromUserDirs) {
  EXPECT_EQ(desktop_dir_from_user_dirs("# c\nXDG_DESKTOP_DIR=\"$HOME/桌面\"\n", "/home/u"), "/home/u/桌面");
  EXPECT_EQ(desktop_dir_from_user_dirs("XDG_DESKTOP_DIR=\"/data/desk\"\n", "/home/u"), "/data/desk");
  EXPECT_EQ(desktop_dir_from_user_dirs("XDG_DOWNLOAD_DIR=\"$HOME/d\"\n", "/home/u"), "");
  EXPECT_EQ(desktop_dir_from_user_dirs("XDG_DESKTOP_DIR=relative\n", "/home/u"), "");
  // The file is read the way a shell sources it: the last setting counts.
  EXPECT_EQ(desktop_dir_from_user_dirs("XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DESKTOP_DIR=\"$HOME/桌面\"\n",
                                       "/home/u"),
            "/home/u/桌面");
}
#endif

}  // namespace
}  // namespace tamsel

int main(int argc, char** argv) {
#ifndef _WIN32
  const char* slash = std::strrchr(argv[0], '/');
  if (std::strcmp(slash ? slash + 1 : argv[0], "xdg-open") == 0) return tamsel::act_as_xdg_open(argc, argv);
#endif
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
