// shell_copy against real folders: on Linux the copy of files and trees with
// their times and modes, refusals, failures as an unprivileged user and the
// progress dialog; under Wine the shell's own copy with code page 936 names.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "shell/shell.h"
#include "support/fs.h"

using tamsel::Text;
using tamsel::test::exists;
using tamsel::test::read_file;
using tamsel::test::TempFolder;

#ifdef _WIN32

#include <windows.h>

namespace {

FILETIME file_time(ULONGLONG value) {
  FILETIME t;
  t.dwLowDateTime = static_cast<DWORD>(value);
  t.dwHighDateTime = static_cast<DWORD>(value >> 32);
  return t;
}

void make_file(const Text& path, const Text& data, ULONGLONG time) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
  FILETIME t = file_time(time);
  SetFileTime(h, nullptr, nullptr, &t);
  CloseHandle(h);
  ASSERT_EQ(written, data.size());
}

// Each entry below root: "D" for a folder, else "F <last write time> <data>".
std::map<Text, Text> describe(const Text& root, const Text& rel = Text()) {
  std::map<Text, Text> tree;
  WIN32_FIND_DATAA found;
  Text folder = rel.empty() ? root : root + "\\" + rel;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return tree;
  do {
    Text name = found.cFileName;
    if (name == "." || name == "..") continue;
    Text child = rel.empty() ? name : rel + "\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      tree[child] = "D";
      for (auto& [k, v] : describe(root, child)) tree[k] = v;
      continue;
    }
    Text data = read_file(root + "\\" + child).value_or("<unreadable>");
    ULONGLONG time = (ULONGLONG{found.ftLastWriteTime.dwHighDateTime} << 32) |
                     found.ftLastWriteTime.dwLowDateTime;
    tree[child] = "F " + std::to_string(time) + " " + data;
  } while (FindNextFileA(find, &found));
  FindClose(find);
  return tree;
}

// 2021-06-01 in 100 ns steps since 1601.
constexpr ULONGLONG kTime = 132669216000000000ULL;

// "淺" is 0x9C 0x5C in code page 936: its second byte is a backslash.
const Text kShallow = "\x9C\x5C";

TEST(ShellCopyWin32, CopiesAFileWithItsTime) {
  TempFolder dir;
  ASSERT_NO_FATAL_FAILURE(make_file(dir / "report.txt", "report data", kTime));
  EXPECT_TRUE(tamsel::shell_copy(dir / "report 2024.txt", dir / "report.txt"));
  auto tree = describe(dir.path());
  EXPECT_EQ(tree["report 2024.txt"], tree["report.txt"]);
  EXPECT_EQ(tree.size(), 2u);
}

TEST(ShellCopyWin32, CopiesTreeWithNestedEmptyAndGbkFolders) {
  TempFolder dir;
  const Text src = dir / "photos";
  ASSERT_TRUE(CreateDirectoryA(src.c_str(), nullptr));
  for (const char* folder : {"empty", "nested", "nested\\deeper", "nested\\deeper\\deepest"}) {
    ASSERT_TRUE(CreateDirectoryA((src + "\\" + folder).c_str(), nullptr)) << folder;
  }
  const Text gbk_folder = "淺" + kShallow + "表";
  ASSERT_TRUE(CreateDirectoryA((src + "\\" + gbk_folder).c_str(), nullptr));
  ASSERT_NO_FATAL_FAILURE(make_file(src + "\\a.txt", "alpha", kTime));
  ASSERT_NO_FATAL_FAILURE(make_file(src + "\\nested\\deeper\\deepest\\b.bin", Text(300000, 'b'), kTime + 1));
  ASSERT_NO_FATAL_FAILURE(make_file(src + "\\" + gbk_folder + "\\淺灘.txt", "shallow", kTime + 2));

  const Text target = dir / ("photos2024年01月05日09时03分07秒" + kShallow);
  EXPECT_TRUE(tamsel::shell_copy(target, src));
  std::map<Text, Text> expected = describe(src);
  EXPECT_EQ(expected.size(), 8u);
  EXPECT_EQ(describe(target), expected);
  // The names are the characters themselves, not split at the 0x5C bytes.
  wchar_t wide_target[MAX_PATH];
  ASSERT_GT(MultiByteToWideChar(CP_ACP, 0, target.c_str(), -1, wide_target, MAX_PATH), 0);
  std::wstring wide = std::wstring(wide_target) + L"\\淺淺表\\淺灘.txt";
  EXPECT_NE(GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES);
}

// Records the WM_ENABLE messages the window receives.
struct EnableLog {
  static std::vector<bool>& log() {
    static std::vector<bool> entries;
    return entries;
  }
  static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_ENABLE) log().push_back(w != FALSE);
    return DefWindowProcA(window, message, w, l);
  }
};

class Window {
 public:
  Window() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = EnableLog::proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TamselCopyTestWindow";
    RegisterClassA(&wc);
    window_ = CreateWindowExA(0, wc.lpszClassName, "copy test", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                              nullptr, nullptr, wc.hInstance, nullptr);
  }
  ~Window() { DestroyWindow(window_); }
  HWND get() const { return window_; }

 private:
  HWND window_;
};

TEST(ShellCopyWin32, DisablesTheProgramsWindowsWhileCopying) {
  TempFolder dir;
  ASSERT_NO_FATAL_FAILURE(make_file(dir / "a.txt", "alpha", kTime));
  Window enabled, disabled;
  ASSERT_TRUE(enabled.get() && disabled.get());
  EnableWindow(disabled.get(), FALSE);
  EnableLog::log().clear();

  EXPECT_TRUE(tamsel::shell_copy(dir / "b.txt", dir / "a.txt"));
  EXPECT_TRUE(IsWindowEnabled(enabled.get()));
  EXPECT_FALSE(IsWindowEnabled(disabled.get()));
  // The enabled window went off and on again; the disabled one got no change.
  EXPECT_EQ(EnableLog::log(), (std::vector<bool>{false, true}));
}

TEST(ShellCopyWin32, EmptySourceMakesNoCall) {
  TempFolder dir;
  Window window;
  EnableLog::log().clear();
  EXPECT_FALSE(tamsel::shell_copy(dir / "copy", ""));
  EXPECT_TRUE(EnableLog::log().empty());
  EXPECT_FALSE(exists(dir / "copy"));
}

TEST(ShellCopyWin32, MissingSourceFailsAndLeavesNothing) {
  TempFolder dir;
  EXPECT_FALSE(tamsel::shell_copy(dir / "copy", dir / "missing"));
  EXPECT_FALSE(exists(dir / "copy"));
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

#else  // Linux

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "shell/copy_progress.h"

extern char** environ;

namespace {

struct timespec at(time_t seconds, long nanoseconds) {
  struct timespec t;
  t.tv_sec = seconds;
  t.tv_nsec = nanoseconds;
  return t;
}

void set_time(const Text& path, struct timespec mtime) {
  const struct timespec times[2] = {at(1000000000, 0), mtime};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

void make_file(const Text& path, const Text& data, mode_t mode, struct timespec mtime) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
  ASSERT_GE(fd, 0) << path;
  ASSERT_EQ(write(fd, data.data(), data.size()), static_cast<ssize_t>(data.size()));
  close(fd);
  ASSERT_EQ(chmod(path.c_str(), mode), 0);
  set_time(path, mtime);
}

// Everything below root that a copy has to keep: kind, mode, modification
// time to the nanosecond, and the data of files or the text of links.
std::map<Text, Text> describe(const Text& root, const Text& rel = Text()) {
  std::map<Text, Text> tree;
  Text folder = rel.empty() ? root : root + "/" + rel;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return tree;
  std::vector<Text> names;
  while (dirent* e = readdir(dir)) {
    if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0) names.push_back(e->d_name);
  }
  closedir(dir);
  for (const Text& name : names) {
    Text child = rel.empty() ? name : rel + "/" + name;
    Text path = root + "/" + child;
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) continue;
    Text d = std::to_string(st.st_mode) + " " + std::to_string(st.st_mtim.tv_sec) + "." +
             std::to_string(st.st_mtim.tv_nsec) + " ";
    if (S_ISREG(st.st_mode)) d += read_file(path).value_or("<unreadable>");
    if (S_ISLNK(st.st_mode)) {
      char link[4096];
      ssize_t n = readlink(path.c_str(), link, sizeof link);
      d += Text(link, n > 0 ? static_cast<std::size_t>(n) : 0);
    }
    tree[child] = d;
    if (S_ISDIR(st.st_mode)) {
      for (auto& [k, v] : describe(root, child)) tree[k] = v;
    }
  }
  return tree;
}

Text pattern(std::size_t size) {
  Text data(size, '\0');
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 131 + i / 7) & 0xFF);
  return data;
}

// File names that would break a copy that went through a shell, a copy that
// treats names as text, or one that passes names as options.
const std::vector<Text> kOddNames = {
    "it's \"quoted\"; $HOME `id` & | *", "-rf", "--help", "line\nbreak", " leading space",
    "中文名字.txt", "emoji 😀.txt", "\xFF\xFE not utf-8", "back\\slash", "trailing dot.",
};

// A tree with nested and empty folders, read-only files and folders, odd
// names, links (relative, dangling, absolute, one that leads back up) and a
// fifo; every time distinct, folder times set after their contents.
void make_rich_tree(const Text& root) {
  ASSERT_EQ(mkdir(root.c_str(), 0755), 0);
  for (const char* folder : {"empty", "nested", "nested/deeper", "nested/deeper/deepest", "ro-dir"}) {
    ASSERT_EQ(mkdir((root + "/" + folder).c_str(), 0755), 0) << folder;
  }
  ASSERT_NO_FATAL_FAILURE(make_file(root + "/a.txt", "alpha", 0644, at(1500000000, 1)));
  ASSERT_NO_FATAL_FAILURE(make_file(root + "/nested/deeper/deepest/big.bin", pattern(2621441), 0640,
                                     at(1500000001, 123456789)));
  ASSERT_NO_FATAL_FAILURE(make_file(root + "/nested/empty-file", "", 0600, at(1500000002, 2)));
  ASSERT_NO_FATAL_FAILURE(make_file(root + "/read-only.txt", "keep", 0444, at(1500000003, 3)));
  ASSERT_NO_FATAL_FAILURE(make_file(root + "/run.sh", "#!/bin/sh\n", 0755, at(1500000004, 4)));
  ASSERT_NO_FATAL_FAILURE(make_file(root + "/ro-dir/inner.txt", "inner", 0400, at(1500000005, 5)));
  long n = 10;
  for (const Text& name : kOddNames) {
    ASSERT_NO_FATAL_FAILURE(make_file(root + "/" + name, "odd " + name, 0644, at(1500000100, ++n)));
  }
  ASSERT_EQ(symlink("a.txt", (root + "/link-to-a").c_str()), 0);
  ASSERT_EQ(symlink("nowhere/at all", (root + "/nested/dangling").c_str()), 0);
  ASSERT_EQ(symlink("/nonexistent/absolute", (root + "/absolute").c_str()), 0);
  ASSERT_EQ(symlink("../..", (root + "/nested/deeper/loop").c_str()), 0);
  set_time(root + "/link-to-a", at(1500000200, 200));
  ASSERT_EQ(mkfifo((root + "/pipe").c_str(), 0620), 0);
  set_time(root + "/pipe", at(1500000201, 201));
  for (const char* folder : {"nested/deeper/deepest", "nested/deeper", "nested", "empty"}) {
    set_time(root + "/" + folder, at(1400000000, 7));
  }
  ASSERT_EQ(chmod((root + "/ro-dir").c_str(), 0555), 0);
  set_time(root + "/ro-dir", at(1400000001, 8));
  ASSERT_EQ(chmod((root + "/nested/deeper").c_str(), 0750), 0);
  set_time(root + "/nested/deeper", at(1400000002, 9));
  set_time(root, at(1400000003, 10));
}

TEST(ShellCopy, CopiesAFileWithDataModeAndTime) {
  struct Case {
    const char* what;
    std::size_t size;
    mode_t mode;
  };
  for (const Case& c : {Case{"empty", 0, 0640}, Case{"read-only, several blocks", 3145729, 0444},
                        Case{"executable", 17, 0755}}) {
    SCOPED_TRACE(c.what);
    TempFolder dir;
    ASSERT_NO_FATAL_FAILURE(make_file(dir / "report.txt", pattern(c.size), c.mode, at(1600000000, 42)));
    EXPECT_TRUE(tamsel::shell_copy(dir / "copy.txt", dir / "report.txt"));
    auto tree = describe(dir.path());
    EXPECT_EQ(tree["copy.txt"], tree["report.txt"]);
  }
}

// The copy belongs to whoever runs the backup (root here). A set-user-ID or
// set-group-ID bit may only come along when the copy has the source's owner or
// group; otherwise a backup would turn another user's program into one that
// runs as root.
TEST(ShellCopy, KeepsSetIdBitsOnlyForTheSameOwner) {
  ASSERT_EQ(geteuid(), 0u) << "the tests run as root";
  struct Case {
    const char* what;
    uid_t uid;
    gid_t gid;
    mode_t mode;
    mode_t copied;
  };
  const Case cases[] = {
      {"another user's set-id program", 65534, 65534, 06755, 0755},
      {"another user's, root's group", 65534, 0, 06755, 02755},
      {"root's own set-id program", 0, 0, 06755, 06755},
      {"root's, another group", 0, 65534, 06750, 04750},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder dir;
    ASSERT_NO_FATAL_FAILURE(make_file(dir / "prog", "#!/bin/sh\n", 0755, at(1600000000, 0)));
    ASSERT_EQ(chown((dir / "prog").c_str(), c.uid, c.gid), 0);
    ASSERT_EQ(chmod((dir / "prog").c_str(), c.mode), 0);
    ASSERT_EQ(mkdir((dir / "tree").c_str(), 0755), 0);
    ASSERT_EQ(link((dir / "prog").c_str(), (dir / "tree/prog").c_str()), 0);

    for (const char* source : {"prog", "tree"}) {
      SCOPED_TRACE(source);
      const Text copy = dir / (Text("copy-of-") + source);
      ASSERT_TRUE(tamsel::shell_copy(copy, dir / source));
      const Text file = Text(source) == "prog" ? copy : copy + "/prog";
      struct stat st;
      ASSERT_EQ(stat(file.c_str(), &st), 0);
      EXPECT_EQ(st.st_uid, 0u);
      EXPECT_EQ(st.st_mode & 07777, c.copied);
    }
  }
}

TEST(ShellCopy, CopiesAWholeTree) {
  TempFolder dir;
  ASSERT_NO_FATAL_FAILURE(make_rich_tree(dir / "src"));
  std::map<Text, Text> before = describe(dir / "src");
  ASSERT_EQ(before.size(), 26u);

  EXPECT_TRUE(tamsel::shell_copy(dir / "copy", dir / "src"));
  EXPECT_EQ(describe(dir / "copy"), before);
  EXPECT_EQ(describe(dir / "src"), before);
  struct stat root_src, root_copy;
  ASSERT_EQ(stat((dir / "src").c_str(), &root_src), 0);
  ASSERT_EQ(stat((dir / "copy").c_str(), &root_copy), 0);
  EXPECT_EQ(root_copy.st_mode, root_src.st_mode);
  EXPECT_EQ(root_copy.st_mtim.tv_nsec, root_src.st_mtim.tv_nsec);
  EXPECT_EQ(root_copy.st_mtim.tv_sec, root_src.st_mtim.tv_sec);

  // The dropped item itself may be a link or end in a separator.
  ASSERT_EQ(symlink("src", (dir / "link-to-src").c_str()), 0);
  EXPECT_TRUE(tamsel::shell_copy(dir / "via-link", dir / "link-to-src"));
  EXPECT_EQ(describe(dir / "via-link"), before);
  EXPECT_TRUE(tamsel::shell_copy(dir / "via-slash/", dir / "src/"));
  EXPECT_EQ(describe(dir / "via-slash"), before);
}

TEST(ShellCopy, CopiesASocketAsANode) {
  TempFolder dir;
  ASSERT_EQ(mkdir((dir / "src").c_str(), 0755), 0);
  int s = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address = {};
  address.sun_family = AF_UNIX;
  Text socket_path = dir / "src/socket";
  ASSERT_LT(socket_path.size(), sizeof address.sun_path);
  memcpy(address.sun_path, socket_path.c_str(), socket_path.size());
  ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  close(s);
  EXPECT_TRUE(tamsel::shell_copy(dir / "copy", dir / "src"));
  EXPECT_EQ(describe(dir / "copy"), describe(dir / "src"));
}

TEST(ShellCopy, NeverReplacesWhatExists) {
  struct Case {
    const char* what;
    void (*make)(const Text& path);
  };
  const Case targets[] = {
      {"file", [](const Text& p) { make_file(p, "old", 0644, at(1300000000, 0)); }},
      {"folder", [](const Text& p) {
         mkdir(p.c_str(), 0755);
         make_file(p + "/a.txt", "old", 0644, at(1300000000, 0));
       }},
      {"empty folder", [](const Text& p) { mkdir(p.c_str(), 0755); }},
      {"dangling link", [](const Text& p) { ASSERT_EQ(symlink("pointee", p.c_str()), 0); }},
  };
  for (const Case& target : targets) {
    for (const char* source : {"file.txt", "tree"}) {
      SCOPED_TRACE(std::string(target.what) + " <- " + source);
      TempFolder dir;
      ASSERT_NO_FATAL_FAILURE(make_file(dir / "file.txt", "new", 0644, at(1600000000, 0)));
      ASSERT_EQ(mkdir((dir / "tree").c_str(), 0755), 0);
      ASSERT_NO_FATAL_FAILURE(make_file(dir / "tree/a.txt", "new", 0644, at(1600000000, 0)));
      ASSERT_NO_FATAL_FAILURE(target.make(dir / "target"));
      std::map<Text, Text> before = describe(dir.path());

      EXPECT_FALSE(tamsel::shell_copy(dir / "target", dir / source));
      EXPECT_EQ(describe(dir.path()), before);
    }
  }
}

TEST(ShellCopy, RefusesWhatCannotBeCopiedAndLeavesNothing) {
  struct Case {
    const char* what;
    Text target;
    Text source;
  };
  const Case cases[] = {
      {"empty source", "copy", ""},
      {"missing source", "copy", "missing"},
      {"source in a missing folder", "copy", "missing/a.txt"},
      {"empty target", "", "tree"},
      {"target in a missing folder", "missing/copy", "tree"},
      {"NUL inside a path", "copy", Text("tree\0/a.txt", 11)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder dir;
    ASSERT_EQ(mkdir((dir / "tree").c_str(), 0755), 0);
    ASSERT_NO_FATAL_FAILURE(make_file(dir / "tree/a.txt", "a", 0644, at(1600000000, 0)));
    std::map<Text, Text> before = describe(dir.path());
    Text target = c.target.empty() ? Text() : dir / c.target;
    Text source = c.source.empty() ? Text() : dir / c.source;
    EXPECT_FALSE(tamsel::shell_copy(target, source));
    EXPECT_EQ(describe(dir.path()), before);
  }
}

TEST(ShellCopy, CopiesAFolderIntoABackupFolderInsideItself) {
  TempFolder dir;
  const Text src = dir / "docs";
  ASSERT_EQ(mkdir(src.c_str(), 0755), 0);
  ASSERT_NO_FATAL_FAILURE(make_file(src + "/a.txt", "alpha", 0644, at(1600000000, 0)));
  ASSERT_EQ(mkdir((src + "/docsbak").c_str(), 0755), 0);

  EXPECT_TRUE(tamsel::shell_copy(src + "/docsbak/docs1", src));
  std::map<Text, Text> copy = describe(src + "/docsbak/docs1");
  ASSERT_EQ(copy.size(), 2u);
  EXPECT_EQ(copy["a.txt"], describe(src)["a.txt"]);
  EXPECT_TRUE(copy.count("docsbak"));

  // A second backup copies the first one once, as it was before.
  EXPECT_TRUE(tamsel::shell_copy(src + "/docsbak/docs2", src));
  std::map<Text, Text> second = describe(src + "/docsbak/docs2");
  EXPECT_EQ(second.size(), 5u);
  EXPECT_TRUE(second.count("docsbak/docs1/a.txt"));
  EXPECT_FALSE(second.count("docsbak/docs2"));
}

// ---- as an unprivileged user (root passes every permission check) ----

constexpr const char* kHelper = "--copy-as-helper";

// Runs shell_copy in this test program as user 65534; true when it copied.
bool copy_as_nobody(const Text& target, const Text& source) {
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return false;
  self[n] = '\0';
  std::vector<std::string> args = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                                   self, kHelper, target, source};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid;
  if (posix_spawnp(&pid, "setpriv", nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) <= 1) << "helper did not run: " << status;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class ShellCopyAsOtherUser : public testing::Test {
 protected:
  void SetUp() override {
    // The temp folder is reachable for the helper; the target's folder is its own.
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    ASSERT_EQ(mkdir((dir / "out").c_str(), 0755), 0);
    ASSERT_EQ(chown((dir / "out").c_str(), 65534, 65534), 0);
    ASSERT_EQ(mkdir((dir / "src").c_str(), 0755), 0);
    for (const char* folder : {"a", "m", "z"}) {
      ASSERT_EQ(mkdir((dir / "src/" + folder).c_str(), 0755), 0);
      for (const char* file : {"1.txt", "2.txt"}) {
        ASSERT_NO_FATAL_FAILURE(make_file(dir / "src/" + folder + "/" + file, pattern(70000), 0644,
                                           at(1600000000, 5)));
      }
    }
  }
  TempFolder dir;
};

TEST_F(ShellCopyAsOtherUser, CopiesReadOnlyFoldersAndFiles) {
  ASSERT_NO_FATAL_FAILURE(make_file(dir / "src/m/read-only", "data", 0444, at(1600000001, 1)));
  ASSERT_EQ(chmod((dir / "src/m").c_str(), 0555), 0);
  ASSERT_EQ(chmod((dir / "src").c_str(), 0555), 0);
  EXPECT_TRUE(copy_as_nobody(dir / "out/copy", dir / "src"));
  EXPECT_EQ(describe(dir / "out/copy"), describe(dir / "src"));
}

TEST_F(ShellCopyAsOtherUser, FailureInMidTreeLeavesNoPartialCopy) {
  struct Case {
    const char* what;
    void (*spoil)(const Text& src);
  };
  const Case cases[] = {
      {"unreadable file", [](const Text& src) {
         make_file(src + "/m/secret", "secret", 0600, at(1600000000, 0));
       }},
      {"unreadable folder", [](const Text& src) { ASSERT_EQ(mkdir((src + "/m/private").c_str(), 0700), 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder fresh;
    ASSERT_EQ(chmod(fresh.path().c_str(), 0755), 0);
    ASSERT_EQ(mkdir((fresh / "out").c_str(), 0755), 0);
    ASSERT_EQ(chown((fresh / "out").c_str(), 65534, 65534), 0);
    std::filesystem::copy(dir / "src", fresh / "src", std::filesystem::copy_options::recursive);
    ASSERT_NO_FATAL_FAILURE(c.spoil(fresh / "src"));
    EXPECT_FALSE(copy_as_nobody(fresh / "out/copy", fresh / "src"));
    EXPECT_TRUE(describe(fresh / "out").empty());
  }
  // The same tree without the spoiled entry copies, as a check on the helper.
  EXPECT_TRUE(copy_as_nobody(dir / "out/copy", dir / "src"));
  EXPECT_EQ(describe(dir / "out/copy"), describe(dir / "src"));
}

// ---- the progress dialog on the offscreen platform ----

QWidget* visible_copy_dialog() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == QStringLiteral("copy_progress") && w->isVisible()) return w;
  }
  return nullptr;
}

// Stands for a slow disk: every report takes a while. Watches the real
// dialog as the copy goes and can press its Cancel button once the data
// is being copied.
class SlowProgress : public tamsel::CopyProgress {
 public:
  SlowProgress(std::chrono::milliseconds delay, bool cancel)
      : real_(tamsel::make_copy_progress()), delay_(delay), cancel_(cancel) {}
  bool update(const tamsel::CopyState& state) override {
    if (poke) poke();
    std::this_thread::sleep_for(delay_);
    bool go_on = real_->update(state);
    if (QWidget* dialog = visible_copy_dialog()) {
      seen = true;
      for (QLabel* label : dialog->findChildren<QLabel*>()) texts += label->text() + "\n";
      if (cancel_ && !state.listing) {
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) button->click();
      }
    }
    return go_on;
  }
  std::unique_ptr<tamsel::CopyProgress> real_;
  std::chrono::milliseconds delay_;
  bool cancel_;
  bool seen = false;
  QString texts;
  std::function<void()> poke;  // called at every report, before the dialog's
};

// A window of the program with a button and a drop target, counting what
// reaches it. Input is posted to its native window, as the window system
// delivers it.
class ProgramWindow : public QWidget {
 public:
  ProgramWindow() : button(this) {
    setAcceptDrops(true);
    button.setGeometry(10, 10, 80, 30);
    QObject::connect(&button, &QPushButton::clicked, [this] { ++clicks; });
    resize(200, 100);
    show();
  }
  void post_input() {
    QWindow* handle = windowHandle();
    const QPointF at(20, 20);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QCoreApplication::postEvent(
          handle, new QMouseEvent(type, at, mapToGlobal(at), Qt::LeftButton,
                                  type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                  Qt::NoModifier));
    }
    const QPoint drop_at(150, 50);
    QCoreApplication::postEvent(handle, new QDragEnterEvent(drop_at, Qt::CopyAction, &mime,
                                                            Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(handle, new QDropEvent(drop_at, Qt::CopyAction, &mime,
                                                       Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(handle, new QCloseEvent());
  }
  int clicks = 0;
  int drops = 0;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override { event->acceptProposedAction(); }
  void dropEvent(QDropEvent* event) override {
    ++drops;
    event->acceptProposedAction();
  }

 private:
  QPushButton button;
  QMimeData mime;
};

class ShellCopyDialog : public testing::Test {
 protected:
  int argc = 1;
  char name[10] = "copy_test";
  char* argv[2] = {name, nullptr};
  QApplication app{argc, argv};
  TempFolder dir;
};

TEST_F(ShellCopyDialog, AppearsOnALongCopyAndCancelRemovesTheCopy) {
  ASSERT_EQ(mkdir((dir / "src").c_str(), 0755), 0);
  for (int i = 0; i < 40; ++i) {
    ASSERT_NO_FATAL_FAILURE(
        make_file(dir / "src/file" + std::to_string(i), pattern(50000), 0644, at(1600000000, i)));
  }
  for (bool cancel : {false, true}) {
    SCOPED_TRACE(cancel ? "cancelled" : "to the end");
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(10);
    SlowProgress progress(std::chrono::milliseconds(15), cancel);
    ASSERT_NE(progress.real_, nullptr);
    const Text target = dir / (cancel ? "cancelled" : "copy");
    bool copied = tamsel::copy_with_progress(target, dir / "src", &progress);
    progress.real_.reset();
    timer.stop();

    EXPECT_EQ(copied, !cancel);
    EXPECT_TRUE(progress.seen);
    EXPECT_TRUE(progress.texts.contains(QStringLiteral("已完成"))) << progress.texts.toStdString();
    EXPECT_TRUE(progress.texts.contains(QStringLiteral("剩余")));
    EXPECT_TRUE(progress.texts.contains(QStringLiteral("正在复制：src")));
    EXPECT_GT(ticks, 0) << "events were not processed during the copy";
    EXPECT_EQ(visible_copy_dialog(), nullptr);
    if (cancel) {
      EXPECT_FALSE(exists(target));
    } else {
      EXPECT_TRUE(progress.texts.contains(QStringLiteral("正在复制：src/file")));
      EXPECT_EQ(describe(target), describe(dir / "src"));
    }
  }
}

TEST_F(ShellCopyDialog, OtherWindowsTakeNoInputWhileCopying) {
  ASSERT_EQ(mkdir((dir / "src").c_str(), 0755), 0);
  for (int i = 0; i < 20; ++i) {
    ASSERT_NO_FATAL_FAILURE(make_file(dir / "src/file" + std::to_string(i), "data", 0644, at(1600000000, i)));
  }
  ProgramWindow window;
  SlowProgress progress(std::chrono::milliseconds(40), false);
  // Input before the dialog is up and a little while it is.
  int while_shown = 0;
  progress.poke = [&] {
    if (!progress.seen || while_shown++ < 2) window.post_input();
  };
  EXPECT_TRUE(tamsel::copy_with_progress(dir / "copy", dir / "src", &progress));
  EXPECT_TRUE(progress.seen);
  progress.real_.reset();
  EXPECT_EQ(window.clicks, 0);
  EXPECT_EQ(window.drops, 0);
  EXPECT_TRUE(window.isVisible());

  // The same input after the copy reaches the window.
  window.post_input();
  QCoreApplication::processEvents();
  EXPECT_EQ(window.clicks, 1);
  EXPECT_EQ(window.drops, 1);
  EXPECT_FALSE(window.isVisible());
}

TEST_F(ShellCopyDialog, StaysAwayOnAQuickCopy) {
  ASSERT_NO_FATAL_FAILURE(make_file(dir / "a.txt", "alpha", 0644, at(1600000000, 0)));
  SlowProgress progress(std::chrono::milliseconds(0), false);
  EXPECT_TRUE(tamsel::copy_with_progress(dir / "b.txt", dir / "a.txt", &progress));
  EXPECT_FALSE(progress.seen);
  EXPECT_TRUE(tamsel::shell_copy(dir / "c.txt", dir / "a.txt"));
  EXPECT_EQ(visible_copy_dialog(), nullptr);
}

}  // namespace

// The helper mode copies as whatever user started it: exit 0 when copied.
int main(int argc, char** argv) {
  if (argc == 4 && strcmp(argv[1], kHelper) == 0) {
    return tamsel::shell_copy(argv[2], argv[3]) ? 0 : 1;
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

#endif
