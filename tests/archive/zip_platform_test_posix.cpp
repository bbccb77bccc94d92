// Linux behaviour of the archive writer: other users' files, read and write
// errors of the system, links, names and time zones.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <grp.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <functional>

#include "archive/zip_compress.h"
#include "zip_test_support.h"

using namespace ziptest;
using tamsel::zip_compress;

namespace {

// Runs fn in a child process and returns its exit status (fn's result + 10).
int in_child(const std::function<int()>& fn) {
  pid_t pid = fork();
  if (pid == 0) _exit(fn() + 10);
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) - 10 : -100;
}

// zip_compress run as the unprivileged user nobody.
int as_nobody(const std::string& source, const std::string& archive) {
  return in_child([&] {
    if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) return 50;
    return zip_compress(source, archive);
  });
}

// zip_compress with the files it may write limited to limit bytes: writes
// beyond it fail as on a full disk.
int with_file_limit(const std::string& source, const std::string& archive, rlim_t limit) {
  return in_child([&] {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit r = {limit, limit};
    if (setrlimit(RLIMIT_FSIZE, &r) != 0) return 50;
    return zip_compress(source, archive);
  });
}

std::string noise(std::size_t n) {
  std::string s(n, '\0');
  std::uint32_t x = 12345;
  for (char& c : s) c = static_cast<char>((x = x * 1103515245 + 12345) >> 16);
  return s;
}

// Sets TZ for the test and puts the former value back after it.
class Zone {
 public:
  explicit Zone(const char* tz) {
    if (const char* old = std::getenv("TZ")) old_ = old, had_ = true;
    setenv("TZ", tz, 1);
    tzset();
  }
  ~Zone() {
    if (had_) setenv("TZ", old_.c_str(), 1); else unsetenv("TZ");
    tzset();
  }

 private:
  std::string old_;
  bool had_ = false;
};

TEST(ZipPosix, UnreadableFileInFolderGivesZeroAndKeepsEarlierEntries) {
  TempFolder tmp;
  const std::string root = tmp / "docs";
  make_folder(root);
  for (int i = 0; i < 4; ++i) write_file(joined(root, numbered("f", i)), "readable");
  write_file(joined(root, "secret"), "root only");
  chmod(joined(root, "secret").c_str(), 0600);
  EXPECT_EQ(as_nobody(root, tmp / "out.zip"), 0);
  Archive a = checked_archive(tmp / "out.zip");
  EXPECT_EQ(find_member(a, "secret"), nullptr);
  for (const Member& m : a.members) EXPECT_EQ(m.content, "readable");
}

TEST(ZipPosix, UnreadableSingleFileLeavesNoArchive) {
  TempFolder tmp;
  write_file(tmp / "secret.txt", "root only");
  chmod((tmp / "secret.txt").c_str(), 0600);
  EXPECT_EQ(as_nobody(tmp / "secret.txt", tmp / "out.zip"), 0);
  EXPECT_FALSE(exists(tmp / "out.zip"));
}

TEST(ZipPosix, ArchiveThatCannotBeOpenedLeavesTheOldFile) {
  TempFolder tmp;
  write_file(tmp / "a.txt", "a");
  write_file(tmp / "old.zip", "old content");
  chmod((tmp / "old.zip").c_str(), 0644);
  EXPECT_EQ(as_nobody(tmp / "a.txt", tmp / "old.zip"), 0);
  EXPECT_EQ(read_file(tmp / "old.zip"), "old content");
}

TEST(ZipPosix, ArchivePathThatIsNoRegularFileIsRefused) {
  TempFolder tmp;
  write_file(tmp / "a.txt", "a");
  ASSERT_EQ(mkfifo((tmp / "pipe.zip").c_str(), 0644), 0);
  // Opening a FIFO for writing would wait for a reader; /dev/null stands for
  // every device: neither is written nor removed.
  EXPECT_EQ(zip_compress(tmp / "a.txt", "/dev/null"), 0);
  EXPECT_TRUE(exists("/dev/null"));
  EXPECT_EQ(zip_compress(tmp / "a.txt", tmp / "pipe.zip"), 0);
  EXPECT_TRUE(exists(tmp / "pipe.zip"));
  write_file(tmp / "secret.txt", "root only");
  chmod((tmp / "secret.txt").c_str(), 0600);
  EXPECT_EQ(as_nobody(tmp / "secret.txt", "/dev/null"), 0);
  EXPECT_TRUE(exists("/dev/null"));
}

TEST(ZipPosix, UnlistableFolderFailsTheWalk) {
  TempFolder tmp;
  const std::string root = tmp / "docs";
  make_folder(root);
  write_file(joined(root, "a.txt"), "a");
  make_folder(joined(root, "closed"));
  write_file(joined(joined(root, "closed"), "inside.txt"), "hidden from nobody");
  chmod(joined(root, "closed").c_str(), 0700);
  EXPECT_EQ(as_nobody(root, tmp / "out.zip"), 0);
  Archive a = checked_archive(tmp / "out.zip");
  EXPECT_EQ(names_of(a), std::vector<std::string>{"a.txt"});
}

TEST(ZipPosix, ReadErrorFailsTheEntry) {
  TempFolder tmp;
  // Reading /proc/self/mem at offset 0 fails with EIO after a successful open.
  EXPECT_EQ(zip_compress("/proc/self/mem", tmp / "single.zip"), 0);
  EXPECT_FALSE(exists(tmp / "single.zip"));

  const std::string root = tmp / "docs";
  make_folder(root);
  write_file(joined(root, "a.txt"), "alpha");
  ASSERT_EQ(symlink("/proc/self/mem", joined(root, "broken").c_str()), 0);
  EXPECT_EQ(zip_compress(root, tmp / "out.zip"), 0);
  Archive a = checked_archive(tmp / "out.zip");
  EXPECT_EQ(find_member(a, "broken"), nullptr);
}

TEST(ZipPosix, WriteFailureFailsTheEntryAndLeavesAReadableArchive) {
  TempFolder tmp;
  const std::string root = tmp / "docs";
  make_folder(root);
  write_file(joined(root, "small.txt"), "small");
  write_file(joined(root, "big.bin"), noise(600000));
  EXPECT_EQ(with_file_limit(root, tmp / "out.zip", 200000), 0);
  Archive a = checked_archive(tmp / "out.zip");
  EXPECT_EQ(find_member(a, "big.bin"), nullptr);
  EXPECT_LE(a.file_size, 200000u);

  EXPECT_EQ(with_file_limit(joined(root, "big.bin"), tmp / "single.zip", 200000), 0);
  EXPECT_FALSE(exists(tmp / "single.zip"));
}

TEST(ZipPosix, LinkCyclesAreArchivedOnceAndEnd) {
  TempFolder tmp;
  const std::string root = tmp / "loop";
  make_folder(root);
  write_file(joined(root, "a.txt"), "a");
  make_folder(joined(root, "sub"));
  write_file(joined(root, "sub/b.txt"), "b");
  ASSERT_EQ(symlink("..", joined(root, "sub/up").c_str()), 0);
  ASSERT_EQ(symlink(".", joined(root, "sub/self").c_str()), 0);
  ASSERT_EQ(symlink("a.txt", joined(root, "link.txt").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", joined(root, "dangling").c_str()), 0);
  ASSERT_EQ(mkfifo(joined(root, "pipe").c_str(), 0644), 0);
  std::vector<int> seen;
  ASSERT_EQ(zip_compress(root, tmp / "out.zip", [&](int p) { return seen.push_back(p), 1; }), 1);
  Archive a = checked_archive(tmp / "out.zip");
  std::vector<std::string> names = names_of(a);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "link.txt", "sub/", "sub/b.txt", "sub/self/", "sub/up/"}));
  EXPECT_EQ(find_member(a, "link.txt")->content, "a");
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), 100);
}

TEST(ZipPosix, NamesKeepBackslashesDotFilesAreHiddenLongNamesStayWhole) {
  TempFolder tmp;
  const std::string root = tmp / "names";
  make_folder(root);
  write_file(joined(root, "a\\b.txt"), "back");
  write_file(joined(root, ".profile"), "dot");
  std::string deep = root, rel;
  for (int i = 0; i < 3; ++i) {
    std::string part(200, static_cast<char>('p' + i));
    deep += "/" + part;
    rel += part + "/";
    make_folder(deep);
  }
  write_file(deep + "/leaf.txt", "leaf");
  ASSERT_EQ(zip_compress(root, tmp / "out.zip"), 1);
  Archive a = checked_archive(tmp / "out.zip");
  ASSERT_NE(find_member(a, "a\\b.txt"), nullptr);
  const Member* dot = find_member(a, ".profile");
  ASSERT_NE(dot, nullptr);
  EXPECT_EQ(dot->central.external, 0x81800022u);
  const Member* leaf = find_member(a, rel + "leaf.txt");
  ASSERT_NE(leaf, nullptr);
  EXPECT_EQ(leaf->content, "leaf");
  EXPECT_GT(leaf->central.name.size(), 600u);
}

TEST(ZipPosix, TimesAreTheFilesOwnInstantsInLocalTime) {
  Zone zone("Europe/Berlin");
  TempFolder tmp;
  const std::string root = tmp / "times";
  make_folder(root);
  struct Row {
    const char* name;
    std::int64_t instant;
    std::uint32_t dos;   // local date << 16 | time
    std::uint32_t unix;  // Unix time of the extended field
  };
  auto dos = [](int y, int mo, int d, int h, int mi, int s) {
    return std::uint32_t((y - 1980) << 9 | mo << 5 | d) << 16 | std::uint32_t(h << 11 | mi << 5 | s / 2);
  };
  const Row rows[] = {
      // Summer time of 2024 (CEST, +2), whatever today's offset is.
      {"summer", 1721038830, dos(2024, 7, 15, 12, 20, 30), 1721038830},
      {"winter", 1705314030, dos(2024, 1, 15, 11, 20, 30), 1705314030},
      // 1965-06-01 12:00 UTC is 13:00 local: DOS stamps start in 1980; the
      // Unix time moves to 1970-01-01 13:00 local, 12:00 UTC.
      {"old", -144676800, dos(1980, 1, 1, 0, 0, 0), 43200},
      // 2050-06-01 12:00 UTC is 14:00 CEST; the Unix time is held at
      // 2037-12-31 14:00 CET, 13:00 UTC.
      {"future", 2537697600, dos(2050, 6, 1, 14, 0, 0), 2145877200},
  };
  for (const Row& r : rows) {
    write_file(joined(root, r.name), r.name);
    set_modified(joined(root, r.name), r.instant);
  }
  ASSERT_EQ(zip_compress(root, tmp / "out.zip"), 1);
  Archive a = checked_archive(tmp / "out.zip");
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const Member* m = find_member(a, r.name);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(std::uint32_t(m->central.dos_date) << 16 | m->central.dos_time, r.dos);
    UnixTimes t = check_member(*m);
    EXPECT_EQ(t.modified, r.unix);
    EXPECT_EQ(t.accessed, r.unix);
  }
}

}  // namespace
